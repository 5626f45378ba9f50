#include "Orv/core/widgets/widgets.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "Orv/core/handle_table.h"
#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/process.h"
#include "Orv/render/gl/gl_overlay.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/sjis.h"
#include "platform/window.h"

namespace {

using platform::WindowEvent;
using K = platform::WindowEventKind;

Widget* find(OrvHandle id) {
  return static_cast<Widget*>(orv_handles().get(id, HandleKind::kWidget));
}

Control* control_of(Widget* w, int32_t id) {
  if (!w) return nullptr;
  for (Control& c : w->controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

bool takes_text(const Control& c) {
  return c.kind == ControlKind::kEdit || c.kind == ControlKind::kCombo;
}
bool takes_focus(const Control& c) {
  return c.enabled &&
         (takes_text(c) || c.kind == ControlKind::kList || c.kind == ControlKind::kButton);
}

void note(WidgetState& st, Widget& w, uint32_t code, int32_t id) {
  w.notes.push_back(code << 16 | (static_cast<uint32_t>(id) & 0xFFFF));
  st.changed.notify_all();
}

// The window thread shows what changed: a new present with the pictures, and the text input
// as the focus wants it. Only the software renderer presents through the window thread.
void show_on_window(void*) {
  widgets_sync_text_input();
  ProcessRecord& p = orv_process();
  if (p.window && !(p.params.display_flags & kDisplayFlagDirect3D)) frame_present_on_window();
}

// After a change made outside the window thread's event handling (an export).
void changed() {
  if (on_window_thread()) {
    show_on_window(nullptr);
  } else {
    window_post(kWndCall, reinterpret_cast<uintptr_t>(&show_on_window), 0);
  }
}

// The shown widget that takes the input: the top dialog, else the top box.
Widget* active(WidgetState& st) {
  Widget* box = nullptr;
  for (auto it = st.widgets.rbegin(); it != st.widgets.rend(); ++it) {
    Widget* w = it->get();
    if (!w->shown) continue;
    if (w->kind == 1) return w;
    if (!box) box = w;
  }
  return box;
}

void client_offset(const Widget& w, int32_t* dx, int32_t* dy) {
  *dx = w.kind == 1 ? kFrame : 0;
  *dy = w.kind == 1 ? kFrame + caption_height(w) : 0;
}

void client_size(int32_t* width, int32_t* height) {
  *width = *height = 0;
  ProcessRecord& p = orv_process();
  if (p.window) platform::window_size(p.window, width, height);
}

// The default button: the enabled one with the default style, else id 1.
Control* default_button(Widget& w) {
  for (Control& c : w.controls) {
    if (c.kind == ControlKind::kButton && (c.style & kStyleDefaultButton)) return &c;
  }
  return control_of(&w, kIdOk);
}

void click(WidgetState& st, Widget& w, Control* c) {
  if (c && c->enabled) note(st, w, kNoteClicked, c->id);
}

void focus_next(Widget& w, bool back) {
  const int n = static_cast<int>(w.controls.size());
  for (int step = 1; step <= n; ++step) {
    const int i = ((w.focus < 0 ? (back ? 0 : -1) : w.focus) + (back ? -step : step) + n * 2) % n;
    const Control& c = w.controls[i];
    if (takes_focus(c) && (c.style & kStyleTabStop || takes_text(c))) {
      w.focus = i;
      return;
    }
  }
}

// Keeps a list's selection in view.
void list_show_selected(Control& c, int32_t rows) {
  if (rows < 1) rows = 1;
  if (c.selected < 0) return;
  if (c.selected < c.top) c.top = c.selected;
  if (c.selected >= c.top + rows) c.top = c.selected - rows + 1;
}

int32_t list_rows(const Widget& w, const Control& c) {
  const int32_t h = c.kind == ControlKind::kCombo ? c.height - combo_field_height(w) : c.height;
  return std::max(1, (h - 4) / line_height(w));
}

void select_item(Control& c, int32_t item) {
  c.selected = item;
  if (c.kind == ControlKind::kCombo && item >= 0 && item < static_cast<int32_t>(c.items.size())) {
    edit_set_text(c.edit, c.items[item]);
  }
}

// Keys for the control with the focus; true when the key belonged to it.
bool control_key(WidgetState& st, Widget& w, Control& c, const WindowEvent& ev) {
  bool text_changed = false;
  if (c.kind == ControlKind::kList ||
      (c.kind == ControlKind::kCombo && (ev.vk == 0x26 || ev.vk == 0x28))) {
    if (ev.vk != 0x26 && ev.vk != 0x28) return false;
    const int32_t n = static_cast<int32_t>(c.items.size());
    if (n == 0) return true;
    int32_t item = c.selected < 0 ? 0 : c.selected + (ev.vk == 0x26 ? -1 : 1);
    item = std::clamp(item, 0, n - 1);
    if (item != c.selected) {
      select_item(c, item);
      list_show_selected(c, list_rows(w, c));
      note(st, w, c.kind == ControlKind::kList ? kNoteSelChange : kNoteChange, c.id);
    }
    return true;
  }
  if (!takes_text(c)) return false;
  if (!edit_key(c.edit, ev.vk, &text_changed)) return false;
  if (text_changed) note(st, w, kNoteChange, c.id);
  return true;
}

void on_key(WidgetState& st, Widget& w, const WindowEvent& ev) {
  Control* c = w.focus >= 0 ? &w.controls[w.focus] : nullptr;
  if (c && !c->enabled) c = nullptr;
  if (ev.vk == 0x0D) {
    if (c && c->kind == ControlKind::kEdit && (c->style & kStyleWantReturn) &&
        (c->style & kStyleMultiLine)) {
      if (edit_type(c->edit, "\r\n")) note(st, w, kNoteChange, c->id);
    } else if (w.kind == 1) {
      if (c && c->kind == ControlKind::kButton) {
        click(st, w, c);
      } else {
        click(st, w, default_button(w));
      }
    }
    return;
  }
  if (w.kind == 1 && ev.vk == 0x1B) {
    note(st, w, kNoteClicked, kIdCancel);
    return;
  }
  if (w.kind == 1 && ev.vk == 0x09) {
    focus_next(w, ev.shift);
    return;
  }
  if (w.kind == 1 && ev.vk == 0x20 && c && c->kind == ControlKind::kButton) {
    click(st, w, c);
    return;
  }
  if (c) control_key(st, w, *c, ev);
}

// The caret under x in a line of an edit (x relative to the text's left edge).
size_t caret_at_x(const Widget& w, const std::string& text, LineSpan line, int32_t x) {
  size_t i = line.start;
  while (i < line.end) {
    const size_t n = platform::sjis_is_lead(static_cast<uint8_t>(text[i])) ? 2 : 1;
    const int32_t width = text_width(w, text, i, i + n);
    if (x < width / 2) break;
    x -= width;
    i += n;
  }
  return std::min(i, line.end);
}

void on_press(WidgetState& st, Widget& w, int32_t x, int32_t y, uint8_t clicks) {
  for (int i = static_cast<int>(w.controls.size()) - 1; i >= 0; --i) {
    Control& c = w.controls[i];
    const int32_t h =
        c.kind == ControlKind::kCombo && !c.dropped ? combo_field_height(w) : c.height;
    if (x < c.x || y < c.y || x >= c.x + c.width || y >= c.y + h) continue;
    if (!c.enabled || c.kind == ControlKind::kStatic || c.kind == ControlKind::kGroup) return;
    if (takes_focus(c)) w.focus = i;
    const int32_t cx = x - c.x, cy = y - c.y;
    switch (c.kind) {
      case ControlKind::kButton:
        click(st, w, &c);
        return;
      case ControlKind::kEdit: {
        const std::vector<LineSpan> lines = edit_lines(w, c);
        const int32_t row = c.top + std::max(0, (cy - kEditPad) / line_height(w));
        const LineSpan line = lines[std::min<size_t>(row, lines.size() - 1)];
        c.edit.caret = caret_at_x(w, c.edit.text, line, cx - kEditPad + c.scroll_x);
        return;
      }
      case ControlKind::kCombo: {
        const int32_t field = combo_field_height(w);
        if (cy < field) {
          if (cx >= c.width - field) {
            c.dropped = !c.dropped;
          } else {
            c.edit.caret = caret_at_x(w, c.edit.text, LineSpan{0, c.edit.text.size()},
                                      cx - kEditPad + c.scroll_x);
          }
          return;
        }
        const int32_t item = c.top + (cy - field - 2) / line_height(w);
        if (item >= 0 && item < static_cast<int32_t>(c.items.size())) {
          select_item(c, item);
          note(st, w, kNoteChange, c.id);
        }
        c.dropped = false;
        return;
      }
      case ControlKind::kList: {
        const int32_t item = c.top + (cy - 2) / line_height(w);
        if (item < 0 || item >= static_cast<int32_t>(c.items.size())) return;
        if (item != c.selected) {
          c.selected = item;
          note(st, w, kNoteSelChange, c.id);
        }
        if (clicks >= 2) note(st, w, kNoteDoubleClick, c.id);
        return;
      }
      default:
        return;
    }
  }
  // Outside every control: an open drop-down list closes.
  for (Control& c : w.controls) c.dropped = false;
}

void on_wheel(Widget& w, int32_t x, int32_t y, int32_t away) {
  for (Control& c : w.controls) {
    if (c.kind != ControlKind::kList && c.kind != ControlKind::kEdit) continue;
    if (x < c.x || y < c.y || x >= c.x + c.width || y >= c.y + c.height) continue;
    const int32_t rows = list_rows(w, c);
    const int32_t count = c.kind == ControlKind::kList
                              ? static_cast<int32_t>(c.items.size())
                              : static_cast<int32_t>(edit_lines(w, c).size());
    c.top = std::clamp(c.top - away, 0, std::max(0, count - rows));
  }
}

}  // namespace

WidgetState& widget_state() {
  static WidgetState state;
  return state;
}

int32_t caption_height(const Widget& w) {
  return w.kind == 1 ? w.font_size + 8 : 0;
}

void widget_origin(const Widget& w, int32_t client_width, int32_t client_height, int32_t* x,
                   int32_t* y) {
  if (w.kind != 1) {
    *x = w.x;
    *y = w.y;
    return;
  }
  const int32_t outer_w = w.width + 2 * kFrame;
  const int32_t outer_h = w.height + 2 * kFrame + caption_height(w);
  // Halves rounded toward zero, as the system centres a dialog over its owner.
  *x = (client_width - outer_w) / 2;
  *y = (client_height - outer_h) / 2;
}

int32_t text_width(const Widget& w, const std::string& sjis, size_t from, size_t to) {
  int32_t width = 0;
  to = std::min(to, sjis.size());
  for (size_t i = from; i < to;) {
    if (platform::sjis_is_lead(static_cast<uint8_t>(sjis[i])) && i + 1 < to) {
      width += w.font_size;
      i += 2;
    } else {
      width += w.font_size / 2;
      ++i;
    }
  }
  return width;
}

bool widgets_take_event(const WindowEvent& ev) {
  WidgetState& st = widget_state();
  bool taken = false;
  bool repaint = true;
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = active(st);
    if (!w) return false;
    const bool modal = w->kind == 1;
    Control* focused = w->focus >= 0 ? &w->controls[w->focus] : nullptr;
    int32_t cw = 0, ch = 0;
    client_size(&cw, &ch);
    int32_t ox = 0, oy = 0, dx = 0, dy = 0;
    widget_origin(*w, cw, ch, &ox, &oy);
    client_offset(*w, &dx, &dy);
    const int32_t lx = ev.x - ox - dx, ly = ev.y - oy - dy;
    const bool inside = lx >= 0 && ly >= 0 && lx < w->width && ly < w->height;
    switch (ev.kind) {
      case K::kKeyDown:
        if (!ev.alt) on_key(st, *w, ev);
        taken = modal;
        break;
      case K::kKeyUp:
        taken = modal;
        repaint = false;
        break;
      case K::kTextInput:
        if (focused && focused->enabled && takes_text(*focused)) {
          focused->edit.composition.clear();
          if (edit_type_utf8(focused->edit, ev.text)) note(st, *w, kNoteChange, focused->id);
        }
        taken = true;
        break;
      case K::kTextEditing:
        if (focused && takes_text(*focused)) {
          focused->edit.composition = platform::utf8_to_sjis_lossy(ev.text);
        }
        taken = true;
        break;
      case K::kMouseDown:
        if (inside && ev.button == platform::kMouseLeft) on_press(st, *w, lx, ly, ev.clicks);
        taken = modal || inside;
        break;
      case K::kMouseUp:
      case K::kMouseMove:
        taken = modal || inside;
        repaint = false;
        break;
      case K::kWheel:
        if (inside) on_wheel(*w, lx, ly, ev.y);
        taken = modal || inside;
        break;
      default:
        return false;
    }
    if (repaint) w->dirty = true;
  }
  if (repaint) show_on_window(nullptr);
  return taken;
}

void widgets_overlays(int32_t client_width, int32_t client_height,
                      std::vector<platform::Overlay>* out,
                      std::vector<std::shared_ptr<const std::vector<uint32_t>>>* keep) {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  for (auto& ptr : st.widgets) {
    Widget& w = *ptr;
    if (!w.shown) continue;
    widget_draw(w, client_width, client_height);
    if (!w.picture) continue;
    keep->push_back(w.picture);
    out->push_back(
        platform::Overlay{w.picture->data(), w.picture_w, w.picture_h, w.picture_x, w.picture_y});
  }
}

void widgets_sync_text_input() {
  WidgetState& st = widget_state();
  bool want = false;
  platform::Rect rect;
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = active(st);
    if (w && w->focus >= 0 && takes_text(w->controls[w->focus])) {
      const Control& c = w->controls[w->focus];
      int32_t cw = 0, ch = 0, ox = 0, oy = 0, dx = 0, dy = 0;
      client_size(&cw, &ch);
      widget_origin(*w, cw, ch, &ox, &oy);
      client_offset(*w, &dx, &dy);
      rect = platform::Rect{ox + dx + c.x, oy + dy + c.y, ox + dx + c.x + c.width,
                            oy + dy + c.y + c.height};
      want = true;
    }
  }
  if (!orv_process().window) return;
  if (want) {
    platform::text_input_start(rect);
  } else if (st.text_input_on) {
    platform::text_input_stop();
  }
  st.text_input_on = want;
}

void widgets_reset() {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  for (auto& w : st.widgets) orv_handles().remove(w->id, HandleKind::kWidget);
  st.widgets.clear();
  st.text_input_on = false;
  st.changed.notify_all();
}

extern "C" {

OrvHandle OrvWidgetCreate(int32_t kind, int32_t x, int32_t y, int32_t width, int32_t height,
                          int32_t font_size, int32_t font_type, const char* caption) {
  if ((kind != 0 && kind != 1) || width < 1 || height < 1) return 0;
  WidgetState& st = widget_state();
  auto w = std::make_unique<Widget>();
  w->kind = kind;
  w->x = x;
  w->y = y;
  w->width = width;
  w->height = height;
  w->font_size = std::max(font_size, 8);
  w->font_type = font_type;
  if (caption) w->caption = caption;
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    w->id = orv_handles().add(HandleKind::kWidget, w.get());
    if (!w->id) return 0;
    st.widgets.push_back(std::move(w));
    return st.widgets.back()->id;
  }
}

OrvBool OrvWidgetDestroy(OrvHandle id) {
  WidgetState& st = widget_state();
  bool was_shown = false;
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = find(id);
    if (!w) return 0;
    was_shown = w->shown;
    orv_handles().remove(id, HandleKind::kWidget);
    st.widgets.erase(std::remove_if(st.widgets.begin(), st.widgets.end(),
                                    [&](const std::unique_ptr<Widget>& p) { return p->id == id; }),
                     st.widgets.end());
    st.changed.notify_all();
  }
  if (was_shown) changed();
  return 1;
}

OrvBool OrvWidgetMove(OrvHandle id, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t font_size) {
  WidgetState& st = widget_state();
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = find(id);
    if (!w || width < 1 || height < 1) return 0;
    if (w->kind == 0) {
      w->x = x;
      w->y = y;
      w->width = width;
      w->height = height;
      if (!w->controls.empty()) {
        Control& c = w->controls.front();
        c.x = c.y = 0;
        c.width = width;
        c.height = height;
      }
    }
    w->font_size = std::max(font_size, 8);
    w->dirty = true;
  }
  changed();
  return 1;
}

OrvBool OrvWidgetAddControl(OrvHandle id, int32_t control_id, int32_t kind, int32_t x, int32_t y,
                            int32_t width, int32_t height, uint32_t style, int32_t limit,
                            const char* text) {
  if (kind < 1 || kind > 6) return 0;
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  Widget* w = find(id);
  if (!w) return 0;
  Control c;
  c.id = control_id;
  c.kind = static_cast<ControlKind>(kind);
  c.x = x;
  c.y = y;
  c.width = std::max(width, 1);
  c.height = std::max(height, 1);
  c.style = style;
  c.edit.limit = limit > 0 ? static_cast<size_t>(limit) : 0;
  c.edit.multi_line = c.kind == ControlKind::kEdit && (style & kStyleMultiLine);
  if (takes_text(c)) {
    edit_set_text(c.edit, text ? text : "");
  } else if (text) {
    c.label = text;
  }
  w->controls.push_back(std::move(c));
  if (w->focus < 0 && w->controls.back().kind != ControlKind::kButton &&
      takes_focus(w->controls.back())) {
    w->focus = static_cast<int>(w->controls.size()) - 1;
  }
  w->dirty = true;
  return 1;
}

OrvBool OrvWidgetSetText(OrvHandle id, int32_t control_id, const char* text) {
  WidgetState& st = widget_state();
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = find(id);
    Control* c = control_of(w, control_id);
    if (!c) return 0;
    if (takes_text(*c)) {
      edit_set_text(c->edit, text ? text : "");
      c->scroll_x = 0;
    } else {
      c->label = text ? text : "";
    }
    w->dirty = true;
    if (!w->shown) return 1;
  }
  changed();
  return 1;
}

int32_t OrvWidgetGetText(OrvHandle id, int32_t control_id, char* buffer, int32_t size) {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  Control* c = control_of(find(id), control_id);
  if (!c) return -1;
  std::string text;
  if (takes_text(*c)) {
    text = c->edit.text;
  } else if (c->kind == ControlKind::kList) {
    if (c->selected >= 0 && c->selected < static_cast<int32_t>(c->items.size())) {
      text = c->items[c->selected];
    }
  } else {
    text = c->label;
  }
  if (!buffer || size <= 0) return 0;
  const size_t n = edit_boundary_before(text, std::min(text.size(), size_t(size - 1)));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return static_cast<int32_t>(n);
}

OrvBool OrvWidgetEnable(OrvHandle id, int32_t control_id, int32_t enable) {
  WidgetState& st = widget_state();
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = find(id);
    Control* c = control_of(w, control_id);
    if (!c) return 0;
    if (c->enabled == (enable != 0)) return 1;
    c->enabled = enable != 0;
    w->dirty = true;
    if (!w->shown) return 1;
  }
  changed();
  return 1;
}

OrvBool OrvWidgetAddItem(OrvHandle id, int32_t control_id, const char* text) {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  Widget* w = find(id);
  Control* c = control_of(w, control_id);
  if (!c || (c->kind != ControlKind::kCombo && c->kind != ControlKind::kList)) return 0;
  w->dirty = true;
  if (!text) {
    c->items.clear();
    c->selected = -1;
    c->top = 0;
    return 1;
  }
  auto at = c->items.end();
  if (c->style & kStyleSorted) at = std::upper_bound(c->items.begin(), c->items.end(), text);
  c->items.insert(at, text);
  return 1;
}

int32_t OrvWidgetSelect(OrvHandle id, int32_t control_id, int32_t item) {
  WidgetState& st = widget_state();
  int32_t before = -1;
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = find(id);
    Control* c = control_of(w, control_id);
    if (!c || (c->kind != ControlKind::kCombo && c->kind != ControlKind::kList)) return -1;
    before = c->selected;
    select_item(*c, item >= 0 && item < static_cast<int32_t>(c->items.size()) ? item : -1);
    list_show_selected(*c, list_rows(*w, *c));
    w->dirty = true;
    if (!w->shown) return before;
  }
  changed();
  return before;
}

OrvBool OrvWidgetShow(OrvHandle id, int32_t focus_id) {
  WidgetState& st = widget_state();
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    Widget* w = find(id);
    if (!w) return 0;
    w->shown = true;
    for (size_t i = 0; i < w->controls.size(); ++i) {
      if (focus_id != 0 && w->controls[i].id == focus_id) w->focus = static_cast<int>(i);
    }
    w->dirty = true;
  }
  changed();
  return 1;
}

uint32_t OrvWidgetWait(OrvHandle id, int32_t timeout_ms) {
  // A dialog waited for on the thread that shows GL frames holds them up: it shows itself.
  if (timeout_ms != 0) gl_show_widgets_now();
  WidgetState& st = widget_state();
  std::unique_lock<std::mutex> lock(st.mutex);
  auto ready = [&] {
    Widget* w = find(id);
    return !w || !w->notes.empty() || orv_process().end_requested.load();
  };
  if (timeout_ms < 0) {
    st.changed.wait(lock, ready);
  } else if (timeout_ms > 0) {
    st.changed.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
  }
  Widget* w = find(id);
  if (w && !w->notes.empty()) {
    const uint32_t n = w->notes.front();
    w->notes.pop_front();
    return n;
  }
  // A program that is ending, or a widget that went, cancels: a dialog never holds its thread.
  if (!w || orv_process().end_requested.load()) return kNoteClicked << 16 | kIdCancel;
  return 0;
}

void OrvBeep(void) {
  platform::beep();
}

}  // extern "C"
