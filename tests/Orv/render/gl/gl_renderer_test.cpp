// The GL peer against the software peer: the same requests drawn by both, the pictures
// compared per channel. Needs a 3.3 core context (SDL offscreen + EGL + llvmpipe under
// ctest); where none can be made every test skips.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/gl_peer_fixture.h"

namespace {

// Colours within 2 per channel. (Opaque 255 drawn in white over black is 252: the 8-bit
// blend takes 255 x 255 / 256 twice.)
bool near(uint32_t a, uint32_t b) {
  for (int sh = 0; sh < 32; sh += 8) {
    int d = static_cast<int>((a >> sh) & 255) - static_cast<int>((b >> sh) & 255);
    if (d > 2 || d < -2) return false;
  }
  return true;
}

uint32_t solid_red(int32_t, int32_t) {
  return 0xFFFF0000u;
}
// A picture whose every texel differs from its neighbours, so a texel picked one off shows.
uint32_t pattern(int32_t x, int32_t y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 37) & 255) << 16 |
         static_cast<uint32_t>((y * 53) & 255) << 8 | static_cast<uint32_t>((x * y * 7 + 11) & 255);
}

TEST_F(GlPeer, SpriteAtOriginCoversExactlyItsPixelsTopRowFirst) {
  open(160, 90);
  clear_both(0xFF0000FFu);
  draw_both(request(image(100, 50, solid_red)));
  std::vector<uint32_t> px = gl_pixels();
  for (int32_t y = 0; y < h_; ++y) {
    for (int32_t x = 0; x < w_; ++x) {
      bool inside = x < 100 && y < 50;
      ASSERT_EQ(px[y * w_ + x] != 0xFF0000FFu, inside) << x << "," << y;
    }
  }
  EXPECT_EQ(differing(1), 0);
}

TEST_F(GlPeer, BlendTableOnSolidColoursMatchesSoftware) {
  struct Case {
    int32_t mode;
    uint32_t back, texel, color;
  };
  const Case cases[] = {
      {1, 0xFF204060u, 0xFFFFFFFFu, 0x80FF0000u}, {1, 0xFF808080u, 0x80C04020u, 0xFFFFFFFFu},
      {0, 0xFF808080u, 0x80C04020u, 0xFF80FF40u}, {12, 0xFF101010u, 0x40FFFFFFu, 0xC0FFFFFFu},
      {2, 0xFF404040u, 0xFF306090u, 0xFFFFFFFFu}, {2, 0xFFF0F0F0u, 0x80FFFFFFu, 0x80000000u},
      {3, 0xFFFFFFFFu, 0xFF306090u, 0xFFFFFFFFu}, {3, 0xFF80C0FFu, 0x80FFFFFFu, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    TearDown();
    images_.clear();
    open(32, 32);
    if (IsSkipped()) return;
    static uint32_t texel;
    texel = c.texel;
    clear_both(c.back);
    DrawRequest r = request(image(16, 16, [](int32_t, int32_t) { return texel; }));
    r.x = 8;
    r.y = 8;
    r.color = c.color;
    r.render_mode = c.mode;
    draw_both(r);
    EXPECT_EQ(differing(1), 0);
  }
}

// The render modes with a blend of their own, on solid colours: back 0xFF808080 (128), texel
// 0xFF4080C0 (64, 128, 192), white colour unless given; expected values worked out by hand from
// each blend (channels in 0..255, rounded).
TEST_F(GlPeer, BlendTableOfTheOtherModes) {
  struct Case {
    int32_t mode;
    uint32_t color;
    uint32_t expect;
  };
  const Case cases[] = {
      {4, 0xFFFFFFFFu, 0xFF404040u},   // 128 x 128 / 255 = 64
      {5, 0xFFFFFFFFu, 0xFF1F3F5Fu},   // multiply, as mode 3
      {6, 0xFFFFFFFFu, 0xFFA0C0E0u},   // 64 (1 - 128/255) + 128 = 160; 192; 224
      {7, 0xFFFFFFFFu, 0xFF408080u},   // min
      {8, 0xFFFFFFFFu, 0xFF8080C0u},   // max
      {9, 0xFFFFFFFFu, 0xFFC0FFFFu},   // 192, 255 (clamped), 255
      {10, 0xFFFFFFFFu, 0xFF400000u},  // 128 - 64, 0, 0 (clamped)
      {9, 0xFF808080u, 0xFFA0C0E0u},   // the colour modulates: 32, 64, 96 added
      {11, 0x80FF0000u, 0xFF4080C0u},  // opaque: the texel alone, the colour's RGB ignored
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    TearDown();
    images_.clear();
    open(32, 32);
    if (IsSkipped()) return;
    gl().clear(0xFF808080u);
    DrawRequest r = request(image(16, 16, [](int32_t, int32_t) { return 0xFF4080C0u; }));
    r.x = r.y = 8;
    r.color = c.color;
    r.render_mode = c.mode;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    std::vector<uint32_t> px = gl_pixels();
    for (int sh = 0; sh < 24; sh += 8) {
      int d = static_cast<int>((px[12 * 32 + 12] >> sh) & 255) -
              static_cast<int>((c.expect >> sh) & 255);
      EXPECT_LE(std::abs(d), 1) << std::hex << px[12 * 32 + 12];
    }
    EXPECT_EQ(px[0], 0xFF808080u);  // outside the sprite
    // A sprite drawn after it blends by alpha again.
    DrawRequest after = request(image(4, 4, [](int32_t, int32_t) { return 0x80FFFFFFu; }));
    after.x = after.y = 20;
    gl().draw_sprite(after);
    uint32_t p = gl_pixels()[21 * 32 + 21];
    EXPECT_TRUE(p != px[21 * 32 + 21]) << std::hex << p;
  }
  // Texels of alpha 0 are never drawn, whatever the mode.
  for (int32_t mode : {2, 4, 6, 7, 8, 9, 10, 11}) {
    SCOPED_TRACE(mode);
    TearDown();
    images_.clear();
    open(16, 16);
    gl().clear(0xFF123456u);
    DrawRequest r = request(image(16, 16, [](int32_t, int32_t) { return 0x00FFFFFFu; }));
    r.render_mode = mode;
    gl().draw_sprite(r);
    for (uint32_t p : gl_pixels()) ASSERT_EQ(p, 0xFF123456u);
  }
}

// Sprites blended by alpha under a white colour are drawn from their texture in the blend's
// form; the pixels, alpha included (the target list's target keeps it), must be those of the
// sprite program's alpha mode: every texel value over every target value in each channel, with
// alphas spread over the picture, the sprite placed off the origin and cut by the edges, with
// and without a clear frame round the picture.
TEST_F(GlPeer, BlendFormDrawsThePixelsOfTheAlphaMode) {
  open(256, 256);
  // Texel and target alphas run over the columns; the target's colour over the rows.
  ImageObject* under = image(256, 256, [](int32_t x, int32_t y) {
    return static_cast<uint32_t>(x) << 24 | static_cast<uint32_t>(y) << 16 |
           static_cast<uint32_t>(255 - y) << 8 | static_cast<uint32_t>((y * 7) & 255);
  });
  static uint32_t round;
  ImageObject* sprite = nullptr;
  auto draw = [&](bool blend_form) {
    gl_renderer_use_blend_forms_for_test(blend_form);
    EXPECT_TRUE(gl().targets_begin());
    DrawRequest r = request(under);
    r.render_mode = 11;  // written as it is
    gl().draw_sprite(r);
    r = request(sprite);
    r.x = round % 2 ? -5 : 3;
    r.y = round % 2 ? 4 : -2;
    r.rect.left = 1;
    gl().draw_sprite(r);
    std::vector<uint32_t> out(256 * 256);
    EXPECT_TRUE(gl().read_render_buffer(out.data(), 256, 256));
    gl().targets_end();
    return out;
  };
  for (round = 0; round < 4; ++round) {
    // From the third round on, a clear frame round the picture, which the blend's form skips.
    sprite = image(256, 256, [](int32_t x, int32_t y) {
      uint32_t a = (static_cast<uint32_t>(x * 7 + y * 13) + round * 91u) & 255u;
      if (round >= 2 && (x < 40 || y < 9 || y > 200)) a = 0;
      return a << 24 | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(255 - x) << 8 |
             static_cast<uint32_t>((x * 5) & 255);
    });
    const std::vector<uint32_t> general = draw(false);
    const std::vector<uint32_t> form = draw(true);
    int differ = 0;
    for (size_t i = 0; i < general.size(); ++i) differ += general[i] != form[i];
    EXPECT_EQ(differ, 0) << "round " << round;
  }
  gl_renderer_use_blend_forms_for_test(true);
}

TEST_F(GlPeer, TransparentTexelsAreNeverDrawn) {
  open(32, 32);
  clear_both(0xFF123456u);
  for (int32_t mode : {1, 2, 3}) {
    DrawRequest r = request(
        image(16, 16, [](int32_t x, int32_t) { return x < 8 ? 0x00FFFFFFu : 0x00000000u; }));
    r.render_mode = mode;
    draw_both(r);
  }
  for (uint32_t p : gl_pixels()) ASSERT_EQ(p, 0xFF123456u);
}

// The 3D device turns the other way than the software peer: a GL turn matches the software
// peer's opposite turn.
TEST_F(GlPeer, RotationAndScaleMirrorTheSoftwareGeometry) {
  struct Case {
    int32_t rotation;
    float sx, sy;
  };
  const Case cases[] = {{128, 1, 1}, {64, 1, 1},      {-37, 1, 1},        {256, 1, 1},
                        {0, 2, 2},   {0, 0.5f, 0.5f}, {100, 1.5f, 0.75f}, {0, 1.01f, 1.01f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rotation << " " << c.sx << "x" << c.sy);
    TearDown();
    images_.clear();
    open(200, 160);
    if (IsSkipped()) return;
    clear_both(0xFF000000u);
    DrawRequest r = request(image(60, 40, pattern));
    r.x = 70;
    r.y = 60;
    r.rotation = c.rotation;
    r.scale_x = c.sx;
    r.scale_y = c.sy;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    DrawRequest opposite = r;
    opposite.rotation = -r.rotation;
    draw_sprite_dib(dib_, opposite);
    // Both pick the same texel for all but a few pixels where a texel edge meets a pixel
    // centre.
    EXPECT_LT(differing(2), 200 * 160 / 100);
  }
}

TEST_F(GlPeer, ClippedRectangleKeepsPixelsInPlace) {
  open(64, 64);
  clear_both(0xFF000000u);
  DrawRequest r = request(image(20, 20, pattern));
  r.rect = OrvRect{-5, 3, 30, 15};
  r.x = -10;
  r.y = 40;
  draw_both(r);
  EXPECT_EQ(differing(1), 0);
}

uint32_t half_transparent(int32_t x, int32_t y) {
  return ((x + y) % 5 == 0) ? 0u : (0x80000000u | pattern(y, x));
}

TEST_F(GlPeer, CrossFadeMixesThePairAsSoftwareDoes) {
  struct Case {
    int32_t in_w, out_w;
    uint32_t in_color, out_color;
    float t;
    int32_t rotation;
    uint32_t (*out_fill)(int32_t, int32_t);
  };
  const Case cases[] = {
      {40, 40, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.25f, 0, pattern},
      {40, 40, 0xFFFFFFFFu, 0x00FFFFFFu, 0.25f, 0, pattern},  // outgoing alpha 0
      {30, 50, 0xC0FFFFFFu, 0xFFFFFFFFu, 0.5f, 0, pattern},   // narrower incoming, centred
      {50, 30, 0xFFFFFFFFu, 0x80FFFFFFu, 0.75f, 0, half_transparent},
      {40, 40, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.4f, 100, half_transparent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.in_w << "/" << c.out_w << " t " << c.t);
    TearDown();
    images_.clear();
    open(120, 90);
    if (IsSkipped()) return;
    clear_both(0xFF204080u);
    DrawRequest in = request(image(c.in_w, 30, pattern));
    DrawRequest out = request(image(c.out_w, 30, c.out_fill));
    in.x = out.x = 30;
    in.y = out.y = 20;
    in.color = c.in_color;
    out.color = c.out_color;
    in.rotation = c.rotation;
    EXPECT_EQ(gl().draw_crossfade(in, out, c.t), 1);
    DrawRequest opposite = in;  // the software peer turns the other way
    opposite.rotation = -in.rotation;
    draw_crossfade_dib(dib_, opposite, out, c.t);
    EXPECT_LT(differing(2), c.rotation ? 120 * 90 / 100 : 1);
  }
}

TEST_F(GlPeer, CrossFadeOfUnequalHeightsDrawsNothing) {
  open(64, 64);
  clear_both(0xFF000000u);
  DrawRequest in = request(image(10, 10, pattern));
  DrawRequest out = request(image(10, 12, pattern));
  EXPECT_EQ(gl().draw_crossfade(in, out, 0.5f), 0);
  for (uint32_t p : gl_pixels()) ASSERT_EQ(p, 0xFF000000u);
  // One side alone is drawn as a plain sprite.
  DrawRequest none;
  EXPECT_EQ(gl().draw_crossfade(none, out, 0.5f), 1);
  draw_crossfade_dib(dib_, none, out, 0.5f);
  EXPECT_EQ(differing(1), 0);
}

TEST_F(GlPeer, TexturesUploadOnlyWhenThePixelsChange) {
  open(64, 64);
  ImageObject* img = image(16, 16, pattern);
  DrawRequest r = request(img);
  gl_renderer_reset_stats();
  for (int frame = 0; frame < 3; ++frame) {
    gl().clear(0);
    gl().draw_sprite(r);
  }
  EXPECT_EQ(gl_renderer_stats().uploads, 1u);
  EXPECT_EQ(gl_renderer_stats().draws, 3u);
  int32_t pitch = 0;
  image_pixels(img, &pitch, nullptr)[0] = 0xFF00FF00u;
  image_mark_changed(img);
  gl().clear(0);
  gl().draw_sprite(r);
  EXPECT_EQ(gl_renderer_stats().uploads, 2u);
  EXPECT_TRUE(near(gl_pixels()[0], 0xFF00FC00u)) << std::hex << gl_pixels()[0];
  // A new image in a released slot is never drawn from the old texture.
  image_release(img);
  images_.clear();
  ImageObject* other = image(16, 16, solid_red);
  gl().clear(0);
  gl().draw_sprite(request(other));
  EXPECT_TRUE(near(gl_pixels()[0], 0xFFFC0000u));
  // Nor when the released one was never written after it was made (its storage is often
  // handed out again at the same address) and no frame was shown in between.
  image_release(other);
  images_.clear();
  ImageObject* third = image(16, 16, [](int32_t, int32_t) { return 0xFF0000FFu; });
  gl().clear(0);
  gl().draw_sprite(request(third));
  EXPECT_TRUE(near(gl_pixels()[0], 0xFF0000FCu)) << std::hex << gl_pixels()[0];
}

TEST_F(GlPeer, CapsComeFromTheContextAndCountTextures) {
  open(64, 64);
  RendererCaps before = gl().caps();
  EXPECT_GE(before.max_texture_side, 4096);
  EXPECT_FALSE(before.pow2_textures);
  gl().draw_sprite(request(image(256, 128, pattern)));
  EXPECT_EQ(before.texture_memory - gl().caps().texture_memory, 256u * 128u * 4u);
  // A released image's texture goes at the next present.
  image_release(images_.back());
  images_.pop_back();
  EXPECT_TRUE(gl().present(nullptr));
  EXPECT_EQ(gl().caps().texture_memory, before.texture_memory);
}

TEST_F(GlPeer, PresentShowsTheFrame) {
  open(64, 48);
  gl().clear(0xFF336699u);
  EXPECT_TRUE(gl().present(nullptr));
  EXPECT_EQ(gl_pixels()[0], 0xFF336699u);
}

}  // namespace
