// The record behind platform::Window, shared by the window's own files (window.cpp: the window
// and its events; window_present.cpp: showing frames). Nothing outside platform/ includes it.
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;
struct SDL_Surface;

namespace platform {

struct Window {
  SDL_Window* sdl = nullptr;
  // The present's reusable state (window thread). Nearest-neighbour stretch: the source column
  // of each target column, for the pair of widths in columns_src/columns_dst. Smooth stretch:
  // per target column the left and right source columns and the right one's weight (0..63),
  // for the widths in linear_src/linear_dst, and two source rows already stretched across
  // (row_of: which source row each holds, -1 for none).
  std::vector<int32_t> columns;
  int32_t columns_src = 0, columns_dst = 0;
  std::vector<int32_t> left, right;
  std::vector<uint32_t> weight;
  std::vector<uint64_t> pairs;  // (64 - weight, weight) as byte pairs over four channels
  int32_t linear_src = 0, linear_dst = 0;
  std::vector<uint32_t> rows[2];
  int32_t row_of[2] = {-1, -1};
  SDL_Surface* stretched = nullptr;  // a smooth stretch for a target of another layout
};

}  // namespace platform
