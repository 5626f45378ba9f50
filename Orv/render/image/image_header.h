// Reading a picture's position and sizes from its first bytes only, for sprite records that
// are made without pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ImageHeaderInfo {
  float x = 0, y = 0;
  int32_t width = 0, height = 0;
  int32_t cell_width = 0, cell_height = 0;
  // Set for a VKX file: its sizes are those of this base GE file, which the caller opens and
  // reads again.
  std::string vkx_base_name;
};

// How many bytes from the start of a JPEG file the size search looks at.
constexpr size_t kJpegHeaderScan = 2052;

// Reads the header of a file image of which `size` bytes from the start are given:
// GE 28 bytes (position and cell too), VKX 48 (sets vkx_base_name only), PNG 33 (IHDR), JPEG
// up to kJpegHeaderScan (the first start-of-frame marker within them), BMP 54, TGA 18. The
// cell is the size except for GE. False when the bytes are too few or, for JPEG, no frame
// header lies within the scanned bytes.
bool image_read_header(const uint8_t* data, size_t size, ImageHeaderInfo* info);
