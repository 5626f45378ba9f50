// The widgets' pictures: flat controls in the system's light colours, text in the bold-less
// face of the widget's font type at its cell size (widget_font.cpp).
#include <algorithm>
#include <memory>

#include "Orv/core/widgets/widget_record.h"
#include "platform/font_face.h"
#include "platform/sjis.h"

namespace {

constexpr uint32_t kFace = 0xFFF0F0F0u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kText = 0xFF000000u;
constexpr uint32_t kGreyText = 0xFF8C8C8Cu;
constexpr uint32_t kBorder = 0xFF7A7A7Au;
constexpr uint32_t kFocusBorder = 0xFF0078D7u;
constexpr uint32_t kButtonFace = 0xFFE1E1E1u;
constexpr uint32_t kCaption = 0xFF2B579Au;
constexpr uint32_t kSelection = 0xFF0078D7u;

struct Picture {
  std::vector<uint32_t>* pixels;
  int32_t width, height;
  // Drawing is clipped to this rectangle.
  int32_t cl = 0, ct = 0, cr = 0, cb = 0;

  void clip(int32_t l, int32_t t, int32_t r, int32_t b) {
    cl = std::max(l, 0);
    ct = std::max(t, 0);
    cr = std::min(r, width);
    cb = std::min(b, height);
  }
  void unclip() { clip(0, 0, width, height); }
  void fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb) {
    const int32_t l = std::max(x, cl), r = std::min(x + w, cr);
    const int32_t t = std::max(y, ct), b = std::min(y + h, cb);
    for (int32_t yy = t; yy < b; ++yy) {
      std::fill(pixels->begin() + yy * width + l, pixels->begin() + yy * width + std::max(l, r),
                argb);
    }
  }
  void frame(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb) {
    fill(x, y, w, 1, argb);
    fill(x, y + h - 1, w, 1, argb);
    fill(x, y, 1, h, argb);
    fill(x + w - 1, y, 1, h, argb);
  }
  // Coverage 0..64 of `argb` over the pixel.
  void blend(int32_t x, int32_t y, uint32_t argb, uint32_t coverage) {
    if (x < cl || y < ct || x >= cr || y >= cb || coverage == 0) return;
    uint32_t& d = (*pixels)[static_cast<size_t>(y) * width + x];
    const uint32_t a = std::min<uint32_t>(coverage, 64);
    auto mix = [&](int shift) {
      const uint32_t s = (argb >> shift) & 0xFF, t = (d >> shift) & 0xFF;
      return ((s * a + t * (64 - a)) / 64) << shift;
    };
    const uint32_t alpha = std::max((d >> 24) & 0xFF, a * 255 / 64);
    d = alpha << 24 | mix(16) | mix(8) | mix(0);
  }
};

// Draws text[from, to) with the cell's top at (x, y); returns the pen's x after it.
int32_t draw_text(Picture& pic, const Widget& w, const std::string& text, size_t from, size_t to,
                  int32_t x, int32_t y, uint32_t argb) {
  platform::FontFace* face = widget_face(w);
  const int32_t ascent = face ? face->metrics().ascent : w.font_size;
  to = std::min(to, text.size());
  for (size_t i = from; i < to;) {
    const uint16_t code = char_code_at(text, i, to);
    const bool two = code > 0xFF;
    const int32_t advance = char_advance(w, code);
    platform::GlyphImage g;
    if (face && x < pic.cr && x + advance > pic.cl && face->glyph(code, &g)) {
      const int32_t stride = (g.box_width + 3) & ~3;
      for (int32_t gy = 0; gy < g.box_height; ++gy) {
        for (int32_t gx = 0; gx < g.box_width; ++gx) {
          pic.blend(x + g.origin_x + gx, y + ascent - g.origin_y + gy, argb,
                    g.bits[static_cast<size_t>(gy) * stride + gx]);
        }
      }
    }
    x += advance;
    i += two ? 2 : 1;
  }
  return x;
}

void draw_edit_field(Picture& pic, Widget& w, Control& c, int32_t x, int32_t y, int32_t width,
                     int32_t height, bool focused) {
  pic.fill(x, y, width, height, c.enabled ? kWhite : kFace);
  pic.frame(x, y, width, height, focused ? kFocusBorder : kBorder);
  // What is shown: the text with the input method's unfinished text at the caret.
  const EditText& e = c.edit;
  const size_t caret = std::min(e.caret, e.text.size());
  const std::string shown = e.text.substr(0, caret) + e.composition + e.text.substr(caret);
  const size_t comp_end = caret + e.composition.size();
  const int32_t inner_w = width - 2 * kEditPad;
  const bool multi = c.kind == ControlKind::kEdit && e.multi_line;
  const std::vector<LineSpan> lines = layout_lines(w, shown, multi, inner_w);
  const int32_t lh = line_height(w);
  const int32_t rows = std::max(1, (height - 2 * kEditPad) / lh);
  // The caret's line and column, kept in view.
  size_t caret_line = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].start <= comp_end) caret_line = i;
  }
  const int32_t caret_x = text_width(w, shown, lines[caret_line].start, comp_end);
  if (multi) {
    const int32_t line = static_cast<int32_t>(caret_line);
    if (line < c.top) c.top = line;
    if (line >= c.top + rows) c.top = line - rows + 1;
    c.scroll_x = 0;
  } else {
    // (A combo box's top is its list's first item shown, not a line of its field.)
    if (caret_x - c.scroll_x > inner_w - 1) c.scroll_x = caret_x - inner_w + 1;
    if (caret_x < c.scroll_x) c.scroll_x = caret_x;
  }
  pic.clip(x + 1, y + 1, x + width - 1, y + height - 1);
  const uint32_t ink = c.enabled ? kText : kGreyText;
  // The selection shows while the control has the focus and nothing is being composed.
  size_t sel_from = 0, sel_to = 0;
  const bool selection = focused && e.composition.empty() && edit_selection(e, &sel_from, &sel_to);
  const int32_t first = multi ? c.top : 0;
  for (int32_t row = 0; row < rows && first + row < static_cast<int32_t>(lines.size()); ++row) {
    const LineSpan line = lines[first + row];
    const int32_t ty = y + kEditPad + row * lh + 1;
    const int32_t tx = x + kEditPad - c.scroll_x;
    if (selection && sel_from <= line.end && sel_to > line.start) {
      const size_t a = std::max(line.start, sel_from), b = std::min(line.end, sel_to);
      const int32_t ax = tx + text_width(w, shown, line.start, a);
      int32_t bw = text_width(w, shown, a, b);
      // A selected line break shows as a quarter cell after its line.
      const bool breaks =
          line.end < shown.size() && (shown[line.end] == '\r' || shown[line.end] == '\n');
      if (breaks && sel_to > line.end) bw += std::max(2, w.font_size / 4);
      pic.fill(ax, ty - 1, bw, lh, kSelection);
      const int32_t bx = draw_text(pic, w, shown, line.start, a, tx, ty, ink);
      draw_text(pic, w, shown, b, line.end, draw_text(pic, w, shown, a, b, bx, ty, kWhite), ty,
                ink);
    } else {
      draw_text(pic, w, shown, line.start, line.end, tx, ty, ink);
    }
    // The unfinished text is underlined.
    const size_t us = std::max(line.start, caret), ue = std::min(line.end, comp_end);
    if (us < ue) {
      const int32_t ux = tx + text_width(w, shown, line.start, us);
      pic.fill(ux, ty + w.font_size, text_width(w, shown, us, ue), 1, ink);
    }
    if (focused && static_cast<size_t>(first + row) == caret_line) {
      pic.fill(tx + caret_x, ty, 1, w.font_size, kText);
    }
  }
  pic.unclip();
}

// The items of a list box, or of a combo box's open list with its marked item and, when the
// items do not fit, a scroll bar.
void draw_list_items(Picture& pic, const Widget& w, const Control& c, int32_t x, int32_t y,
                     int32_t width, int32_t height, int32_t marked, bool bar) {
  pic.fill(x, y, width, height, kWhite);
  pic.frame(x, y, width, height, kBorder);
  const int32_t n = static_cast<int32_t>(c.items.size());
  if (bar && n > 0) {
    const int32_t bx = x + width - kScrollBarWidth;
    pic.fill(bx, y + 1, kScrollBarWidth - 1, height - 2, kFace);
    int32_t thumb_top = 0, thumb_height = 0;
    combo_thumb(w, c, &thumb_top, &thumb_height);
    pic.fill(bx + 2, y + thumb_top, kScrollBarWidth - 5, thumb_height, kBorder);
    width -= kScrollBarWidth - 1;
  }
  pic.clip(x + 1, y + 1, x + width - 1, y + height - 1);
  const int32_t lh = line_height(w);
  for (int32_t i = c.top, row = 0; i < n; ++i, ++row) {
    const int32_t ty = y + 2 + row * lh;
    if (ty >= y + height) break;
    const bool sel = i == marked;
    if (sel) pic.fill(x + 1, ty, width - 2, lh, kSelection);
    draw_text(pic, w, c.items[i], 0, c.items[i].size(), x + kEditPad, ty + 1, sel ? kWhite : kText);
  }
  pic.unclip();
}

void draw_control(Picture& pic, Widget& w, Control& c, int32_t ox, int32_t oy, bool focused) {
  const int32_t x = ox + c.x, y = oy + c.y;
  const uint32_t ink = c.enabled ? kText : kGreyText;
  switch (c.kind) {
    case ControlKind::kButton: {
      pic.fill(x, y, c.width, c.height, kButtonFace);
      const bool strong = focused || (c.style & kStyleDefaultButton);
      pic.frame(x, y, c.width, c.height, strong && c.enabled ? kFocusBorder : kBorder);
      const int32_t tw = text_width(w, c.label, 0, c.label.size());
      pic.clip(x + 1, y + 1, x + c.width - 1, y + c.height - 1);
      draw_text(pic, w, c.label, 0, c.label.size(), x + (c.width - tw) / 2,
                y + (c.height - w.font_size) / 2, ink);
      pic.unclip();
      break;
    }
    case ControlKind::kEdit:
      draw_edit_field(pic, w, c, x, y, c.width, c.height, focused);
      break;
    case ControlKind::kStatic: {
      pic.clip(x, y, x + c.width, y + c.height);
      // A static text wraps at its width.
      const std::vector<LineSpan> lines = layout_lines(w, c.label, true, c.width);
      for (size_t i = 0; i < lines.size(); ++i) {
        draw_text(pic, w, c.label, lines[i].start, lines[i].end, x,
                  y + static_cast<int32_t>(i) * line_height(w), ink);
      }
      pic.unclip();
      break;
    }
    case ControlKind::kGroup: {
      const int32_t mid = y + w.font_size / 2;
      pic.frame(x, mid, c.width, c.height - (mid - y), kBorder);
      const int32_t tw = text_width(w, c.label, 0, c.label.size());
      pic.fill(x + 6, y, tw + 4, w.font_size, kFace);
      draw_text(pic, w, c.label, 0, c.label.size(), x + 8, y, ink);
      break;
    }
    case ControlKind::kCombo: {
      const int32_t field = combo_field_height(w);
      draw_edit_field(pic, w, c, x, y, c.width - field, field, focused);
      pic.fill(x + c.width - field, y, field, field, kButtonFace);
      pic.frame(x + c.width - field, y, field, field, kBorder);
      // The arrow.
      for (int32_t i = 0; i < field / 4; ++i) {
        pic.fill(x + c.width - field / 2 - (field / 4 - i), y + field * 2 / 5 + i,
                 2 * (field / 4 - i), 1, ink);
      }
      if (c.dropped) {
        const int32_t rows = combo_list_rows(w, c);
        draw_list_items(pic, w, c, x, y + field, c.width, combo_list_height(w, c), c.hot,
                        static_cast<int32_t>(c.items.size()) > rows);
      }
      break;
    }
    case ControlKind::kList:
      draw_list_items(pic, w, c, x, y, c.width, c.height, c.selected, false);
      break;
  }
}

}  // namespace

std::vector<LineSpan> layout_lines(const Widget& w, const std::string& text, bool multi_line,
                                   int32_t width) {
  std::vector<LineSpan> lines;
  if (!multi_line) {
    lines.push_back(LineSpan{0, text.size()});
    return lines;
  }
  size_t start = 0;
  int32_t x = 0;
  for (size_t i = 0; i < text.size();) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      lines.push_back(LineSpan{start, i});
      i += ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
      start = i;
      x = 0;
      continue;
    }
    const uint16_t code = char_code_at(text, i, text.size());
    const size_t n = code > 0xFF ? 2 : 1;
    const int32_t cw = char_advance(w, code);
    if (x + cw > width && i > start) {  // wraps before this character
      lines.push_back(LineSpan{start, i});
      start = i;
      x = 0;
    }
    x += cw;
    i += n;
  }
  lines.push_back(LineSpan{start, text.size()});
  return lines;
}

std::vector<LineSpan> edit_lines(const Widget& w, const Control& c) {
  return layout_lines(w, c.edit.text, c.kind == ControlKind::kEdit && c.edit.multi_line,
                      c.width - 2 * kEditPad);
}

void widget_draw(Widget& w, int32_t client_width, int32_t client_height) {
  int32_t x = 0, y = 0;
  widget_origin(w, client_width, client_height, &x, &y);
  if (!w.dirty && w.picture && x == w.picture_x && y == w.picture_y) return;
  const bool dialog = w.kind == 1;
  const int32_t cap = caption_height(w);
  const int32_t pw = w.width + (dialog ? 2 * kFrame : 0);
  const int32_t ph = w.height + (dialog ? 2 * kFrame + cap : 0);
  auto pixels = std::make_shared<std::vector<uint32_t>>(static_cast<size_t>(pw) * ph, 0u);
  Picture pic{pixels.get(), pw, ph};
  pic.unclip();
  int32_t ox = 0, oy = 0;
  if (dialog) {
    pic.fill(0, 0, pw, ph, kFace);
    pic.frame(0, 0, pw, ph, kBorder);
    pic.fill(1, 1, pw - 2, cap + kFrame - 1, kCaption);
    pic.clip(kFrame, 0, pw - kFrame, cap + kFrame);
    draw_text(pic, w, w.caption, 0, w.caption.size(), kFrame + 6, kFrame + 4, kWhite);
    pic.unclip();
    ox = kFrame;
    oy = kFrame + cap;
  }
  // Drop-down lists last, over the controls below them.
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < w.controls.size(); ++i) {
      Control& c = w.controls[i];
      const bool over = c.kind == ControlKind::kCombo && c.dropped;
      if (over != (pass == 1)) continue;
      draw_control(pic, w, c, ox, oy, static_cast<int>(i) == w.focus);
    }
  }
  w.picture = pixels;
  w.picture_x = x;
  w.picture_y = y;
  w.picture_w = pw;
  w.picture_h = ph;
  w.dirty = false;
}
