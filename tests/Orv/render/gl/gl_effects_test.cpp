// The GL peer's sizes, its effect library (loading, a missing library, a broken program), the
// raster wave through the RASTER program and through the grid, the radial blur, the present
// filters against pictures computed on the CPU, and the target list's temporary target.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Orv/render/gl/gl_effects.h"
#include "Orv/render/gl/gl_sizes.h"
#include "support/gl_peer_fixture.h"

namespace {

TEST(GlSizes, TargetsFollowTheGameSize) {
  struct Case {
    int32_t w, h;
    bool pow2;
    int32_t frame, temp;
  };
  const Case cases[] = {
      {1280, 720, false, 1280, 2048},  {1280, 720, true, 2048, 2048},
      {800, 600, false, 800, 1024},    {1920, 1080, false, 1920, 2560},
      {2560, 1440, false, 2560, 3840}, {640, 480, false, 640, 1024},
      {1024, 768, false, 1024, 2048},  {720, 1280, false, 1280, 2048},
      {2000, 100, false, 2000, 2048},  {512, 512, false, 512, 512},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << (c.pow2 ? " pow2" : ""));
    EXPECT_EQ(gl_frame_side(c.w, c.h, c.pow2), c.frame);
    EXPECT_EQ(gl_temp_side(c.w, c.h), c.temp);
  }
}

TEST(GlSizes, GridCoversTheSquareWithThirtyTwoBitIndices) {
  GlGridMesh m = gl_grid_mesh(1280);
  EXPECT_EQ(m.columns, 82);
  EXPECT_EQ(m.rows, 82);
  EXPECT_EQ(m.vertex_count, 6724);
  EXPECT_EQ(m.triangle_count, 81 * 81 * 2);
  ASSERT_EQ(m.indices.size(), static_cast<size_t>(m.triangle_count) * 3);
  // The first cell: (1, 83, 82) and (1, 82, 0).
  EXPECT_EQ(std::vector<uint32_t>(m.indices.begin(), m.indices.begin() + 6),
            (std::vector<uint32_t>{1, 83, 82, 1, 82, 0}));
  // Corners of the square in clip space, texture coordinates just inside.
  EXPECT_FLOAT_EQ(m.vertices[0], -1.0f);
  EXPECT_FLOAT_EQ(m.vertices[1], 1.0f);
  EXPECT_FLOAT_EQ(m.vertices[m.vertices.size() - 4], 1.0f);
  EXPECT_FLOAT_EQ(m.vertices[m.vertices.size() - 3], -1.0f);
  EXPECT_NEAR(m.vertices[2], 0.005f / 81.0f, 1e-7);

  // A 4096 square has more vertices than 16-bit indices reach.
  GlGridMesh big = gl_grid_mesh(4096);
  EXPECT_EQ(big.vertex_count, 66564);
  EXPECT_EQ(big.triangle_count, 257 * 257 * 2);
  uint32_t most = *std::max_element(big.indices.begin(), big.indices.end());
  EXPECT_EQ(most, 66563u);
  EXPECT_GT(most, 65535u);
}

TEST(GlSizes, GridMovesRowsSidewaysAndVerticesUpAndDown) {
  GlGridMesh m = gl_grid_mesh(64);  // 6 x 6 vertices
  std::vector<float> moved;
  gl_grid_displace(m, 0.25f, 0.5f, 0.0f, &moved);
  // Phase 0.25: start index 127; row i at (127 + i x 85) & 511, sideways by sin x 0.5 x 0.1.
  for (int32_t i = 0; i < m.rows; ++i) {
    float expect = std::sin(static_cast<float>((127 + i * 85) & 511) * 6.2831853f / 512.0f) * 0.05f;
    for (int32_t j = 0; j < m.columns; ++j) {
      size_t k = static_cast<size_t>(i * m.columns + j) * 4;
      EXPECT_NEAR(moved[k] - m.vertices[k], expect, 1e-5) << i << "," << j;
      EXPECT_FLOAT_EQ(moved[k + 1], m.vertices[k + 1]);
    }
  }
  gl_grid_displace(m, 0.0f, 0.0f, 1.0f, &moved);
  // The running index goes on from row to row: vertex k at (k x 85) & 511.
  for (int32_t k = 0; k < m.vertex_count; ++k) {
    float expect = std::sin(static_cast<float>((k * 85) & 511) * 6.2831853f / 512.0f) * 0.1f;
    EXPECT_NEAR(moved[k * 4 + 1] - m.vertices[k * 4 + 1], expect, 1e-5) << k;
  }
}

class GlEffects : public GlPeer {
 protected:
  void open_effects(int32_t w, int32_t h, uint32_t device_flags, int32_t present_filter,
                    const char* library) {
    RendererSetup s;
    s.game_width = s.window_width = w;
    s.game_height = s.window_height = h;
    s.device_flags = device_flags;
    s.present_filter = present_filter;
    open_with(s, library);
  }
  void reopen(int32_t w, int32_t h, uint32_t device_flags, int32_t present_filter,
              const char* library) {
    TearDown();
    images_.clear();
    open_effects(w, h, device_flags, present_filter, library);
  }
  static int differing_between(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                               int tolerance) {
    int bad = 0;
    for (size_t i = 0; i < a.size(); ++i) {
      for (int sh = 0; sh < 24; sh += 8) {
        int d = static_cast<int>((a[i] >> sh) & 255) - static_cast<int>((b[i] >> sh) & 255);
        if (d > tolerance || d < -tolerance) {
          ++bad;
          break;
        }
      }
    }
    return bad;
  }
};

uint32_t pattern(int32_t x, int32_t y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 37) & 255) << 16 |
         static_cast<uint32_t>((y * 53) & 255) << 8 | static_cast<uint32_t>((x * y * 7 + 11) & 255);
}
uint32_t smooth(int32_t x, int32_t y) {
  return 0xFF000000u | static_cast<uint32_t>(x * 6) << 16 | static_cast<uint32_t>(y * 8) << 8 |
         static_cast<uint32_t>((x * y) & 255);
}
uint32_t holes(int32_t x, int32_t y) {
  return ((x + y) % 5 == 0) ? 0u : (0x80000000u | pattern(y, x));
}

TEST_F(GlEffects, LoadsTheProgramsTheFlagsAskFor) {
  struct Case {
    uint32_t device_flags;
    int32_t filter;
    const char* library;
    uint32_t effects;
    bool bicubic;
    int32_t filter_after;
    const char* lines;
  };
  const Case cases[] = {
      {4, 3, VELMORA_LUMO, 7, true, 3, ""},
      {0, 2, VELMORA_LUMO, 0, false, 2, ""},  // effects not asked for
      {4, 3, "/nonexistent/libLumo.so", 0, false, 0,
       "Load Library Error : libLumo.so\nLoad Library Error : libLumo.so\n"},
      {4, 0, VELMORA_BROKEN_LUMO, kGlEffectDraw, false, 0,
       "Load Effect Error : LUMO_EFFECT_TYPE_RASTER\n"
       "Load Effect Error : LUMO_EFFECT_TYPE_RADIAL_BLUE\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.library);
    testing::internal::CaptureStderr();
    reopen(32, 32, c.device_flags, c.filter, c.library);
    std::string lines = testing::internal::GetCapturedStderr();
    if (IsSkipped()) return;
    GlRendererFacts facts = gl_renderer_facts();
    EXPECT_EQ(facts.effects, c.effects);
    EXPECT_EQ(facts.bicubic, c.bicubic);
    EXPECT_EQ(facts.present_filter, c.filter_after);
    EXPECT_EQ(gl().caps().radial_blur, (c.effects & kGlEffectRadialBlur) != 0);
    EXPECT_EQ(lines, c.lines);
    // A game of 32 x 32 lays a 4 x 4 grid over its square.
    EXPECT_EQ(facts.grid_vertices, 16);
  }
}

TEST_F(GlEffects, RasterProgramDrawsWhatTheGridDraws) {
  struct Case {
    float phase, a1, a2;
    bool per_sprite;
  };
  const Case cases[] = {{0.0f, 0.1f, 0.0f, false},
                        {0.3f, 0.2f, 0.15f, false},
                        {0.7f, -0.25f, 0.1f, true},
                        {0.5f, 0.0f, 0.3f, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.phase << " " << c.a1 << " " << c.a2 << " " << c.per_sprite);
    std::vector<uint32_t> pictures[2];
    for (int with_program = 0; with_program < 2; ++with_program) {
      reopen(160, 96, with_program ? 4 : 0, 0, VELMORA_LUMO);
      if (IsSkipped()) return;
      ASSERT_EQ((gl_renderer_facts().effects & kGlEffectRaster) != 0, with_program == 1);
      clear_both(0xFF102030u);
      FxResult fx;
      fx.effect = 1;
      fx.phase = c.phase;
      fx.amplitude1 = c.a1;
      fx.amplitude2 = c.a2;
      DrawRequest r = request(image(64, 48, holes));
      r.x = 30;
      r.y = 20;
      r.color = 0xE0FFFFFFu;
      if (c.per_sprite) r.fx = &fx;
      draw_both(r);
      if (!c.per_sprite) gl().draw_effect(fx);
      pictures[with_program] = gl_pixels();
      // The wave moved the picture: it is no longer the plain one.
      EXPECT_GT(differing(2), 200);
    }
    // Both move the same vertices; pixels on a moved triangle's edge may fall either way.
    EXPECT_LT(differing_between(pictures[0], pictures[1], 2), 160 * 96 / 100);
  }
}

TEST_F(GlEffects, RasterWaveOfNoAmplitudeLeavesThePicture) {
  for (int with_program = 0; with_program < 2; ++with_program) {
    SCOPED_TRACE(with_program);
    reopen(96, 64, with_program ? 4 : 0, 0, VELMORA_LUMO);
    if (IsSkipped()) return;
    clear_both(0xFF102030u);
    FxResult fx;
    fx.effect = 1;
    fx.phase = 0.4f;
    DrawRequest r = request(image(40, 30, pattern));
    r.x = 20;
    r.y = 10;
    draw_both(r);  // the software peer's wave of no amplitude is the plain picture
    gl().draw_effect(fx);
    EXPECT_EQ(differing(2), 0);
  }
}

TEST_F(GlEffects, RadialBlurNeedsItsProgram) {
  FxResult fx;
  fx.effect = 2;
  auto set = [&fx](float level, float ox, float oy) {
    std::memcpy(&fx.words[0], &level, 4);
    std::memcpy(&fx.words[1], &ox, 4);
    std::memcpy(&fx.words[2], &oy, 4);
  };
  // Without the program the sprite is not drawn while its blur runs.
  reopen(64, 64, 0, 0, VELMORA_LUMO);
  if (IsSkipped()) return;
  gl().clear(0xFF000000u);
  set(0.5f, 16, 16);
  DrawRequest r = request(image(32, 32, pattern));
  r.fx = &fx;
  EXPECT_EQ(gl().draw_sprite(r), 1);
  for (uint32_t p : gl_pixels()) ASSERT_EQ(p, 0xFF000000u);

  reopen(64, 64, 4, 0, VELMORA_LUMO);
  DrawRequest plain = request(image(32, 32, pattern));
  plain.x = plain.y = 8;
  DrawRequest blurred = plain;
  blurred.fx = &fx;
  // Level 0 is the plain picture (but for the sprite blend's 8-bit steps: 255 shows as 252).
  gl().clear(0xFF000000u);
  gl().draw_sprite(plain);
  std::vector<uint32_t> unblurred = gl_pixels();
  set(0.0f, 16, 16);
  gl().clear(0xFF000000u);
  EXPECT_EQ(gl().draw_sprite(blurred), 1);
  EXPECT_EQ(differing_between(gl_pixels(), unblurred, 3), 0);
  // A blur towards the centre keeps the centre texel and mixes the others.
  set(0.8f, 16, 16);
  clear_both(0xFF000000u);
  gl().draw_sprite(blurred);
  draw_sprite_dib(dib_, plain);
  EXPECT_GT(differing(2), 32 * 32 / 2);
  const size_t centre = (8 + 16) * 64 + 8 + 16;
  EXPECT_EQ(differing_between({gl_pixels()[centre]}, {unblurred[centre]}, 3), 0);
}

// The radial blur worked out here: the sprite (opaque, drawn at (x, y), quad w x h from texel
// (0, 0) of a tw x th texture) with its scale, quarter turns and centre offset undone on each
// pixel centre, then eight nearest texels on the line towards the centre texel (ox, oy),
// averaged. Black where the pixel centre is off the quad.
struct RadialCase {
  int32_t quarter_turns;  // counterclockwise on screen
  float scale;
  int32_t cx, cy;  // the centre offset as stored
  float level, ox, oy;
};
std::vector<uint32_t> radial_reference(const std::vector<uint32_t>& texels, int32_t tw, int32_t th,
                                       int32_t x, int32_t y, int32_t w, int32_t h,
                                       const RadialCase& c, int32_t gw, int32_t gh) {
  std::vector<uint32_t> out(static_cast<size_t>(gw) * gh, 0xFF000000u);
  for (int32_t py = 0; py < gh; ++py) {
    for (int32_t px = 0; px < gw; ++px) {
      // Screen = turn(scale(q + c / 2)) + centre, y downwards; a counterclockwise quarter turn
      // takes (a, b) to (b, -a), so undoing one takes (a, b) to (-b, a).
      double a = px + 0.5 - (x + w / 2.0), b = py + 0.5 - (y + h / 2.0);
      for (int n = 0; n < c.quarter_turns; ++n) {
        const double t = a;
        a = -b;
        b = t;
      }
      const double u = a / c.scale - c.cx / 2.0 + w / 2.0, v = b / c.scale - c.cy / 2.0 + h / 2.0;
      if (u < 0 || u >= w || v < 0 || v >= h) continue;
      double sum[3] = {0, 0, 0};
      for (int n = 0; n < 8; ++n) {
        const double su = u + (c.ox - u) * c.level * n / 8, sv = v + (c.oy - v) * c.level * n / 8;
        const int32_t ix = std::clamp(static_cast<int32_t>(std::floor(su)), 0, tw - 1);
        const int32_t iy = std::clamp(static_cast<int32_t>(std::floor(sv)), 0, th - 1);
        for (int k = 0; k < 3; ++k)
          sum[k] += (texels[static_cast<size_t>(iy) * tw + ix] >> (8 * k)) & 255u;
      }
      uint32_t p = 0xFF000000u;
      for (int k = 0; k < 3; ++k) p |= static_cast<uint32_t>(std::lround(sum[k] / 8)) << (8 * k);
      out[static_cast<size_t>(py) * gw + px] = p;
    }
  }
  return out;
}

// The radial blur is drawn through the sprite's whole transform (scale, turns, centre offset):
// at every level, level 0 included, it is the picture worked out on the CPU from that geometry.
TEST_F(GlEffects, RadialBlurFollowsTheSpriteTransform) {
  constexpr int32_t kGw = 128, kGh = 96, kTw = 40, kTh = 20;
  // Neighbouring texels differ by little, so that a sample falling on a texel edge either way
  // moves the average by less than 1.
  auto ramp = [](int32_t x, int32_t y) {
    return 0xFF000000u | static_cast<uint32_t>(x * 5) << 16 | static_cast<uint32_t>(y * 9) << 8 |
           static_cast<uint32_t>(90 + x + y);
  };
  // Scales, levels and centres off the texel grid, so that no sample lands on a texel edge.
  const RadialCase cases[] = {
      {0, 1.0f, 0, 0, 0.61f, 30.37f, 4.71f},   {1, 1.0f, 8, 6, 0.61f, 30.37f, 4.71f},
      {2, 1.0f, -4, 10, 0.97f, 3.29f, 15.63f}, {1, 1.6f, 8, -6, 0.43f, 20.17f, 10.83f},
      {3, 2.0f, 0, 0, 0.83f, 0.41f, 0.77f},
  };
  for (const RadialCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.quarter_turns << " turns x" << c.scale << " centre "
                                    << c.cx << "," << c.cy << " level " << c.level);
    reopen(kGw, kGh, 4, 0, VELMORA_LUMO);
    if (IsSkipped()) return;
    ImageObject* img = image(kTw, kTh, +ramp);
    DrawRequest r = request(img);
    r.x = 44;
    r.y = 38;
    r.rotation = c.quarter_turns * 128;
    r.scale_x = r.scale_y = c.scale;
    r.center_x = c.cx;
    r.center_y = c.cy;
    std::vector<uint32_t> texels(static_cast<size_t>(kTw) * kTh);
    for (int32_t y = 0; y < kTh; ++y)
      for (int32_t x = 0; x < kTw; ++x) texels[static_cast<size_t>(y) * kTw + x] = ramp(x, y);
    // Level 0 is the transformed sprite itself.
    for (float level : {c.level, 0.0f}) {
      SCOPED_TRACE(level);
      RadialCase at = c;
      at.level = level;
      FxResult fx;
      fx.effect = 2;
      std::memcpy(&fx.words[0], &at.level, 4);
      std::memcpy(&fx.words[1], &at.ox, 4);
      std::memcpy(&fx.words[2], &at.oy, 4);
      r.fx = &fx;
      gl().clear(0xFF000000u);
      EXPECT_EQ(gl().draw_sprite(r), 1);
      EXPECT_EQ(
          differing_between(
              gl_pixels(), radial_reference(texels, kTw, kTh, r.x, r.y, kTw, kTh, at, kGw, kGh), 2),
          0);
    }
  }
}

// The full-screen radial blur works on the frame drawn so far, read as opaque (the opaque blend
// here leaves alpha 128 in the frame), as one sprite at the origin; without the program the
// frame stays.
TEST_F(GlEffects, FullScreenRadialBlurOfTheFrame) {
  constexpr int32_t kGw = 96, kGh = 64;
  auto ramp = [](int32_t x, int32_t y) {
    return 0x80000000u | static_cast<uint32_t>(x * 2) << 16 | static_cast<uint32_t>(y * 3) << 8 |
           static_cast<uint32_t>(40 + x + y);
  };
  const RadialCase c{0, 1.0f, 0, 0, 0.71f, 60.37f, 20.71f};
  FxResult fx;
  fx.effect = 2;
  std::memcpy(&fx.words[0], &c.level, 4);
  std::memcpy(&fx.words[1], &c.ox, 4);
  std::memcpy(&fx.words[2], &c.oy, 4);
  for (uint32_t flags : {4u, 0u}) {
    SCOPED_TRACE(flags);
    reopen(kGw, kGh, flags, 0, VELMORA_LUMO);
    if (IsSkipped()) return;
    gl().clear(0x00000000u);
    DrawRequest r = request(image(kGw, kGh, +ramp));
    r.render_mode = 11;  // the texels as they are, alpha too
    gl().draw_sprite(r);
    const std::vector<uint32_t> frame = gl_pixels();  // read back opaque
    gl().draw_effect(fx);
    const std::vector<uint32_t> want =
        flags ? radial_reference(frame, kGw, kGh, 0, 0, kGw, kGh, c, kGw, kGh) : frame;
    EXPECT_EQ(differing_between(gl_pixels(), want, 2), 0);
    EXPECT_GT(differing_between(frame, want, 2), flags ? kGw * kGh / 2 : -1);
  }
}

// The present filters against pictures computed here from the game picture.
uint32_t sample_clamped(const std::vector<uint32_t>& src, int32_t w, int32_t h, int32_t x,
                        int32_t y) {
  return src[static_cast<size_t>(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)];
}
float channel(uint32_t p, int sh) {
  return static_cast<float>((p >> sh) & 255u);
}
float catmull_rom(float d) {
  d = std::fabs(d);
  if (d <= 1) return 1.5f * d * d * d - 2.5f * d * d + 1;
  if (d < 2) return -0.5f * d * d * d + 2.5f * d * d - 4 * d + 2;
  return 0;
}
std::vector<uint32_t> resample(const std::vector<uint32_t>& src, int32_t w, int32_t h, int32_t ow,
                               int32_t oh, int filter) {
  std::vector<uint32_t> out(static_cast<size_t>(ow) * oh);
  for (int32_t y = 0; y < oh; ++y) {
    for (int32_t x = 0; x < ow; ++x) {
      float sx = (static_cast<float>(x) + 0.5f) * w / ow - 0.5f;
      float sy = (static_cast<float>(y) + 0.5f) * h / oh - 0.5f;
      int32_t bx = static_cast<int32_t>(std::floor(sx)), by = static_cast<int32_t>(std::floor(sy));
      float fx = sx - bx, fy = sy - by;
      uint32_t p = 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) {
        float v = 0;
        if (filter == 2) {
          v = channel(sample_clamped(src, w, h, bx, by), sh) * (1 - fx) * (1 - fy) +
              channel(sample_clamped(src, w, h, bx + 1, by), sh) * fx * (1 - fy) +
              channel(sample_clamped(src, w, h, bx, by + 1), sh) * (1 - fx) * fy +
              channel(sample_clamped(src, w, h, bx + 1, by + 1), sh) * fx * fy;
        } else {
          for (int j = -1; j <= 2; ++j) {
            for (int i = -1; i <= 2; ++i) {
              v += channel(sample_clamped(src, w, h, bx + i, by + j), sh) * catmull_rom(fx - i) *
                   catmull_rom(fy - j);
            }
          }
        }
        v = std::clamp(std::round(v), 0.0f, 255.0f);
        p |= static_cast<uint32_t>(v) << sh;
      }
      out[static_cast<size_t>(y) * ow + x] = p;
    }
  }
  return out;
}

TEST_F(GlEffects, PresentFiltersMatchPicturesComputedHere) {
  constexpr int32_t kW = 40, kH = 30;
  struct Case {
    int32_t filter;
    int32_t ow, oh;
  };
  // Point and none at twice the size, linear and bicubic enlarging and shrinking.
  const Case cases[] = {{1, 80, 60}, {0, 80, 60}, {2, 80, 60},
                        {2, 30, 20}, {3, 80, 60}, {3, 52, 39}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "filter " << c.filter << " to " << c.ow << "x" << c.oh);
    reopen(kW, kH, 0, c.filter, VELMORA_LUMO);
    if (IsSkipped()) return;
    gl().clear(0xFF000000u);
    gl().draw_sprite(request(image(kW, kH, smooth)));
    std::vector<uint32_t> game = gl_pixels();
    std::vector<uint32_t> shown =
        gl_renderer_compose_for_test(c.ow, c.oh, OrvRect{0, 0, c.ow, c.oh});
    ASSERT_EQ(shown.size(), static_cast<size_t>(c.ow) * c.oh);
    if (c.filter < 2) {
      for (int32_t y = 0; y < c.oh; ++y) {
        for (int32_t x = 0; x < c.ow; ++x) {
          ASSERT_EQ(shown[y * c.ow + x] | 0xFF000000u, game[(y / 2) * kW + x / 2]) << x << "," << y;
        }
      }
      continue;
    }
    EXPECT_EQ(differing_between(shown, resample(game, kW, kH, c.ow, c.oh, c.filter), 2), 0);
  }
  // At the game's own size every filter meets the picture pixel for pixel; beside the picture
  // area the window is black.
  reopen(kW, kH, 0, 2, VELMORA_LUMO);
  gl().clear(0xFF000000u);
  gl().draw_sprite(request(image(kW, kH, pattern)));
  std::vector<uint32_t> game = gl_pixels();
  std::vector<uint32_t> shown =
      gl_renderer_compose_for_test(kW + 20, kH, OrvRect{10, 0, kW + 10, kH});
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW + 20; ++x) {
      uint32_t expect = (x < 10 || x >= kW + 10) ? 0xFF000000u : game[y * kW + x - 10];
      ASSERT_EQ(shown[y * (kW + 20) + x], expect) << x << "," << y;
    }
  }
}

TEST_F(GlEffects, TargetListDrawsIntoTheTemporaryTargetOnly) {
  reopen(64, 48, 0, 0, VELMORA_LUMO);
  if (IsSkipped()) return;
  ASSERT_EQ(gl_renderer_facts().temp_side, 64);
  gl().clear(0xFF204060u);
  ASSERT_TRUE(gl().targets_begin());
  DrawRequest r = request(image(10, 8, [](int32_t, int32_t) { return 0xFFFF0000u; }));
  r.x = 5;
  r.y = 4;
  gl().draw_sprite(r);
  // A cross-fade and a raster wave inside the list come back to the temporary target.
  DrawRequest in = request(image(6, 6, pattern)), out = request(image(6, 6, holes));
  in.x = out.x = 40;
  in.y = out.y = 30;
  EXPECT_EQ(gl().draw_crossfade(in, out, 0.5f), 1);
  FxResult fx;
  fx.effect = 1;
  fx.amplitude1 = 0.1f;
  DrawRequest waved = request(image(8, 8, pattern));
  waved.x = 20;
  waved.y = 20;
  waved.fx = &fx;
  gl().draw_sprite(waved);
  gl().draw_effect(fx);  // a full-screen wave inside the list works on the list's picture
  gl().targets_end();
  // The game target kept its picture.
  for (uint32_t p : gl_pixels()) ASSERT_EQ(p, 0xFF204060u);

  std::vector<uint32_t> buffer(64 * 48, 0xDEADBEEFu);
  ASSERT_TRUE(gl().read_render_buffer(buffer.data(), 64, 48));
  // The game picture is centred in the 64 x 64 target: game row 0 is its row 8. (An opaque
  // texel keeps the sprite blend's 8-bit alpha step, 253, until the full-screen wave lays the
  // list's picture over itself.)
  auto red = [](uint32_t p) { return (p & 0xFFFFFFu) == 0xFC0000u && (p >> 24) >= 0xFDu; };
  EXPECT_TRUE(red(buffer[4 * 64 + 5])) << std::hex << buffer[4 * 64 + 5];
  EXPECT_TRUE(red(buffer[11 * 64 + 14])) << std::hex << buffer[11 * 64 + 14];
  EXPECT_EQ(buffer[0], 0u);  // cleared transparent
  EXPECT_EQ(buffer[12 * 64 + 5], 0u);
  EXPECT_NE(buffer[32 * 64 + 42], 0u);  // the cross-fade landed here

  // Buffers smaller than the game, or larger than the temporary target, are refused.
  for (auto [w, h] : {std::pair{63, 48}, {64, 47}, {65, 64}, {64, 65}}) {
    std::vector<uint32_t> untouched(static_cast<size_t>(w) * h, 0xDEADBEEFu);
    EXPECT_FALSE(gl().read_render_buffer(untouched.data(), w, h)) << w << "x" << h;
    for (uint32_t p : untouched) ASSERT_EQ(p, 0xDEADBEEFu);
  }
  std::vector<uint32_t> whole(64 * 64);
  EXPECT_TRUE(gl().read_render_buffer(whole.data(), 64, 64));
  EXPECT_TRUE(red(whole[(8 + 4) * 64 + 5]));

  // A new list starts from a transparent target.
  ASSERT_TRUE(gl().targets_begin());
  gl().targets_end();
  ASSERT_TRUE(gl().read_render_buffer(whole.data(), 64, 64));
  for (uint32_t p : whole) ASSERT_EQ(p, 0u);
}

// The window's size and aspect rectangle change between frames (a mode or size change): the
// peer's targets do not depend on them, so frames go on with the same images and textures and
// each compose fills the new area.
TEST_F(GlEffects, WindowChangesBetweenFramesKeepImagesAndTextures) {
  reopen(40, 30, 0, 2, VELMORA_LUMO);
  if (IsSkipped()) return;
  DrawRequest r = request(image(40, 30, pattern));
  gl().clear(0xFF000000u);
  gl().draw_sprite(r);
  const std::vector<uint32_t> first = gl_pixels();
  gl_renderer_reset_stats();
  struct Window {
    int32_t w, h;
    OrvRect area;
  };
  // Windowed at game size, stretched, letterboxed (mode 1), centred (mode 2), cropped (mode 3).
  const Window windows[] = {{40, 30, {0, 0, 40, 30}},
                            {120, 90, {0, 0, 120, 90}},
                            {120, 60, {20, 0, 100, 60}},
                            {100, 100, {30, 35, 70, 65}},
                            {60, 30, {-10, -7, 70, 37}}};
  for (const Window& w : windows) {
    SCOPED_TRACE(testing::Message() << w.w << "x" << w.h);
    gl().clear(0xFF000000u);
    gl().draw_sprite(r);
    EXPECT_EQ(gl_pixels(), first);
    std::vector<uint32_t> shown = gl_renderer_compose_for_test(w.w, w.h, w.area);
    ASSERT_EQ(shown.size(), static_cast<size_t>(w.w) * w.h);
    // Outside the area the window is black; the area's centre shows the picture's centre.
    if (w.area.left > 0) {
      EXPECT_EQ(shown[0], 0xFF000000u);
    }
    const int32_t cx = (w.area.left + w.area.right) / 2, cy = (w.area.top + w.area.bottom) / 2;
    EXPECT_NE(shown[static_cast<size_t>(cy) * w.w + cx], 0xFF000000u);
  }
  EXPECT_EQ(gl_renderer_stats().uploads, 0u);
}

}  // namespace
