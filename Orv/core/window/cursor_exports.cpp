// The cursor exports: system and image cursors, auto-hide and positioning.
#include <cstdio>

#include "Orv/core/error_report.h"
#include "Orv/core/files/data_file_read.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/core_alive.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/sjis.h"
#include "platform/window.h"

namespace {

// A cursor image is small; a larger file is not read.
constexpr size_t kCursorFileLimit = 16u << 20;

struct CursorRequest {
  uint32_t system_id = 0;  // nonzero: a system cursor
  const CursorImage* image = nullptr;
  int32_t hotspot_x = 0, hotspot_y = 0;
  bool made = false;
};

// Window thread: replaces the library's cursor and makes it current.
void make_cursor(void* arg) {
  auto* request = static_cast<CursorRequest*>(arg);
  CursorState& c = orv_process().cursor;
  platform::Cursor* cursor =
      request->system_id ? platform::cursor_create_system(request->system_id)
                         : platform::cursor_create_argb(
                               request->image->pixels.data(), request->image->width,
                               request->image->height, request->hotspot_x, request->hotspot_y);
  if (!cursor) return;
  if (c.loaded) platform::cursor_destroy(c.loaded);
  c.loaded = c.current = cursor;
  platform::cursor_set(cursor);
  request->made = true;
}

void release_cursor(void*) {
  CursorState& c = orv_process().cursor;
  if (c.current == c.loaded) c.current = nullptr;
  if (c.loaded) platform::cursor_destroy(c.loaded);
  c.loaded = nullptr;
}

void warp_cursor(void* arg) {
  auto* point = static_cast<int32_t*>(arg);
  ProcessRecord& p = orv_process();
  if (p.window) platform::cursor_warp(p.window, point[0], point[1]);
}

void send_call(void (*fn)(void*), void* arg) {
  window_send(kWndCall, reinterpret_cast<uintptr_t>(fn), reinterpret_cast<intptr_t>(arg));
}

}  // namespace

extern "C" {

int32_t OrvSetCursor(const char* name, int32_t mode, int32_t hotspot_x, int32_t hotspot_y) {
  if (!orv_core_alive()) return 0;
  CursorRequest request;
  CursorImage image;
  if ((mode & 0xFFFF) == 1) {
    request.system_id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name));
    if (request.system_id == 0) request.system_id = kCursorArrow;
  } else {
    std::vector<uint8_t> bytes;
    if (data_file_read(name, &bytes, kCursorFileLimit) != 1) return 0;
    std::string why;
    if (!cursor_tga_decode(bytes.data(), bytes.size(), &image, &why)) {
      // A bad file keeps the current cursor.
      error_reportf(ErrorLog::kSkip, "cursor %s: %s", name, why.c_str());
      return 0;
    }
    request.image = &image;
    request.hotspot_x = hotspot_x;
    request.hotspot_y = hotspot_y;
  }
  send_call(make_cursor, &request);
  return request.made ? 1 : 0;
}

void OrvReleaseCursor(void) {
  if (orv_core_alive() && orv_process().cursor.loaded) send_call(release_cursor, nullptr);
}

void OrvDeleteCursor(void) {
  orv_process().cursor.current = nullptr;
}

int32_t OrvCursorSetAutoHideTime(uint32_t ms) {
  ProcessRecord& p = orv_process();
  cursor_set_auto_hide(p.cursor, ms, platform::time_ms());
  return ms ? 1 : 0;
}

int32_t OrvCursorSetPos(int32_t x, int32_t y) {
  ProcessRecord& p = orv_process();
  if (!orv_core_alive() || !p.window) return 0;
  const StartParams& sp = p.params;
  if (sp.screen_width <= 0 || sp.screen_height <= 0) return 0;
  int32_t point[2];
  if (sp.full_screen) {
    const OrvRect& r = orv_geometry().client_rect;
    point[0] = r.left + static_cast<int32_t>(static_cast<float>(x) / sp.screen_width *
                                             static_cast<float>(r.right - r.left));
    point[1] = r.top + static_cast<int32_t>(static_cast<float>(y) / sp.screen_height *
                                            static_cast<float>(r.bottom - r.top));
  } else {
    point[0] = static_cast<int32_t>(static_cast<float>(x) / sp.screen_width *
                                    static_cast<float>(sp.client_width));
    point[1] = static_cast<int32_t>(static_cast<float>(y) / sp.screen_height *
                                    static_cast<float>(sp.client_height));
  }
  p.input.cursor_x = p.input.client_origin_x + point[0];
  p.input.cursor_y = p.input.client_origin_y + point[1];
  p.input.mouse_x = x;
  p.input.mouse_y = y;
  send_call(warp_cursor, point);
  return 1;
}

}  // extern "C"
