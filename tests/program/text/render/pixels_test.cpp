// Text drawn through the renderer with a bitmap font of the platform's file layout, written
// by the bitmap_font_writer tool's library: every pixel against values worked out by hand
// from the glyph coverage (alpha 4v - 1), the effect offsets and the blend.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "bitmap_font_writer/bitmap_font_file.h"
#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_static_bind.h"
#include "support/render_fixture.h"
#include "support/temp_dir.h"
#include "text/render/text_render.h"

namespace {

using Pixels = std::map<std::pair<int, int>, uint32_t>;

constexpr int kSide = 16;

class TextPixelsTest : public rendertest::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    saved_ = orv;
    engine::orv_static_bind();
    gs_ = std::make_unique<engine::GameState>();
    reset_font();
    // 'A' at 8 pixels: a 2 x 2 box, coverage 64 16 / 0 64, on the baseline of ascent 2.
    load("a8.fnt", bitmapfont::bitmap_font_file(8, 2, {{'A', 2, 2, 0, 2, 4, {64, 16, 0, 64}}}));
    // 'A' at 16 pixels: a 1 x 2 bar one pixel right of the pen.
    load("a16.fnt", bitmapfont::bitmap_font_file(16, 4, {{'A', 1, 2, 1, 4, 8, {64, 64}}}));
    ASSERT_EQ(orv.OrvFontSetType(4), 1);
    sprite_ = orv.OrvSpriteCreate(list, kSide, kSide, 0);
    ASSERT_NE(sprite_, 0u);
  }
  void TearDown() override {
    reset_font();
    orv = saved_;
    RenderTest::TearDown();
  }
  void reset_font() {
    orv.OrvFontEnd();
    orv.OrvFontUnload();
    orv.OrvFontSetType(0);
    orv.OrvFontSetFontSize(24);
    orv.OrvFontSetEffect(0);
    orv.OrvFontSetColor(0xFFFFFF, 0);
  }
  void load(const char* name, const std::string& bytes) {
    testsupport::write_file(dir_ / name, bytes);
    ASSERT_EQ(orv.OrvFontLoad((dir_ / name).c_str()), 1);
  }
  void draw(const char* text) {
    orv.OrvSpritePaint(sprite_, nullptr, 0);
    int32_t x = 0, y = 0;
    textrender::draw_text_tagged(gs_->vm, settings_, sprite_, text, &x, &y, 32, 32, 8, 0, 0xFF0000,
                                 0x0000FF, nullptr);
  }
  // Every pixel of the sprite: those in `want` as given, all others 0.
  void expect_pixels(const Pixels& want) {
    int32_t w = 0, h = 0;
    const uint32_t* p = orv.OrvSpriteLock(sprite_, &w, &h);
    ASSERT_NE(p, nullptr);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const auto it = want.find({x, y});
        EXPECT_EQ(p[y * w + x], it == want.end() ? 0u : it->second) << "at " << x << "," << y;
      }
    orv.OrvSpriteUnlock(sprite_);
  }

  OrvHandle sprite_ = 0;
  textrender::TextRenderSettings settings_ = textrender::text_render_settings_default();

 private:
  OrvApi saved_;
  std::unique_ptr<engine::GameState> gs_;
  testsupport::TempDir dir_;
};

TEST_F(TextPixelsTest, EffectsZeroToThree) {
  // Text red, effect colour blue; the glyph pass lands one pixel right and down (two for
  // effect 3). Coverage 16 gives alpha 63; over the opaque blue outline it blends to
  // red (255 x 63) >> 8 = 62, blue (255 x 192) >> 8 = 191, alpha (63 x 255 + 255 x 192) >> 8.
  const Pixels want[4] = {
      {{{1, 1}, 0xFFFF0000}, {{2, 1}, 0x3FFF0000}, {{2, 2}, 0xFFFF0000}},
      {{{1, 0}, 0xFF0000FF},
       {{2, 0}, 0x3F0000FF},
       {{0, 1}, 0xFF0000FF},
       {{1, 1}, 0xFFFF0000},
       {{2, 1}, 0xFE3E00BF},
       {{3, 1}, 0x3F0000FF},
       {{1, 2}, 0xFF0000FF},
       {{2, 2}, 0xFFFF0000},
       {{3, 2}, 0xFF0000FF},
       {{2, 3}, 0xFF0000FF}},
      {{{1, 1}, 0xFFFF0000},
       {{2, 1}, 0x3FFF0000},
       {{2, 2}, 0xFFFF0000},
       {{3, 2}, 0x3F0000FF},
       {{3, 3}, 0xFF0000FF}},
      {{{2, 0}, 0xFF0000FF}, {{3, 0}, 0x3F0000FF}, {{2, 1}, 0xFF0000FF}, {{3, 1}, 0xFF0000FF},
       {{4, 1}, 0x3F0000FF}, {{1, 1}, 0xFF0000FF}, {{0, 2}, 0xFF0000FF}, {{1, 2}, 0xFF0000FF},
       {{2, 2}, 0xFFFF0000}, {{3, 2}, 0xFE3E00BF}, {{4, 2}, 0xFF0000FF}, {{5, 2}, 0x3F0000FF},
       {{1, 3}, 0xFF0000FF}, {{2, 3}, 0xFF0000FF}, {{3, 3}, 0xFFFF0000}, {{4, 3}, 0xFF0000FF},
       {{5, 3}, 0xFF0000FF}, {{2, 4}, 0xFF0000FF}, {{3, 4}, 0xFF0000FF}, {{4, 4}, 0xFF0000FF},
       {{3, 5}, 0xFF0000FF}},
  };
  for (int effect = 0; effect < 4; ++effect) {
    SCOPED_TRACE(effect);
    orv.OrvFontSetEffect(effect);
    draw("A");
    expect_pixels(want[effect]);
  }
}

TEST_F(TextPixelsTest, SizeAndColourTags) {
  // "<s16>" picks the 16-pixel font: its bar at pen 0 + origin 1 + step 1. Its rectangle ends
  // at 1 + advance 8; the next glyph starts there less the step. "<s8>" puts the small 'A'
  // 16 - 8 pixels lower, on the line's baseline, in the tag's green.
  draw("<s16>A<s8><c#00FF00>A");
  expect_pixels({{{2, 1}, 0xFFFF0000},
                 {{2, 2}, 0xFFFF0000},
                 {{9, 9}, 0xFF00FF00},
                 {{10, 9}, 0x3F00FF00},
                 {{10, 10}, 0xFF00FF00}});
  EXPECT_EQ(orv.OrvFontGetFontSize(), 24);  // the size before the call
  int32_t colour = 0, shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  EXPECT_EQ(colour, 0xFFFFFF);
}

}  // namespace
