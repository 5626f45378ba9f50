// Looking into a debug tool's window of numbers (a widget box) in tests: its texts, whether it
// is a shown box, where its controls lie, and a click on one as the window thread passes it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/render/debug/debug_panels.h"
#include "orv/orv.h"
#include "platform/window.h"

namespace testsupport {

// A control's text in the tool's window ("-" when there is no window or no such control).
inline std::string panel_text(int32_t dialog, int32_t control) {
  char text[300] = {};
  const OrvHandle w = debug_panel_widget(dialog);
  if (!w || OrvWidgetGetText(w, control, text, sizeof text) < 0) return "-";
  return text;
}

// The number of widgets there are, shown or not.
inline size_t widget_count() {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  return st.widgets.size();
}

// Whether the tool's window is a shown box (kind 0, not modal).
inline bool panel_is_shown_box(int32_t dialog) {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  for (auto& w : st.widgets) {
    if (w->id == debug_panel_widget(dialog)) return w->shown && w->kind == 0;
  }
  return false;
}

// A left click on the middle of a control of the tool's window, given to the widgets as the
// window thread gives them events; true when they took it.
inline bool panel_click(int32_t dialog, int32_t control) {
  platform::WindowEvent press;
  {
    WidgetState& st = widget_state();
    std::lock_guard<std::mutex> lock(st.mutex);
    for (auto& w : st.widgets) {
      if (w->id != debug_panel_widget(dialog)) continue;
      for (const Control& c : w->controls) {
        if (c.id != control) continue;
        press.x = w->x + c.x + c.width / 2;
        press.y = w->y + c.y + c.height / 2;
      }
    }
  }
  press.kind = platform::WindowEventKind::kMouseDown;
  press.button = platform::kMouseLeft;
  press.clicks = 1;
  return widgets_take_event(press);
}

}  // namespace testsupport
