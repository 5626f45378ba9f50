#include "text/window/reveal.h"

#include <algorithm>
#include <cstring>

#include "engine/orv_api.h"

namespace textwindow {
namespace {

// The order of a pixel that no glyph covers: never below any distance.
constexpr uint32_t kNotCaptured = 0xFFFFFFFFu;
constexpr int64_t kMaxPixels = int64_t{64} << 20;
constexpr int32_t kSoftEdge = 64;

// Behind the per-pixel orders, in the same block: per row the lowest and highest captured
// order (rows that nothing captured hold kNotCaptured and 0), the m of the last apply, and
// whether the capture was the line wipe. They let apply skip rows that have not begun to show
// or were already whole, and, in the line wipe, whose orders run base + column, go straight
// to the columns that change.
uint32_t* row_low(RevealState& s) {
  return s.lpOrder + s.dwSize;
}
uint32_t* row_high(RevealState& s) {
  return s.lpOrder + s.dwSize + s.nHeight;
}
uint32_t& last_whole(RevealState& s) {
  return s.lpOrder[s.dwSize + 2 * static_cast<uint32_t>(s.nHeight)];
}
uint32_t& line_wipe(RevealState& s) {
  return s.lpOrder[s.dwSize + 2 * static_cast<uint32_t>(s.nHeight) + 1];
}

struct Box {
  int32_t left, top, right, bottom;
};

// Widening of a glyph rectangle by the font effect: left (first of a line), bottom, and right
// (last of a line of the current text).
struct Widen {
  int32_t left, bottom, right;
};
Widen widen_for(int32_t effect) {
  switch (effect) {
    case 0:
      return {1, 1, 4};
    case 1:
    case 2:
      return {2, 2, 4};
    case 3:
      return {3, 4, 4};
    default:
      return {0, 0, 0};
  }
}

bool starts_line(const textrender::GlyphRect& prev, const textrender::GlyphRect& r) {
  return static_cast<int64_t>(r.top) - prev.top >= static_cast<int64_t>(prev.bottom) - prev.top;
}

// Captures the pixels of one box that no earlier box took, with order base (+ column - left
// for the glyph wipe). An earlier capture already set the alpha to 0, so saving it again would
// lose the glyph's own alpha.
void capture_box(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& s, const Box& b,
                 int64_t base, bool by_column) {
  const int32_t x0 = std::max(b.left, 0);
  const int32_t y0 = std::max(b.top, 0);
  const int32_t x1 = std::min({b.right, s.nWidth, stride});
  const int32_t y1 = std::min({b.bottom, s.nHeight, rows});
  for (int32_t y = y0; y < y1; ++y) {
    uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(s.nWidth);
    for (int32_t x = x0; x < x1; ++x) {
      if (s.lpOrder[at + x] != kNotCaptured) continue;
      int64_t order = by_column ? base - b.left + x : base;
      order = std::clamp<int64_t>(order, 0, kNotCaptured - 1);
      s.lpOrder[at + x] = static_cast<uint32_t>(order);
      s.lpAlpha[at + x] = static_cast<uint8_t>(row[x] >> 24);
      row[x] &= 0x00FFFFFFu;
    }
  }
}

void capture_line_wipe(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& s) {
  const int32_t w = std::min(s.nWidth, stride);
  const int32_t h = std::min(s.nHeight, rows);
  const int32_t pitch = std::max(s.nLinePitch, 1);
  uint32_t base = 0;
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
    uint32_t* order = s.lpOrder + static_cast<size_t>(y) * static_cast<size_t>(s.nWidth);
    uint8_t* alpha = s.lpAlpha + static_cast<size_t>(y) * static_cast<size_t>(s.nWidth);
    for (int32_t x = 0; x < w; ++x) {
      alpha[x] = static_cast<uint8_t>(row[x] >> 24);
      row[x] &= 0x00FFFFFFu;
      order[x] = base + static_cast<uint32_t>(x);
    }
    if ((y + 1) % pitch == 0) base += static_cast<uint32_t>(s.nWidth);
  }
}

void capture_glyphs(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& s, bool by_column,
                    int32_t effect) {
  const Widen wd = widen_for(effect);
  const textrender::GlyphRectList& kept = s.keptRects;
  const textrender::GlyphRectList& line = s.lineRects;
  const textrender::GlyphRect* prev = nullptr;
  int64_t n = kept.nCount ? kSoftEdge : 0;
  const uint32_t total = kept.nCount + line.nCount;
  for (uint32_t i = 0; i < total; ++i) {
    const bool is_kept = i < kept.nCount;
    const textrender::GlyphRect& r = is_kept ? kept.pItems[i] : line.pItems[i - kept.nCount];
    Box b{r.left, r.top, r.right, r.bottom};
    if (!prev || starts_line(*prev, r)) b.left -= wd.left;
    b.bottom += wd.bottom;
    if (!is_kept) {
      const uint32_t j = i - kept.nCount;
      if (j + 1 == line.nCount || starts_line(r, line.pItems[j + 1])) b.right += wd.right;
    }
    b.left = std::max(b.left, 0);
    b.top = std::max(b.top, 0);
    if (is_kept) {
      capture_box(pixels, stride, rows, s, b, 0, false);
    } else {
      capture_box(pixels, stride, rows, s, b, n, by_column);
      n += static_cast<int64_t>(b.right) - b.left;
    }
    prev = &r;
  }
}

// One row of the apply; the rows, orders and alphas never overlap, which lets the compiler
// work several pixels per step (GCC's -O2 cost model would keep these loops scalar).
#if defined(__GNUC__) && !defined(__clang__)
#define VECTOR_LOOP __attribute__((optimize("vect-cost-model=dynamic")))
#else
#define VECTOR_LOOP
#endif
VECTOR_LOOP void apply_row_fade(uint32_t* __restrict row, const uint32_t* __restrict order,
                                const uint8_t* __restrict alpha, int32_t w, uint32_t d,
                                uint32_t m) {
  for (int32_t x = 0; x < w; ++x) {
    const uint32_t o = order[x];
    uint32_t k = m + kSoftEdge - o;  // wraps for o > m + 64; such pixels keep their alpha
    k = k > kSoftEdge ? kSoftEdge : k;
    const uint32_t a = (k * alpha[x]) >> 6;
    const uint32_t p = row[x];
    const uint32_t shown = 0u - static_cast<uint32_t>(o < d);  // all ones where it shows
    row[x] = p ^ ((p ^ ((p & 0x00FFFFFFu) | (a << 24))) & shown);
  }
}

VECTOR_LOOP void apply_row_whole(uint32_t* __restrict row, const uint32_t* __restrict order,
                                 const uint8_t* __restrict alpha, int32_t w, uint32_t d) {
  for (int32_t x = 0; x < w; ++x) {
    const uint32_t a = alpha[x];
    const uint32_t p = row[x];
    const uint32_t shown = 0u - static_cast<uint32_t>(order[x] < d);
    row[x] = p ^ ((p ^ ((p & 0x00FFFFFFu) | (a << 24))) & shown);
  }
}

void note_row_ranges(RevealState& s) {
  uint32_t* low = row_low(s);
  uint32_t* high = row_high(s);
  for (int32_t y = 0; y < s.nHeight; ++y) {
    const uint32_t* order = s.lpOrder + static_cast<size_t>(y) * static_cast<size_t>(s.nWidth);
    uint32_t lo = kNotCaptured, hi = 0;
    for (int32_t x = 0; x < s.nWidth; ++x) {
      if (order[x] == kNotCaptured) continue;
      lo = std::min(lo, order[x]);
      hi = std::max(hi, order[x]);
    }
    low[y] = lo;
    high[y] = hi;
  }
  last_whole(s) = 0;
}

}  // namespace

RevealOrdering reveal_ordering(const textrender::TextRenderSettings& settings) {
  if (settings.dwRevealType != 0) return RevealOrdering::kGlyphOrder;
  if (settings.bFade != 0 && settings.bSpaceSkip == 0) return RevealOrdering::kLineWipe;
  return RevealOrdering::kGlyphWipe;
}

void reveal_free(RevealState& state) {
  if (state.lpAlpha) orv.OrvMemoryFree(state.lpAlpha);
  if (state.lpOrder) orv.OrvMemoryFree(state.lpOrder);
  state.lpAlpha = nullptr;
  state.lpOrder = nullptr;
  state.bReady = 0;
  state.nWidth = 0;
  state.nHeight = 0;
  state.dwSize = 0;
}

bool reveal_init(RevealState& state, int32_t width, int32_t height, int32_t base_line_pitch) {
  reveal_free(state);
  state.nBaseLinePitch = base_line_pitch;
  state.nLinePitch = base_line_pitch;
  if (width < 0 || height < 0) return false;
  const int64_t w = ((static_cast<int64_t>(width) + 3) & ~int64_t{3}) + 8;
  const int64_t size = w * height;
  if (size > kMaxPixels) return false;
  const int64_t order_bytes = (size + 2 * static_cast<int64_t>(height) + 2) * 4;
  auto* alpha =
      static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(size ? size : 1), 0));
  auto* order = static_cast<uint32_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(order_bytes), 0));
  if (!alpha || !order) {
    if (alpha) orv.OrvMemoryFree(alpha);
    if (order) orv.OrvMemoryFree(order);
    return false;
  }
  state.lpAlpha = alpha;
  state.lpOrder = order;
  state.nWidth = static_cast<int32_t>(w);
  state.nHeight = height;
  state.dwSize = static_cast<uint32_t>(size);
  std::memset(alpha, 0, static_cast<size_t>(size));
  std::memset(order, 0xFF, static_cast<size_t>(order_bytes));
  last_whole(state) = 0;
  line_wipe(state) = 0;
  return true;
}

void reveal_capture_pixels(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& state,
                           RevealOrdering ordering, int32_t font_effect) {
  if (!state.lpOrder || !pixels || stride <= 0 || rows <= 0) return;
  std::memset(state.lpAlpha, 0, state.dwSize);
  std::memset(state.lpOrder, 0xFF, static_cast<size_t>(state.dwSize) * 4);
  switch (ordering) {
    case RevealOrdering::kLineWipe:
      capture_line_wipe(pixels, stride, rows, state);
      break;
    case RevealOrdering::kGlyphWipe:
      capture_glyphs(pixels, stride, rows, state, true, font_effect);
      break;
    case RevealOrdering::kGlyphOrder:
      capture_glyphs(pixels, stride, rows, state, false, font_effect);
      break;
  }
  note_row_ranges(state);
  line_wipe(state) = ordering == RevealOrdering::kLineWipe ? 1 : 0;
  state.bReady = 1;
}

bool reveal_capture(OrvHandle sprite, RevealState& state, RevealOrdering ordering,
                    int32_t font_effect, bool skipping) {
  if (skipping) return true;
  if (!state.lpOrder) return false;
  int32_t w = 0, h = 0;
  uint32_t* pixels = orv.OrvSpriteLock(sprite, &w, &h);
  if (!pixels) return false;
  reveal_capture_pixels(pixels, w, h, state, ordering, font_effect);
  orv.OrvSpriteUnlock(sprite);
  return true;
}

void reveal_apply_pixels(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& state,
                         int32_t distance, bool fade) {
  if (!state.bReady || !state.lpOrder || !pixels) return;
  const uint32_t d = distance > 0 ? static_cast<uint32_t>(distance) : 0;
  const uint32_t m = d > kSoftEdge ? d - kSoftEdge : 0;
  const int32_t w = std::min(state.nWidth, stride);
  const int32_t h = std::min(state.nHeight, rows);
  const uint32_t* low = row_low(state);
  const uint32_t* high = row_high(state);
  // Rows wholly below both this m and the last apply's were made whole by that apply.
  const uint32_t whole = std::min(last_whole(state), m);
  for (int32_t y = 0; y < h; ++y) {
    if (low[y] >= d || high[y] < whole) continue;
    uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
    const uint32_t* order =
        state.lpOrder + static_cast<size_t>(y) * static_cast<size_t>(state.nWidth);
    const uint8_t* alpha =
        state.lpAlpha + static_cast<size_t>(y) * static_cast<size_t>(state.nWidth);
    if (line_wipe(state) && w > 0) {
      // Orders base + x: whole up to m, the soft edge up to d, the columns made whole by the
      // last apply left alone.
      const uint32_t base = order[0];
      auto column = [&](uint32_t distance) {
        return distance <= base ? 0 : static_cast<int32_t>(std::min<uint32_t>(distance - base, w));
      };
      const int32_t from = column(whole);
      const int32_t to_whole = fade ? column(m) : column(d);
      const int32_t to_edge = column(d);
      apply_row_whole(row + from, order + from, alpha + from, to_whole - from, d);
      if (fade && to_edge > to_whole) {
        apply_row_fade(row + to_whole, order + to_whole, alpha + to_whole, to_edge - to_whole, d,
                       m);
      }
    } else if (fade && high[y] >= m) {
      // A row wholly below m shows whole: no edge to work out.
      apply_row_fade(row, order, alpha, w, d, m);
    } else {
      apply_row_whole(row, order, alpha, w, d);
    }
  }
  last_whole(state) = m;
}

void reveal_apply(OrvHandle sprite, RevealState& state, int32_t distance, bool fade) {
  if (!state.bReady || !state.lpOrder) return;
  int32_t w = 0, h = 0;
  uint32_t* pixels = orv.OrvSpriteLock(sprite, &w, &h);
  if (!pixels) return;
  reveal_apply_pixels(pixels, w, h, state, distance, fade);
  orv.OrvSpriteUnlock(sprite);
}

}  // namespace textwindow
