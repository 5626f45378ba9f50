// Script data files: text tables of numbers and quoted texts, separated by commas and line
// ends, with "//" comments, read whole into cells and a string pool.
//
// A number cell holds its number; a string cell holds 0x80000000 | the offset of its record in
// the pool, a record being a little-endian u16 length and that many bytes.
//
// Thread: any; nothing here keeps state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Longest text a string cell keeps; a longer quoted text is cut there.
constexpr uint32_t kDataStringMax = 511;

// The cells and the pool of a data-file text.
struct DataFileContents {
  std::vector<uint32_t> cells;
  std::string pool;
};
// Cleans, splits and converts a data-file text. Never fails: any bytes give some cells.
DataFileContents data_file_parse(std::string_view text);

}  // namespace engine
