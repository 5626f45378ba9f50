// Script data-file bytes in, cells and a string pool out. The pool must be a gapless chain of
// records that each keep to the text limit, and there must be a string cell for each record.
// (A negative number cell also has bit 31, so cells alone cannot tell records apart.)
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/formats/data_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const engine::DataFileContents c = engine::data_file_parse(text);
  size_t records = 0, at = 0;
  while (at < c.pool.size()) {
    if (at + 2 > c.pool.size()) std::abort();
    const uint32_t len =
        static_cast<uint8_t>(c.pool[at]) | (static_cast<uint8_t>(c.pool[at + 1]) << 8);
    if (len > engine::kDataStringMax || at + 2 + len > c.pool.size()) std::abort();
    at += 2 + len;
    ++records;
  }
  size_t marked = 0;
  for (uint32_t cell : c.cells) marked += (cell & 0x80000000u) != 0;
  if (records > marked) std::abort();
  return 0;
}
