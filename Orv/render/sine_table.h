// The 512-step sine table shared by rotation, the raster wave and the effects: entry k is
// sin(2 pi k / 512) x 65536 truncated toward zero (16.16 fixed point). The cosine of k is
// entry (k + 128) mod 512.
#pragma once

#include <cstdint>

const int32_t* sine_table512();

// The same steps as floats: entry k is sin(2 pi k / 512) (the mosaic transition reads the first
// 257 entries, sin(pi k / 256)).
const float* float_sine_table512();
