#include "Orv/render/font/glyph_scale.h"

#include <algorithm>

void ScaleBilinear8(uint8_t* dst, int32_t dst_width, int32_t dst_rows, const uint8_t* src,
                    int32_t src_width, int32_t src_rows, float x_scale, float y_scale) {
  if (!(x_scale > 0) || !(y_scale > 0) || src_width <= 0 || src_rows <= 0) return;
  const int32_t out_w =
      std::min<int64_t>(dst_width, static_cast<int64_t>(static_cast<float>(src_width) * x_scale));
  const int32_t out_h =
      std::min<int64_t>(dst_rows, static_cast<int64_t>(static_cast<float>(src_rows) * y_scale));
  const int64_t step_x = static_cast<int64_t>(256.0f / x_scale);
  const int64_t step_y = static_cast<int64_t>(256.0f / y_scale);
  auto at = [&](int64_t x, int64_t y) -> int64_t {
    return x < src_width && y < src_rows ? src[y * src_width + x] : 0;
  };
  for (int32_t y = 0; y < out_h; ++y) {
    const int64_t fy = y * step_y, sy = fy >> 8, ty = fy & 255;
    for (int32_t x = 0; x < out_w; ++x) {
      const int64_t fx = x * step_x, sx = fx >> 8, tx = fx & 255;
      const int64_t m = at(sx, sy), o = at(sx + 1, sy), u = at(sx, sy + 1), v = at(sx + 1, sy + 1);
      const int64_t value =
          (ty * (u * (256 - tx) + v * tx) + (256 - ty) * (m * (256 - tx) + o * tx)) >> 16;
      dst[static_cast<int64_t>(y) * dst_width + x] =
          static_cast<uint8_t>(std::min<int64_t>(value, 255));
    }
  }
}
