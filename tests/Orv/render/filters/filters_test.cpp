// Sprite filters and their kernels: integer kernels against hand-computed pixels, float
// filters on cases whose samples are exact, and the work-thread behaviour of the slow ones.
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "Orv/core/window/process.h"
#include "Orv/render/filters/kernels.h"
#include "Orv/render/last_error.h"
#include "Orv/render/pixel_kernels.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

using Px = std::vector<uint32_t>;

// Opaque pixels with one blue value each.
Px blues(std::initializer_list<uint32_t> b) {
  Px p;
  for (uint32_t v : b) p.push_back(0xFF000000u | v);
  return p;
}

TEST(BlurKernel16, OnePixelKeepsItsValueAtEveryLevel) {
  for (int32_t level = 0; level < 8; ++level) {
    for (uint32_t p : {0xFF336699u, 0x80FF8000u, 0x00FFFFFFu}) {
      uint32_t out = 1;
      ASSERT_TRUE(BlurKernel16(&out, &p, 1, 1, 1, level));
      EXPECT_EQ(out, p >> 24 ? p : 0u) << level << " " << std::hex << p;
    }
  }
  uint32_t p = 0xFF000000, out = 7;
  EXPECT_FALSE(BlurKernel16(&out, &p, 1, 1, 1, 8));
  EXPECT_FALSE(BlurKernel16(&out, &p, 1, 1, 1, -1));
  EXPECT_EQ(out, 7u);
}

TEST(BlurKernel16, WeightsAverageTheTapsInsideTheLine) {
  // Level 1 weighs offsets -2..+1 by 1: an impulse of 200 spreads as 50 over four pixels.
  Px in = blues({0, 0, 0, 0, 0, 200, 0, 0, 0, 0, 0, 0}), out(12, 1);
  ASSERT_TRUE(BlurKernel16(out.data(), in.data(), 12, 1, 12, 1));
  EXPECT_EQ(out, blues({0, 0, 0, 0, 50, 50, 50, 50, 0, 0, 0, 0}));
  // At the left end only offsets 0 and +1 lie inside: (200 + 0) / 2.
  Px edge = blues({200, 0, 0}), out3(3, 1);
  ASSERT_TRUE(BlurKernel16(out3.data(), edge.data(), 3, 1, 3, 1));
  EXPECT_EQ(out3[0], 0xFF000000u | 100);
}

TEST(BlurKernel16, TwoThreadsAtOnceGiveThePixelsOfOneAfterTheOther) {
  const int32_t w = 640, h = 360;
  Px a(w * h), b(w * h);
  for (int32_t i = 0; i < w * h; ++i) {
    a[i] = 0xFF000000u | (i * 2654435761u >> 8);
    b[i] = 0x80000000u | (i * 40503u);
  }
  Px a1(w * h), b1(w * h), a2(w * h), b2(w * h);
  ASSERT_TRUE(BlurKernel16(a1.data(), a.data(), w, h, w, 6));
  ASSERT_TRUE(BlurKernel16(b1.data(), b.data(), w, h, w, 3));
  std::thread t1([&] { BlurKernel16(a2.data(), a.data(), w, h, w, 6); });
  std::thread t2([&] { BlurKernel16(b2.data(), b.data(), w, h, w, 3); });
  t1.join();
  t2.join();
  EXPECT_EQ(a1, a2);
  EXPECT_EQ(b1, b2);
}

TEST(Filter3x3, SoftensInPlaceThenCopiesTheBorder) {
  // (1, 1) = (4 x 80 + 160) >> 3 = 60; (2, 1) sees its softened left neighbour:
  // (4 x 160 + 60) >> 3 = 87. Then top row, right column, bottom row, left column.
  Px p = blues({0, 0, 0, 0, 0, 80, 160, 0, 0, 0, 0, 0});
  Filter3x3(p.data(), 4, 3, 4);
  EXPECT_EQ(p, blues({60, 60, 87, 87, 60, 60, 87, 87, 60, 60, 87, 87}));
  struct Case {
    int32_t w, h;
    Px in, out;
  };
  const std::vector<Case> thin = {
      {1, 3, blues({10, 20, 30}), blues({20, 20, 20})},
      {3, 1, blues({10, 20, 30}), blues({20, 20, 20})},
      {1, 1, blues({10}), blues({10})},
      {2, 2, blues({1, 2, 3, 4}), blues({3, 3, 3, 3})},
  };
  for (Case c : thin) {
    Filter3x3(c.in.data(), c.w, c.h, c.w);
    EXPECT_EQ(c.in, c.out) << c.w << "x" << c.h;
  }
}

TEST(Filter3x3, WholePicturesMatchThePlainFormula) {
  // Random pictures (widths around the four-pixel blocks, a pitch wider than the picture)
  // against the formula written out channel by channel, in place, row by row.
  auto plain = [](Px p, int32_t w, int32_t h, int32_t pitch) {
    for (int32_t y = 1; y + 1 < h; ++y) {
      for (int32_t x = 1; x + 1 < w; ++x) {
        uint32_t* c = &p[size_t(y) * pitch + x];
        uint32_t out = *c & 0xFF000000u;
        for (int sh = 0; sh < 24; sh += 8) {
          uint32_t v = 4 * (*c >> sh & 255) + (c[-1] >> sh & 255) + (c[1] >> sh & 255) +
                       (c[-pitch] >> sh & 255) + (c[pitch] >> sh & 255);
          out |= (v >> 3) << sh;
        }
        *c = out;
      }
    }
    return p;
  };
  uint32_t seed = 7;
  for (auto [w, h] : {std::pair{3, 3}, {6, 4}, {7, 5}, {37, 9}, {64, 3}}) {
    const int32_t pitch = w + 3;
    Px p(size_t(pitch) * h);
    for (uint32_t& v : p) v = seed = seed * 1664525u + 1013904223u;
    Px want = plain(p, w, h, pitch);
    Filter3x3(p.data(), w, h, pitch);
    for (int32_t y = 1; y + 1 < h; ++y) {
      for (int32_t x = 1; x + 1 < w; ++x) {
        ASSERT_EQ(p[size_t(y) * pitch + x], want[size_t(y) * pitch + x]) << w << "x" << h;
      }
    }
  }
}

TEST(WaveWarpRows, ShiftsRowsOrColumnsByTheSineTable) {
  // 8 x 4, phase 0.2505: m = 128, where S(128) = 65536 and S(129..135) just below it. A
  // strength giving amplitude 2 moves by (2 S) >> 16: 2 at k = 128, 1 after.
  Px src(32);
  for (uint32_t i = 0; i < 32; ++i) src[i] = i;
  Px rows(32, 99), cols(32, 99);
  wave_warp_rows(rows.data(), 8, 4, src.data(), 8, 4, 0.2505f, 5.0f, 0.0f);  // g = 2, h = 0
  wave_warp_rows(cols.data(), 8, 4, src.data(), 8, 4, 0.2505f, 0.0f, 2.5f);  // g = 0, h = 2
  Px want_rows(32, 99), want_cols(32, 99);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      int dx = y == 0 ? 2 : 1, dy = x == 0 ? 2 : 1;
      if (x + dx < 8) want_rows[y * 8 + x] = src[y * 8 + x + dx];
      if (y + dy < 4) want_cols[y * 8 + x] = src[(y + dy) * 8 + x];
    }
  }
  EXPECT_EQ(rows, want_rows);
  EXPECT_EQ(cols, want_cols);
}

TEST(ToneTable, PassesThroughItsRowsAndRises) {
  const ToneEntry* t = tone_table();
  struct Row {
    int at, r, g, b;
  };
  for (Row row : {Row{0, 12, 0, 0}, Row{32, 68, 39, 20}, Row{64, 112, 77, 47},
                  Row{128, 177, 146, 109}, Row{200, 225, 211, 189}, Row{255, 255, 255, 255}}) {
    EXPECT_EQ(t[row.at].r, row.r);
    EXPECT_EQ(t[row.at].g, row.g);
    EXPECT_EQ(t[row.at].b, row.b);
  }
  for (int i = 1; i < 256; ++i) {
    EXPECT_GE(t[i].r, t[i - 1].r);
    EXPECT_GE(t[i].g, t[i - 1].g);
    EXPECT_GE(t[i].b, t[i - 1].b);
  }
  // Between 64 and 128, L = 80 is a quarter of the way: 112 + 65 / 4, 77 + 69 / 4, 47 + 62 / 4.
  EXPECT_EQ((std::vector<int>{t[80].r, t[80].g, t[80].b}), (std::vector<int>{128, 94, 62}));
}

class Filters : public RenderTest {
 protected:
  OrvHandle make(int32_t w, int32_t h, const Px& px = {}) {
    OrvHandle s = OrvSpriteCreate(list, w, h, 0);
    EXPECT_NE(s, 0u);
    if (!px.empty()) {
      uint32_t* p = OrvSpriteLock(s, nullptr, nullptr);
      std::copy(px.begin(), px.end(), p);
      OrvSpriteUnlock(s);
    }
    return s;
  }
  Px get(OrvHandle s) {
    int32_t w = 0, h = 0;
    uint32_t* p = OrvSpriteLock(s, &w, &h);
    Px out(p, p + w * h);
    OrvSpriteUnlock(s);
    return out;
  }
};

TEST_F(Filters, ImageOptionsFilterAndRestore) {
  // L = (200 + 3 x 100 + 6 x 50) / 10 = 80 and (0x56 + 3 x 0x12 + 6 x 0x34) / 10 = 45.
  const Px in = {0x806432C8, 0x00123456};
  struct Case {
    int32_t option;
    Px out;
  };
  const std::vector<Case> cases = {
      {1, {0x80805E3E, 0x0055361E}},  // tone[45]: 68 + 44 x 13 / 32, 39 + 38 x 13 / 32, ...
      {2, {0x80505050, 0x002D2D2D}},
      {4, {0x809BCD37, 0x00123456}},
      {0x905, in},
  };
  for (const Case& c : cases) {
    OrvHandle s = make(2, 1, in);
    EXPECT_EQ(OrvSpriteSetOption(s, c.option), 1);
    EXPECT_EQ(get(s), c.out) << c.option;
    orv_set_last_error(99);
    EXPECT_EQ(OrvSpriteSetOption(s, 0), 1);
    EXPECT_EQ(orv_last_error(), 0u);
    EXPECT_EQ(get(s), in) << c.option;
    OrvSpriteRelease(list, s);
  }
  // Options add up until 0 restores the picture from before the first.
  OrvHandle s = make(2, 1, in);
  OrvSpriteSetOption(s, 4);
  OrvSpriteSetOption(s, 2);
  OrvSpriteSetOption(s, 2);
  EXPECT_EQ(get(s)[0], 0x80AFAFAFu);  // grey of the negative: (55 + 3 x 155 + 6 x 205) / 10
  OrvSpriteSetOption(s, 0);
  EXPECT_EQ(get(s), in);
  orv_set_last_error(0);
  EXPECT_EQ(OrvSpriteSetOption(s, 0), 1);
  EXPECT_EQ(orv_last_error(), kErrorInvalidHandle);
  EXPECT_EQ(OrvSpriteSetOption(0, 1), 0);
}

TEST_F(Filters, ImageOptionSoftensAndBlurs) {
  Px soft = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000050,
             0xFF0000A0, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
  OrvHandle s = make(4, 3, soft);
  OrvSpriteSetOption(s, 3);
  EXPECT_EQ(get(s), blues({60, 60, 87, 87, 60, 60, 87, 87, 60, 60, 87, 87}));
  // A plain picture stays plain through every blur level.
  OrvHandle plain = make(16, 8, Px(128, 0xFF336699));
  for (int32_t level = 1; level <= 8; ++level) {
    OrvSpriteSetOption(plain, level * 0x100 + 5);
    EXPECT_EQ(get(plain), Px(128, 0xFF336699)) << level;
  }
}

TEST_F(Filters, StretchImageModes) {
  const uint32_t A = 0xFF000010, B = 0xFF000030;
  struct Case {
    int32_t mode;
    Px out;
  };
  const std::vector<Case> cases = {
      {0, {A, A, B, B}},
      {2, {A, 0xFF000020, B, B}},           // 7-bit bilinear, the last column repeats
      {1, {A, 0xFF000020, B, 0x7F000018}},  // 8-bit per byte, past the edge counts as 0
      {7, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    OrvHandle src = make(2, 1, {A, B}), dst = make(4, 1);
    EXPECT_EQ(StretchImage(dst, src, c.mode), 1);
    EXPECT_EQ(get(dst), c.out) << c.mode;
  }
  OrvHandle src = make(2, 1, {A, B}), same = make(2, 1);
  StretchImage(same, src, 1);
  EXPECT_EQ(get(same), (Px{A, B}));
}

TEST_F(Filters, BoxBlur) {
  OrvHandle src = make(5, 1, blues({0, 0, 90, 0, 0}));
  struct Case {
    int32_t rx, ry, passes;
    Px out;
  };
  const std::vector<Case> cases = {
      {1, 1, 0, blues({0, 0, 90, 0, 0})},  // 0 passes copy
      {0, 0, 2, blues({0, 0, 90, 0, 0})},
      {-4, -1, 1, blues({0, 0, 90, 0, 0})},
      {1, 0, 1, blues({0, 30, 30, 30, 0})},
      {1, 5, 1, blues({0, 30, 30, 30, 0})},  // one row: the vertical window repeats it
      {2, 0, 1, blues({18, 18, 18, 18, 18})},
      {1000, 0, 1, blues({0, 0, 0, 0, 0})},  // 90 / 2001 per channel
  };
  for (const Case& c : cases) {
    OrvHandle dst = make(5, 1);
    EXPECT_EQ(OrvBoxBlurFilter(dst, src, c.rx, c.ry, c.passes), 1);
    EXPECT_EQ(get(dst), c.out) << c.rx << " " << c.ry << " " << c.passes;
  }
  OrvHandle other = make(4, 1);
  EXPECT_EQ(OrvBoxBlurFilter(other, src, 1, 1, 1), 0);
  EXPECT_EQ(OrvGaussianBlurFilter(other, src, 1), 0);
  EXPECT_EQ(OrvMotionBlurFilter(other, src, 1, 0.0, 1), 0);
  OrvHandle dst = make(5, 1);
  EXPECT_EQ(OrvGaussianBlurFilter(dst, src, 8), 0);
  EXPECT_EQ(OrvGaussianBlurFilter(dst, src, 0), 1);
  // Level 0 weighs offsets -1 and 0: (0 + 90) / 2 at x = 2 and x = 3.
  EXPECT_EQ(get(dst), blues({0, 0, 45, 45, 0}));
}

TEST_F(Filters, MotionBlurAlongX) {
  // Length 1, density 1: samples at x - 1 and x; alpha 0 and outside samples add nothing.
  OrvHandle src = make(4, 1, {0xFF0000C8, 0xFF000000, 0xFF000064, 0x00000000});
  OrvHandle dst = make(4, 1);
  EXPECT_EQ(OrvMotionBlurFilter(dst, src, 1, 0.0, 1), 1);
  EXPECT_EQ(get(dst), (Px{0x7F0000C8, 0xFF000064, 0xFF000032, 0x7F000064}));
  for (auto [n, q] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{-3, -3}}) {
    OrvHandle d = make(4, 1);
    EXPECT_EQ(OrvMotionBlurFilter(d, src, n, 0.0, q), 1);
    EXPECT_EQ(get(d), get(src));
  }
  EXPECT_EQ(OrvMotionBlurFilter(dst, src, 2, std::nan(""), 2), 1);
}

TEST_F(Filters, AlphaCopy) {
  OrvHandle src = make(3, 1, {0xFF0000C8, 0x800000C8, 0x000000C8});
  struct Case {
    uint32_t colour;
    int32_t level;
    Px out;
  };
  const std::vector<Case> cases = {
      {0xFFFFFFFF, 255, {0xFF0000C8, 0x80000064, 0}},  // (200 x 255 + 255) >> 8 = 200
      {0xFFFFFFFF, 128, {0xFF000064, 0x80000032, 0}},  // k = 128: 100, then (128 x 100 + 255) >> 8
      {0x00FFFFFF, 255, {0, 0, 0}},
      {0xFFFFFFFF, 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    OrvSpriteSetColor(src, c.colour);
    OrvHandle dst = make(3, 1, Px(3, 0x12345678));
    EXPECT_EQ(OrvAlphaCopyFilter(dst, src, c.level), 1);
    EXPECT_EQ(get(dst), c.out) << std::hex << c.colour << " " << c.level;
  }
  EXPECT_EQ(OrvAlphaCopyFilter(make(2, 1), src, 255), 0);
}

TEST_F(Filters, SwirlWithoutTurnOrStrengthHalvesAndDoubles) {
  Px in(16);
  for (uint32_t i = 0; i < 16; ++i) in[i] = 0x40000000u | i;
  OrvHandle src = make(4, 4, in);
  const Px want = {0xFF000000, 0xFF000000, 0xFF000002, 0xFF000002,  //
                   0xFF000000, 0xFF000000, 0xFF000002, 0xFF000002,  //
                   0xFF000008, 0xFF000008, 0xFF00000A, 0xFF00000A,  //
                   0xFF000008, 0xFF000008, 0xFF00000A, 0xFF00000A};
  for (OrvRect r : {OrvRect{0, 0, 4, 4}, OrvRect{-10, -10, 100, 100}}) {
    OrvHandle dst = make(4, 4);
    OrvSpriteSwirlBlur(dst, src, &r, 0.0f, 0.0f);
    EXPECT_EQ(get(dst), want);
  }
  OrvHandle dst = make(4, 4);
  OrvRect r{0, 0, 4, 4};
  OrvSpriteSwirlBlur(dst, src, &r, NAN, INFINITY);  // stays inside the picture
  OrvSpriteSwirlBlur(dst, src, nullptr, 1.0f, 1.0f);
}

TEST_F(Filters, WallSpring) {
  Px in(81);
  for (uint32_t i = 0; i < 81; ++i) in[i] = 0xFF000000u | ((i / 9) * 16 + i % 9);
  OrvHandle src = make(9, 9, in);
  OrvHandle dst = make(9, 9);
  // Power 2: exponent 0.5. At (5, 4), d = 1 / 4, T[255] = sqrt(255 / 1023) = 0.4993, E = 1.997:
  // the sample lies at 4 + 1.997 + 0.5, column 6.
  EXPECT_EQ(OrvSpriteWallSpringEffect(dst, src, 4, 4, 2.0f, 7.0f), 1);
  EXPECT_EQ(get(dst)[4 * 9 + 5], 0xFF000000u | (4 * 16 + 6));
  EXPECT_EQ(get(dst)[4 * 9 + 4], in[4 * 9 + 4]);  // the centre samples itself
  EXPECT_EQ(get(dst)[0], in[0]);                  // outside the radius
  EXPECT_EQ(OrvSpriteWallSpringEffect(dst, src, 4, 4, 1.0f, 0.0f), 1);
  EXPECT_EQ(get(dst), in);
  for (float p : {0.5f, 0.0f, -3.0f, NAN, INFINITY}) {
    EXPECT_EQ(OrvSpriteWallSpringEffect(dst, src, 4, 4, p, 0.0f), 1) << p;
  }
  EXPECT_EQ(OrvSpriteWallSpringEffect(make(8, 9), src, 4, 4, 2.0f, 0.0f), 0);
}

TEST_F(Filters, WaveformTriangleMovesColumnsByTheWave) {
  // Direction 0, wavelength 4: G = x / 4, triangle -1, 0, 1 for x = 0, 1, 2; amplitude 1 moves
  // the sample down by the wave (clamped at the edges).
  Px in(9);
  for (uint32_t i = 0; i < 9; ++i) in[i] = (i / 3) * 10 + i % 3;
  OrvHandle src = make(3, 3, in), dst = make(3, 3);
  OrvSpriteWaveformWarp(dst, src, 0.0f, 1.0f, 4.0f, 0.0f, 0.0f, 1);
  EXPECT_EQ(get(dst), (Px{0, 1, 12, 0, 11, 22, 10, 21, 22}));
  // Unknown types give a wave of 0; sizes must match; NaN stays inside.
  OrvSpriteWaveformWarp(dst, src, 0.0f, 5.0f, 0.0f, 1.0f, 45.0f, 9);
  EXPECT_EQ(get(dst), in);
  OrvSpriteWaveformWarp(make(2, 3), src, 0.0f, 1.0f, 4.0f, 0.0f, 0.0f, 1);
  OrvSpriteWaveformWarp(dst, src, NAN, NAN, NAN, NAN, NAN, 2);
  OrvSpriteWaveformWarp(dst, src, 0.3f, 1e30f, 3.0f, 2.0f, 30.0f, 2);
}

// The slow filters on the work thread leave the render lock while they compute: frames keep
// coming (the drawn sprite is the one being filtered) and nothing deadlocks.
TEST_F(Filters, SlowFiltersOnTheWorkThreadLetFramesThrough) {
  const int32_t w = 1280, h = 720;
  Px big(size_t{w} * h);
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  OrvHandle a = make(w, h, big), b = make(w, h);
  OrvSpriteViewCtrl(a, 1);
  OrvSpriteViewCtrl(b, 1);
  struct Job {
    const char* name;
    std::function<void()> run;
  };
  const std::vector<Job> jobs = {
      {"box", [&] { OrvBoxBlurFilter(b, a, 4, 4, 2); }},
      {"gaussian", [&] { OrvGaussianBlurFilter(b, a, 7); }},
      {"motion", [&] { OrvMotionBlurFilter(b, a, 6, 0.5, 2); }},
      {"option", [&] { OrvSpriteSetOption(a, 0x805); }},
  };
  for (const Job& job : jobs) {
    std::atomic<bool> done{false};
    std::thread work([&] {
      orv_process().work_thread_id = std::this_thread::get_id();
      OrvRenderLockEnter();
      job.run();
      OrvRenderLockLeave();
      orv_process().work_thread_id = std::thread::id{};
      done = true;
    });
    int32_t frames = 0;
    while (!done) {
      if (render_frame_draw()) ++frames;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    work.join();
    EXPECT_GT(frames, 0) << job.name;
  }
}

}  // namespace
}  // namespace rendertest
