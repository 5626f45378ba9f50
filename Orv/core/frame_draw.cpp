#include "Orv/core/frame_draw.h"

#include <atomic>

#include "Orv/core/app_messages.h"
#include "Orv/core/process.h"
#include "platform/window.h"

void frame_draw() {
  ProcessRecord& p = orv_process();
  if (p.is_movie) return;
  if (p.present_pending.exchange(true)) return;
  if (!window_post(kWndPresent)) p.present_pending = false;
}

void frame_present_on_window() {
  ProcessRecord& p = orv_process();
  p.present_pending = false;
  if (p.window) platform::window_present_fill(p.window, p.clear_colour);
}
