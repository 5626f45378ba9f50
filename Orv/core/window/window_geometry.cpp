#include "Orv/core/window/window_geometry.h"

#include "Orv/core/seams.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/process.h"
#include "Orv/core_alive.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kRequestTimeoutMs = 3000;
constexpr uint32_t kShowNoModeChange = 0x4;

int32_t width_of(const OrvRect& r) {
  return r.right - r.left;
}
int32_t height_of(const OrvRect& r) {
  return r.bottom - r.top;
}

bool core_running() {
  return orv_core_alive() && orv_process().running;
}

// Size limits of window mode: a client of a quarter of the screen up to twice the screen.
void apply_size_limits(ProcessRecord& p) {
  if (!p.window) return;
  if (p.params.full_screen) {
    platform::window_set_size_limits(p.window, 1, 1, 0, 0);
    return;
  }
  platform::window_set_size_limits(p.window, p.params.screen_width >> 2,
                                   p.params.screen_height >> 2, p.params.screen_width * 2,
                                   p.params.screen_height * 2);
}

void refresh_client_rect(ProcessRecord& p) {
  int32_t w = p.params.client_width, h = p.params.client_height;
  if (p.params.full_screen && p.window) platform::window_size(p.window, &w, &h);
  orv_geometry().client_rect =
      client_area_rect(p.params.full_screen != 0, p.params.aspect_mode, p.params.screen_width,
                       p.params.screen_height, w, h, orv_geometry().client_rect);
  // The crop that sprite positions are corrected for: full screen in aspect mode 3, where the
  // picture covers the monitor (the full-screen client area) and reaches beyond it.
  render_aspect_crop_set(
      p.params.full_screen && p.params.aspect_mode == 3, w, h, width_of(orv_geometry().client_rect),
      height_of(orv_geometry().client_rect), p.params.screen_width, p.params.screen_height);
  // Mode, size and aspect changes all come through here.
  render_targets_rebuild_soon();
}

}  // namespace

void GeometryState::reset() {
  saved_x = saved_y = saved_width = saved_height = 0;
  change_enabled = 1;
  maximised_position = false;
  sizing = false;
  desktop = client_rect = adjusted_screen_rect = window_rect = windowed_rect = OrvRect{};
  settled_x = settled_y = 0;
}

DesktopOverride& desktop_override() {
  static DesktopOverride value;
  return value;
}

OrvRect aspect_sizing(SizingEdge edge, OrvRect r, int32_t sw, int32_t sh, int32_t frame_w,
                      int32_t frame_h) {
  if (sw <= 0 || sh <= 0) return r;
  int64_t cw = width_of(r) - frame_w;
  int64_t ch = height_of(r) - frame_h;
  if (cw < 1) cw = 1;
  if (ch < 1) ch = 1;
  // The client width that fits the dragged height, and the height that fits the width.
  int32_t outer_w = static_cast<int32_t>(ch * sw / sh) + frame_w;
  int32_t outer_h = static_cast<int32_t>(cw * sh / sw) + frame_h;
  // The screen is wider (in ratio) than the dragged client area.
  bool wider = static_cast<int64_t>(sw) * ch > cw * sh;
  bool differ = static_cast<int64_t>(sw) * ch != cw * sh;
  switch (edge) {
    case SizingEdge::kLeft:
    case SizingEdge::kRight:
      r.bottom = r.top + outer_h;
      break;
    case SizingEdge::kTop:
    case SizingEdge::kBottom:
      r.right = r.left + outer_w;
      break;
    case SizingEdge::kTopLeft:
      if (wider)
        r.left = r.right - outer_w;
      else
        r.top = r.bottom - outer_h;
      break;
    case SizingEdge::kTopRight:
      if (wider)
        r.right = r.left + outer_w;
      else
        r.top = r.bottom - outer_h;
      break;
    case SizingEdge::kBottomLeft:
      if (wider)
        r.left = r.right - outer_w;
      else
        r.bottom = r.top + outer_h;
      break;
    case SizingEdge::kBottomRight:
      if (differ) {
        if (wider)
          r.right = r.left + outer_w;
        else
          r.bottom = r.top + outer_h;
      }
      break;
  }
  return r;
}

OrvRect resize_origin(int32_t settled_x, int32_t settled_y, int32_t x, int32_t y, int32_t width,
                      int32_t height, const OrvRect& after) {
  const OrvRect settled{settled_x, settled_y, settled_x + width, settled_y + height};
  if ((after.right == settled.right && after.left != settled.left) ||
      (after.bottom == settled.bottom && after.top != settled.top)) {
    return settled;
  }
  return OrvRect{x, y, x + width, y + height};
}

SizingEdge sizing_edge_between(OrvRect before, OrvRect after) {
  bool left = after.left != before.left;
  bool top = after.top != before.top;
  bool horizontal = left || after.right != before.right;
  bool vertical = top || after.bottom != before.bottom;
  if (horizontal && vertical) {
    if (top) return left ? SizingEdge::kTopLeft : SizingEdge::kTopRight;
    return left ? SizingEdge::kBottomLeft : SizingEdge::kBottomRight;
  }
  if (vertical) return top ? SizingEdge::kTop : SizingEdge::kBottom;
  return left ? SizingEdge::kLeft : SizingEdge::kRight;
}

int32_t client_height_for_width(int32_t width, int32_t sw, int32_t sh) {
  if (sw <= 0) return 0;
  return static_cast<int32_t>(static_cast<float>(width) * static_cast<float>(sh) /
                              static_cast<float>(sw));
}

void centre_position(const OrvRect& desktop, int32_t width, int32_t height, int32_t* x,
                     int32_t* y) {
  *x = (desktop.right - width) >> 1;
  *y = (desktop.bottom - height) >> 1;
}

OrvRect desktop_rect() {
  DesktopOverride& o = desktop_override();
  if (o.set) return OrvRect{0, 0, o.width, o.height};
  platform::Rect r;
  if (platform::primary_display_bounds(&r)) return OrvRect{r.left, r.top, r.right, r.bottom};
  return OrvRect{0, 0, 1024, 768};
}

namespace {
int32_t gcd(int32_t a, int32_t b) {
  while (b != 0) {
    int32_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}
}  // namespace

OrvRect aspect_rect(int32_t mode, int32_t gw, int32_t gh, int32_t mw, int32_t mh,
                    const OrvRect& current) {
  if (mode == 0) return OrvRect{0, 0, mw, mh};
  if (mode < 0 || mode > 3 || gw <= 0 || gh <= 0) return current;
  int32_t g = gcd(gw, gh);
  float rw = static_cast<float>(gw / g), rh = static_cast<float>(gh / g);
  int32_t dw = mw - gw, dh = mh - gh;
  if (mode == 2) return OrvRect{dw / 2, dh / 2, gw + dw / 2, gh + dh / 2};
  int32_t w1 = gw + static_cast<int32_t>(static_cast<float>(dw) / rw * rw);
  int32_t h1 = gh + static_cast<int32_t>(static_cast<float>(dw) / rw * rh);
  int32_t w2 = gw + static_cast<int32_t>(static_cast<float>(dh) / rh * rw);
  int32_t h2 = gh + static_cast<int32_t>(static_cast<float>(dh) / rh * rh);
  bool use_height = mode == 1 ? h1 > mh : h1 < mh;
  int32_t w = use_height ? w2 : w1, h = use_height ? h2 : h1;
  int32_t left = (mw - w) >> 1, top = (mh - h) >> 1;
  return OrvRect{left, top, left + w, top + h};
}

OrvRect client_area_rect(bool full_screen, int32_t aspect_mode, int32_t screen_w, int32_t screen_h,
                         int32_t width, int32_t height, const OrvRect& current) {
  if (!full_screen) return OrvRect{0, 0, width, height};
  return aspect_rect(aspect_mode, screen_w, screen_h, width, height, current);
}

bool client_fills_desktop(const OrvRect& d, int32_t client_w, int32_t client_h) {
  return width_of(d) <= client_w || height_of(d) <= client_h;
}

void geometry_on_created() {
  ProcessRecord& p = orv_process();
  GeometryState& g = orv_geometry();
  StartParams& sp = p.params;
  g.saved_x = sp.window_x;
  g.saved_y = sp.window_y;
  g.saved_width = sp.client_width;
  g.saved_height = sp.client_height;
  g.client_rect = OrvRect{0, 0, sp.client_width, sp.client_height};
  g.adjusted_screen_rect = OrvRect{0, 0, sp.screen_width, sp.screen_height};
  g.window_rect = OrvRect{sp.window_x, sp.window_y, sp.window_x + sp.client_width,
                          sp.window_y + sp.client_height};
  g.windowed_rect = g.window_rect;
  g.settled_x = sp.window_x;
  g.settled_y = sp.window_y;
  g.desktop = desktop_rect();
  p.input.client_origin_x = sp.window_x;
  p.input.client_origin_y = sp.window_y;
  apply_size_limits(p);
}

int32_t geometry_change_mode(int32_t full) {
  ProcessRecord& p = orv_process();
  StartParams& sp = p.params;
  full = full ? 1 : 0;
  if (!core_running() || !p.window || full == (sp.full_screen ? 1 : 0) ||
      (sp.show_flags & kShowNoModeChange)) {
    return 1;
  }
  GeometryState& g = orv_geometry();
  platform::window_restore(p.window);
  if (full) {
    g.windowed_rect = OrvRect{sp.window_x, sp.window_y, sp.window_x + sp.client_width,
                              sp.window_y + sp.client_height};
  }
  sp.full_screen = full;
  apply_size_limits(p);
  if (!platform::window_set_fullscreen(p.window, full != 0)) {
    sp.full_screen = !full;  // the previous mode stays in force
    apply_size_limits(p);
    return 0;
  }
  if (!full) {
    platform::window_resize(p.window, width_of(g.windowed_rect), height_of(g.windowed_rect));
    platform::window_move(p.window, g.windowed_rect.left, g.windowed_rect.top);
  }
  refresh_client_rect(p);
  g.desktop = desktop_rect();
  return 1;
}

int32_t geometry_change_size(int32_t width, int32_t height) {
  ProcessRecord& p = orv_process();
  StartParams& sp = p.params;
  if (!p.window || p.inactive) return 0;
  if (width <= 0 || height <= 0) return 0;
  if (width != sp.client_width || height != sp.client_height) {
    height = client_height_for_width(width, sp.screen_width, sp.screen_height);
  }
  sp.client_width = width;
  sp.client_height = height;
  orv_geometry().window_rect =
      OrvRect{sp.window_x, sp.window_y, sp.window_x + width, sp.window_y + height};
  orv_geometry().settled_x = sp.window_x;
  orv_geometry().settled_y = sp.window_y;
  if (!sp.full_screen) platform::window_resize(p.window, width, height);
  refresh_client_rect(p);
  return 1;
}

int32_t geometry_change_aspect(int32_t mode) {
  ProcessRecord& p = orv_process();
  p.params.aspect_mode = mode;
  refresh_client_rect(p);
  return 1;
}

void geometry_on_moved(int32_t x, int32_t y) {
  ProcessRecord& p = orv_process();
  p.input.client_origin_x = x;
  p.input.client_origin_y = y;
  if (p.window && platform::window_is_minimized(p.window)) return;
  p.params.window_x = x;
  p.params.window_y = y;
  // SDL has already taken the size of a resize that comes with this move (a dragged left or
  // top edge): only a move at the settled size moves the settled position.
  int32_t w = 0, h = 0;
  if (p.window) platform::window_size(p.window, &w, &h);
  if (w == p.params.client_width && h == p.params.client_height) {
    orv_geometry().settled_x = x;
    orv_geometry().settled_y = y;
  }
}

void geometry_on_resized(int32_t width, int32_t height) {
  ProcessRecord& p = orv_process();
  StartParams& sp = p.params;
  if (!p.window) return;
  if (sp.full_screen) {
    refresh_client_rect(p);
    return;
  }
  DesktopOverride& o = desktop_override();
  if (o.set) {
    OrvChangeWindowSize(o.width, o.height);
    return;
  }
  if (width == sp.client_width && height == sp.client_height) return;
  // The resize has settled: fit it to the screen's ratio by the edge that moved.
  int32_t x = 0, y = 0;
  platform::window_position(p.window, &x, &y);
  OrvRect after{x, y, x + width, y + height};
  OrvRect before = resize_origin(orv_geometry().settled_x, orv_geometry().settled_y, sp.window_x,
                                 sp.window_y, sp.client_width, sp.client_height, after);
  orv_geometry().sizing = true;
  OrvRect fitted = aspect_sizing(sizing_edge_between(before, after), after, sp.screen_width,
                                 sp.screen_height, 0, 0);
  orv_geometry().window_rect = fitted;
  if (fitted.left != x || fitted.top != y) platform::window_move(p.window, fitted.left, fitted.top);
  orv_geometry().sizing = false;
  orv_geometry().settled_x = fitted.left;
  orv_geometry().settled_y = fitted.top;
  OrvChangeWindowSize(width_of(fitted), height_of(fitted));
}

// ---- exports ----

namespace {

int32_t post_request(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (!core_running()) return 0;
  return game_post_pumping(id, wparam, lparam, kRequestTimeoutMs) ? 1 : 0;
}

struct MonitorQuery {
  int32_t x, y;
  OrvRect rect;
  bool found;
};

// Window thread: SDL answers display questions only there.
void monitor_at(void* arg) {
  auto* q = static_cast<MonitorQuery*>(arg);
  const int index = platform::display_at_point(q->x, q->y);
  platform::Rect r;
  if (index < 0 || !platform::display_bounds(index, &r)) return;
  q->rect = OrvRect{r.left, r.top, r.right, r.bottom};
  q->found = true;
}

void move_window(void* arg) {
  ProcessRecord& p = orv_process();
  (void)arg;
  if (p.window) platform::window_move(p.window, p.params.window_x, p.params.window_y);
}

}  // namespace

extern "C" {

int32_t OrvWindowChangeMode(int32_t full_screen) {
  return post_request(kGameChangeMode, full_screen ? 1 : 0, 0);
}

int32_t OrvChangeWindowSize(int32_t width, int32_t height) {
  if (!core_running()) return 0;
  if (orv_process().params.full_screen) return 1;
  return post_request(kGameChangeSize, static_cast<uint32_t>(width), height);
}

int32_t OrvChangeAspectMode(int32_t mode) {
  return post_request(kGameChangeAspect, static_cast<uint32_t>(mode), 0);
}

int32_t OrvWindowChangeEnable(int32_t flag) {
  orv_geometry().change_enabled = flag ? 1 : 0;
  return 1;
}

int32_t OrvWindowChangeEnableIs(void) {
  return orv_geometry().change_enabled;
}

int32_t OrvGetWindowSize(int32_t* width, int32_t* height) {
  if (!width && !height) return 0;
  ProcessRecord& p = orv_process();
  const OrvRect& r = orv_geometry().client_rect;
  if (width) *width = p.params.full_screen ? width_of(r) : p.params.client_width;
  if (height) *height = p.params.full_screen ? height_of(r) : p.params.client_height;
  return 1;
}

int32_t OrvWindowGetPos(int32_t* x, int32_t* y) {
  ProcessRecord& p = orv_process();
  if (x) *x = p.params.full_screen ? orv_geometry().client_rect.left : p.params.window_x;
  if (y) *y = p.params.full_screen ? orv_geometry().client_rect.top : p.params.window_y;
  return (x || y) ? 1 : 0;
}

int32_t OrvWindowSetPos(int32_t x, int32_t y) {
  ProcessRecord& p = orv_process();
  p.params.window_x = x;
  p.params.window_y = y;
  if (!orv_core_alive() || !p.window) return 0;
  window_send(kWndCall, reinterpret_cast<uintptr_t>(&move_window), 0);
  return 1;
}

int32_t OrvWindowGetPosCenter(int32_t* pos, int32_t width, int32_t height) {
  if (!pos) return 0;
  centre_position(desktop_rect(), width, height, &pos[0], &pos[1]);
  return 1;
}

int32_t GetMinWindowSize(int32_t* width, int32_t* height) {
  ProcessRecord& p = orv_process();
  int32_t w = p.params.screen_width >> 2, h = p.params.screen_height >> 2;
  if (width) *width = w;
  if (height) *height = h;
  return h;
}

int32_t OrvSetDesktopRect(int32_t flag, int32_t width, int32_t height) {
  DesktopOverride& o = desktop_override();
  o.set = flag == 1 ? 1 : 0;
  o.width = width;
  o.height = height;
  return height;
}

int32_t OrvIsDesktopRectFix(void) {
  return desktop_override().set;
}

int32_t OrvGetDesktopRect(OrvRect* rect) {
  if (!rect) return 0;
  *rect = desktop_rect();
  return 1;
}

int32_t OrvGetMonitorRect(int32_t x, int32_t y, OrvRect* rect) {
  if (!rect || !orv_core_alive() || !orv_process().window) return 0;
  MonitorQuery q{x, y, OrvRect{}, false};
  window_send(kWndCall, reinterpret_cast<uintptr_t>(&monitor_at), reinterpret_cast<intptr_t>(&q));
  if (!q.found) return 0;
  *rect = q.rect;
  return 1;
}

}  // extern "C"
