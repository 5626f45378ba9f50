// Where a new layer image goes from the script's layout codes.
//
// Two grids: the 20-column grid (the default) and the 8-column grid (chosen by the game's
// version record). W, H are the screen size, w, h the image's; halves by arithmetic shift.
//   20 columns: cx < 0 -> -w; 0..20 -> (W / 20) * cx - (w >> 1); > 20 -> W
//   8 columns:  cx <= 0 -> -w; 1..9 -> (W / 8) * (cx - 1) - (w >> 1); >= 10 -> W
//   rows:       cy 1 -> H - (h >> 1); cy 2 -> H - h; any other code -> 0
// The float forms give the same values as floats (the image's float position copy).
#pragma once

#include <cstdint>

namespace layers {

enum class LayoutGrid { kTwentyColumns, kEightColumns };

inline int32_t layout_x(LayoutGrid grid, int32_t cx, int32_t screen_w, int32_t w) {
  if (grid == LayoutGrid::kTwentyColumns) {
    if (cx < 0) return -w;
    if (cx > 20) return screen_w;
    return (screen_w / 20) * cx - (w >> 1);
  }
  if (cx <= 0) return -w;
  if (cx >= 10) return screen_w;
  return (screen_w / 8) * (cx - 1) - (w >> 1);
}

inline int32_t layout_y(int32_t cy, int32_t screen_h, int32_t h) {
  if (cy == 1) return screen_h - (h >> 1);
  if (cy == 2) return screen_h - h;
  return 0;
}

inline float layout_x_float(LayoutGrid grid, int32_t cx, int32_t screen_w, int32_t w) {
  return static_cast<float>(layout_x(grid, cx, screen_w, w));
}
inline float layout_y_float(int32_t cy, int32_t screen_h, int32_t h) {
  return static_cast<float>(layout_y(cy, screen_h, h));
}

}  // namespace layers
