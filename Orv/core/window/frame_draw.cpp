#include "Orv/core/window/frame_draw.h"

#include <cstring>

#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/render/render_system.h"
#include "platform/test_seams.h"
#include "platform/window.h"

namespace {

void request_present() {
  PresentBuffer& present = orv_present();
  if (present.pending.exchange(true)) return;
  if (!window_post(kWndPresent)) present.pending = false;
}

}  // namespace

void PresentBuffer::reset() {
  pending = false;
  std::lock_guard<std::mutex> lock(mutex);
  pixels.clear();
  width = height = 0;
}

void frame_draw() {
  ProcessRecord& p = orv_process();
  if (p.is_movie) return;
  // The renderer presents through frame_present_pixels. A frame it could not draw (no render
  // list yet, the lock held elsewhere) keeps the last one; before the first, the window shows
  // the clear colour.
  if (render_frame_draw()) return;
  PresentBuffer& present = orv_present();
  bool shown;
  {
    std::lock_guard<std::mutex> lock(present.mutex);
    shown = !present.pixels.empty();
  }
  if (!shown) request_present();
}

bool frame_present_pixels(const uint32_t* pixels, int32_t width, int32_t height) {
  PresentBuffer& present = orv_present();
  if (!pixels || width <= 0 || height <= 0) return false;
  {
    std::lock_guard<std::mutex> lock(present.mutex);
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    present.pixels.resize(count);
    std::memcpy(present.pixels.data(), pixels, count * sizeof(uint32_t));
    present.width = width;
    present.height = height;
  }
  platform::frame_dump_offer(orv_process().frame_time, pixels, width, height);  // a test seam
  request_present();
  return true;
}

void frame_present_on_window() {
  ProcessRecord& p = orv_process();
  PresentBuffer& present = orv_present();
  present.pending = false;
  if (!p.window) return;
  std::lock_guard<std::mutex> lock(present.mutex);
  if (present.pixels.empty()) {
    platform::window_present_fill(p.window, p.clear_colour);
    return;
  }
  const OrvRect& r = orv_geometry().client_rect;
  platform::window_present_argb(p.window, present.pixels.data(), present.width, present.height,
                                platform::Rect{r.left, r.top, r.right, r.bottom}, present.smooth);
}
