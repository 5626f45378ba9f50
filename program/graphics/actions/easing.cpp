#include "graphics/actions/easing.h"

#include <cmath>

#include "graphics/sine.h"

namespace actions {
namespace {

constexpr float kPi = 3.14159265f;

float fpow(float base, double exponent) {
  return static_cast<float>(std::pow(static_cast<double>(base), exponent));
}
float fsin(float a) {
  return static_cast<float>(std::sin(static_cast<double>(a)));
}
float fcos(float a) {
  return static_cast<float>(std::cos(static_cast<double>(a)));
}
float fsqrt(float a) {
  return static_cast<float>(std::sqrt(static_cast<double>(a)));
}
float flog10(float a) {
  return static_cast<float>(std::log10(static_cast<double>(a)));
}
float at_most_one(float v) {
  return v < 1.0f ? v : 1.0f;
}
// A float time as u32, saturated (a window of one per mille stretches a long duration past
// what 32 bits hold).
uint32_t to_u32(float v) {
  return v >= 4294967040.0f ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}
float ratio(uint32_t t, uint32_t d) {
  return static_cast<float>(t) / static_cast<float>(d);
}

float bounce_out(float x) {
  constexpr float n = 7.5625f;
  if (x < 0.36363637f) return n * x * x;
  if (x < 0.72727275f) {
    const float y = x - 0.54545456f;
    return n * y * y + 0.75f;
  }
  if (x < 0.90909094f) {
    const float y = x - 0.8181818f;
    return n * y * y + 0.9375f;
  }
  const float y = x - 0.95454544f;
  return n * y * y + 0.984375f;
}

// The standard curves of types 16-48, in type order.
using Curve = float (*)(float x);
constexpr Curve kCurves[] = {
    [](float x) { return x; },
    [](float x) { return 1.0f - (1.0f - x); },
    [](float x) { return x < 0.5f ? (2.0f * x) * 0.5f : 1.0f - (2.0f - 2.0f * x) * 0.5f; },
    [](float x) { return 1.0f - fcos(x * kPi / 2.0f); },
    [](float x) { return fsin(x * kPi / 2.0f); },
    [](float x) { return (fcos(kPi * x) - 1.0f) * -0.5f; },
    [](float x) { return fpow(x, 2); },
    [](float x) { return 1.0f - fpow(1.0f - x, 2); },
    [](float x) { return x < 0.5f ? 2.0f * x * x : 1.0f - fpow(2.0f - 2.0f * x, 2) * 0.5f; },
    [](float x) { return fpow(x, 3); },
    [](float x) { return 1.0f - fpow(1.0f - x, 3); },
    [](float x) { return x < 0.5f ? 4.0f * fpow(x, 3) : 1.0f - fpow(2.0f - 2.0f * x, 3) * 0.5f; },
    [](float x) { return fpow(x, 4); },
    [](float x) { return 1.0f - fpow(1.0f - x, 4); },
    [](float x) { return x < 0.5f ? 8.0f * fpow(x, 4) : 1.0f - fpow(2.0f - 2.0f * x, 4) * 0.5f; },
    [](float x) { return fpow(x, 5); },
    [](float x) { return 1.0f - fpow(1.0f - x, 5); },
    [](float x) { return x < 0.5f ? 16.0f * fpow(x, 5) : 1.0f - fpow(2.0f - 2.0f * x, 5) * 0.5f; },
    [](float x) { return x == 0.0f ? 0.0f : fpow(2.0f, 10.0f * x - 10.0f); },
    [](float x) { return x == 1.0f ? 1.0f : 1.0f - fpow(2.0f, -10.0f * x); },
    [](float x) {
      if (x == 0.0f) return 0.0f;
      if (x == 1.0f) return 1.0f;
      if (x < 0.5f) return fpow(2.0f, 20.0f * x - 10.0f) * 0.5f;
      return (2.0f - fpow(2.0f, 10.0f - 20.0f * x)) * 0.5f;
    },
    [](float x) { return 1.0f - fsqrt(1.0f - fpow(x, 2)); },
    [](float x) { return fsqrt(1.0f - fpow(x - 1.0f, 2)); },
    [](float x) {
      if (x < 0.5f) return (1.0f - fsqrt(1.0f - fpow(2.0f * x, 2))) * 0.5f;
      return (fsqrt(1.0f - fpow(2.0f - 2.0f * x, 2)) + 1.0f) * 0.5f;
    },
    [](float x) { return 2.70158f * fpow(x, 3) - 1.70158f * fpow(x, 2); },
    [](float x) {
      const float y = x - 1.0f;
      return 1.0f + 2.70158f * fpow(y, 3) + 1.70158f * fpow(y, 2);
    },
    [](float x) {
      if (x < 0.5f) return fpow(2.0f * x, 2) * (7.189819f * x - 2.5949094f) * 0.5f;
      const float y = 2.0f * x - 2.0f;
      return (fpow(y, 2) * (3.5949094f * y + 2.5949094f) + 2.0f) * 0.5f;
    },
    [](float x) {
      if (x == 0.0f) return 0.0f;
      if (x == 1.0f) return 1.0f;
      return -(fpow(2.0f, 10.0f * x - 10.0f) * fsin((10.0f * x - 10.75f) * 2.0943952f));
    },
    [](float x) {
      if (x == 0.0f) return 0.0f;
      if (x == 1.0f) return 1.0f;
      return fpow(2.0f, -10.0f * x) * fsin((10.0f * x - 0.75f) * 2.0943952f) + 1.0f;
    },
    [](float x) {
      if (x == 0.0f) return 0.0f;
      if (x == 1.0f) return 1.0f;
      const float s = fsin((20.0f * x - 11.125f) * 1.3962635f);
      if (x < 0.5f) return fpow(2.0f, 20.0f * x - 10.0f) * s * -0.5f;
      return fpow(2.0f, 10.0f - 20.0f * x) * s * 0.5f + 1.0f;
    },
    [](float x) { return 1.0f - bounce_out(1.0f - x); },
    [](float x) { return bounce_out(x); },
    [](float x) {
      if (x < 0.5f) return (1.0f - bounce_out(1.0f - 2.0f * x)) * 0.5f;
      return (bounce_out(2.0f * x - 1.0f) + 1.0f) * 0.5f;
    },
};
constexpr uint32_t kFirstCurve = 16;
constexpr uint32_t kCurveCount = sizeof kCurves / sizeof kCurves[0];
static_assert(kCurveCount == 33);

using OwnCurve = float (*)(uint32_t t, uint32_t d);
constexpr OwnCurve kOwnCurves[] = {easing_linear, easing_accele_log, easing_decele_log,
                                   easing_sine_out};

}  // namespace

float easing_linear(uint32_t t, uint32_t d) {
  if (d == 0) return 1.0f;
  return at_most_one(ratio(t, d));
}

float easing_accele_log(uint32_t t, uint32_t d) {
  if (d == 0) return 1.0f;
  const float x = ratio(d - t, d);
  // At x = 0 the logarithm is -infinity, so the product is +infinity and clamps to 1.
  return at_most_one(flog10(x) * 55.0f * -0.01f);
}

float easing_decele_log(uint32_t t, uint32_t d) {
  const float x = d == 0 ? 1.0f : ratio(t, d);
  return 1.0f - at_most_one(flog10(x) * 80.0f * -0.01f);
}

float easing_sine_out(uint32_t t, uint32_t d) {
  const float x = d == 0 ? 1.0f : ratio(t, d);
  return graphics::sine_out(x);
}

float easing_decele_quad(uint32_t t, uint32_t d) {
  const float x = d == 0 ? 1.0f : ratio(t, d);
  return at_most_one((2.0f - x) * x);
}

float easing_rate(EasingType type, uint32_t elapsed, uint32_t duration) {
  if (duration == 0) return 1.0f;
  const uint32_t t = elapsed < duration ? elapsed : duration;
  if (type < 4) return kOwnCurves[type](t, duration);
  if (type >= kFirstCurve && type - kFirstCurve < kCurveCount) {
    return kCurves[type - kFirstCurve](ratio(t, duration));
  }
  return 1.0f;
}

float action_ease_time(EasingType type, uint32_t elapsed, uint32_t duration, uint32_t start,
                       uint32_t end) {
  if (start == 0 && end == 1000) {
    return elapsed >= duration ? 1.0f : easing_rate(type, elapsed, duration);
  }
  if (end > 1000) end = 1000;
  // An empty window (or one that a stored section turned around) has no curve duration: the
  // section holds the curve's value at its start.
  if (start >= end) return easing_rate(type, start < 1000 ? start : 1000, 1000);
  const uint32_t whole =
      to_u32(static_cast<float>(duration) * 1000.0f / static_cast<float>(end - start));
  const uint32_t offset = to_u32(static_cast<float>(whole * start) * 0.001f);
  const uint32_t t = (elapsed < duration ? elapsed : duration) + offset;
  if (end == 1000 && elapsed >= duration) return 1.0f;
  return easing_rate(type, t, whole);
}

}  // namespace actions
