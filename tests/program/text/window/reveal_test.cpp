// The reveal on tiny areas, pixel by pixel: the three orderings, the soft edge from its
// formula, clipping to the locked image and pixels that no glyph covers.
#include <gtest/gtest.h>

#include <vector>

#include "engine/orv_static_bind.h"
#include "text/window/reveal.h"

namespace textwindowtest {
namespace {

using textrender::GlyphRect;
using textwindow::RevealOrdering;
using textwindow::RevealState;

class RevealTest : public ::testing::Test {
 protected:
  void SetUp() override { engine::orv_static_bind(); }
  void TearDown() override {
    textwindow::reveal_free(s);
    textrender::glyph_rects_free(s.lineRects);
    textrender::glyph_rects_free(s.keptRects);
  }
  // A stride x rows image, every pixel colour 0x123456 with alpha a.
  static std::vector<uint32_t> image(int32_t stride, int32_t rows, uint32_t a) {
    return std::vector<uint32_t>(size_t(stride) * size_t(rows), (a << 24) | 0x123456u);
  }
  static uint32_t alpha(const std::vector<uint32_t>& px, int32_t stride, int32_t x, int32_t y) {
    return px[size_t(y) * size_t(stride) + size_t(x)] >> 24;
  }
  uint32_t order(int32_t x, int32_t y) const { return s.lpOrder[y * s.nWidth + x]; }
  void line(std::initializer_list<GlyphRect> rects) {
    for (const GlyphRect& r : rects) textrender::glyph_rects_push(s.lineRects, r);
  }
  void kept(std::initializer_list<GlyphRect> rects) {
    for (const GlyphRect& r : rects) textrender::glyph_rects_push(s.keptRects, r);
  }

  RevealState s{};
};

TEST_F(RevealTest, InitSizesTheAreaAndRefusesWhatCannotBe) {
  ASSERT_TRUE(textwindow::reveal_init(s, 301, 10, 26));
  EXPECT_EQ(s.nWidth, 312);  // 304 + 8
  EXPECT_EQ(s.dwSize, 3120u);
  EXPECT_EQ(s.nLinePitch, 26);
  EXPECT_EQ(s.bReady, 0u);
  EXPECT_FALSE(textwindow::reveal_init(s, -1, 10, 26));
  EXPECT_EQ(s.lpOrder, nullptr);
  EXPECT_FALSE(textwindow::reveal_init(s, 0x7FFFFFFF, 0x7FFFFFFF, 26));
  EXPECT_EQ(s.dwSize, 0u);
  // Nothing captured, nothing applied.
  std::vector<uint32_t> px = image(8, 2, 255);
  textwindow::reveal_capture_pixels(px.data(), 8, 2, s, RevealOrdering::kLineWipe, 0);
  textwindow::reveal_apply_pixels(px.data(), 8, 2, s, 1000, true);
  EXPECT_EQ(alpha(px, 8, 0, 0), 255u);
}

TEST_F(RevealTest, LineWipeOrdersLineAfterLineAndFadesItsEdge) {
  // Area 8 -> 16 wide, 4 rows, lines of 2 rows; the image is 16 x 4.
  ASSERT_TRUE(textwindow::reveal_init(s, 8, 4, 2));
  std::vector<uint32_t> px = image(16, 4, 200);
  textwindow::reveal_capture_pixels(px.data(), 16, 4, s, RevealOrdering::kLineWipe, 0);
  EXPECT_EQ(s.bReady, 1u);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      EXPECT_EQ(order(x, y), uint32_t(x + (y / 2) * 16)) << x << "," << y;
      EXPECT_EQ(alpha(px, 16, x, y), 0u);
      EXPECT_EQ(px[y * 16 + x] & 0xFFFFFFu, 0x123456u);
    }
  }
  // d = 10 (below the edge's width): m = 0, a pixel of order o < 10 gets ((64 - o) x 200) >> 6.
  textwindow::reveal_apply_pixels(px.data(), 16, 4, s, 10, true);
  EXPECT_EQ(alpha(px, 16, 0, 0), 200u);
  EXPECT_EQ(alpha(px, 16, 9, 1), (55u * 200u) >> 6);  // 171
  EXPECT_EQ(alpha(px, 16, 10, 0), 0u);
  EXPECT_EQ(alpha(px, 16, 0, 2), 0u);  // the second line has not begun
  // d = 84: m = 20; whole below 20, ((84 - o) x 200) >> 6 up to 83; the second line's first
  // pixels (orders 16..31) are inside the edge too.
  const struct {
    int32_t x, y;
    uint32_t alpha;
  } at84[] = {{0, 0, 200},
              {15, 1, 200},
              {0, 2, 200},
              {3, 2, 200},
              {4, 3, (64u * 200u) >> 6},
              {5, 2, (63u * 200u) >> 6},
              {15, 3, (53u * 200u) >> 6}};
  textwindow::reveal_apply_pixels(px.data(), 16, 4, s, 84, true);
  for (const auto& c : at84) EXPECT_EQ(alpha(px, 16, c.x, c.y), c.alpha) << c.x << "," << c.y;
  // Without the fade a pixel shows whole as soon as the distance passes it.
  textwindow::reveal_apply_pixels(px.data(), 16, 4, s, 20, false);
  EXPECT_EQ(alpha(px, 16, 4, 2), 200u);
}

TEST_F(RevealTest, GlyphOrderShowsEachGlyphWholeAndLeavesUncoveredPixels) {
  ASSERT_TRUE(textwindow::reveal_init(s, 16, 6, 6));  // 24 wide
  std::vector<uint32_t> px = image(24, 6, 255);
  // Two glyphs on a line, effect 1: the first widened left (clamped at 0) and down by 2, the
  // last of the line 4 to the right.
  line({{1, 0, 5, 3}, {5, 0, 9, 3}});
  textwindow::reveal_capture_pixels(px.data(), 24, 6, s, RevealOrdering::kGlyphOrder, 1);
  EXPECT_EQ(order(0, 0), 0u);
  EXPECT_EQ(order(4, 4), 0u);
  EXPECT_EQ(order(5, 0), 5u);  // n grows by the first box's width (5 - 0)
  EXPECT_EQ(order(12, 4), 5u);
  EXPECT_EQ(order(13, 0), 0xFFFFFFFFu);
  EXPECT_EQ(order(0, 5), 0xFFFFFFFFu);
  EXPECT_EQ(alpha(px, 24, 13, 0), 255u);  // not captured: its alpha stays
  textwindow::reveal_apply_pixels(px.data(), 24, 6, s, 5, false);
  EXPECT_EQ(alpha(px, 24, 2, 2), 255u);
  EXPECT_EQ(alpha(px, 24, 6, 2), 0u);
  textwindow::reveal_apply_pixels(px.data(), 24, 6, s, 1000000, true);
  EXPECT_EQ(alpha(px, 24, 6, 2), 255u);
  EXPECT_EQ(alpha(px, 24, 13, 0), 255u);
  EXPECT_EQ(alpha(px, 24, 0, 5), 255u);
}

TEST_F(RevealTest, GlyphWipeRunsAcrossEachGlyphAfterTheKeptOnes) {
  ASSERT_TRUE(textwindow::reveal_init(s, 16, 8, 4));
  std::vector<uint32_t> px = image(24, 8, 100);
  // Kept part: shown from the start (order 0). The current text begins 64 further on, and its
  // second glyph starts a new line (top 4 - 0 >= height 4), so it is widened left again.
  kept({{0, 0, 4, 4}});
  line({{4, 0, 8, 4}, {2, 4, 6, 8}});
  textwindow::reveal_capture_pixels(px.data(), 24, 8, s, RevealOrdering::kGlyphWipe, 0);
  EXPECT_EQ(order(0, 0), 0u);
  EXPECT_EQ(order(3, 4), 0u);  // bottom + 1
  // Box 1: left 4 (not a new line), right 8 + 4 (last of its line): 64 - 4 + x.
  EXPECT_EQ(order(4, 0), 64u);
  EXPECT_EQ(order(11, 0), 71u);
  // Box 2: left 2 - 1, right 6 + 4; n = 64 + 8: order 72 - 1 + x.
  EXPECT_EQ(order(1, 5), 72u);
  EXPECT_EQ(order(9, 7), 80u);
  EXPECT_EQ(order(0, 5), 0xFFFFFFFFu);
  // Row 4 lies under the boxes above (their bottom + 1): those pixels keep their first capture,
  // so the alpha saved is the glyph's own and not the 0 that capture left behind.
  EXPECT_EQ(order(4, 4), 64u);
  textwindow::reveal_apply_pixels(px.data(), 24, 8, s, 1000, true);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(alpha(px, 24, x, y), 100u) << x << "," << y;
  }
}

// Applies skip rows and columns that the previous apply made whole. Frame after frame, with
// the distance growing, standing still and going back, every pixel must be what the formula
// gives when applied to every pixel each time.
TEST_F(RevealTest, SkippingWholeRowsAndColumnsChangesNoPixel) {
  for (const RevealOrdering ordering :
       {RevealOrdering::kLineWipe, RevealOrdering::kGlyphWipe, RevealOrdering::kGlyphOrder}) {
    SCOPED_TRACE(static_cast<int>(ordering));
    ASSERT_TRUE(textwindow::reveal_init(s, 40, 12, 4));  // 48 wide, lines of 4 rows
    textrender::glyph_rects_clear(s.lineRects);
    line({{0, 0, 10, 4}, {10, 0, 22, 4}, {0, 4, 16, 8}, {16, 4, 30, 8}, {0, 8, 40, 12}});
    std::vector<uint32_t> px(48 * 12);
    for (size_t i = 0; i < px.size(); ++i) px[i] = uint32_t((i * 37) & 0xFF) << 24 | 0xABCDEF;
    textwindow::reveal_capture_pixels(px.data(), 48, 12, s, ordering, 0);
    std::vector<uint32_t> want = px;
    for (const auto& [d, fade] : std::vector<std::pair<int32_t, bool>>{{5, true},
                                                                       {40, true},
                                                                       {90, true},
                                                                       {90, true},
                                                                       {150, false},
                                                                       {120, true},
                                                                       {200, true},
                                                                       {70, true},
                                                                       {400, true}}) {
      textwindow::reveal_apply_pixels(px.data(), 48, 12, s, d, fade);
      const uint32_t m = d > 64 ? uint32_t(d - 64) : 0;
      for (size_t i = 0; i < want.size(); ++i) {
        const uint32_t o = s.lpOrder[i], a = s.lpAlpha[i];
        if (o >= uint32_t(d)) continue;
        const uint32_t shown = !fade || m > o ? a : ((m - o + 64) * a) >> 6;
        want[i] = (want[i] & 0xFFFFFFu) | shown << 24;
      }
      ASSERT_EQ(px, want) << "d " << d;
    }
  }
}

TEST_F(RevealTest, NothingOutsideTheLockedImageIsReadOrWritten) {
  // The area (20 -> 28 wide, 6 rows) is larger than the image (16 x 4); guard words after it.
  ASSERT_TRUE(textwindow::reveal_init(s, 20, 6, 2));
  std::vector<uint32_t> px = image(16, 4, 255);
  px.resize(px.size() + 64, 0xDEADBEEFu);
  textwindow::reveal_capture_pixels(px.data(), 16, 4, s, RevealOrdering::kLineWipe, 0);
  textwindow::reveal_apply_pixels(px.data(), 16, 4, s, 100000, true);
  for (size_t i = 64; i < 128; ++i) EXPECT_EQ(px[i], 0xDEADBEEFu);
  EXPECT_EQ(alpha(px, 16, 15, 3), 255u);
  line({{10, 2, 40, 30}});
  textwindow::reveal_capture_pixels(px.data(), 16, 4, s, RevealOrdering::kGlyphWipe, 2);
  textwindow::reveal_apply_pixels(px.data(), 16, 4, s, 100000, true);
  for (size_t i = 64; i < 128; ++i) EXPECT_EQ(px[i], 0xDEADBEEFu);
}

}  // namespace
}  // namespace textwindowtest
