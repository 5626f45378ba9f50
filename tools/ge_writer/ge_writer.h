// A writer of GE and VKX files for tests, benchmarks and the demo's pictures. The runtime
// only reads these formats; this writer exists so that fixtures are made from pixels rather
// than kept as opaque files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gewriter {

// LZ-packs bytes with literal runs and back-references (short and long forms), greedily.
// `max_distance` limits how far back matches are searched (at most 4095).
std::string lz_pack(const std::string& raw, int max_distance = 4095);

struct GeOptions {
  int type = 0;                   // 0 raw, 1 planes, 2 luma/chroma, 3 row filters
  uint16_t stored_type = 0xFFFF;  // the type word written; 0xFFFF writes `type`
  int32_t x = 0, y = 0;
  int32_t cell_width = 0, cell_height = 0;  // 0: the picture size
  int bits = 32;                            // type 3: 24 or 32
  std::vector<uint8_t> filters;             // type 3: filter per row (cycled); empty: none
  uint16_t data_offset = 30;
};

// Writes a GE file of width x height pixels (0xAARRGGBB words, top row first).
std::string ge_write(int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                     const GeOptions& options);

// Row-filters width x height pixels of `bpp` bytes (3: B, G, R; 4: B, G, R, A) taken from
// ARGB words: the filter bytes, then the filtered rows (the GE type-3 and VKX body).
std::string filter_rows(int32_t width, int32_t height, const std::vector<uint32_t>& pixels, int bpp,
                        const std::vector<uint8_t>& filters);

struct VkxOptions {
  const char* magic = "VKX2";
  uint16_t x = 0, y = 0;
  int bits = 32;
  std::string base_name;
  std::vector<uint8_t> filters;
};

// Writes a VKX file whose rectangle holds width x height difference values (ARGB words;
// at 24 bits the alpha byte is dropped).
std::string vkx_write(uint16_t width, uint16_t height, const std::vector<uint32_t>& diff,
                      const VkxOptions& options);

}  // namespace gewriter
