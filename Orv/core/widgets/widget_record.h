// The records behind the widgets, shared by their files (widgets.cpp: records, events and
// exports; widget_draw.cpp: pictures; file_browser.cpp). Nothing else includes it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Orv/core/widgets/edit_text.h"
#include "orv/types.h"

namespace platform {
class FontFace;
}
enum class ControlKind : int32_t {
  kButton = 1,
  kEdit = 2,
  kStatic = 3,
  kGroup = 4,
  kCombo = 5,
  kList = 6,
};

// Style bits, the system's.
constexpr uint32_t kStyleDefaultButton = 0x1;
constexpr uint32_t kStyleMultiLine = 0x4;
constexpr uint32_t kStyleSorted = 0x100;
constexpr uint32_t kStyleWantReturn = 0x1000;
constexpr uint32_t kStyleTabStop = 0x10000;

// Notification codes.
constexpr uint32_t kNoteClicked = 0;
constexpr uint32_t kNoteSelChange = 1;
constexpr uint32_t kNoteDoubleClick = 2;
constexpr uint32_t kNoteChange = 0x0300;
constexpr int32_t kIdOk = 1;
constexpr int32_t kIdCancel = 2;

struct Control {
  int32_t id = 0;
  ControlKind kind = ControlKind::kStatic;
  int32_t x = 0, y = 0, width = 0, height = 0;
  uint32_t style = 0;
  bool enabled = true;
  std::string label;  // buttons, statics, group boxes
  EditText edit;      // edits and the field of a combo box
  std::vector<std::string> items;
  int32_t selected = -1;
  int32_t top = 0;       // first list item shown, first edit line shown
  int32_t scroll_x = 0;  // pixels of a single line scrolled out on the left
  bool dropped = false;  // a combo box's list is open
  int32_t hot = -1;      // the item marked in a combo box's open list
};

struct Widget {
  OrvHandle id = 0;
  int32_t kind = 0;  // 0 box, 1 dialog
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t font_size = 16, font_type = 0;
  std::string caption;
  bool shown = false;
  std::vector<Control> controls;
  int focus = -1;  // index into controls
  int drag = -1;   // the control whose text the left button is selecting, while it is held
  std::deque<uint32_t> notes;
  bool dirty = true;  // the picture must be drawn again
  std::shared_ptr<const std::vector<uint32_t>> picture;
  int32_t picture_x = 0, picture_y = 0, picture_w = 0, picture_h = 0;
};

struct WidgetState {
  std::mutex mutex;
  std::condition_variable changed;  // a notification arrived or a widget went
  // Times the widgets' pictures changed and were shown (window thread): a dialog waited for on
  // the thread that shows GL frames shows itself again at each.
  uint64_t repaints = 0;  // under the mutex
  std::vector<std::unique_ptr<Widget>> widgets;  // bottom first
  bool text_input_on = false;                    // window thread
  // The pointer's last place in the client area (window thread): a wheel event has none.
  int32_t mouse_x = -1, mouse_y = -1;
};
WidgetState& widget_state();

// The dialog's caption bar and frame, in pixels.
constexpr int32_t kFrame = 2;
int32_t caption_height(const Widget& w);

// Where the widget's client area lies in the client area of the window (a dialog is centred).
void widget_origin(const Widget& w, int32_t client_width, int32_t client_height, int32_t* x,
                   int32_t* y);

// The widget's face (widget_font.cpp; null where none is installed) and the widths of its
// text: in the fixed faces (font types 0 and 1) half the cell for a single byte and the cell
// for a two-byte character, in the proportional ones (2 and 3) the face's advances. A character
// is a Shift-JIS code: one byte, or lead << 8 | trail. Under the widgets' lock.
platform::FontFace* widget_face(const Widget& w);
int32_t char_advance(const Widget& w, uint16_t code);
int32_t text_width(const Widget& w, const std::string& sjis, size_t from, size_t to);
// The character at byte `at` of sjis (a lead byte at `end` - 1 stands alone).
uint16_t char_code_at(const std::string& sjis, size_t at, size_t end);

// Draws the widget into w.picture (window thread, under the lock).
void widget_draw(Widget& w, int32_t client_width, int32_t client_height);

// Height of one line of a list or an edit.
inline int32_t line_height(const Widget& w) {
  return w.font_size + 2;
}

// The lines of an edit as shown: byte ranges [start, end) of text, a line break not included;
// a multi-line edit wraps a line that is wider than the control.
struct LineSpan {
  size_t start = 0, end = 0;
};
std::vector<LineSpan> layout_lines(const Widget& w, const std::string& text, bool multi_line,
                                   int32_t width);
std::vector<LineSpan> edit_lines(const Widget& w, const Control& c);

// The rectangle of text inside an edit (or a combo's field), relative to the control.
constexpr int32_t kEditPad = 3;
// A combo box's field height and the list below it.
inline int32_t combo_field_height(const Widget& w) {
  return line_height(w) + 2 * kEditPad;
}
// The open list of a combo box: as tall as its items, at most the rest of the control's height
// (at least one row); a scroll bar of kScrollBarWidth on its right when the items do not fit.
int32_t combo_list_height(const Widget& w, const Control& c);
int32_t combo_list_rows(const Widget& w, const Control& c);
constexpr int32_t kScrollBarWidth = 12;
// The scroll bar's thumb in an open list: its top below the list's top, and its height.
void combo_thumb(const Widget& w, const Control& c, int32_t* top, int32_t* height);
