#include "Orv/core/frame_draw.h"

#include <atomic>

#include "Orv/core/app_messages.h"
#include "Orv/core/process.h"
#include "platform/window.h"

namespace {
// One present in flight at most: a slow window thread drops frames instead of queueing them.
std::atomic<bool> g_present_pending{false};
}  // namespace

void frame_draw() {
  ProcessRecord& p = orv_process();
  if (p.is_movie) return;
  if (g_present_pending.exchange(true)) return;
  if (!window_post(kWndPresent)) g_present_pending = false;
}

void frame_present_on_window() {
  ProcessRecord& p = orv_process();
  g_present_pending = false;
  if (p.window) platform::window_present_fill(p.window, p.clear_colour);
}
