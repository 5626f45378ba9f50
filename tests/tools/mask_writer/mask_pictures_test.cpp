// The demo's transition masks: the order in which each one gives way.
#include "mask_writer/mask_pictures.h"

#include <gtest/gtest.h>

namespace {

uint32_t grey(const std::vector<uint32_t>& px, int w, int x, int y) {
  return px[static_cast<size_t>(y) * w + x] & 255u;
}

TEST(MaskPictures, EachMaskOrdersItsWipe) {
  const int w = 80, h = 64;
  auto m0 = maskwriter::mask_picture(0, w, h);
  EXPECT_EQ(grey(m0, w, 0, 5), 0u);
  EXPECT_EQ(grey(m0, w, w - 1, 5), 255u);
  EXPECT_LT(grey(m0, w, 30, 0), grey(m0, w, 31, 0));
  auto m1 = maskwriter::mask_picture(1, w, h);
  EXPECT_LE(grey(m1, w, 40, 32), 4u);  // half a pixel from the centre
  EXPECT_EQ(grey(m1, w, 0, 0), 255u);
  EXPECT_EQ(grey(m1, w, w - 1, h - 1), 255u);
  auto m2 = maskwriter::mask_picture(2, w, h);  // blinds of 8 rows
  EXPECT_EQ(grey(m2, w, 3, 0), 0u);
  EXPECT_EQ(grey(m2, w, 3, 7), 255u);
  EXPECT_EQ(grey(m2, w, 3, 8), 0u);
  for (uint32_t p : m2) EXPECT_EQ(p >> 24, 255u);
  EXPECT_TRUE(maskwriter::mask_picture(3, w, h).empty());
  EXPECT_TRUE(maskwriter::mask_picture(0, 0, h).empty());
}

}  // namespace
