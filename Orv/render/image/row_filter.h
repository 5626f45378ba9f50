// Per-row prediction filters of GE type 3 pictures and VKX difference rectangles.
//
// Each row has one filter byte; its bits are tested in the order bit 0 (left), bit 1 (up),
// bit 2 (average); a byte with none of them set means none. Decoding, per byte channel and
// modulo 256:
//   left     first pixel as stored; then value = left neighbour - stored
//   up       value = pixel above - stored
//   average  first pixel as stored; then value = floor((left + above) / 2) - stored
// The neighbours are decoded values. Row 0 has nothing above it: up and average read the
// missing row as zeros (the encoders never write such rows).
#pragma once

#include <cstddef>
#include <cstdint>

enum RowFilter : int32_t {
  kRowFilterNone = 0,
  kRowFilterLeft = 1,
  kRowFilterUp = 2,
  kRowFilterAverage = 4,
};

// Decodes `height` rows of `width` pixels stored with 3 bytes (B, G, R) each into 32-bit
// pixels (alpha 255) at dst, rows `pitch` pixels apart. `filters` holds one byte per row;
// `pixels` the filtered bytes, width * height * 3 of them. The caller has checked the sizes.
void GeRowFilterDecode24(uint32_t* dst, const uint8_t* filters, const uint8_t* pixels,
                         int32_t width, int32_t height, int32_t pitch);
// Same for 4 bytes per pixel (B, G, R, A), alpha decoded like the colours.
void GeRowFilterDecode32(uint32_t* dst, const uint8_t* filters, const uint8_t* pixels,
                         int32_t width, int32_t height, int32_t pitch);
// Decodes 24-bit rows into packed 3-byte values (B, G, R) at dst: width * height * 3 bytes.
void VkxRowFilterDecode24(uint8_t* dst, const uint8_t* filters, const uint8_t* pixels,
                          int32_t width, int32_t height);

// A row encoder: writes the filtered form of `row` (length bytes) to out and returns 0. The
// previous row must lie right before `row` in memory; has_previous says whether there is one.
// Up and average need it: without one they write nothing and return -1.
using RowEncoder = int (*)(uint8_t* out, const uint8_t* row, int32_t length, int has_previous);
struct RowEncoderEntry {
  int32_t filter;  // a RowFilter value; -1 ends the table
  RowEncoder encode;
};
// The encoders for 3-byte and 4-byte pixels, in the order left, up, average, then {-1, null}.
extern const RowEncoderEntry kRowEncoders24[4];
extern const RowEncoderEntry kRowEncoders32[4];
