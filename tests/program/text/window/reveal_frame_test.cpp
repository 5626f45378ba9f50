// A half-revealed message in the software renderer's frame: three lines drawn with a bitmap font
// (written by the bitmap_font_writer library), captured by the line wipe and revealed for half
// its time, on a 64 x 48 screen. The frame is checked pixel by pixel against the reveal and
// blend formulas worked from the drawn glyphs, and at a few pixels against values worked out
// by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Orv/core_record.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "bitmap_font_writer/bitmap_font_file.h"
#include "graphics/layers/image_record.h"
#include "orv/orv.h"
#include "support/render_fixture.h"
#include "support/temp_dir.h"
#include "support/vm_fixture.h"
#include "text/render/text_render.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_wait.h"
#include "text/window/text_window_ops.h"

namespace textwindowtest {
namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr int32_t kX = 4, kY = 8;  // the message sprite's place

class RevealFrameTest : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    std::memset(static_cast<void*>(layers::image_table), 0, sizeof layers::image_table);
    list_ = rendertest::software_render_start(64, 48);
    ASSERT_NE(list_, 0u);
    orv_core().render.clear_color = kBlack;
    // 'A' at 8 pixels: a 3 x 4 box, full coverage but its top right pixel at 16 (alpha 63).
    std::vector<uint8_t> box(12, 64);
    box[2] = 16;
    testsupport::write_file(dir_ / "a8.fnt",
                            bitmapfont::bitmap_font_file(8, 4, {{'A', 3, 4, 0, 4, 4, box}}));
    ASSERT_EQ(orv.OrvFontLoad((dir_ / "a8.fnt").c_str()), 1);
    ASSERT_EQ(orv.OrvFontSetType(4), 1);
    orv.OrvFontSetEffect(0);
    gs().settings.dwMessageSpeed = 50;
  }
  void TearDown() override {
    textwindow::text_window_free(vm());
    engine::text_settings_reset();
    orv.OrvFontEnd();
    orv.OrvFontUnload();
    orv.OrvFontSetType(0);
    orv.OrvFontSetFontSize(24);
    rendertest::software_render_stop(list_);
    VmTest::TearDown();
  }
  std::vector<uint32_t> frame() {
    EXPECT_TRUE(render_frame_draw());
    BackBufferView v = render_back_buffer();
    return std::vector<uint32_t>(v.pixels, v.pixels + v.width * v.height);
  }
  // The software renderer's alpha blend of source s over d with a white sprite colour.
  static uint32_t over(uint32_t d, uint32_t s) {
    const uint32_t m = (255u * (s >> 24)) >> 8;
    if ((s >> 24) == 0) return d;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t dc = (d >> shift) & 255u, sc = (s >> shift) & 255u;
      out |= ((dc * (256 - m) + ((sc * 255u) >> 8) * m) >> 8) << shift;
    }
    return out;
  }

  OrvHandle list_ = 0;
  testsupport::TempDir dir_;
};

TEST_F(RevealFrameTest, HalfRevealedMessageMatchesTheFormulasPixelByPixel) {
  vm().hRender = list_;
  load("  call text_init(8, 4, 8, 56, 24, 0, 40, 0)\n  mov r1, 1\n");
  run();
  engine::TextWindow& tw = vm().text;
  ASSERT_EQ(tw.bInit, 1u);
  const uint32_t sprite = tw.lpMessage->hSprite;
  layers::image_apply_transform(vm(), *tw.lpMessage);
  textwindow::text_window_show(vm(), tw, true);

  // The line as the line commands draw it: red text, blue shadow colour, effect 0.
  int32_t x = 0, y = 0;
  const int32_t length = textrender::draw_text_tagged(
      vm(), engine::text_settings.render, sprite, "AAAAAAAAAAAAA<br>AAAAAAAAAAAAA<br>AAAAAAAAAAAAA",
      &x, &y, tw.nWidth, tw.nHeight, tw.nCharSize, 0, 0xFF0000, 0x0000FF, &tw.reveal);
  ASSERT_GT(length, 64);
  int32_t sw = 0, sh = 0;
  const uint32_t* drawn_px = orv.OrvSpriteLock(sprite, &sw, &sh);
  ASSERT_NE(drawn_px, nullptr);
  const std::vector<uint32_t> drawn(drawn_px, drawn_px + sw * sh);
  orv.OrvSpriteUnlock(sprite);
  ASSERT_EQ(sw, 64);  // 56 + 8 -> 64; the reveal area is 72 wide: clipped to the sprite
  ASSERT_TRUE(textwindow::reveal_capture(sprite, tw.reveal, textwindow::RevealOrdering::kLineWipe,
                                         0, false));
  tw.nRenderedLength = length;
  tw.nTime = 0;
  tw.dwMode = engine::kModeNormalLine | engine::kModeReveal;
  textwindow::text_set_reveal_time(vm(), tw, 0);
  ASSERT_EQ(tw.nTotalTime, length / 8 * 50);

  enginetest::g_fake_now += static_cast<uint32_t>(tw.nTotalTime / 2);
  textwindow::text_update(vm());
  const int32_t d = static_cast<int32_t>(static_cast<float>(length + 64) * 0.5f);
  const int32_t m = d > 64 ? d - 64 : 0;
  const std::vector<uint32_t> f = frame();

  int shown = 0, edge = 0, hidden = 0;
  for (int32_t sy = 0; sy < 48; ++sy) {
    for (int32_t sx = 0; sx < 64; ++sx) {
      const int32_t px = sx - kX, py = sy - kY;
      uint32_t want = kBlack;
      if (px >= 0 && px < sw && py >= 0 && py < sh) {
        const uint32_t p = drawn[py * sw + px];
        const uint32_t a = p >> 24;
        // Line wipe: one line of 8 rows per reveal width.
        const int32_t order = (py / 8) * tw.reveal.nWidth + px;
        uint32_t shown_a = 0;
        if (px < tw.reveal.nWidth && py < tw.reveal.nHeight) {
          if (m > order) {
            shown_a = a, shown += a != 0;
          } else if (d > order) {
            shown_a = (static_cast<uint32_t>(m - order + 64) * a) >> 6, edge += a != 0;
          } else {
            hidden += a != 0;
          }
        }
        want = over(kBlack, (p & 0xFFFFFFu) | (shown_a << 24));
      }
      ASSERT_EQ(f[sy * 64 + sx], want) << "at " << sx << "," << sy << " d " << d;
    }
  }
  EXPECT_GT(shown, 0);
  EXPECT_GT(edge, 0);
  EXPECT_GT(hidden, 0);
  // By hand: the first glyph lands one pixel right and down of the pen (effect 0), whole
  // (alpha 255 over black: red (254 x 254) >> 8 = 252); its top right pixel has alpha 63.
  EXPECT_EQ(f[(kY + 1) * 64 + kX + 1], 0xFFFC0000u);
  EXPECT_EQ(f[(kY + 1) * 64 + kX + 3], 0xFF3D0000u);  // m = 62: (254 x 62) >> 8 = 61
  EXPECT_EQ(f[(kY + 1) * 64 + kX + 0], kBlack);
}

}  // namespace
}  // namespace textwindowtest
