// The shared sine table: its short pi shows in its entries.
#include <gtest/gtest.h>

#include "graphics/sine.h"

namespace {

TEST(SineTest, TableUsesTheShortPi) {
  EXPECT_EQ(graphics::SineTable512[0], 0.0f);
  EXPECT_EQ(graphics::SineTable512[128], 1.0f);
  EXPECT_EQ(graphics::SineTable512[256], 0.000001f);
  EXPECT_EQ(graphics::SineTable512[384], -1.0f);
  EXPECT_EQ(graphics::SineTable512[64], 0.707107f);  // sin(pi/4) to six decimals
  EXPECT_EQ(graphics::sine512(512 + 128), 1.0f);
}

}  // namespace
