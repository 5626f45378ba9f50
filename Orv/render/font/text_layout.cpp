#include "Orv/render/font/text_layout.h"

#include <algorithm>
#include <cstring>

#include "Orv/render/font/extra_font.h"
#include "Orv/render/font/font_session.h"

namespace {

struct Token {
  enum Kind { kEnd, kGlyph, kNewLine, kSpace, kWideSpace, kExtra } kind = kEnd;
  uint16_t code = 0;
  int64_t extra = 0;
};

bool is_lead(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

class TextWalker {
 public:
  TextWalker(const char* text, bool extra_loaded)
      : p_(reinterpret_cast<const uint8_t*>(text ? text : "")), extra_(extra_loaded) {}

  Token next() {
    for (;;) {
      const uint8_t c = *p_;
      if (c == 0) return {};
      if (c == '\\') {
        ++p_;
        if (*p_ == 0) return {};
        return character();
      }
      if (c == '\r' || c == '\n') {
        ++p_;
        return {Token::kNewLine};
      }
      if (c == '<') {
        const uint8_t* name = ++p_;
        while (*p_ && *p_ != '>') ++p_;
        const size_t n = static_cast<size_t>(p_ - name);
        if (*p_) ++p_;
        if (n == 2 && (std::memcmp(name, "br", 2) == 0 || std::memcmp(name, "BR", 2) == 0))
          return {Token::kNewLine};
        continue;
      }
      if (c == '%' && extra_ && p_[1] >= '0' && p_[1] <= '9') {
        ++p_;
        int64_t n = 0;
        while (*p_ >= '0' && *p_ <= '9') {
          n = std::min<int64_t>(n * 10 + (*p_ - '0'), INT32_MAX);
          ++p_;
        }
        return {Token::kExtra, 0, n};
      }
      if (c == ' ') {
        ++p_;
        return {Token::kSpace};
      }
      if (c == 0x81 && p_[1] == 0x40) {
        p_ += 2;
        return {Token::kWideSpace};
      }
      return character();
    }
  }

 private:
  // One ordinary character at p_; a lead byte followed by the end is dropped.
  Token character() {
    const uint8_t c = *p_;
    if (is_lead(c)) {
      if (p_[1] == 0) {
        ++p_;
        return {};
      }
      const uint16_t code = static_cast<uint16_t>(c << 8 | p_[1]);
      p_ += 2;
      return {Token::kGlyph, code};
    }
    ++p_;
    return {Token::kGlyph, c};
  }

  const uint8_t* p_;
  bool extra_;
};

// Writes into a clipped buffer.
struct Target {
  uint32_t* pixels;
  int32_t width, height;
  uint32_t* at(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < width && y < height ? pixels + y * width + x : nullptr;
  }
};

uint32_t alpha_of(uint8_t v) {
  return v ? static_cast<uint32_t>(std::min<int>(v, 64) * 4 - 1) : 0;
}

void draw_effect(const Target& t, const Glyph& g, int64_t gx, int64_t gy, int32_t effect,
                 uint32_t colour) {
  static constexpr int kOutline1[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  static constexpr int kOutline2[12][2] = {{0, -2}, {0, 2}, {-2, 0},  {2, 0},  {0, -1}, {0, 1},
                                           {-1, 0}, {1, 0}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  const size_t pitch = (static_cast<size_t>(g.box_width) + 3) & ~size_t{3};
  for (int32_t j = 0; j < g.box_height; ++j)
    for (int32_t i = 0; i < g.box_width; ++i) {
      const uint32_t a = alpha_of(g.bits[j * pitch + i]);
      if (!a) continue;
      const uint32_t value = (colour & 0xFFFFFF) | a << 24;
      const int64_t x = gx + i, y = gy + j;
      if (effect == 1) {
        for (auto& o : kOutline1)
          if (uint32_t* p = t.at(x + 1 + o[0], y + 1 + o[1])) *p |= value;
      } else if (effect == 2) {
        if (uint32_t* p = t.at(x + 2, y + 2)) *p = value;
      } else if (effect == 3) {
        for (auto& o : kOutline2)
          if (uint32_t* p = t.at(x + 2 + o[0], y + 2 + o[1])) *p |= value;
      }
    }
}

void GlyphDrawBlend(const Target& t, const Glyph& g, int64_t gx, int64_t gy, uint32_t colour) {
  const size_t pitch = (static_cast<size_t>(g.box_width) + 3) & ~size_t{3};
  colour &= 0xFFFFFF;
  for (int32_t j = 0; j < g.box_height; ++j)
    for (int32_t i = 0; i < g.box_width; ++i) {
      const uint32_t a = alpha_of(g.bits[j * pitch + i]);
      if (!a) continue;
      uint32_t* p = t.at(gx + i, gy + j);
      if (!p) continue;
      const uint32_t dst = *p, da = dst >> 24;
      if (a == 255 || da == 0) {
        *p = colour | a << 24;
        continue;
      }
      uint32_t out = ((a * 255 + da * (255 - a)) >> 8) << 24;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t d = (dst >> shift) & 255, c = (colour >> shift) & 255;
        out |= ((d * (255 - a) + c * a) >> 8) << shift;
      }
      *p = out;
    }
}

void draw_glyph(FontState& s, const Target& t, const Glyph& g, int64_t gx, int64_t gy) {
  const int32_t effect = s.effect;
  if (effect > 3) return;
  // Outline and shadow reach at most 4 pixels right of and below the glyph's box; a glyph wholly
  // outside the buffer writes nothing, so a long text past the edge skips its pixels.
  constexpr int64_t kReach = 4;
  if (gx >= t.width || gy >= t.height || gx + g.box_width + kReach <= 0 ||
      gy + g.box_height + kReach <= 0) {
    return;
  }
  if (effect) draw_effect(t, g, gx, gy, effect, s.effect_colour);
  const int32_t d = draw_text_step_x(effect);
  GlyphDrawBlend(t, g, gx + d, gy + d, s.text_colour);
}

}  // namespace

int32_t draw_text_step_x(int32_t effect) {
  return effect >= 0 && effect <= 2 ? 1 : effect == 3 ? 2 : 0;
}

void FontMeasureText(FontState& s, const char* text, int32_t* width, int32_t* height) {
  const int32_t h = font_metrics(s).height;
  int64_t w = 0, total = h, line = 0;
  TextWalker walk(text, s.extra.cell > 0);
  for (Token t = walk.next(); t.kind != Token::kEnd; t = walk.next()) {
    switch (t.kind) {
      case Token::kGlyph:
        line += font_glyph(s, t.code).advance_x;
        break;
      case Token::kSpace:
        line += h / 2;
        break;
      case Token::kWideSpace:
        line += h;
        break;
      case Token::kExtra:
        line += static_cast<int32_t>(static_cast<float>(s.size) / static_cast<float>(s.extra.cell) *
                                     static_cast<float>(s.extra.cell)) +
                2;
        break;
      case Token::kNewLine:
        w = std::max(w, line);
        total += h;
        line = 0;
        break;
      default:
        break;
    }
  }
  *width = static_cast<int32_t>(std::clamp<int64_t>(std::max(w, line) + 3, INT32_MIN, INT32_MAX));
  *height = static_cast<int32_t>(std::clamp<int64_t>(total + 2, INT32_MIN, INT32_MAX));
}

void FontDrawTextInto(FontState& s, uint32_t* buffer, const char* text, int32_t x, int32_t y,
                      int32_t width, int32_t height) {
  s.last.valid = false;
  const Target target{buffer, buffer ? width : 0, buffer ? height : 0};
  const int32_t h = font_metrics(s).height, d = draw_text_step_x(s.effect);
  int64_t pen = x, top = y;
  auto record = [&](int64_t w, int32_t box) {
    s.last.left = static_cast<int32_t>(pen + d);
    s.last.top = static_cast<int32_t>(top);
    s.last.bottom = static_cast<int32_t>(top + h);
    s.last.right = static_cast<int32_t>(pen + d + w);
    s.last.box_width = box;
    s.last.valid = true;
  };
  TextWalker walk(text, s.extra.cell > 0);
  Glyph extra;  // the extra font's cell, made per use
  for (Token t = walk.next(); t.kind != Token::kEnd; t = walk.next()) {
    switch (t.kind) {
      case Token::kNewLine:
        pen = x;
        top += h;
        break;
      case Token::kSpace:
        record(h / 2, h / 2);
        pen += h / 2;
        break;
      case Token::kWideSpace:
        record(h, h);
        pen += h;
        break;
      case Token::kExtra:
        ExFontGlyph(s.extra, t.extra, s.size, &extra);
        draw_glyph(s, target, extra, pen, top);
        record(h, h);
        pen += h;
        break;
      case Token::kGlyph: {
        const Glyph& g = font_glyph(s, t.code);
        if (!g.bits.empty()) {
          draw_glyph(s, target, g, pen + g.origin_x, top + font_metrics(s).ascent - g.origin_y);
          record(h / 2 + 1 < g.advance_x ? h : g.advance_x, g.box_width);
        }
        pen += g.advance_x;
        break;
      }
      default:
        break;
    }
  }
}
