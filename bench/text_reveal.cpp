// The text reveal: reveal_apply over a 1248 x 220 message area (the sprite 2048 x 256, eight
// lines of 26 rows drawn with glyph-like blocks), beside a plain copy of the same pixels row by
// row (the peer). Three reveal figures:
//   - mid-line: a frame in the middle of the fourth line (what a frame of the reveal costs);
//   - every row: the frame that completes the reveal, every row of the area worked (rows that
//     lie wholly behind the soft edge take the loop without it), made anew each time by an
//     apply at distance 0 in between;
//   - one line: the area as one line (a centred text makes the line pitch the area height), a
//     frame mid-way: every row goes through the soft-edge loop;
//   - glyph order: the same full pass as "every row" with the glyph-order capture.
// Each figure is the median of nine runs of 200 applies.
// Aim: the every-row pass within 3 times the copy.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/orv_static_bind.h"
#include "text/window/reveal.h"

namespace {

constexpr int32_t kAreaW = 1248, kAreaH = 220, kStride = 2048, kRows = 256, kPitch = 26;
constexpr int kRepeats = 200, kRuns = 9;

using Clock = std::chrono::steady_clock;

template <class Fn>
double median_us(Fn fn) {
  std::vector<double> t;
  for (int run = 0; run < kRuns; ++run) {
    const auto a = Clock::now();
    for (int i = 0; i < kRepeats; ++i) fn(i);
    const auto b = Clock::now();
    t.push_back(std::chrono::duration<double, std::micro>(b - a).count() / kRepeats);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// Glyph-like blocks: 24 x 24 cells with 2-pixel gaps, alpha from a ramp.
std::vector<uint32_t> page() {
  std::vector<uint32_t> px(size_t(kStride) * kRows, 0);
  for (int32_t y = 0; y < kAreaH; ++y) {
    for (int32_t x = 0; x < kAreaW - 8; ++x) {
      if (x % 26 < 24 && y % kPitch < 24) {
        px[size_t(y) * kStride + x] = (uint32_t((x * 7 + y * 3) & 0xFF) << 24) | 0xFFFFFF;
      }
    }
  }
  return px;
}

}  // namespace

int main() {
  engine::orv_static_bind();
  std::vector<uint32_t> px = page();
  std::vector<uint32_t> copy(px.size());
  textwindow::RevealState s{};
  textwindow::reveal_init(s, kAreaW - 8, kAreaH, kPitch);
  const int32_t full = 64 + 7 * s.nWidth + kAreaW;

  const double copy_us = median_us([&](int) {
    for (int32_t y = 0; y < kAreaH; ++y) {
      std::memcpy(&copy[size_t(y) * kStride], &px[size_t(y) * kStride], size_t(s.nWidth) * 4);
    }
  });

  textwindow::reveal_capture_pixels(px.data(), kStride, kRows, s,
                                    textwindow::RevealOrdering::kLineWipe, 1);
  const int32_t mid = 3 * s.nWidth + kAreaW / 2;
  const double mid_us = median_us([&](int i) {
    textwindow::reveal_apply_pixels(px.data(), kStride, kRows, s, mid + (i & 1), true);
  });
  // Every other call at distance 0 (rows skipped, nearly free) keeps the full pass from
  // skipping the rows it made whole: each pair is one full pass.
  const double rows_us = median_us([&](int) {
    textwindow::reveal_apply_pixels(px.data(), kStride, kRows, s, full, true);
    textwindow::reveal_apply_pixels(px.data(), kStride, kRows, s, 0, true);
  });

  s.nLinePitch = kAreaH;
  textwindow::reveal_capture_pixels(px.data(), kStride, kRows, s,
                                    textwindow::RevealOrdering::kLineWipe, 1);
  const double one_line_us = median_us([&](int i) {
    textwindow::reveal_apply_pixels(px.data(), kStride, kRows, s, kAreaW / 2 + (i & 1), true);
  });
  s.nLinePitch = kPitch;

  for (int32_t line = 0; line < 8; ++line) {
    for (int32_t c = 0; c < 47; ++c) {
      textrender::glyph_rects_push(s.lineRects,
                                   {c * 26, line * kPitch, c * 26 + 24, line * kPitch + 24});
    }
  }
  textwindow::reveal_capture_pixels(px.data(), kStride, kRows, s,
                                    textwindow::RevealOrdering::kGlyphOrder, 1);
  const double glyph_us = median_us([&](int) {
    textwindow::reveal_apply_pixels(px.data(), kStride, kRows, s, 1 << 30, true);
    textwindow::reveal_apply_pixels(px.data(), kStride, kRows, s, 0, true);
  });

  std::printf("reveal_apply on %d x %d (sprite %d x %d), median of %d x %d\n", kAreaW, kAreaH,
              kStride, kRows, kRuns, kRepeats);
  std::printf("  copy of the pixels (peer)      %8.1f us\n", copy_us);
  std::printf("  reveal_apply, mid-line frame   %8.1f us  %5.2f x the copy\n", mid_us,
              mid_us / copy_us);
  std::printf("  reveal_apply, every row        %8.1f us  %5.2f x the copy (aim: 3)\n", rows_us,
              rows_us / copy_us);
  std::printf("  reveal_apply, one line, mid   %8.1f us  %5.2f x the copy\n", one_line_us,
              one_line_us / copy_us);
  std::printf("  reveal_apply, glyph order      %8.1f us  %5.2f x the copy\n", glyph_us,
              glyph_us / copy_us);
  textrender::glyph_rects_free(s.lineRects);
  textwindow::reveal_free(s);
  return 0;
}
