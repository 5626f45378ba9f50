// The cursor: the library's system or image cursor, its show count and the auto-hide timer.
//
// Visibility follows the Windows show count: visible while the count is 0 or more. The count
// and the timer are plain state changed by the window thread (mouse moves, the auto-hide tick,
// the close question, the show and hide requests); the window thread then shows or hides the
// real cursor. The functions below are pure over CursorState so that they can be tested with
// any clock.
//
// Exports (orv/exports.h, "input"):
//
//   int32_t OrvSetCursor(const char* name, int32_t mode, int32_t hx, int32_t hy)
//     mode 1: name is a system cursor's resource id (32512 arrow, ...); otherwise name is a
//     32-bit TGA file with hotspot (hx, hy). The cursor is made on the window thread and
//     replaces the library's cursor; 1, or 0 when the file is missing or not a 32-bit
//     uncompressed true-colour image (its reason on stderr) or no cursor can be made: the
//     current cursor stays.
//   void OrvReleaseCursor(void), OrvDeleteCursor(void)
//   int32_t OrvCursorSetAutoHideTime(uint32_t ms)  hides the cursor after ms without movement
//     while it is in the client area; 0 turns it off.
//   int32_t OrvCursorSetPos(int32_t x, int32_t y)  moves the cursor to virtual-screen (x, y).
//   OrvTouchMode(on) / OrvIsTouchMode(void)    1: touches arrive as mouse input; 0: as touches
//     (first contact = primary button and bit 30, a second contact counted).
//   OrvTouchEnable(flag), OrvIsTouch(void)     the window's own touch handling.
//   OrvSetGesture(flags), OrvGetGesture(void* rec48), OrvGestureCheck(void)  the gesture record;
//     no gestures arrive, so the check answers 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
struct Cursor;
}

constexpr uint32_t kCursorArrow = 32512;  // IDC_ARROW

struct CursorState {
  int32_t show_count = 0;
  bool keep_visible = false;  // set during the close question
  uint32_t auto_hide_ms = 0;  // 0: auto-hide off
  bool timer_on = false;
  uint32_t timer_start = 0;
  platform::Cursor* loaded = nullptr;   // the cursor OrvSetCursor made
  platform::Cursor* current = nullptr;  // the class cursor (null after OrvDeleteCursor)
};

// "show": the count rises to at least 0 and is lowered to 1 when higher.
void cursor_count_show(CursorState& c);
// "hide": the count falls below 0, unless the keep-visible flag is set.
void cursor_count_hide(CursorState& c);
inline bool cursor_visible(const CursorState& c) {
  return c.show_count >= 0;
}
// A mouse move in the window: while a full-screen video plays the cursor hides (unless kept
// visible); otherwise it shows and the auto-hide timer restarts.
void cursor_on_mouse_move(CursorState& c, uint32_t now, bool movie_playing);
// Sets the auto-hide time; 0 stops the timer.
void cursor_set_auto_hide(CursorState& c, uint32_t ms, uint32_t now);
// The timer's tick: when the time has run out and the cursor is in the client area, hide it.
// Returns true when it fired.
bool cursor_on_tick(CursorState& c, uint32_t now, bool in_client);

// A cursor image: a 32-bit uncompressed true-colour TGA.
struct CursorImage {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // top-down ARGB
};
// Decodes the file's bytes. Refuses (with the reason in *why) anything but an uncompressed
// true-colour image of 32 bits per pixel whose pixels all lie in the data.
bool cursor_tga_decode(const uint8_t* data, size_t size, CursorImage* out, std::string* why);
