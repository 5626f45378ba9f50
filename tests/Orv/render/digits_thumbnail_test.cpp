#include <climits>

#include "Orv/render/pixel_kernels.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

class DigitTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    for (OrvHandle& s : digits) {
      s = OrvSpriteCreate(list, 140, 10, 0);  // a strip of 14 cells of 10 x 10
      OrvSpriteSetOffsetRect(s, 10, 10);
    }
  }
  // What each sprite shows: its cell, or -1 when hidden.
  std::vector<int32_t> shown(int32_t n) {
    std::vector<int32_t> cells;
    for (int32_t i = 0; i < n; ++i) {
      OrvRect r{};
      OrvSpriteGetRect(digits[i], &r);
      cells.push_back(OrvSpriteViewIs(digits[i]) ? r.left / 10 : -1);
    }
    return cells;
  }
  OrvHandle digits[11] = {};  // the array OrvNumberDraw needs: 10 digits and a sign
};

TEST_F(DigitTest, NumberDrawShowsDigitsSignsAndMarks) {
  struct Case {
    int32_t value, count, flags;
    std::vector<int32_t> cells;  // of the first five sprites
  };
  const Case cases[] = {
      {-42, 5, 1, {2, 4, 11, -1, -1}},  // the count follows the digits and the sign
      {42, 0, 1, {2, 4, 10, -1, -1}},
      {7, 3, 2, {7, 0, 0, -1, -1}},  // fixed count: leading zeros
      {7, 3, 2 | 4, {7, 0, 12, -1, -1}},
      {123, 0, 4, {3, 2, 12, -1, -1}},  // the mark replaces the highest digit
      {5, 0, 8, {13, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    OrvNumberDrawCtrl(digits, 11, 0);
    OrvNumberDraw(digits, c.value, c.count, c.flags);
    EXPECT_EQ(shown(5), c.cells) << c.value << " count " << c.count << " flags " << c.flags;
  }
  // The most negative value has ten digits and a sign: the whole array of 11.
  OrvNumberDraw(digits, INT_MIN, 0, 1);
  EXPECT_EQ(shown(11), (std::vector<int32_t>{8, 4, 6, 3, 8, 4, 7, 4, 1, 2, 11}));
  EXPECT_EQ(OrvNumberGetPlace(0), 1);
  EXPECT_EQ(OrvNumberGetPlace(-120), 3);
  EXPECT_EQ(OrvNumberGetPlace(INT_MIN), 10);
}

TEST_F(DigitTest, PlacementStepsRightToLeftAndNullEntriesAreSkipped) {
  OrvHandle three[3] = {digits[0], 0, digits[2]};
  OrvNumberSet(three, 100, 50, 3);  // step = the cell width of sprite 0
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(digits[0], &info);
  EXPECT_EQ(info.x, 120.0f);
  OrvSpriteGetInfo(digits[2], &info);
  EXPECT_EQ(info.x, 100.0f);
  EXPECT_EQ(info.y, 50.0f);
}

TEST(Thumbnail, ScalersAndMosaicsStayInsideTheirBuffers) {
  // 4 x 2 source, columns 0..3 in the blue byte.
  uint32_t src[8] = {0, 1, 2, 3, 10, 11, 12, 13};
  uint32_t dst[16] = {};
  scale_nearest32(dst, 2, 1, src, 4, 2, 0.5f, 0.5f);
  EXPECT_EQ(dst[0], 0u);
  EXPECT_EQ(dst[1], 2u);
  uint32_t bl[8] = {};
  scale_bilinear32(bl, 8, 1, src, 4, 2, 2.0f, 0.5f);
  EXPECT_EQ((std::vector<uint32_t>(bl, bl + 8)), (std::vector<uint32_t>{0, 0, 1, 1, 2, 2, 3, 3}));
  uint32_t untouched[4] = {7, 7, 7, 7};
  scale_nearest32(untouched, 2, 2, src, 4, 2, 0.0f, 1.0f);
  scale_bilinear32(untouched, 2, 2, src, 4, 2, -1.0f, 1.0f);
  EXPECT_EQ(untouched[0], 7u);
}

TEST_F(RenderTest, ThumbnailsOfTheScreenAndOfPictures) {
  solid(kW / 2, kH, 0xFFFFFFFFu);
  ASSERT_TRUE(render_frame_draw());
  std::vector<uint32_t> thumb(16 * 12, 0);
  ASSERT_EQ(OrvThumbnailCreate(thumb.data(), 0, 16, 12), 1);
  EXPECT_EQ(thumb[0], 0xFFFCFCFCu);
  EXPECT_EQ(thumb[15], 0xFF000000u);

  // Factor 0 or less counts as 1: the mosaic equals the plain thumbnail.
  std::vector<uint32_t> mosaic(16 * 12, 0);
  for (int32_t factor : {0, -3, 1}) {
    ASSERT_EQ(OrvThumbnailCreateMosaic(mosaic.data(), 0, 16, 12, factor), 1);
    EXPECT_EQ(mosaic, thumb) << factor;
  }
  // A factor so large that the small picture would have no pixels keeps one.
  ASSERT_EQ(OrvThumbnailCreateMosaic(mosaic.data(), 0, 16, 12, 1000), 1);
  EXPECT_EQ(mosaic[0], mosaic[16 * 12 - 1]);

  // A 1280 x 720 picture at 160 x 90, factor 4: 40 x 22 blocks of 4 x ~4.
  std::vector<uint32_t> big(1280 * 720);
  for (int32_t y = 0; y < 720; ++y) {
    for (int32_t x = 0; x < 1280; ++x) big[y * 1280 + x] = static_cast<uint32_t>(x / 32);
  }
  std::vector<uint32_t> out(160 * 90, 0xDEADu);
  ASSERT_EQ(OrvThumbnailCreateMosaicEx(out.data(), 160, 90, big.data(), 1280, 720, 4), 1);
  EXPECT_EQ(out[0], out[3]);
  EXPECT_NE(out[3], out[4]);
  EXPECT_NE(out[160 * 90 - 1], 0xDEADu);

  std::vector<uint32_t> black(4, 5);
  EXPECT_EQ(OrvThumbnailCreateNull(black.data(), 0, 0, 1), 1);
  EXPECT_EQ(black[0], 5u);
  EXPECT_EQ(OrvThumbnailCreateNull(black.data(), 0, 2, 2), 1);
  EXPECT_EQ(black[3], 0xFF000000u);
}

}  // namespace
}  // namespace rendertest
