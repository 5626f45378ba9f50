// The bilinear scaler for one byte per pixel that glyph bitmaps are resized with.
#pragma once

#include <cstdint>

// Scales src (src_width x src_rows bytes, rows src_width apart) by (x_scale, y_scale) into dst
// (rows dst_width apart). The output is min(dst_width, trunc(src_width * x_scale)) by
// min(dst_rows, trunc(src_rows * y_scale)); the steps are trunc(256 / scale) with 8-bit
// fractions and neighbours beyond the last column or row count as 0. Returns nothing; a scale
// that is not positive writes nothing.
void ScaleBilinear8(uint8_t* dst, int32_t dst_width, int32_t dst_rows, const uint8_t* src,
                    int32_t src_width, int32_t src_rows, float x_scale, float y_scale);
