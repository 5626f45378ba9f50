// Window geometry: the window's position and client size, window mode and full screen, the
// aspect rule while the user sizes the window, and the desktop with its override.
//
// The virtual screen (StartParams screen size) is scaled into the client area. Requests from
// any thread are posted to the game thread, which forwards them to the window thread under the
// render lock; the window thread carries them out (geometry_change_mode and friends). The pure
// rules below are what those handlers and the window events use.
//
// Exports (orv/exports.h, "process and window"):
//
//   int32_t OrvWindowChangeMode(int32_t full)     1 full screen (SDL's desktop full screen),
//     0 window mode; posted to the game thread (3000 ms at most); 1 when posted, 0 without a
//     running core. Dropped while changes are disabled; nothing with show flag bit 2.
//   int32_t OrvChangeWindowSize(int32_t w, int32_t h)  client size in window mode; the height
//     follows the screen's ratio when the size changes; 1 and nothing in full screen; 0
//     without a running core.
//   int32_t OrvChangeAspectMode(int32_t mode)     0-3, passed to the renderer.
//   int32_t OrvWindowChangeEnable(int32_t flag), OrvWindowChangeEnableIs(void)
//   int32_t OrvGetWindowSize(int32_t* w, int32_t* h)  client rectangle in full screen, client
//     size in window mode; either may be null; 0 when both are.
//   int32_t OrvWindowGetPos(int32_t* x, int32_t* y), OrvWindowSetPos(int32_t x, int32_t y)
//   int32_t OrvWindowGetPosCenter(int32_t pos[2], int32_t w, int32_t h)  0 for null pos.
//   int32_t GetMinWindowSize(int32_t* w, int32_t* h)  a quarter of the screen; returns h.
//   int32_t OrvSetDesktopRect(int32_t flag, int32_t w, int32_t h)  flag 1 sets the desktop
//     override (any thread, also before OrvInit), else clears it; returns h.
//   int32_t OrvIsDesktopRectFix(void), OrvGetDesktopRect(OrvRect* r)
//   int32_t OrvGetMonitorRect(int32_t x, int32_t y, OrvRect* r)  the bounds of the display
//     that holds the desktop point (x, y), else of the one nearest to it; asked on the window
//     thread (a send from any other thread). 0 and r untouched when r is null, the window is
//     not running or there is no display. The desktop override does not apply: this is the
//     monitor as the system reports it.
#pragma once

#include <atomic>
#include <cstdint>

#include "orv/start_params.h"

struct GeometryState {
  int32_t saved_x = 0, saved_y = 0, saved_width = 0, saved_height = 0;
  std::atomic<int32_t> change_enabled{1};
  bool maximised_position = false;
  std::atomic<bool> sizing{false};
  OrvRect desktop{};
  OrvRect client_rect{};           // the area that receives the virtual screen
  OrvRect adjusted_screen_rect{};  // window rectangle of a screen-sized client
  OrvRect window_rect{};
  OrvRect windowed_rect{};  // where window mode returns to after full screen
  // Where the window stood at its last settled size. SDL reports the move of a dragged left or
  // top edge before the resize, so the resize compares against this, not the latest move.
  int32_t settled_x = 0, settled_y = 0;

  void reset();
};

// The geometry, one member of the library's state record. Window thread (sizing and
// change_enabled are read from any thread).
GeometryState& orv_geometry();

// The desktop override (library-wide, works before OrvInit).
struct DesktopOverride {
  std::atomic<int32_t> set{0}, width{0}, height{0};
};
DesktopOverride& desktop_override();

// The edge or corner the user drags.
enum class SizingEdge : uint8_t {
  kLeft = 1,
  kRight,
  kTop,
  kTopLeft,
  kTopRight,
  kBottom,
  kBottomLeft,
  kBottomRight,
};

// The aspect rule while sizing: the dragged outer rectangle becomes one whose client area has
// the screen's aspect ratio; frame_w and frame_h are the frame's total width and height.
OrvRect aspect_sizing(SizingEdge edge, OrvRect dragged, int32_t screen_w, int32_t screen_h,
                      int32_t frame_w, int32_t frame_h);
// SDL reports a resize only when it settles: the edge that moved, told from the rectangles
// before and after (the left or top edge moved when that side's position changed).
SizingEdge sizing_edge_between(OrvRect before, OrvRect after);
// The client height that keeps the screen's ratio for a width (single precision, truncated).
int32_t client_height_for_width(int32_t width, int32_t screen_w, int32_t screen_h);
// ((right - width) >> 1, (bottom - height) >> 1) of the desktop.
void centre_position(const OrvRect& desktop, int32_t width, int32_t height, int32_t* x, int32_t* y);
// Where the virtual screen (gw x gh) lands on a full-screen monitor (mw x mh) by aspect mode: 0
// stretch, 1 fit inside with bars, 2 centred at game size, 3 cover and crop (the rectangle may
// reach beyond the monitor). An unknown mode keeps `current`. Single precision, truncated.
OrvRect aspect_rect(int32_t mode, int32_t gw, int32_t gh, int32_t mw, int32_t mh,
                    const OrvRect& current);
// The area that receives the virtual screen: the whole client area in window mode, the
// aspect rectangle in full screen (width x height is the client area or the monitor).
OrvRect client_area_rect(bool full_screen, int32_t aspect_mode, int32_t screen_w, int32_t screen_h,
                         int32_t width, int32_t height, const OrvRect& current);
// The desktop: the override, else display 0, read also before OrvInit (1024 x 768 when there
// is none). Window thread (the thread that will run the window, before OrvInit).
OrvRect desktop_rect();
// Whether a client of that size fills the desktop, so that the game starts full screen.
bool client_fills_desktop(const OrvRect& desktop, int32_t client_w, int32_t client_h);

// Window-thread handlers of the forwarded requests; each returns the handler's result.
int32_t geometry_change_mode(int32_t full_screen);
int32_t geometry_change_size(int32_t width, int32_t height);
int32_t geometry_change_aspect(int32_t mode);
// The rectangle before a resize of the client from (width x height) at (x, y): the window
// last moved to (x, y), but when the edge opposite a moved left or top edge stayed where it was
// at the settled position, that move was the drag of the edge and the settled rectangle counts.
OrvRect resize_origin(int32_t settled_x, int32_t settled_y, int32_t x, int32_t y, int32_t width,
                      int32_t height, const OrvRect& after);
// Window events (window thread): the window moved; the client area settled at a new size.
void geometry_on_moved(int32_t x, int32_t y);
void geometry_on_resized(int32_t width, int32_t height);
// Records the geometry of a freshly made window (OrvInit).
void geometry_on_created();
