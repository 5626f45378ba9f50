// draw_text_tagged: the markup laid out glyph by glyph with the platform font.
#include <algorithm>
#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_context.h"
#include "engine/vm_log.h"
#include "shared/sjis_units.h"
#include "text/render/text_measure.h"
#include "text/render/text_render.h"
#include "text/render/text_units.h"

namespace textrender {

namespace {

int32_t clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Arithmetic halving (rounds towards minus infinity).
int64_t halve(int64_t v) {
  return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#" and six hexadecimal digits at text[0, length): the colour and true.
bool read_colour(const char* text, size_t length, uint32_t* colour) {
  if (length < 7 || text[0] != '#') return false;
  uint32_t v = 0;
  for (size_t i = 1; i <= 6; ++i) {
    const int d = hex_digit(text[i]);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *colour = v;
  return true;
}

// Copies text[0, length) into a tips string, cut to 2,046 bytes on a unit boundary.
void tip_string(char* out, const char* text, size_t length) {
  const size_t kept = sjis_fit(kSjisRendererUnits, text, length, engine::kTipStringBytes - 1);
  std::memcpy(out, text, kept);
  out[kept] = 0;
}

class Layout {
 public:
  Layout(engine::VmContext& vm, const TextRenderSettings& s, const TextDrawRequest& req,
         RevealState* reveal)
      : vm_(vm), s_(s), req_(req), reveal_(reveal) {}

  TextDrawResult run() {
    TextDrawResult result{};
    x_ = req_.x;
    y_ = req_.y;
    if (vm_.run.bSceneSkip || vm_.run.bHistorySkip) {
      result.x = req_.x;
      result.y = req_.y;
      result.bSkipped = 1;
      return result;
    }
    if (reveal_) glyph_rects_clear(reveal_->lineRects);

    // The font state before the call, given back at its end.
    entry_size_ = orv.OrvFontGetFontSize();
    entry_type_ = orv.OrvFontGetType();
    orv.OrvFontGetColor(&entry_colour_, &entry_shadow_);

    if (req_.hSprite) pixels_ = orv.OrvSpriteLock(req_.hSprite, &buffer_width_, &buffer_height_);
    orv.OrvFontSetFontSize(req_.charSize);
    orv.OrvFontSetColor(req_.colour, req_.shadowColour);
    orv.OrvFontBegin();

    effect_ = orv.OrvFontGetEffect();
    step_ = orv.OrvDrawTextStepX(effect_);
    pitch_ = s_.nPitch;
    ruby_offset_ = text_ruby_offset(s_, req_.rubySize);
    base_pitch_ = text_base_line_pitch(s_, req_.charSize, req_.rubySize, effect_);
    line_pitch_ = base_pitch_;
    size_ = req_.charSize;
    type_ = entry_type_;
    remembered_type_ = type_;
    last_right_ = x_ + step_;
    vm_.tips.dwState &= ~engine::kTipsBeginEnabled;

    const char* p = req_.text ? req_.text : "";
    while (!stop_) {
      const TextUnit unit = text_unit_at(p);
      if (unit.kind == UnitKind::kEnd) break;
      if (unit.kind == UnitKind::kTag) {
        p = tag(p, unit);
      } else {
        glyph(p, unit);
        p += unit.length;
      }
    }

    orv.OrvFontEnd();
    if (pixels_) orv.OrvSpriteUnlock(req_.hSprite);
    orv.OrvFontSetFontSize(entry_size_);
    orv.OrvFontSetType(entry_type_);
    orv.OrvFontSetColor(static_cast<uint32_t>(entry_colour_), static_cast<uint32_t>(entry_shadow_));
    if (req_.hSprite) {
      const OrvRect rect{0, 0, clamp32(int64_t{s_.nWidthOffset} + req_.width + size_),
                         clamp32(int64_t{s_.nHeightOffset} + line_pitch_ + y_)};
      orv.OrvSpriteSetRect(req_.hSprite, &rect);
    }

    result.x = clamp32(x_);
    result.y = clamp32(y_);
    result.glyphSum = clamp32(glyph_sum_);
    result.glyphs = glyphs_;
    result.linePitch = clamp32(line_pitch_);
    result.bCut = cut_ ? 1 : 0;
    result.bFontFailed = failed_ ? 1 : 0;
    result.distance = failed_ || !reveal_ ? 0 : clamp32(distance());
    return result;
  }

 private:
  bool recording_tips() const { return !s_.bBacklogOpen; }
  engine::TextTip& tip() { return vm_.tips.tips[vm_.tips.nCount]; }

  // The reveal distance over the kept and the new rectangles.
  int64_t distance() const {
    const bool line_wipe = s_.dwRevealType == 0 && s_.bFade && !s_.bSpaceSkip;
    if (!line_wipe) return glyph_sum_ + 64;
    int64_t lines = 0;
    const GlyphRect* previous = nullptr;
    for (const GlyphRectList* list : {&reveal_->keptRects, &reveal_->lineRects}) {
      for (uint32_t i = 0; i < list->nCount; ++i) {
        const GlyphRect& r = list->pItems[i];
        if (previous && int64_t{r.top} - previous->top >= int64_t{previous->bottom} - previous->top)
          ++lines;
        previous = &r;
      }
    }
    return 64 + lines * reveal_->nWidth + (previous ? previous->right : 0);
  }

  // A line break: the next line starts at x 0; a line that would cross the bottom stops the
  // drawing. `unit` is the glyph that moves to the next line (null for other breaks).
  void break_line(const char* unit) {
    const bool wrap_tip = unit && in_tip_ && recording_tips();
    if (wrap_tip) {
      engine::TextTip& t = tip();
      if (!t.fields[engine::kTipWrapped] && t.fields[engine::kTipX] > 0)
        t.fields[engine::kTipX] = clamp32(int64_t{t.fields[engine::kTipX]} + pitch_);
      t.fields[engine::kTipWrapped] = 1;
      t.fields[engine::kTipRight] = clamp32(x_ + pitch_);
      t.fields[engine::kTipBottom] = clamp32(y_ + line_pitch_);
      tip_wrap_ = unit;
    }
    y_ += line_pitch_;
    x_ = 0;
    if (wrap_tip) {
      tip().fields[engine::kTipX2] = 0;
      tip().fields[engine::kTipY2] = clamp32(y_);
    }
    if (y_ + line_pitch_ > req_.height) {
      cut_ = true;
      stop_ = true;
    }
  }

  void glyph(const char* p, const TextUnit& unit) {
    char text[kFieldMaxBytes + 1] = {};
    std::memcpy(text, p, unit.length);
    if (unit.bFieldOverflow) {
      engine::vm_log(engine::kLogMain, "### ERROR: TEXT %%VALUE overflow: %.*s",
                     static_cast<int>(text_field_run(p)), p);
    }
    int64_t w = size_;
    if (unit.kind == UnitKind::kSingle || unit.kind == UnitKind::kEscape) {
      int32_t measured[2] = {};
      orv.OrvFontGetSize(text, measured);
      w = measured[0];
    }

    if (x_ > 0) {  // a line never breaks before its first glyph
      const int64_t right = last_right_ - step_;
      const bool breaks = s_.bWrap ? w + right + pitch_ > req_.width : x_ + pitch_ >= req_.width;
      const bool hangs = breaks && unit.kind == UnitKind::kDouble &&
                         text_is_kinsoku(text_unit_code(p)) &&
                         x_ + w - s_.nWidthOffset <= int64_t{req_.width} + size_;
      if (breaks && !hangs) {
        break_line(p);
        if (stop_) return;
      }
    }

    int64_t draw_x = x_;
    if (after_center_)
      draw_x = x_ - step_;
    else if (!first_glyph_ && x_ > 0)
      draw_x = last_right_ - step_;
    first_glyph_ = false;
    after_center_ = false;

    if (pixels_) {
      if (!orv.OrvFontDrawText(pixels_, text, clamp32(draw_x),
                               clamp32(y_ + ruby_offset_ + size_offset_), buffer_width_,
                               buffer_height_)) {
        failed_ = true;
        stop_ = true;
        return;
      }
      if (orv.OrvFontHasDrawTextRect()) {
        int32_t r[5] = {};
        orv.OrvFontGetDrawTextRect(r);
        const GlyphRect rect{r[0], clamp32(std::max<int64_t>(int64_t{r[1]} - ruby_offset_, 0)),
                             clamp32(int64_t{r[2]} + pitch_), r[3]};
        if (reveal_) glyph_rects_push(reveal_->lineRects, rect);
        glyph_sum_ += int64_t{r[2]} + pitch_ - r[0];
        last_right_ = int64_t{r[2]} + pitch_;
        ++glyphs_;
      }
      x_ = draw_x + w;
    } else {
      x_ += w;
      last_right_ = x_ + step_;  // measuring: the next glyph would start at x
    }
  }

  const char* tag(const char* p, const TextUnit& unit) {
    const char* next = p + unit.length;
    if (text_starts_with(p, "<br>")) {
      y_ += line_pitch_;
      x_ = 0;
      if (y_ + line_pitch_ > req_.height) {
        cut_ = true;
        stop_ = true;
      }
    } else if (text_starts_with(p, "<center>")) {
      int64_t w = 0, h = 0;
      text_center_measure(next, size_, req_.width, pitch_, &w, &h);
      x_ = halve(int64_t{req_.width} - w);
      y_ = halve(int64_t{req_.height} - h) - req_.rubySize - ruby_offset_;
      if (reveal_) reveal_->nLinePitch = req_.height;
      after_center_ = true;
    } else if (text_starts_with(p, "<s")) {
      next = p + size_tag_length(p);
      const int64_t n = size_tag_value(p);
      set_size(static_cast<int32_t>(n));
      size_offset_ = std::max<int64_t>(size_ - n, 0);
      if (n > size_) {
        line_pitch_ += n - size_;
        if (reveal_) reveal_->nLinePitch = clamp32(int64_t{reveal_->nLinePitch} + n - size_);
      }
      size_ = static_cast<int32_t>(n);
    } else if (text_starts_with(p, "</s>")) {
      set_size(req_.charSize);
      size_offset_ = 0;
      size_ = req_.charSize;
    } else if (text_starts_with(p, "<g>")) {
      remembered_type_ = type_;
      set_type(type_ == 0 || type_ == 1 ? type_ : 0);
    } else if (text_starts_with(p, "</g>")) {
      set_type(remembered_type_);
    } else if (text_starts_with(p, "<reset>")) {
      line_pitch_ = base_pitch_;
      orv.OrvFontSetColor(req_.colour, req_.shadowColour);
    } else if (text_starts_with(p, "<r")) {
      next = ruby(p);
    } else if (text_starts_with(p, "<c")) {
      colour_tag(p, unit.length);
    } else if (text_starts_with(p, "</c>")) {
      orv.OrvFontSetColor(req_.colour, req_.shadowColour);
    } else if (text_starts_with(p, "<d")) {
      if (recording_tips()) tip_begin(p, next);
    } else if (text_starts_with(p, "</d>")) {
      if (recording_tips() && in_tip_) tip_end(p);
    }
    return next;
  }

  void set_size(int32_t size) {
    orv.OrvFontEnd();
    orv.OrvFontSetFontSize(size);
    orv.OrvFontBegin();
  }

  void set_type(int32_t type) {
    orv.OrvFontEnd();
    if (orv.OrvFontSetType(type)) type_ = type;
    orv.OrvFontBegin();
  }

  void colour_tag(const char* p, size_t length) {
    const char* end = p + length;
    const char* hash = static_cast<const char*>(std::memchr(p, '#', length));
    uint32_t colour = 0;
    if (!hash || !read_colour(hash, static_cast<size_t>(end - hash), &colour)) return;
    uint32_t shadow = req_.shadowColour;
    const char* second = hash + 7;
    const char* hash2 = static_cast<const char*>(std::memchr(second, '#', end - second));
    if (hash2) read_colour(hash2, static_cast<size_t>(end - hash2), &shadow);
    orv.OrvFontSetColor(colour, shadow);
  }

  // "<r" reading ">" base "</r": the reading drawn small over the base; the scan goes on with
  // the base.
  const char* ruby(const char* p) {
    orv.OrvFontEnd();
    const RubyGroup group = ruby_split(p + 2);
    const int64_t reading_width =
        text_fixed_width(group.reading.c_str(), group.reading.size(), req_.rubySize, pitch_, type_);
    if (x_ + reading_width > req_.width) {
      y_ += line_pitch_;
      x_ = 0;
      if (y_ + line_pitch_ > req_.height) {
        cut_ = true;
        stop_ = true;
      }
    }
    if (pixels_ && !stop_) {
      if (!group.closed) {
        engine::vm_log(engine::kLogMain, "ruby error : not </r> : %s", p + 2);
      } else {
        const int64_t base_width =
            text_fixed_width(group.base.c_str(), group.base.size(), size_, pitch_, type_);
        const int64_t offset = halve(base_width - reading_width);
        orv.OrvFontSetType(0);
        orv.OrvFontSetFontSize(req_.rubySize);
        orv.OrvFontDrawText(pixels_, group.reading.c_str(),
                            clamp32(std::max<int64_t>(x_ + offset, 0)), clamp32(y_), buffer_width_,
                            buffer_height_);
        orv.OrvFontSetType(type_);
        orv.OrvFontSetFontSize(size_);
      }
    }
    orv.OrvFontBegin();
    return p + 2 + group.resume;
  }

  void tip_begin(const char* p, const char* next) {
    engine::TextTipsState& tips = vm_.tips;
    if (tips.nCount < 0 || tips.nCount >= static_cast<int32_t>(engine::kTipKeep)) tips.nCount = 0;
    engine::TextTip& t = tip();
    std::memset(t.fields, 0, sizeof t.fields);
    int64_t key = -1;
    if (p[2] >= '0' && p[2] <= '9') text_read_decimal(p + 2, &key);
    t.fields[engine::kTipKey] = static_cast<int32_t>(key);
    t.fields[engine::kTipX] = clamp32(x_);
    t.fields[engine::kTipY] = clamp32(y_);
    t.fields[engine::kTipFontType] = type_;
    t.fields[engine::kTipFontSize] = size_;
    t.fields[engine::kTipFontEffect] = effect_;
    if (tips.bColoursOn) orv.OrvFontSetColor(tips.dwColour1, tips.dwColour2);
    in_tip_ = true;
    tip_start_ = next;
    tip_wrap_ = nullptr;
  }

  void tip_end(const char* p) {
    engine::TextTipsState& tips = vm_.tips;
    engine::TextTip& t = tip();
    std::memset(t.strings, 0, sizeof t.strings);
    tip_string(t.strings[0], tip_start_, static_cast<size_t>(p - tip_start_));
    if (!t.fields[engine::kTipWrapped]) {
      t.fields[engine::kTipBottom] = clamp32(y_ + line_pitch_);
      if (t.fields[engine::kTipX] > 0)
        t.fields[engine::kTipX] = clamp32(int64_t{t.fields[engine::kTipX]} + pitch_);
      t.fields[engine::kTipRight] = clamp32(x_ + pitch_);
    } else {
      t.fields[engine::kTipRight2] = clamp32(x_ + pitch_);
      t.fields[engine::kTipBottom2] = clamp32(y_ + line_pitch_);
      tip_string(t.strings[1], tip_start_, static_cast<size_t>(tip_wrap_ - tip_start_));
      tip_string(t.strings[2], tip_wrap_, static_cast<size_t>(p - tip_wrap_));
    }
    t.fields[engine::kTipCharSize] = req_.charSize;
    t.fields[engine::kTipLinePitch] = clamp32(line_pitch_);
    ++tips.nCount;
    tips.dwState = engine::kTipsBeginEnabled | engine::kTipsEndRequested;
    if (tips.bColoursOn) orv.OrvFontSetColor(req_.colour, req_.shadowColour);
    in_tip_ = false;
  }

  engine::VmContext& vm_;
  const TextRenderSettings& s_;
  const TextDrawRequest& req_;
  RevealState* reveal_;

  uint32_t* pixels_ = nullptr;
  int32_t buffer_width_ = 0, buffer_height_ = 0;
  int32_t entry_size_ = 0, entry_type_ = 0, entry_colour_ = 0, entry_shadow_ = 0;

  int64_t x_ = 0, y_ = 0;
  int64_t line_pitch_ = 0, base_pitch_ = 0;
  int64_t size_offset_ = 0;
  int64_t last_right_ = 0;
  int64_t glyph_sum_ = 0;
  uint32_t glyphs_ = 0;
  int32_t effect_ = 0, step_ = 0, pitch_ = 0, ruby_offset_ = 0;
  int32_t size_ = 0, type_ = 0, remembered_type_ = 0;
  bool first_glyph_ = true, after_center_ = false;
  bool stop_ = false, cut_ = false, failed_ = false;

  bool in_tip_ = false;
  const char* tip_start_ = nullptr;
  const char* tip_wrap_ = nullptr;
};

}  // namespace

TextDrawResult draw_text_tagged(engine::VmContext& vm, const TextRenderSettings& settings,
                                const TextDrawRequest& request, RevealState* reveal) {
  return Layout(vm, settings, request, reveal).run();
}

int32_t draw_text_tagged(engine::VmContext& vm, const TextRenderSettings& settings,
                         OrvHandle sprite, const char* text, int32_t* x, int32_t* y, int32_t width,
                         int32_t height, int32_t char_size, int32_t ruby_size, uint32_t colour,
                         uint32_t shadow_colour, RevealState* reveal) {
  TextDrawRequest request{sprite, text,      x ? *x : 0, y ? *y : 0, width,
                          height, char_size, ruby_size,  colour,     shadow_colour};
  const TextDrawResult result = draw_text_tagged(vm, settings, request, reveal);
  if (!result.bSkipped) {
    if (x) *x = result.x;
    if (y) *y = result.y;
  }
  return result.distance;
}

}  // namespace textrender
