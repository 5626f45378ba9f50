// The sines that actions, .ani tracks and screen effects share.
//
// SineTable512: sin over a turn in 512 steps, the angle unit of circles and sways. Entry i =
// sin(2 pi i / 512) rounded to six decimals, pi taken as 3.141592, so entry 128 is 1.0, entry
// 256 is 0.000001 and entry 384 is -1.0. Adding 128 to an angle gives its cosine. Built once at
// compile time.
//
// sine_out: the decelerating quarter sine of easing curve 3 and of the .ani move tracks.
//
// Pure; any thread.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace graphics {

namespace detail {
// Taylor series of sin about the nearest multiple of pi/2, enough for 1e-9 over a quarter turn.
constexpr double sin_series(double x) {
  double term = x, sum = x;
  for (int k = 1; k < 12; ++k) {
    term *= -x * x / double((2 * k) * (2 * k + 1));
    sum += term;
  }
  return sum;
}
constexpr double round6(double v) {
  const double s = v * 1e6;
  const double r = s < 0 ? double(int64_t(s - 0.5)) : double(int64_t(s + 0.5));
  return r / 1e6;
}
constexpr std::array<float, 512> make_sine_table() {
  std::array<float, 512> t{};
  constexpr double kPi = 3.141592;
  for (int i = 0; i < 512; ++i) {
    double a = 2.0 * kPi * i / 512.0;
    // Fold into -pi..pi with the true pi so the series converges fast; the angle itself keeps
    // the short pi, which is what makes entry 256 0.000001.
    constexpr double kTruePi = 3.14159265358979323846;
    while (a > kTruePi) a -= 2.0 * kTruePi;
    t[i] = float(round6(sin_series(a)));
  }
  return t;
}
}  // namespace detail

inline constexpr std::array<float, 512> SineTable512 = detail::make_sine_table();

// The entry of an angle in 1/512 of a turn (any value; only its low nine bits count).
inline float sine512(uint32_t angle) {
  return SineTable512[angle & 511];
}

// min(1, sin(x * 128 * 0.00390625 * pi)) for x = elapsed / duration: the product in single
// precision with pi as a float, the sine in double precision rounded back.
inline float sine_out(float x) {
  constexpr float kPi = 3.14159265f;
  const float v = static_cast<float>(std::sin(static_cast<double>(x * 128.0f * 0.00390625f * kPi)));
  return v < 1.0f ? v : 1.0f;
}

}  // namespace graphics
