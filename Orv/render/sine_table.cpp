#include "Orv/render/sine_table.h"

#include <cmath>

const int32_t* sine_table512() {
  static const auto table = [] {
    struct T {
      int32_t v[512];
    } t{};
    for (int k = 0; k < 512; ++k) {
      t.v[k] = static_cast<int32_t>(std::sin(2.0 * 3.14159265358979323846 * k / 512.0) * 65536.0);
    }
    return t;
  }();
  return table.v;
}

const float* float_sine_table512() {
  static const auto table = [] {
    struct T {
      float v[512];
    } t{};
    for (int k = 0; k < 512; ++k) {
      t.v[k] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * k / 512.0));
    }
    return t;
  }();
  return table.v;
}
