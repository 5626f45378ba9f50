// Pixel kernels that the filters, the transitions and the image option share.
//
// Pixels are 32-bit ARGB words; pitches and rows count pixels. Every kernel stays inside the
// sizes it is given, keeps no state between calls and may run on any thread. The scalers live
// in Orv/render/pixel_kernels.h (32-bit) and Orv/render/font/glyph_scale.h (8-bit).
#pragma once

#include <cstdint>

struct OrvRect;

// Weights of the 16-tap blur: level 0..7, tap t for the pixel at offset t - 8.
extern const uint8_t kBlurWeights[8][16];
constexpr int32_t kBlurLevels = 8;

// Separable 16-tap blur of src into dst (both width x rows, rows `pitch` apart; they may not
// overlap). Colours are premultiplied by alpha ((c a + 127) / 255), each pass averages the taps
// that lie inside the line by their weights, and the result is unpremultiplied
// ((a / 2 + c 255) / a, 0 for a = 0). A pixel whose weight or alpha sum is 0 becomes 0.
// Returns false (dst untouched) for a level outside 0..7 or when its scratch cannot be had; the
// scratch is the call's own, sized from the picture, so calls may run on several threads.
bool BlurKernel16(uint32_t* dst, const uint32_t* src, int32_t width, int32_t rows, int32_t pitch,
                  int32_t level);

// Softening in place: every inner pixel, row by row from the top-left (so its left and upper
// neighbours are already softened), becomes (4 centre + left + right + above + below) >> 3 per
// colour with the centre's alpha; then the top row copies the row below, the right column its
// left neighbour, the bottom row the row above and the left column its right neighbour, in
// that order. A step whose neighbour does not exist (a picture 1 pixel wide or high) is skipped.
void Filter3x3(uint32_t* pixels, int32_t width, int32_t rows, int32_t pitch);

// The warm brown tone ramp: 256 entries {R, G, B} by luminance, linear between the rows
// {12, 0, 0} at 0, {68, 39, 20} at 32, {112, 77, 47} at 64, {177, 146, 109} at 128,
// {225, 211, 189} at 200 and {255, 255, 255} at 255.
struct ToneEntry {
  uint8_t r, g, b;
};
const ToneEntry* tone_table();

// Luminance L = (B + 3 R + 6 G) / 10 of count contiguous pixels: with a table the colour becomes
// table[L], without one grey L; alpha stays.
void ToneOrGreyPixels(uint32_t* pixels, int64_t count, const ToneEntry* table);
// Inverts the colour bytes of every pixel whose alpha is not 0.
void NegativePixels(uint32_t* pixels, int32_t width, int32_t rows, int32_t pitch);
// Fills columns left..right-1 of rows top..bottom-1; the caller keeps the rectangle inside.
void FillRectPixels(const OrvRect& rect, uint32_t* pixels, uint32_t colour, int32_t pitch);
// Copies min(widths) columns and min(rows) rows from (sx, sy) of the source to the top-left of
// the destination. The source area past sx, sy must hold those pixels.
void CopyRectPixels(uint32_t* dst, int32_t dst_width, int32_t dst_rows, int32_t dst_pitch,
                    const uint32_t* src, int32_t sx, int32_t sy, int32_t src_width,
                    int32_t src_rows, int32_t src_pitch);
// Copies width x rows contiguous pixels.
void CopyPixels(uint32_t* dst, const uint32_t* src, int32_t width, int32_t rows);
// Copies rows of width pixels in reverse row order.
void CopyRowsFlipped(uint32_t* dst, const uint32_t* src, int32_t width, int32_t rows);
// Turns rows of 3-byte pixels (B, G, R; width * 3 bytes a row) into 32-bit pixels with alpha
// 255, in reverse row order.
void CopyRows24To32Flipped(uint32_t* dst, const uint8_t* src, int32_t width, int32_t rows);
