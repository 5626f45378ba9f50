#include "Orv/core/window/frame_draw.h"

#include <cstring>

#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/process.h"
#include "Orv/render/render_list.h"
#include "platform/window.h"

namespace {

void request_present() {
  ProcessRecord& p = orv_process();
  if (p.present_pending.exchange(true)) return;
  if (!window_post(kWndPresent)) p.present_pending = false;
}

}  // namespace

void frame_draw() {
  ProcessRecord& p = orv_process();
  if (p.is_movie) return;
  // The renderer presents through frame_present_pixels. A frame it could not draw (no render
  // list yet, the lock held elsewhere) keeps the last one; before the first, the window shows
  // the clear colour.
  if (render_frame_draw()) return;
  bool shown;
  {
    std::lock_guard<std::mutex> lock(p.present.mutex);
    shown = !p.present.pixels.empty();
  }
  if (!shown) request_present();
}

bool frame_present_pixels(const uint32_t* pixels, int32_t width, int32_t height) {
  ProcessRecord& p = orv_process();
  if (!pixels || width <= 0 || height <= 0) return false;
  {
    std::lock_guard<std::mutex> lock(p.present.mutex);
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    p.present.pixels.resize(count);
    std::memcpy(p.present.pixels.data(), pixels, count * sizeof(uint32_t));
    p.present.width = width;
    p.present.height = height;
  }
  request_present();
  return true;
}

void frame_present_on_window() {
  ProcessRecord& p = orv_process();
  p.present_pending = false;
  if (!p.window) return;
  std::lock_guard<std::mutex> lock(p.present.mutex);
  if (p.present.pixels.empty()) {
    platform::window_present_fill(p.window, p.clear_colour);
    return;
  }
  const OrvRect& r = p.geometry.client_rect;
  platform::window_present_argb(p.window, p.present.pixels.data(), p.present.width,
                                p.present.height, platform::Rect{r.left, r.top, r.right, r.bottom},
                                p.present.smooth);
}
