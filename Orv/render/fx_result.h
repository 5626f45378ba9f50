// What an effect blend asks the draw code to do in one frame.
#pragma once

#include <cstdint>

struct FxResult {
  int32_t effect = 0;  // 0 none, 1 raster wave, 2 radial blur (RendererCaps::radial_blur)
  float phase = 0.0f;  // raster wave: 0..1
  float amplitude1 = 0.0f, amplitude2 = 0.0f;
  uint32_t words[3] = {};  // radial blur: the caller's block, passed through
};
