// Pixel kernels the renderer, sprite copies and thumbnails share. Pitches and rows count
// pixels; every kernel stays inside the sizes it is given.
#pragma once

#include <cstdint>

// Nearest-neighbour scale of src (src_pitch x src_rows) into dst (dst_pitch x dst_rows):
// the output is min(dst_pitch, trunc(src_pitch x sx + 0.01)) by min(dst_rows, trunc(src_rows x
// sy)); steps are trunc(|128 / scale|) in 1/128 pixel, and dst(x, y) = src(x*step >> 7, y*step >>
// 7) (clamped to the source). A scale of 0 or less, or one that is not a number, does nothing.
void scale_nearest32(uint32_t* dst, int32_t dst_pitch, int32_t dst_rows, const uint32_t* src,
                     int32_t src_pitch, int32_t src_rows, float sx, float sy);

// Bilinear scale with 7-bit fractions; sizes and steps as scale_nearest32. The right and bottom
// neighbours of the last column and row are the pixel itself. Each channel is
// ((128 - ty) * h1 + ty * h2) >> 14 with h1, h2 the horizontal mixes of the two rows.
void scale_bilinear32(uint32_t* dst, int32_t dst_pitch, int32_t dst_rows, const uint32_t* src,
                      int32_t src_pitch, int32_t src_rows, float sx, float sy);

// Wave warp of rows and columns for the raster effect: phase 0..1, strengths scale the
// amplitudes (x strength x rows x 0.1, y strength x pitch x 0.1). Destination pixels whose
// source falls outside are left unchanged.
void wave_warp_rows(uint32_t* dst, int32_t dst_pitch, int32_t dst_rows, const uint32_t* src,
                    int32_t src_pitch, int32_t src_rows, float phase, float x_strength,
                    float y_strength);
