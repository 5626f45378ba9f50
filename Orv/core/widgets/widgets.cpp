#include "Orv/core/widgets/widgets.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "Orv/core/handle_table.h"
#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/process.h"
#include "Orv/render/gl/gl_overlay.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
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
  // Counted under the lock, so that a waiter between its look and its sleep cannot miss it.
  WidgetState& st = widget_state();
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    ++st.repaints;
  }
  st.changed.notify_all();
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

// Closes the open lists of the combo boxes, all but control `keep` (an index).
void close_lists(Widget& w, int keep = -1) {
  for (size_t i = 0; i < w.controls.size(); ++i) {
    if (static_cast<int>(i) != keep) w.controls[i].dropped = false;
  }
}

// Tab and Shift+Tab: the next control with a tab stop (or taking text). As in the system's
// dialogs, an edit reached so has all of its text selected.
void focus_next(Widget& w, bool back) {
  const int n = static_cast<int>(w.controls.size());
  for (int step = 1; step <= n; ++step) {
    const int i = ((w.focus < 0 ? (back ? 0 : -1) : w.focus) + (back ? -step : step) + n * 2) % n;
    Control& c = w.controls[i];
    if (takes_focus(c) && (c.style & kStyleTabStop || takes_text(c))) {
      w.focus = i;
      close_lists(w);
      if (takes_text(c)) edit_select_all(c.edit);
      return;
    }
  }
}

// Keeps an item of a list in view.
void show_item(Control& c, int32_t item, int32_t rows) {
  if (rows < 1) rows = 1;
  if (item < 0) return;
  if (item < c.top) c.top = item;
  if (item >= c.top + rows) c.top = item - rows + 1;
}

int32_t list_rows(const Widget& w, const Control& c) {
  if (c.kind == ControlKind::kCombo) return combo_list_rows(w, c);
  return std::max(1, (c.height - 4) / line_height(w));
}

void select_item(Control& c, int32_t item) {
  c.selected = item;
  if (c.kind == ControlKind::kCombo && item >= 0 && item < static_cast<int32_t>(c.items.size())) {
    edit_set_text(c.edit, c.items[item]);
  }
}

// The player chose an item of a combo box (from its list or with Up and Down): its text goes
// into the field, selected, and the change is notified.
void choose_item(WidgetState& st, Widget& w, Control& c, int32_t item) {
  c.dropped = false;
  if (item < 0 || item >= static_cast<int32_t>(c.items.size())) return;
  select_item(c, item);
  edit_select_all(c.edit);
  show_item(c, item, list_rows(w, c));
  note(st, w, kNoteChange, c.id);
}

// Opens a combo box's list with the item of the field's text marked (the first item that
// begins with it, else the item chosen last).
void open_list(const Widget& w, Control& c) {
  c.dropped = true;
  c.hot = c.selected;
  const std::string& field = c.edit.text;
  for (size_t i = 0; i < c.items.size() && !field.empty(); ++i) {
    if (c.items[i] == field) {
      c.hot = static_cast<int32_t>(i);
      break;
    }
    if (c.hot < 0 && c.items[i].compare(0, field.size(), field) == 0) {
      c.hot = static_cast<int32_t>(i);
    }
  }
  if (c.hot >= static_cast<int32_t>(c.items.size())) c.hot = -1;
  show_item(c, c.hot, list_rows(w, c));
}

// The clipboard's part in an event: read before the widgets' lock is taken (reading may wait
// for another program), written after it is released.
struct ClipboardWork {
  std::string pasted;  // the clipboard's text, for a paste key
  bool write = false;  // a copy or cut put `copied` on the clipboard
  std::string copied;
};

// Whether the shown widget that takes input has an edit or a combo box with the focus.
bool text_has_focus(WidgetState& st) {
  std::lock_guard<std::mutex> lock(st.mutex);
  const Widget* w = active(st);
  return w && w->focus >= 0 && takes_text(w->controls[w->focus]);
}

enum class TextCommand { kNone, kCopy, kCut, kPaste, kUndo, kSelectAll };

// The clipboard and undo keys of the system's edit control (Ctrl+A as well).
TextCommand text_command(const WindowEvent& ev) {
  if (ev.kind != K::kKeyDown) return TextCommand::kNone;
  if (ev.ctrl && !ev.shift && !ev.alt) {
    switch (ev.vk) {
      case 0x43:  // C
      case 0x2D:  // Insert
        return TextCommand::kCopy;
      case 0x58:  // X
        return TextCommand::kCut;
      case 0x56:  // V
        return TextCommand::kPaste;
      case 0x5A:  // Z
        return TextCommand::kUndo;
      case 0x41:  // A
        return TextCommand::kSelectAll;
      default:
        return TextCommand::kNone;
    }
  }
  if (ev.shift && !ev.ctrl && !ev.alt) {
    if (ev.vk == 0x2E) return TextCommand::kCut;    // Shift+Delete
    if (ev.vk == 0x2D) return TextCommand::kPaste;  // Shift+Insert
  }
  if (ev.alt && !ev.ctrl && !ev.shift && ev.vk == 0x08) return TextCommand::kUndo;
  return TextCommand::kNone;
}

// Keys for an edit or a combo's field; true when the key belonged to it. Clipboard commands
// and undo notify a change even where the text stays, so that a dialog counting the text
// counts again, as it does for the system's control.
bool text_key(WidgetState& st, Widget& w, Control& c, const WindowEvent& ev, ClipboardWork& clip) {
  EditText& e = c.edit;
  switch (text_command(ev)) {
    case TextCommand::kCopy:
      clip.copied = edit_selected_text(e);
      clip.write = !clip.copied.empty();
      note(st, w, kNoteChange, c.id);
      return true;
    case TextCommand::kCut: {
      std::string cut;
      if (edit_cut(e, &cut)) {
        clip.copied = std::move(cut);
        clip.write = true;
      }
      note(st, w, kNoteChange, c.id);
      return true;
    }
    case TextCommand::kPaste:
      edit_paste(e, clip.pasted);
      note(st, w, kNoteChange, c.id);
      return true;
    case TextCommand::kUndo:
      edit_undo(e);
      note(st, w, kNoteChange, c.id);
      return true;
    case TextCommand::kSelectAll:
      edit_select_all(e);
      return true;
    case TextCommand::kNone:
      break;
  }
  if (ev.alt) return false;
  bool text_changed = false;
  const uint32_t mods = (ev.shift ? kEditShift : 0) | (ev.ctrl ? kEditCtrl : 0);
  if (!edit_key(e, ev.vk, &text_changed, mods)) return false;
  if (text_changed) note(st, w, kNoteChange, c.id);
  return true;
}

// Keys of a combo box's list: F4 and Alt+Down open it; while it is open, Up, Down, Page Up and
// Page Down move the mark, Return, F4, Alt+Down and Alt+Up close it choosing the marked item,
// Escape closes it choosing nothing; while it is closed, Up and Down choose the item before or
// after. True when the key belonged to the list.
bool combo_key(WidgetState& st, Widget& w, Control& c, const WindowEvent& ev) {
  const bool plain = !ev.alt && !ev.ctrl && !ev.shift;
  const bool toggle =
      (ev.vk == 0x73 && plain) || (ev.alt && !ev.ctrl && (ev.vk == 0x28 || ev.vk == 0x26));
  const int32_t n = static_cast<int32_t>(c.items.size());
  const int32_t rows = list_rows(w, c);
  if (!c.dropped) {
    if (toggle) {
      if (ev.vk != 0x26) open_list(w, c);  // Alt+Up only closes
      return true;
    }
    if (!plain || (ev.vk != 0x26 && ev.vk != 0x28)) return false;
    if (n == 0) return true;
    const int32_t item =
        std::clamp(c.selected < 0 ? 0 : c.selected + (ev.vk == 0x26 ? -1 : 1), 0, n - 1);
    if (item != c.selected) choose_item(st, w, c, item);
    return true;
  }
  if (toggle || (ev.vk == 0x0D && !ev.alt)) {
    choose_item(st, w, c, c.hot);
    return true;
  }
  if (ev.vk == 0x1B) {
    c.dropped = false;
    return true;
  }
  int32_t step = 0;
  if (plain && ev.vk == 0x26) step = -1;
  if (plain && ev.vk == 0x28) step = 1;
  if (plain && ev.vk == 0x21) step = -rows;
  if (plain && ev.vk == 0x22) step = rows;
  if (step == 0) return false;
  if (n > 0) {
    c.hot = std::clamp(c.hot < 0 ? (step > 0 ? 0 : n - 1) : c.hot + step, 0, n - 1);
    show_item(c, c.hot, rows);
  }
  return true;
}

// Keys for the control with the focus (a combo box's list keys are taken before); true when
// the key belonged to it.
bool control_key(WidgetState& st, Widget& w, Control& c, const WindowEvent& ev,
                 ClipboardWork& clip) {
  if (c.kind == ControlKind::kList) {
    if (ev.alt || (ev.vk != 0x26 && ev.vk != 0x28)) return false;
    const int32_t n = static_cast<int32_t>(c.items.size());
    if (n == 0) return true;
    int32_t item = c.selected < 0 ? 0 : c.selected + (ev.vk == 0x26 ? -1 : 1);
    item = std::clamp(item, 0, n - 1);
    if (item != c.selected) {
      select_item(c, item);
      show_item(c, c.selected, list_rows(w, c));
      note(st, w, kNoteSelChange, c.id);
    }
    return true;
  }
  if (!takes_text(c)) return false;
  return text_key(st, w, c, ev, clip);
}

void on_key(WidgetState& st, Widget& w, const WindowEvent& ev, ClipboardWork& clip) {
  Control* c = w.focus >= 0 ? &w.controls[w.focus] : nullptr;
  if (c && !c->enabled) c = nullptr;
  // An open list takes Return and Escape before the dialog does.
  if (c && c->kind == ControlKind::kCombo && combo_key(st, w, *c, ev)) return;
  if (ev.alt) {  // Alt with a key is the dialog's menu key, but for undo (Alt+Backspace)
    if (c && takes_text(*c)) text_key(st, w, *c, ev, clip);
    return;
  }
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
  if (c) control_key(st, w, *c, ev, clip);
}

// The caret under x in a line of an edit (x relative to the text's left edge).
size_t caret_at_x(const Widget& w, const std::string& text, LineSpan line, int32_t x) {
  size_t i = line.start;
  while (i < line.end) {
    const uint16_t code = char_code_at(text, i, line.end);
    const size_t n = code > 0xFF ? 2 : 1;
    const int32_t width = char_advance(w, code);
    if (x < width / 2) break;
    x -= width;
    i += n;
  }
  return std::min(i, line.end);
}

// The caret under a point of an edit or a combo's field (relative to the control); a point
// above or below the lines shown gives the line beyond them, so that a drag scrolls.
size_t caret_at_point(const Widget& w, const Control& c, int32_t cx, int32_t cy) {
  const int32_t x = cx - kEditPad + c.scroll_x;
  if (c.kind == ControlKind::kCombo) {
    return caret_at_x(w, c.edit.text, LineSpan{0, c.edit.text.size()}, x);
  }
  const std::vector<LineSpan> lines = edit_lines(w, c);
  const int32_t rel = cy - kEditPad;
  const int32_t row = c.top + (rel < 0 ? -1 : rel / line_height(w));
  const LineSpan line = lines[std::clamp<size_t>(std::max(row, 0), 0, lines.size() - 1)];
  return caret_at_x(w, c.edit.text, line, x);
}

// The item of an open combo list under a point relative to the control; -1 when none.
int32_t list_item_at(const Widget& w, const Control& c, int32_t cx, int32_t cy) {
  const int32_t top = combo_field_height(w);
  if (cx < 0 || cx >= c.width || cy < top || cy >= top + combo_list_height(w, c)) return -1;
  const int32_t item = c.top + std::max(0, cy - top - 2) / line_height(w);
  return item < static_cast<int32_t>(c.items.size()) ? item : -1;
}

bool over_scroll_bar(const Widget& w, const Control& c, int32_t cx) {
  return static_cast<int32_t>(c.items.size()) > combo_list_rows(w, c) &&
         cx >= c.width - kScrollBarWidth;
}

// The combo box whose open list lies under (x, y) in the widget; null when none.
Control* open_list_at(Widget& w, int32_t x, int32_t y) {
  for (Control& c : w.controls) {
    if (c.kind != ControlKind::kCombo || !c.dropped) continue;
    const int32_t cx = x - c.x, cy = y - c.y, field = combo_field_height(w);
    if (cx >= 0 && cx < c.width && cy >= field && cy < field + combo_list_height(w, c)) return &c;
  }
  return nullptr;
}

// A press on an open combo list; false when the point is not on one.
bool press_open_list(WidgetState& st, Widget& w, int32_t x, int32_t y) {
  Control* list = open_list_at(w, x, y);
  if (!list) return false;
  Control& c = *list;
  const int32_t cx = x - c.x, cy = y - c.y, field = combo_field_height(w);
  if (over_scroll_bar(w, c, cx)) {
    // The bar's track pages through the list; its arrows are not drawn.
    const int32_t rows = combo_list_rows(w, c), n = static_cast<int32_t>(c.items.size());
    int32_t thumb_top = 0, thumb_height = 0;
    combo_thumb(w, c, &thumb_top, &thumb_height);
    if (cy - field < thumb_top) c.top = std::max(0, c.top - rows);
    if (cy - field >= thumb_top + thumb_height) c.top = std::min(n - rows, c.top + rows);
    return true;
  }
  choose_item(st, w, c, list_item_at(w, c, cx, cy));
  return true;
}

// The index of the control on top at (x, y) in the widget (a combo box by its field), -1 when
// none is there.
int control_at(const Widget& w, int32_t x, int32_t y) {
  for (int i = static_cast<int>(w.controls.size()) - 1; i >= 0; --i) {
    const Control& c = w.controls[i];
    const int32_t h = c.kind == ControlKind::kCombo ? combo_field_height(w) : c.height;
    if (x >= c.x && y >= c.y && x < c.x + c.width && y < c.y + h) return i;
  }
  return -1;
}

// Whether a control answers the pointer: enabled, and not a label or a group box.
bool answers_pointer(const Control& c) {
  return c.enabled && c.kind != ControlKind::kStatic && c.kind != ControlKind::kGroup;
}

// Whether (x, y) in the widget lies on a control that answers the pointer or on an open list.
bool over_live_control(Widget& w, int32_t x, int32_t y) {
  const int i = control_at(w, x, y);
  return (i >= 0 && answers_pointer(w.controls[i])) || open_list_at(w, x, y);
}

// A press inside the widget (with Shift: an edit's selection reaches to it); returns the index
// of a combo box whose list the press opened.
int press_control(WidgetState& st, Widget& w, int32_t x, int32_t y, uint8_t clicks, bool shift) {
  const int i = control_at(w, x, y);
  if (i < 0 || !answers_pointer(w.controls[i])) return -1;
  Control& c = w.controls[i];
  if (takes_focus(c)) w.focus = i;
  const int32_t cx = x - c.x, cy = y - c.y;
  switch (c.kind) {
    case ControlKind::kButton:
      click(st, w, &c);
      return -1;
    case ControlKind::kCombo:
      if (cx >= c.width - combo_field_height(w)) {  // the arrow
        if (c.dropped) {
          c.dropped = false;
          return -1;
        }
        open_list(w, c);
        return i;
      }
      [[fallthrough]];
    case ControlKind::kEdit: {
      const size_t at = caret_at_point(w, c, cx, cy);
      if (clicks >= 2) {
        edit_select_word(c.edit, at);
        return -1;
      }
      if (shift) {
        edit_select(c.edit, c.edit.anchor, at);
      } else {
        edit_set_caret(c.edit, at);
      }
      w.drag = i;
      return -1;
    }
    case ControlKind::kList: {
      const int32_t item = c.top + (cy - 2) / line_height(w);
      if (item < 0 || item >= static_cast<int32_t>(c.items.size())) return -1;
      if (item != c.selected) {
        c.selected = item;
        note(st, w, kNoteSelChange, c.id);
      }
      if (clicks >= 2) note(st, w, kNoteDoubleClick, c.id);
      return -1;
    }
    default:
      return -1;
  }
  return -1;
}

void on_press(WidgetState& st, Widget& w, int32_t x, int32_t y, uint8_t clicks, bool shift) {
  w.drag = -1;
  // An open list lies over the controls below it and takes the press first; any other press
  // closes it.
  if (press_open_list(st, w, x, y)) return;
  close_lists(w, press_control(st, w, x, y, clicks, shift));
}

// The pointer moved to (x, y) in the widget: a held button selects text, and an open list
// marks the item under it. True when something changed.
bool on_move(Widget& w, int32_t x, int32_t y) {
  if (w.drag >= 0 && w.drag < static_cast<int>(w.controls.size())) {
    Control& c = w.controls[w.drag];
    const size_t at = caret_at_point(w, c, x - c.x, y - c.y);
    if (at == c.edit.caret) return false;
    edit_select(c.edit, c.edit.anchor, at);
    return true;
  }
  for (Control& c : w.controls) {
    if (c.kind != ControlKind::kCombo || !c.dropped) continue;
    const int32_t item = list_item_at(w, c, x - c.x, y - c.y);
    if (item < 0 || item == c.hot || over_scroll_bar(w, c, x - c.x)) return false;
    c.hot = item;
    return true;
  }
  return false;
}

void on_wheel(Widget& w, int32_t x, int32_t y, int32_t away) {
  for (Control& c : w.controls) {
    const bool open_list = c.kind == ControlKind::kCombo && c.dropped;
    if (c.kind != ControlKind::kList && c.kind != ControlKind::kEdit && !open_list) continue;
    const int32_t top = open_list ? c.y + combo_field_height(w) : c.y;
    const int32_t height = open_list ? combo_list_height(w, c) : c.height;
    if (x < c.x || y < top || x >= c.x + c.width || y >= top + height) continue;
    const int32_t rows = list_rows(w, c);
    const int32_t count = c.kind == ControlKind::kEdit
                              ? static_cast<int32_t>(edit_lines(w, c).size())
                              : static_cast<int32_t>(c.items.size());
    c.top = std::clamp(c.top - away, 0, std::max(0, count - rows));
    return;  // an open list over another control scrolls alone
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

int32_t combo_list_rows(const Widget& w, const Control& c) {
  const int32_t most = std::max(1, (c.height - combo_field_height(w) - 4) / line_height(w));
  return std::clamp(static_cast<int32_t>(c.items.size()), 1, most);
}

int32_t combo_list_height(const Widget& w, const Control& c) {
  return combo_list_rows(w, c) * line_height(w) + 4;
}

void combo_thumb(const Widget& w, const Control& c, int32_t* top, int32_t* height) {
  const int32_t n = std::max<int32_t>(1, static_cast<int32_t>(c.items.size()));
  const int32_t rows = combo_list_rows(w, c), track = combo_list_height(w, c) - 2;
  *height = std::clamp(track * rows / n, 6, track);
  *top = 1 + (track - *height) * c.top / std::max(1, n - rows);
}

bool widgets_take_event(const WindowEvent& ev) {
  WidgetState& st = widget_state();
  bool taken = false;
  bool repaint = true;
  ClipboardWork clip;
  if (text_command(ev) == TextCommand::kPaste && text_has_focus(st)) {
    clip.pasted = platform::clipboard_text_sjis();
  }
  {
    std::lock_guard<std::mutex> lock(st.mutex);
    const bool pointer =
        ev.kind == K::kMouseDown || ev.kind == K::kMouseUp || ev.kind == K::kMouseMove;
    if (pointer) {
      st.mouse_x = ev.x;
      st.mouse_y = ev.y;
    }
    Widget* w = active(st);
    if (!w) return false;
    const bool modal = w->kind == 1;
    Control* focused = w->focus >= 0 ? &w->controls[w->focus] : nullptr;
    int32_t cw = 0, ch = 0;
    client_size(&cw, &ch);
    int32_t ox = 0, oy = 0, dx = 0, dy = 0;
    widget_origin(*w, cw, ch, &ox, &oy);
    client_offset(*w, &dx, &dy);
    const int32_t px = pointer ? ev.x : st.mouse_x, py = pointer ? ev.y : st.mouse_y;
    const int32_t lx = px - ox - dx, ly = py - oy - dy;
    // A box takes the pointer only over a control that answers it: the rest of it (labels,
    // its face) lets the game and the debug tools see what lies under it.
    const bool inside = lx >= 0 && ly >= 0 && lx < w->width && ly < w->height &&
                        (modal || over_live_control(*w, lx, ly));
    switch (ev.kind) {
      case K::kKeyDown:
        on_key(st, *w, ev, clip);
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
        if (inside && ev.button == platform::kMouseLeft) {
          on_press(st, *w, lx, ly, ev.clicks, ev.shift);
        }
        taken = modal || inside;
        break;
      case K::kMouseUp:
        taken = modal || inside || w->drag >= 0;
        if (ev.button == platform::kMouseLeft) w->drag = -1;
        repaint = false;
        break;
      case K::kMouseMove:
        taken = modal || inside || w->drag >= 0;
        repaint = on_move(*w, lx, ly);
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
  if (clip.write) platform::clipboard_set_text_sjis(clip.copied);
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
    c->hot = -1;
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
    show_item(*c, c->selected, list_rows(*w, *c));
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
  // Waited for on another thread that holds the render lock, it keeps the frame draw from
  // taking the lock: the draw is told to show the last frame with the dialog meanwhile.
  std::atomic<int32_t>& waits_locked = orv_render().dialog_waits_locked;
  const bool shows_itself = timeout_ms != 0 && gl_show_widgets_now();
  const bool counted = timeout_ms != 0 && !shows_itself && render_lock_held_here();
  if (counted) ++waits_locked;
  struct Uncount {
    std::atomic<int32_t>* count;
    ~Uncount() {
      if (count) --*count;
    }
  } uncount{counted ? &waits_locked : nullptr};
  WidgetState& st = widget_state();
  std::unique_lock<std::mutex> lock(st.mutex);
  // Nobody can answer once the program ends or its window thread is gone (its queue closed).
  const auto unanswerable = [] {
    ProcessRecord& p = orv_process();
    return p.end_requested.load() || p.window_queue.closed();
  };
  auto ready = [&] {
    Widget* w = find(id);
    return !w || !w->notes.empty() || unanswerable();
  };
  if (shows_itself) {
    // Each change of the pictures (a caret moved, a composition typed) is shown at once, not
    // only when the dialog's loop waits again.
    const uint32_t start = platform::time_ms();
    for (;;) {
      const uint64_t seen = st.repaints;
      const auto woken = [&] { return ready() || st.repaints != seen; };
      if (timeout_ms < 0) {
        st.changed.wait(lock, woken);
      } else {
        const uint32_t spent = platform::time_ms() - start;
        if (spent >= static_cast<uint32_t>(timeout_ms)) break;
        const auto left = std::chrono::milliseconds(static_cast<uint32_t>(timeout_ms) - spent);
        if (!st.changed.wait_for(lock, left, woken)) break;
      }
      if (ready()) break;
      lock.unlock();
      gl_show_widgets_now();
      lock.lock();
    }
  } else if (timeout_ms < 0) {
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
  // A program that is ending or has no window thread, or a widget that went, cancels: a dialog
  // never holds its thread.
  if (!w || unanswerable()) return kNoteClicked << 16 | kIdCancel;
  return 0;
}

void OrvBeep(void) {
  platform::beep();
}

}  // extern "C"
