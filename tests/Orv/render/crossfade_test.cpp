#include <cstring>

#include "Orv/core/handle_table.h"
#include "Orv/render/crossfade.h"
#include "Orv/render/fx_blend.h"
#include "Orv/render/sw/dib_renderer.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

class CrossFadeTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    in = solid(8, 8, 0xFFFFFFFFu, 10, 10, 5);   // white
    out = solid(8, 8, 0xFF0000FFu, 10, 10, 5);  // blue
    fade = OrvSpriteCreateTransitionHandle();
    ASSERT_NE(fade, 0u);
  }
  void TearDown() override {
    OrvSpriteReleaseTransitionHandle(fade);
    RenderTest::TearDown();
  }
  TransitionHandle* handle() {
    return orv_handles().get_as<TransitionHandle>(fade, HandleKind::kTransition);
  }
  OrvHandle in = 0, out = 0, fade = 0;
};

TEST_F(CrossFadeTest, AlphasSplitTheIncomingOpacityByProgress) {
  OrvSpriteSetColor(out, 0xFF0000FFu);
  ASSERT_TRUE(OrvSpriteSetTransition(list, in, out, 1, 0, 1000, fade));
  set_time(250);
  DrawRequest a, b;
  float t = 0;
  ASSERT_TRUE(crossfade_requests(handle(), &a, &b, &t));
  EXPECT_EQ(t, 0.25f);
  EXPECT_EQ(a.color >> 24, 63u);
  EXPECT_EQ(b.color >> 24, 192u);
  EXPECT_EQ(b.color & 0xFFFFFFu, 0x0000FFu);  // the outgoing colour keeps its own red, green, blue

  // The frame: the sprites' own nodes skip them and the pair is mixed with F = 63.
  ASSERT_TRUE(render_frame_draw());
  // Mixed pixel: colour (255*63 + c*192) >> 8, alpha 63*255/256 + (255*192 >> 8) = 62 + 191.
  uint32_t m = (255u * 63 + 0 * 192) >> 8, blue = (255u * 63 + 255 * 192) >> 8;
  uint32_t alpha = 62 + 191;
  uint32_t k = (255u * alpha) >> 8;  // opaque white colour: m = (255 * alpha) >> 8
  uint32_t want_r = (m * 255 >> 8) * k >> 8, want_b = (blue * 255 >> 8) * k >> 8;
  EXPECT_EQ(pixel(12, 12), 0xFF000000u | want_r << 16 | want_r << 8 | want_b);
  EXPECT_EQ(OrvSpriteGetTransitionState(fade), 1);

  set_time(1000);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(OrvSpriteGetTransitionState(fade), 2);
  // The incoming sprite alone, still drawn by the handle: mixed at F = 255 (254, alpha 254),
  // then blended with m = 253.
  EXPECT_EQ(pixel(12, 12), 0xFFFAFAFAu);
}

TEST_F(CrossFadeTest, DurationZeroDrawsOnlyTheIncomingSpriteFully) {
  ASSERT_TRUE(OrvSpriteSetTransition(list, in, out, 1, 0, 0, fade));
  DrawRequest a, b;
  float t = 0;
  ASSERT_TRUE(crossfade_requests(handle(), &a, &b, &t));
  EXPECT_EQ(a.color, 0xFFFFFFFFu);
  EXPECT_EQ(b.image, nullptr);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(12, 12), 0xFFFCFCFCu);
}

TEST_F(CrossFadeTest, CancelReleasesTheOutgoingSpriteAndUnmarksTheIncoming) {
  EXPECT_EQ(OrvSpriteCancelTransition(fade), 0);  // never set
  ASSERT_TRUE(OrvSpriteSetTransition(list, in, out, 1, 0, 1000, fade));
  EXPECT_TRUE(OrvSpriteCancelTransition(fade));
  EXPECT_EQ(OrvSpriteGetTransitionState(fade), 0);
  EXPECT_EQ(sprite_from(out), nullptr);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(12, 12), 0xFFFCFCFCu);  // the incoming sprite draws itself again
  EXPECT_EQ(OrvSpriteGetTransitionState(0), 3);
  // A transition that cannot get its node fails and leaves both sprites drawing themselves.
  EXPECT_EQ(OrvSpriteSetTransition(0, in, 0, 1, 0, 1000, fade), 0);
  EXPECT_EQ(OrvSpriteGetTransitionState(fade), 0);
  EXPECT_EQ(sprite_from(in)->transition_mark, 0);
  EXPECT_EQ(OrvSpriteSetTransition(list, 0, 0, 1, 0, 1000, fade), 0);
}

TEST_F(CrossFadeTest, ASpriteReleasedByTheGameDrawsNothing) {
  ASSERT_TRUE(OrvSpriteSetTransition(list, in, out, 1, 0, 1000, fade));
  set_time(500);
  OrvSpriteRelease(list, in);
  ASSERT_TRUE(render_frame_draw());  // the outgoing sprite fades out alone
  EXPECT_EQ(pixel(12, 12) & 0xFFFF00u, 0u);
  EXPECT_NE(pixel(12, 12), 0xFF000000u);
  OrvSpriteRelease(list, out);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(12, 12), 0xFF000000u);
}

TEST_F(CrossFadeTest, HiddenSpritesOrDifferentHeightsDrawNothing) {
  ASSERT_TRUE(OrvSpriteSetTransition(list, in, out, 1, 0, 1000, fade));
  OrvSpriteViewCtrl(out, 0);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(12, 12), 0xFF000000u);
  OrvSpriteViewCtrl(out, 1);
  OrvRect shorter{0, 0, 8, 7};
  OrvSpriteSetRect(out, &shorter);
  DrawRequest a, b;
  float t = 0;
  ASSERT_TRUE(crossfade_requests(handle(), &a, &b, &t));
  EXPECT_EQ(render_renderer()->draw_crossfade(a, b, t), 0);
}

TEST_F(CrossFadeTest, APairTooBigForTheWorkSurfaceIsDrawnAsTwoSprites) {
  DibRenderer* dib = orv_render().dib;
  OrvHandle wide = OrvSpriteCreate(list, 5000, 2, 0);
  OrvSpritePaint(wide, nullptr, 0xFFFFFFFFu);
  OrvSpriteViewCtrl(wide, 1);
  ASSERT_TRUE(OrvSpriteSetTransition(list, wide, 0, 1, 0, 0, fade));
  DrawRequest a, b;
  float t = 0;
  ASSERT_TRUE(crossfade_requests(handle(), &a, &b, &t));
  DrawRequest other = a;
  other.rect.right = 4999;
  EXPECT_EQ(draw_crossfade_dib(dib, a, other, 0.5f), 1);
  EXPECT_LE(dib->work.size(), size_t{kDibMaxBox} * kDibMaxBox);
  EXPECT_NE(pixel(0, 0), 0xFF000000u);
}

TEST_F(CrossFadeTest, RasterBlendsRunOnTheSharedPhaseAndReverseToOff) {
  OrvSpriteViewCtrl(out, 0);
  uint32_t block[3] = {2000, 0, 0};
  float amp = 4.0f;
  std::memcpy(&block[1], &amp, 4);
  std::memcpy(&block[2], &amp, 4);
  ASSERT_EQ(OrvSpriteSetFxEffect(in, 0, 1, 500, block), 1);
  EXPECT_EQ(OrvSpriteSetFxEffect(in, 0, 1, 500, block), 0);  // already running
  FxRecord* rec = sprite_from(in)->fx;
  FxResult r;
  set_time(0);
  ASSERT_TRUE(fx_evaluate(rec, &r));  // the first raster evaluation starts the phase
  EXPECT_EQ(r.effect, 1);
  EXPECT_EQ(r.amplitude1, 0.0f);
  set_time(1000);
  ASSERT_TRUE(fx_evaluate(rec, &r));
  EXPECT_EQ(r.phase, 0.5f);
  EXPECT_EQ(r.amplitude1, 4.0f);
  set_time(2000);
  ASSERT_TRUE(fx_evaluate(rec, &r));
  EXPECT_EQ(r.phase, 1.0f);
  set_time(2500);
  ASSERT_TRUE(fx_evaluate(rec, &r));
  EXPECT_EQ(r.phase, 0.25f);

  ASSERT_EQ(OrvSpriteSetFxEffect(in, 0, 2, 500, nullptr), 1);
  set_time(2750);
  ASSERT_TRUE(fx_evaluate(rec, &r));
  EXPECT_EQ(r.amplitude2, 2.0f);
  EXPECT_EQ(OrvSpriteGetFxEffectState(in), 2);
  set_time(3000);
  ASSERT_TRUE(fx_evaluate(rec, &r));
  EXPECT_EQ(r.amplitude2, 0.0f);
  EXPECT_EQ(OrvSpriteGetFxEffectState(in), 0);
  ASSERT_TRUE(render_frame_draw());  // a sprite whose blend ended draws plainly
  EXPECT_EQ(pixel(12, 12), 0xFFFCFCFCu);
  EXPECT_EQ(OrvReleaseFxEffect(&in, 0), 1);
  EXPECT_EQ(OrvReleaseFxEffect(&in, 0), 0);
}

TEST_F(CrossFadeTest, ARasterBlendWarpsTheSpriteRows) {
  OrvSpriteViewCtrl(out, 0);
  uint32_t block[3] = {1000, 0, 0};
  float amp = 2.0f;  // x amplitude: trunc(48 rows x 2 x 0.1) = 9 pixels
  std::memcpy(&block[1], &amp, 4);
  ASSERT_EQ(OrvSpriteSetFxEffect(in, 0, 1, 0, block), 1);
  ASSERT_TRUE(render_frame_draw());
  // Phase 0: row y moves left by (9 x sine[y]) >> 16 pixels: none on row 0, one on row 10.
  EXPECT_EQ(pixel(10, 10), 0xFFFCFCFCu);
  EXPECT_EQ(pixel(9, 10), 0xFFFCFCFCu);
  EXPECT_EQ(pixel(17, 10), 0xFF000000u);
  EXPECT_EQ(pixel(17, 12), 0xFF000000u);
  // Switched-off screen effects draw the sprite plainly while the blend runs on.
  orv_core().render.effects_enabled = false;
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(9, 10), 0xFF000000u);
  EXPECT_EQ(pixel(17, 10), 0xFFFCFCFCu);
  EXPECT_EQ(OrvSpriteGetFxEffectState(in), 1);
  orv_core().render.effects_enabled = true;
}

TEST_F(CrossFadeTest, TheFullScreenBlendHasOneNodeAtATime) {
  OrvSpriteViewCtrl(out, 0);
  uint32_t block[3] = {1000, 0, 0};
  int32_t priority = -100;
  ASSERT_EQ(OrvSetFxEffect(&priority, kFxFullScreen, 1, 0, block), 1);
  EXPECT_EQ(OrvSetFxEffect(&priority, kFxFullScreen, 1, 0, block), 0);
  EXPECT_EQ(OrvGetFxEffectState(nullptr, kFxFullScreen), 1);
  // Zero amplitudes: the frame is drawn over itself unmoved (252 blended onto 252 gives 251).
  ASSERT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(12, 12), 0xFFFBFBFBu);
  EXPECT_EQ(pixel(9, 12), 0xFF000000u);
  EXPECT_EQ(OrvReleaseFxEffect(nullptr, kFxFullScreen), 1);
  EXPECT_EQ(OrvSetFxEffect(&priority, kFxFullScreen, 1, 0, block), 1);
  OrvReleaseFxEffect(nullptr, kFxFullScreen);
}

}  // namespace
}  // namespace rendertest
