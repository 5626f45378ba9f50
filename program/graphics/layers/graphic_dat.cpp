#include "graphics/layers/graphic_dat.h"

#include <cstring>

#include "shared/word_scrambler.h"

namespace layers {

GraphicDat graphic_dat;

bool GraphicDat::load(std::vector<uint8_t> bytes, std::string* error) {
  clear();
  if (bytes.size() < kGraphicDatRecordsAt) {
    *error = "the file is " + std::to_string(bytes.size()) + " bytes, shorter than its " +
             std::to_string(kGraphicDatRecordsAt) + "-byte header and index";
    return false;
  }
  if (bytes[0] == '$') {
    unscramble_words(bytes.data() + kGraphicDatHeaderBytes, bytes.size() - kGraphicDatHeaderBytes);
  }
  bytes_ = std::move(bytes);
  loaded_ = true;
  return true;
}

void GraphicDat::clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  loaded_ = false;
}

bool GraphicDat::find(const char (&name)[32], GraphicInfo* out) const {
  *out = GraphicInfo{};
  const uint8_t first = static_cast<uint8_t>(name[0]);
  if (!loaded_ || first >= kGraphicDatIndexEntries) return false;
  codec::ByteReader index(bytes_.data(), bytes_.size());
  index.seek(kGraphicDatHeaderBytes + size_t{first} * 8);
  const uint16_t count = index.u16();
  index.skip(2);
  const uint32_t offset = index.u32();
  if (count == 0) return false;
  // The whole bucket must lie inside the file: a damaged index finds nothing rather than
  // reading a half record.
  const uint64_t begin = kGraphicDatRecordsAt + uint64_t{offset};
  const uint64_t end = begin + uint64_t{count} * kGraphicInfoBytes;
  if (end > bytes_.size()) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* record = bytes_.data() + begin + size_t{i} * kGraphicInfoBytes;
    if (std::memcmp(record, name, sizeof name) != 0) continue;
    codec::ByteReader reader(record, kGraphicInfoBytes);
    sync(reader, *out);
    return true;
  }
  return false;
}

void graphic_name_field(const char* name, char (&field)[32]) {
  std::memset(field, 0, sizeof field);
  for (size_t i = 0; i < sizeof field - 1 && name[i]; ++i) field[i] = name[i];
}

}  // namespace layers
