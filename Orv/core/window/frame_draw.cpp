#include "Orv/core/window/frame_draw.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/render/font/fonts.h"
#include "Orv/render/render_system.h"
#include "platform/console.h"
#include "platform/sleep.h"
#include "platform/system_query.h"
#include "platform/test_seams.h"
#include "platform/window.h"

namespace {

void request_present() {
  PresentBuffer& present = orv_present();
  if (present.pending.exchange(true)) return;
  if (!window_post(kWndPresent)) present.pending = false;
}

void trace_line(const PresentBuffer& present, const char* what) {
  if (!platform::test_switch_on("VELMORA_STARTUP_TRACE")) return;
  char line[96];
  std::snprintf(line, sizeof line, "startup: %s shown after %.1f ms", what,
                static_cast<double>(platform::counter_ns() - present.started_ns) / 1e6);
  platform::stderr_line(line);
}

// drawn: the frame shown is one the game drew (not the clear colour alone).
void trace_first_frame(PresentBuffer& present, bool drawn) {
  if (!present.first_shown) {
    present.first_shown = true;
    trace_line(present, "first frame");
  }
  if (!drawn || present.first_drawn_shown) return;
  present.first_drawn_shown = true;
  fonts_look_up_faces_soon();  // kept off the path to the first drawn frame, as the pads are:
  window_post(kWndPadsStart);
  trace_line(present, "first drawn frame");
}

}  // namespace

void PresentBuffer::reset() {
  pending = false;
  std::lock_guard<std::mutex> lock(mutex);
  ready = PresentFrame{};
  filling = PresentFrame{};
  shown = PresentFrame{};
  fresh = any = false;
  width = height = 0;
  started_ns = platform::counter_ns();
  first_shown = first_drawn_shown = false;
  gl_first_posted = false;
}

void frame_shown_by_renderer() {
  trace_first_frame(orv_present(), true);
}

void frame_draw() {
  ProcessRecord& p = orv_process();
  // The renderer presents through frame_present_pixels. A frame it could not draw (no render
  // list yet, the lock held elsewhere) keeps the last one; before the first, the window shows
  // the clear colour.
  if (render_frame_draw()) {
    if (p.params.display_flags & kDisplayFlagDirect3D) {
      // The GL renderer swaps its own buffers: the window thread hears of its first frame
      // (for the work that waits for it), and a dumped frame is read back from its game target.
      PresentBuffer& present = orv_present();
      if (!present.gl_first_posted.exchange(true)) window_post(kWndGlFrameShown);
      if (platform::frame_dump_wanted(p.frame_time)) {
        BackBufferView v = render_back_buffer();
        platform::frame_dump_offer(p.frame_time, v.pixels, v.width, v.height);  // a test seam
      }
    }
    return;
  }
  PresentBuffer& present = orv_present();
  bool any;
  {
    std::lock_guard<std::mutex> lock(present.mutex);
    any = present.any;
  }
  if (!any) request_present();
}

bool frame_present_pixels(const uint32_t* pixels, int32_t width, int32_t height) {
  PresentBuffer& present = orv_present();
  if (!pixels || width <= 0 || height <= 0) return false;
  // The copy goes into the game thread's own store, outside the mutex.
  PresentFrame& f = present.filling;
  size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (f.capacity < count) {
    f.pixels.reset();
    const size_t bytes = count * sizeof(uint32_t);
    f.pixels = std::unique_ptr<uint32_t[], FrameStoreFree>(
        static_cast<uint32_t*>(platform::frame_memory_alloc(bytes)), FrameStoreFree{bytes});
    f.capacity = f.pixels ? count : 0;
    if (!f.pixels) return false;
  }
  std::memcpy(f.pixels.get(), pixels, count * sizeof(uint32_t));
  f.width = width;
  f.height = height;
  {
    std::lock_guard<std::mutex> lock(present.mutex);
    std::swap(present.filling, present.ready);
    present.fresh = present.any = true;
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
  {
    std::lock_guard<std::mutex> lock(present.mutex);
    if (present.fresh) {
      std::swap(present.ready, present.shown);
      present.fresh = false;
    }
  }
  const PresentFrame& f = present.shown;
  // The library's edit boxes and dialogs lie over the frame.
  std::vector<platform::Overlay> overlays;
  std::vector<std::shared_ptr<const std::vector<uint32_t>>> keep;
  int32_t client_w = 0, client_h = 0;
  platform::window_size(p.window, &client_w, &client_h);
  widgets_overlays(client_w, client_h, &overlays, &keep);
  if (f.width == 0 && overlays.empty()) {
    if (platform::window_present_fill(p.window, p.clear_colour)) trace_first_frame(present, false);
    return;
  }
  const OrvRect& r = orv_geometry().client_rect;
  const uint32_t clear = p.clear_colour;
  if (platform::window_present_argb(
          p.window, f.width ? f.pixels.get() : &clear, f.width ? f.width : 1,
          f.height ? f.height : 1, platform::Rect{r.left, r.top, r.right, r.bottom}, present.smooth,
          overlays.data(), static_cast<int>(overlays.size())) &&
      f.width) {
    trace_first_frame(present, true);
  }
}
