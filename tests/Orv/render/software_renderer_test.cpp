#include <algorithm>
#include <random>
#include <utility>

#include "Orv/render/fx_result.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sw/blend.h"
#include "Orv/render/sw/dib_renderer.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

// The blend formulas written out once more, channel by channel, as the golden reference.
uint32_t expected(uint32_t d, uint32_t s, uint32_t c, int32_t mode) {
  uint32_t sa = s >> 24, ca = c >> 24;
  if (mode == kBlendCopy) return s;
  if (sa == 0) return d;
  uint32_t out = 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    uint32_t dv = (d >> sh) & 255, sv = (s >> sh) & 255, cv = (c >> sh) & 255, v;
    if (mode == kBlendAdd) {
      v = std::min(255u, dv + (((sv * sa / 256) * ca) >> 8));
    } else if (mode == kBlendMultiply) {
      v = ((((sv * sa / 256) * ca) >> 8) * dv) >> 8;
    } else {
      uint32_t m = (ca * sa) >> 8;
      v = (dv * (256 - m) + ((sv * cv) >> 8) * m) >> 8;
    }
    out |= v << sh;
  }
  return out;
}

TEST(Blend, EachModeFollowsItsIntegerFormula) {
  struct Case {
    int32_t mode;
    uint32_t d, s, c, want;
  };
  const Case cases[] = {
      // Colour alpha 128 over opaque white: m = 127, red (d*129 + 254*127) >> 8.
      {kBlendAlpha, 0xFF204060u, 0xFFFFFFFFu, 0x80FF0000u,
       0xFF000000u | (((0x20u * 129 + 254 * 127) >> 8) << 16 | ((0x40u * 129) >> 8) << 8 |
                      ((0x60u * 129) >> 8))},
      {kBlendAlpha, 0xFF204060u, 0x00FFFFFFu, 0xFFFFFFFFu, 0xFF204060u},  // clear source
      {kBlendAdd, 0xFFF0F0F0u, 0xFF808080u, 0xFFFFFFFFu, 0xFFFFFFFFu},    // clamps at 255
      {kBlendAdd, 0x00101010u, 0x80404040u, 0xFFFFFFFFu, 0xFF2F2F2Fu},
      {kBlendMultiply, 0xFF808080u, 0xFF808080u, 0xFFFFFFFFu, 0xFF3F3F3Fu},
      {kBlendMultiply, 0xFF808080u, 0xFF000000u, 0xFFFFFFFFu, 0xFF000000u},
      {kBlendCopy, 0xFF808080u, 0x12345678u, 0x00000000u, 0x12345678u},
      {6, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFCFCFCu},  // unknown modes blend as alpha
  };
  for (const Case& c : cases) {
    uint32_t d = c.d;
    blend_row(&d, &c.s, 1, c.c, c.mode);
    EXPECT_EQ(d, c.want) << "mode " << c.mode << " s " << std::hex << c.s;
    EXPECT_EQ(expected(c.d, c.s, c.c, c.mode), c.want);
  }
}

TEST(Blend, EveryVectorFormGivesTheScalarReferenceBytes) {
  std::mt19937 rng(12345);
  std::vector<BlendRowVariant> variants = blend_row_variants();
  for (int32_t mode : {0, 1, 2, 3, 9}) {
    for (uint32_t color :
         {0xFFFFFFFFu, 0xFDFFFFFFu, 0x80FFFFFFu, 0x80FF0000u, 0x01020304u, 0x00FFFFFFu}) {
      std::vector<uint32_t> src(1037), dst(1037);
      for (auto& v : src) v = rng();
      for (size_t i = 0; i < src.size(); i += 7) src[i] &= 0x00FFFFFFu;  // some clear pixels
      for (size_t i = 3; i < src.size(); i += 11) src[i] |= 0xFF000000u;
      for (size_t i = 512; i < 540; ++i) src[i] &= 0x00FFFFFFu;     // a clear run
      for (size_t i = 600; i < 700; ++i) src[i] |= 0xFF000000u;     // an opaque run
      for (size_t i = 640; i < 650; i += 3) src[i] &= 0x00FFFFFFu;  // clear pixels within it
      for (size_t i = 700; i < 720; ++i) src[i] = (src[i] & 0xFF000000u) | 0x00FF00u;  // 0, 255
      for (auto& v : dst) v = rng();
      std::vector<uint32_t> want = dst;
      blend_row_scalar(want.data(), src.data(), 1037, color, mode);
      for (const BlendRowVariant& v : variants) {
        std::vector<uint32_t> got = dst;
        v.fn(got.data(), src.data(), 1037, color, mode);
        ASSERT_EQ(got, want) << v.name << " mode " << mode << " colour " << std::hex << color;
      }
      std::vector<uint32_t> got = dst;
      blend_row(got.data(), src.data(), 1037, color, mode);
      ASSERT_EQ(got, want);
    }
  }
}

// Every source alpha and channel value over target values across the range, under the three kinds
// of colour the vector forms tell apart (white at full alpha, white, any other): the vector forms'
// rewritten arithmetic must give the scalar bytes at every corner, not only on random pixels.
TEST(Blend, VectorFormsMatchTheReferenceOverEveryAlphaAndChannelValue) {
  std::vector<uint32_t> src(256 * 256);
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t v = 0; v < 256; ++v)
      src[a * 256 + v] = a << 24 | v << 16 | (255 - v) << 8 | (v ^ 0x5Au);
  }
  std::vector<BlendRowVariant> variants = blend_row_variants();
  for (uint32_t color : {0xFFFFFFFFu, 0x80FFFFFFu, 0xC0804020u}) {
    for (uint32_t d = 0; d < 256; d += 3) {  // 0, 3, ... 255
      const uint32_t under = (d * 37u) << 24 | d << 16 | (255 - d) << 8 | (d ^ 0xA5u);
      std::vector<uint32_t> want(src.size(), under);
      blend_row_scalar(want.data(), src.data(), static_cast<int32_t>(src.size()), color,
                       kBlendAlpha);
      for (const BlendRowVariant& v : variants) {
        std::vector<uint32_t> got(src.size(), under);
        v.fn(got.data(), src.data(), static_cast<int32_t>(src.size()), color, kBlendAlpha);
        ASSERT_EQ(got, want) << v.name << " colour " << std::hex << color << " under " << under;
      }
    }
  }
}

// Blending a row over a colour it is not read for gives the bytes of filling the row with the
// colour and blending, in every form, with clear, opaque and between pixels in any order.
TEST(Blend, OverAColourEveryFormGivesTheFillThenBlendBytes) {
  std::mt19937 rng(4242);
  std::vector<uint32_t> src(1043);
  for (auto& v : src) v = rng();
  for (size_t i = 0; i < src.size(); i += 5) src[i] &= 0x00FFFFFFu;
  for (size_t i = 1; i < src.size(); i += 7) src[i] |= 0xFF000000u;
  for (size_t i = 100; i < 180; ++i) src[i] &= 0x00FFFFFFu;  // a clear run
  for (size_t i = 300; i < 400; ++i) src[i] |= 0xFF000000u;  // an opaque run
  for (uint32_t color : {0xFFFFFFFFu, 0x80FFFFFFu, 0xC0804020u}) {
    for (uint32_t under : {0xFF000000u, 0x00000000u, 0x80FF7F01u}) {
      std::vector<uint32_t> want(src.size(), under);
      blend_row_scalar(want.data(), src.data(), static_cast<int32_t>(src.size()), color,
                       kBlendAlpha);
      for (const BlendOverVariant& v : blend_row_over_variants()) {
        std::vector<uint32_t> got(src.size(), 0x12345678u);  // not read
        v.fn(got.data(), src.data(), static_cast<int32_t>(src.size()), color, under);
        ASSERT_EQ(got, want) << v.name << " colour " << std::hex << color << " under " << under;
      }
    }
  }
}

TEST(Crossfade, EveryVectorFormGivesTheScalarReferenceBytes) {
  // Random pairs with clear pixels on either side, runs of both, nearly opaque pairs whose
  // alphas sum past 255; weights and sprite alphas at their ends and between.
  std::mt19937 rng(777);
  std::vector<uint32_t> f(1029), g(1029);
  for (auto& v : f) v = rng();
  for (auto& v : g) v = rng();
  for (size_t i = 0; i < f.size(); i += 5) f[i] &= 0x00FFFFFFu;
  for (size_t i = 2; i < g.size(); i += 9) g[i] &= 0x00FFFFFFu;
  for (size_t i = 300; i < 340; ++i) f[i] &= 0x00FFFFFFu, g[i] &= 0x00FFFFFFu;  // both clear
  for (size_t i = 400; i < 520; ++i) f[i] |= 0xFF000000u, g[i] |= 0xFF000000u;  // both opaque
  for (uint32_t F : {0u, 1u, 127u, 254u, 255u}) {
    for (auto [in_alpha, out_alpha] : {std::pair{255u, 255u}, {255u, 0u}, {128u, 127u}, {0u, 1u}}) {
      std::vector<uint32_t> want(f.size());
      for (size_t i = 0; i < f.size(); ++i) {
        want[i] = crossfade_pixel(f[i], g[i], F, in_alpha, out_alpha);
      }
      for (const CrossfadeRowVariant& v : crossfade_row_variants()) {
        std::vector<uint32_t> got(f.size(), 0xDEADBEEFu);
        v.fn(got.data(), f.data(), g.data(), static_cast<int32_t>(f.size()), F, in_alpha,
             out_alpha);
        ASSERT_EQ(got, want) << v.name << " F " << F << " alphas " << in_alpha << "," << out_alpha;
      }
    }
  }
  // The formula by hand: both sides there, F = 64: (200 x 64 + 100 x 191) >> 8 = 124 per
  // channel; alpha min(255, 255 x 255 / 256 + (255 x 255) >> 8) = 255. One side clear: its
  // colour, alpha (0 x 64 + 255 x 191) >> 8 = 190.
  EXPECT_EQ(crossfade_pixel(0xFFC8C8C8u, 0xFF646464u, 64, 255, 255), 0xFF7C7C7Cu);
  EXPECT_EQ(crossfade_pixel(0x00C8C8C8u, 0xFF646464u, 64, 255, 255), 0xBE646464u);
  EXPECT_EQ(crossfade_pixel(0x00C8C8C8u, 0x00646464u, 64, 255, 255), 0u);
}

TEST(Rasterise, ScaledDrawsGiveTheBytesOfTheGeneralMapping) {
  // A scaled, unrotated sprite takes the separable path; a whole turn (512) maps through the
  // same sine and cosine by the general per-pixel loop. Both must leave the same target, for
  // every blend, enlarging and shrinking, clipped at each edge.
  std::mt19937 rng(99);
  const int32_t sw = 37, sh = 23, tw = 101, th = 67;
  std::vector<uint32_t> src(size_t{sw} * sh);
  for (auto& v : src) v = rng();
  for (size_t i = 0; i < src.size(); i += 6) src[i] &= 0x00FFFFFFu;
  for (size_t i = 1; i < src.size(); i += 4) src[i] |= 0xFF000000u;
  std::vector<uint32_t> start(size_t{tw} * th);
  for (auto& v : start) v = rng();
  DibRenderer* dib = dib_renderer_create(tw, th, tw, th, 0);
  ASSERT_NE(dib, nullptr);
  const DibSource source{src.data(), sw, sh, sw};
  for (float scale : {0.5f, 0.7f, 1.5f, 2.0f, 3.3f}) {
    for (auto [x, y] : {std::pair{30, 20}, {-20, -9}, {80, 50}, {5, 60}}) {
      for (int32_t blend : {kBlendCopy, kBlendAlpha, kBlendAdd, kBlendMultiply}) {
        std::vector<uint32_t> a = start, b = start;
        rasterise_sprite(dib, DibSurface{a.data(), tw, th, tw}, source, x, y, 0, scale, scale,
                         OrvRect{2, 1, sw, sh}, 0xFFFFFFFFu, blend);
        rasterise_sprite(dib, DibSurface{b.data(), tw, th, tw}, source, x, y, 512, scale, scale,
                         OrvRect{2, 1, sw, sh}, 0xFFFFFFFFu, blend);
        ASSERT_EQ(a, b) << "scale " << scale << " at " << x << "," << y << " blend " << blend;
        if (blend == kBlendAlpha && x == 30) {
          EXPECT_NE(a, start) << scale;  // something was drawn
        }
      }
    }
  }
  dib_renderer_destroy(dib);
}

TEST(Rasterise, AFullScreenWaveLeavesNothingOfAnEarlierEffectAtItsEdges) {
  // Where the wave pulls pixels from outside the frame the work image has nothing to give: the
  // frame keeps its own pixels there, never what an earlier effect left in the work image.
  const int32_t w = 32, h = 24;
  DibRenderer* dib = dib_renderer_create(w, h, w, h, 0);
  ASSERT_NE(dib, nullptr);
  ASSERT_TRUE(dib_effect_images(dib));
  std::fill(dib->fx1.begin(), dib->fx1.end(), 0xFFFF0000u);  // an earlier effect's picture
  std::fill(dib->back.begin(), dib->back.end(), 0xFF0000FFu);
  FxResult fx;
  fx.effect = 1;
  fx.phase = 0.25f;
  fx.amplitude1 = 3.0f;
  fx.amplitude2 = 3.0f;
  draw_effect_dib(dib, fx);
  for (uint32_t p : dib->back) ASSERT_EQ(p & 0x00FFFF00u, 0u) << std::hex << p;
  dib_renderer_destroy(dib);
}

class SoftwareRendererTest : public RenderTest {
 protected:
  // The drawn area: the bounding box of pixels that differ from the clear colour.
  OrvRect drawn_box() {
    OrvRect r{kW, kH, 0, 0};
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        if (pixel(x, y) == 0xFF000000u) continue;
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
    }
    return r;
  }
};

TEST_F(SoftwareRendererTest, ASpriteHalfOutsideAnyEdgeIsClippedNotWrapped) {
  struct Case {
    float x, y;
    OrvRect box;
  };
  const Case cases[] = {
      {-5, 10, {0, 10, 5, 20}},   {kW - 4, 10, {kW - 4, 10, kW, 20}},
      {10, -6, {10, 0, 20, 4}},   {10, kH - 3, {10, kH - 3, 20, kH}},
      {-100, 10, {kW, kH, 0, 0}},  // wholly outside: nothing
  };
  for (const Case& c : cases) {
    OrvHandle s = solid(10, 10, 0xFFFFFFFFu, c.x, c.y);
    ASSERT_TRUE(render_frame_draw());
    OrvRect r = drawn_box();
    EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int32_t>{c.box.left, c.box.top, c.box.right, c.box.bottom}))
        << "at " << c.x << ", " << c.y;
    OrvSpriteRelease(list, s);
  }
}

// The frame's first sprite drawn over the clear colour in one pass when it covers the frame,
// else the clear written first: either way each pixel is the clear colour blended with the
// sprite's, and the clear colour where no sprite is.
TEST_F(SoftwareRendererTest, AFirstSpriteCoveringTheFrameOrNotGivesTheClearThenBlendBytes) {
  struct Case {
    int32_t w, h;
    float x, y;
  };
  const Case cases[] = {
      {kW, kH, 0, 0},            // exactly the frame
      {kW + 9, kH + 5, -4, -3},  // past every edge
      {kW, kH, 1, 0},            // one column short on the left
      {kW - 1, kH, 0, 0},        // one column short on the right
      {kW, kH - 1, 0, 1},        // one row short at the top
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> px(static_cast<size_t>(c.w) * c.h);
    for (int32_t y = 0; y < c.h; ++y) {
      for (int32_t x = 0; x < c.w; ++x) {
        const uint32_t a = (x * 37u + y * 11u) % 6 == 0 ? 0u : (x * 37u + y * 11u) * 7u & 255u;
        px[static_cast<size_t>(y) * c.w + x] = a << 24 | (x * 5u + y * 3u) << 8 | (y * 9u & 255u);
      }
    }
    OrvHandle s = sprite_create_from_bgra(list, c.w, c.h, px.data(), c.w, 0);
    ASSERT_NE(s, 0u);
    OrvSpriteSetPos(s, c.x, c.y, 0);
    OrvSpriteViewCtrl(s, 1);
    for (int frame = 0; frame < 2; ++frame) {  // the second over last frame's pixels
      ASSERT_TRUE(render_frame_draw());
      for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
          const int32_t sx = x - static_cast<int32_t>(c.x), sy = y - static_cast<int32_t>(c.y);
          const bool inside = sx >= 0 && sy >= 0 && sx < c.w && sy < c.h;
          const uint32_t want = inside
                                    ? expected(0xFF000000u, px[static_cast<size_t>(sy) * c.w + sx],
                                               0xFFFFFFFFu, kBlendAlpha)
                                    : 0xFF000000u;
          ASSERT_EQ(pixel(x, y), want)
              << c.w << "x" << c.h << " at " << c.x << "," << c.y << " pixel " << x << "," << y;
        }
      }
    }
    OrvSpriteRelease(list, s);
  }
}

TEST_F(SoftwareRendererTest, ASourceRectangleReachingOutsideTheImageIsClippedToIt) {
  OrvHandle s = solid(8, 8, 0xFFFFFFFFu, 20, 20);
  OrvRect rect{-4, -4, 100, 6};  // wider and higher than the image
  OrvSpriteSetRect(s, &rect);
  ASSERT_TRUE(render_frame_draw());
  OrvRect r = drawn_box();
  // The pixels that exist keep their place: image column 0 lands 4 to the right.
  EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}),
            (std::vector<int32_t>{24, 24, 32, 30}));
}

TEST_F(SoftwareRendererTest, ScaleZeroOrNegativeDrawsNothing) {
  OrvHandle s = solid(8, 8, 0xFFFFFFFFu, 20, 20);
  for (float scale : {0.0f, -1.0f, -2.5f}) {
    OrvSpriteSetScale(s, scale, 1.0f);
    ASSERT_TRUE(render_frame_draw());
    EXPECT_EQ(drawn_box().right, 0) << scale;
  }
  OrvSpriteSetScale(s, 2.0f, 2.0f);  // box 2 x trunc(sqrt(128)) = 22, centred on the rectangle
  ASSERT_TRUE(render_frame_draw());
  OrvRect r = drawn_box();
  EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}),
            (std::vector<int32_t>{16, 16, 32, 32}));
}

TEST_F(SoftwareRendererTest, AQuarterTurnGoesThroughTheRasterTable) {
  // A 200 x 100 picture: top half red, bottom half blue, drawn turned by 128 units.
  std::vector<uint32_t> pixels(200 * 100);
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < 200; ++x) pixels[y * 200 + x] = y < 50 ? 0xFFFF0000u : 0xFF0000FFu;
  }
  RenderParams params;
  params.game_width = 400;
  params.game_height = 300;
  render_system_init(params, nullptr);
  OrvHandle s = sprite_create_from_bgra(list, 200, 100, pixels.data(), 200, 0);
  OrvSpriteSetPos(s, 100, 100, 0);
  OrvSpriteViewCtrl(s, 1);
  OrvSpriteSetRotate(s, 128);
  ASSERT_TRUE(render_frame_draw());
  BackBufferView v = render_back_buffer();
  auto at = [&](int32_t x, int32_t y) { return v.pixels[y * v.width + x]; };
  // The 223 x 223 box is centred on the unrotated rectangle: it starts at (89, 39). The
  // turned picture is 100 wide and 200 high inside it, at box columns 62..161, rows 11..210.
  int32_t left = 89 + 62, top = 39 + 11;
  EXPECT_EQ(at(left - 1, top + 100), 0xFF000000u);
  EXPECT_EQ(at(left + 100, top + 100), 0xFF000000u);
  EXPECT_EQ(at(left + 50, top - 1), 0xFF000000u);
  EXPECT_EQ(at(left + 50, top + 200), 0xFF000000u);
  // The picture's top (red) turned to the right side, its bottom (blue) to the left; an
  // opaque sprite of colour 0xFFFFFFFF blends with m = 254, so 255 becomes 252.
  EXPECT_EQ(at(left + 99, top), 0xFFFC0000u);
  EXPECT_EQ(at(left + 99, top + 199), 0xFFFC0000u);
  EXPECT_EQ(at(left, top + 100), 0xFF0000FCu);
  // 360 is not honoured here: 90 units are 90/512 of a turn, not a quarter.
  OrvSpriteSetRotate(s, 90);
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(s, &info);
  info.rotation_resolution = 360.0f;
  OrvSpriteSetInfo(s, &info);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_NE(at(left + 99, top), 0xFFFC0000u);
}

}  // namespace
}  // namespace rendertest
