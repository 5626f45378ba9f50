// access.dat bytes in: every whole record comes out, and writing the records again gives the
// bytes of those records.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/formats/system_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto names = engine::access_dat_decode(data, size);
  if (names.size() != size / engine::kEntryNameBytes) std::abort();
  const std::vector<uint8_t> back = engine::access_dat_encode(names);
  if (back.size() != names.size() * engine::kEntryNameBytes) std::abort();
  // Bytes past the last whole record are scrambled differently only when they complete a
  // word; the records themselves must come back bit for bit when the file is whole records.
  if (size != 0 && size % engine::kEntryNameBytes == 0 &&
      std::memcmp(back.data(), data, size) != 0) {
    std::abort();
  }
  return 0;
}
