// Integer arithmetic on values that scripts and files give unchecked, shared by actions and
// .ani tracks: sums wrap as 32-bit words do, and float results truncate toward zero saturated
// to the int range (NaN gives 0), so no value makes the arithmetic undefined.
//
// Pure; any thread.
#pragma once

#include <cstdint>

namespace graphics {

inline int32_t wrap_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t trunc_i32(float v) {
  if (!(v > -2147483648.0f)) return v != v ? 0 : INT32_MIN;
  if (v >= 2147483648.0f) return INT32_MAX;
  return static_cast<int32_t>(v);
}

}  // namespace graphics
