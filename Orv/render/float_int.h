// Float to integer conversions that never overflow: truncation toward zero, saturated to the
// int32 range (NaN gives 0). Positions, angles and keys come from scripts.
#pragma once

#include <cstdint>

inline int32_t trunc_to_int(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// a + b without signed overflow, saturated.
inline int32_t add_sat(int32_t a, int32_t b) {
  int64_t s = int64_t{a} + b;
  return s > INT32_MAX ? INT32_MAX : s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s);
}
