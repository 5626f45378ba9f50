// Script data-file bytes in, cells and a string pool out. Every string cell must name a whole
// record inside the pool, every record must keep to the text limit, and the records must follow
// each other without gaps.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/commands/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const engine::DataFileContents c = engine::data_file_parse(text);
  uint64_t next = 0;  // where the next record must start
  for (uint32_t cell : c.cells) {
    if (!(cell & 0x80000000u)) continue;
    const uint32_t at = cell & 0x7FFFFFFFu;
    if (at != next) continue;  // a negative number cell, not a record
    if (uint64_t{at} + 2 > c.pool.size()) std::abort();
    const uint32_t len =
        static_cast<uint8_t>(c.pool[at]) | (static_cast<uint8_t>(c.pool[at + 1]) << 8);
    if (len > engine::kDataStringMax || uint64_t{at} + 2 + len > c.pool.size()) std::abort();
    next = uint64_t{at} + 2 + len;
  }
  if (next != c.pool.size()) std::abort();
  return 0;
}
