// GE pictures: the library's own picture format.
//
// Header (little-endian): "GE", u16 data offset D, i32 x, y, width, height, cell width, cell
// height, u16 type (0 raw, 1 planes, 2 luma/chroma, 3 row filters; other values read as 0).
// At D: u32 unpacked size U, u32 packed size, then the payload: raw B, G, R, A rows for type 0,
// an LZ stream of U bytes (ge_lz.h) for types 1-3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/image_buffer.h"

constexpr size_t kGeHeaderSize = 30;
// Packed types unpack into a scratch area of this size; a larger U is refused.
constexpr uint32_t kGeScratchSize = 0x4000000;

struct GeHeader {
  uint16_t data_offset = 0;
  int32_t x = 0, y = 0;
  int32_t width = 0, height = 0;
  int32_t cell_width = 0, cell_height = 0;
  uint16_t type = 0;  // as stored
};

// True when the data starts with the GE magic.
bool ge_is(const uint8_t* data, size_t size);
// Reads the header fields up to the cell height (the first 28 bytes, all that a size query
// needs); the type is read when the 30 bytes are there. False when fewer than 28 bytes.
bool ge_read_header(const uint8_t* data, size_t size, GeHeader* header);
// Decodes a whole GE file image into out. On failure returns false with a one-line reason in
// *error (the caller adds the file name) and leaves out empty.
bool ge_decode(const uint8_t* data, size_t size, ImageBuffer* out, std::string* error);

// Type 1: four planes of unpacked / 4 bytes (A, R, G, B); pixel i takes byte i of each plane
// and pixels fill rows of `width`, `pitch` pixels apart, at most `rows` rows.
void GePlanesToArgb(uint32_t* dst, const uint8_t* planes, uint32_t unpacked, int32_t width,
                    int32_t pitch, int32_t rows);
// Type 2: planes Cb and Cr of floor(width * height / 4) signed bytes, then Y of width * height
// bytes; each chroma pair colours one 2x2 block. An odd last column or row gets no pixels.
void GeYccToArgb(uint32_t* dst, int32_t pitch, const uint8_t* planes, int32_t width,
                 int32_t height);
// Bytes of unpacked data that a type-2 picture of this size reads.
uint64_t ge_ycc_size(int32_t width, int32_t height);
