// Archive bytes in, lookups of a few names out. Each lookup runs twice, reading the bucket in
// one piece and probe by probe, and the two must agree; a member found must lie inside the
// bytes.
//
// An input whose first byte is odd is taken as the archive itself. Otherwise the rest is a list
// of patches (u16 position, u32 value) applied to a well-formed archive with buckets of one to
// many entries, and the archive may be cut short: that reaches the directory walk at once,
// where raw bytes would first have to grow past the 2 KiB bucket table.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Orv/core/files/pac_archive.h"
#include "pacpack/pac_writer.h"

namespace {

struct Memory {
  const uint8_t* data;
  size_t size;
};

uint32_t read_memory(void* context, void* buf, uint32_t size, uint64_t pos) {
  const Memory* m = static_cast<const Memory*>(context);
  if (pos >= m->size) return 0;
  uint64_t n = m->size - pos < size ? m->size - pos : size;
  std::memcpy(buf, m->data + pos, static_cast<size_t>(n));
  return static_cast<uint32_t>(n);
}

void look_up(const PacSource& source, const uint8_t key[pac::kNameSize]) {
  PacMember whole{}, probed{};
  bool a = pac_find(source, key, &whole);
  bool b = pac_find(source, key, &probed, 0);
  if (a != b || (a && (whole.offset != probed.offset || whole.size != probed.size))) std::abort();
  // The bucket table read once for many lookups gives the same answers.
  PacBuckets buckets;
  if (pac_read_buckets(source, &buckets)) {
    PacMember kept{};
    const bool c = pac_find_in(source, buckets, key, &kept);
    if (c != a || (c && (kept.offset != whole.offset || kept.size != whole.size))) std::abort();
  }
  if (a && uint64_t{whole.offset} + whole.size > source.size) std::abort();
}

}  // namespace

const std::string& template_archive() {
  static const std::string bytes = [] {
    std::vector<pacpack::Member> members;
    for (int i = 0; i < 40; ++i)
      members.push_back({"M" + std::to_string(i) + ".BIN", std::string(i % 7, 'd')});
    members.push_back({"SYSTEM.INI", "ini"});
    members.push_back({"\x95\x5C.ogg", "sound"});
    members.push_back({"A", "a"});
    std::string out, error;
    pacpack::build_archive(members, &out, &error);
    return out;
  }();
  return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t input_size) {
  std::string patched;
  const uint8_t* data = input;
  size_t size = input_size;
  if (input_size > 0 && (input[0] & 1) == 0) {
    patched = template_archive();
    size_t i = 1;
    if (i + 2 <= input_size) {  // a cut, counted from the end
      size_t cut = (input[i] | input[i + 1] << 8) % 64;
      patched.resize(patched.size() - (cut < patched.size() ? cut : 0));
      i += 2;
    }
    for (; i + 6 <= input_size; i += 6) {
      size_t at = (input[i] | input[i + 1] << 8) % (patched.size() + 1);
      for (size_t b = 0; b < 4 && at + b < patched.size(); ++b)
        patched[at + b] = static_cast<char>(input[i + 2 + b]);
    }
    data = reinterpret_cast<const uint8_t*>(patched.data());
    size = patched.size();
  }
  Memory memory{data, size};
  PacSource source{&memory, size, read_memory};
  static const char* const kNames[] = {"SYSTEM.INI", "Mask\\mask01.png", "\x95\x5C.ogg", "",
                                       "A",          "m17.bin",          "M9.BIN"};
  uint8_t key[pac::kNameSize];
  for (const char* name : kNames) {
    pac::name_key(pac::normalize_name(name), key);
    look_up(source, key);
  }
  // The names the archive itself claims to hold at a few places, so lookups can succeed.
  for (uint64_t k : {0u, 1u, 7u}) {
    uint64_t at = pac::kDirectoryStart + k * pac::kEntrySize;
    if (at + pac::kNameSize > size) break;
    std::memcpy(key, data + at, pac::kNameSize);
    look_up(source, key);
  }
  return 0;
}
