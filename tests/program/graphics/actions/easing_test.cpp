// The easing curves against values worked out by hand from their formulas.
#include "graphics/actions/easing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using actions::action_ease_time;
using actions::easing_rate;

// Time is given in ms of a 1000-ms curve, so x = ms / 1000.
TEST(Easing, CurvesAtChosenPoints) {
  struct Case {
    uint32_t type, ms;
    float want;
  } cases[] = {
      {0, 250, 0.25f},       {1, 0, 0.0f},  // log10(1) = 0
      {1, 500, 0.165566f},                  // -0.55 log10(0.5)
      {1, 900, 0.55f},                      // -0.55 log10(0.1)
      {1, 990, 1.0f},                       // past 10^(-1/0.55): clamped
      {2, 0, 0.0f},                         // log10(0) = -infinity, clamped, subtracted from 1
      {2, 50, 0.0f},                        // still below 10^-1.25
      {2, 100, 0.2f},                       // 1 - 0.8
      {2, 500, 0.759176f},                  // 1 + 0.8 log10(0.5)
      {3, 500, 0.707107f},                  // sin(pi / 4)
      {16, 300, 0.3f},       {17, 300, 0.3f},       {18, 300, 0.3f},
      {18, 700, 0.7f},       {19, 500, 0.292893f},                      // 1 - cos(pi / 4)
      {20, 500, 0.707107f},  {21, 250, 0.146447f},                      // (cos(pi / 4) - 1) * -0.5
      {22, 500, 0.25f},      {23, 500, 0.75f},      {24, 250, 0.125f},  // 2 x^2
      {24, 500, 0.5f},    // the second branch at exactly 0.5
      {24, 750, 0.875f},  // 1 - 0.5^2 / 2
      {25, 500, 0.125f},     {26, 500, 0.875f},     {27, 250, 0.0625f},  // 4 x^3
      {27, 750, 0.9375f},    {28, 500, 0.0625f},    {29, 500, 0.9375f},
      {30, 250, 0.03125f},                                                 // 8 x^4
      {31, 500, 0.03125f},   {32, 500, 0.96875f},   {33, 250, 0.015625f},  // 16 x^5
      {34, 0, 0.0f},                                                       // not 2^-10
      {34, 500, 0.03125f},                                                 // 2^-5
      {35, 500, 0.96875f},   {35, 1000, 1.0f},      {36, 250, 0.015625f},  // 2^-5 / 2
      {36, 750, 0.984375f},  {37, 500, 0.133975f},                         // 1 - sqrt(0.75)
      {38, 500, 0.866025f},  {39, 250, 0.066987f},                         // (1 - sqrt(0.75)) / 2
      {40, 500, -0.087698f},                         // 2.70158 / 8 - 1.70158 / 4
      {41, 500, 1.087698f},  {42, 250, -0.099682f},  // overshoots below 0 near the start
      {42, 750, 1.099682f},                          // and above 1 near the end
      {43, 500, -0.015625f},                         // -(2^-5 sin(-5.75 * 2.0943952))
      {44, 100, 1.25f},                              // 2^-1 sin(0.25 * 2.0943952) + 1: above 1
      {45, 500, 0.5f},       {46, 500, 0.234375f},   // 1 - (7.5625 * (0.5 - 0.54545456)^2 + 0.75)
      {47, 250, 0.472656f},                          // 7.5625 / 16
      {47, 909, 0.999875f},  // 7.5625 (0.909 - 0.8181818)^2 + 0.9375: touches 1 early
      {48, 250, 0.117187f},  {48, 750, 0.882813f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(easing_rate(c.type, c.ms, 1000), c.want, 2e-6f)
        << "type " << c.type << " at " << c.ms;
  }
}

TEST(Easing, EndsAndTypesWithoutACurve) {
  for (uint32_t type : {0u, 1u, 2u, 3u, 4u, 15u, 16u, 30u, 34u, 42u, 48u, 49u, 0xFFFFFFFFu}) {
    EXPECT_EQ(easing_rate(type, 0, 0), 1.0f) << "duration 0, type " << type;
    EXPECT_EQ(easing_rate(type, 5000, 1000), 1.0f) << "past the end, type " << type;
  }
  for (uint32_t type : {4u, 9u, 15u, 49u, 1000u}) {
    EXPECT_EQ(easing_rate(type, 0, 1000), 1.0f) << "no curve, type " << type;
  }
  EXPECT_EQ(actions::easing_decele_quad(500, 1000), 0.75f);
  EXPECT_EQ(actions::easing_decele_quad(0, 0), 1.0f);
  EXPECT_EQ(actions::easing_accele_log(0, 0), 1.0f);
}

TEST(Easing, EaseWindowPlaysAStretchOfTheCurve) {
  // Whole window: exactly 1.0 at the end whatever the curve, also one that overshoots there.
  EXPECT_EQ(action_ease_time(44, 1000, 1000, 0, 1000), 1.0f);
  EXPECT_EQ(action_ease_time(22, 500, 1000, 0, 1000), 0.25f);
  // 0..500 of quad in over 1000 ms: the whole curve lasts 2000 ms, the section ends at 0.25.
  EXPECT_EQ(action_ease_time(22, 1000, 1000, 0, 500), 0.25f);
  EXPECT_EQ(action_ease_time(22, 500, 1000, 0, 500), 0.0625f);
  // 500..1000 of linear over 1000 ms: the curve lasts 2000, offset 1000.
  EXPECT_EQ(action_ease_time(16, 0, 1000, 500, 1000), 0.5f);
  EXPECT_EQ(action_ease_time(16, 500, 1000, 500, 1000), 0.75f);
  EXPECT_EQ(action_ease_time(44, 1000, 1000, 500, 1000), 1.0f);
  // 200..800 of linear over 600: starts at 0.2, ends at 0.8.
  EXPECT_NEAR(action_ease_time(16, 0, 600, 200, 800), 0.2f, 1e-6f);
  EXPECT_NEAR(action_ease_time(16, 600, 600, 200, 800), 0.8f, 1e-6f);
  // An empty window holds the value at its start and never divides by zero.
  EXPECT_EQ(action_ease_time(22, 0, 1000, 500, 500), 0.25f);
  EXPECT_EQ(action_ease_time(22, 1000, 1000, 500, 500), 0.25f);
  // A one-per-mille window over a long time saturates instead of overflowing.
  EXPECT_TRUE(std::isfinite(action_ease_time(16, 10, 0xFFFFFFF0u, 0, 1)));
}

}  // namespace
