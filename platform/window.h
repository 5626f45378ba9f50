// The game window over SDL: the stand-in for the window class, the window and its procedure's
// sources of messages. All of it is called on the window thread (the thread that started
// video), except where a function says otherwise.
//
// Geometry is in pixels of the client area: SDL places and sizes the client area itself, so
// the window frame never enters our sums (the frame of the system is 0 here).
//
// State: the window, its event pump and the desktop size belong to libOrv.so; the game
// program never includes this header.
#pragma once

#include "platform/window_title.h"

#include <cstdint>
#include <string>

namespace platform {

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Starts and stops SDL video (with text input off, so no input method is active until an edit
// box asks for it); video_quit also stops the joysticks if they were started. video_init may be
// called again after video_quit.
bool video_init(std::string* error);
void video_quit();
// Starts SDL's joysticks, after video_init, on the thread that polls the events: the pads are
// looked for here (a scan of the input devices), so the library does it once the first frame
// is shown rather than on the way to it. Pads plugged in already then arrive as added events.
// False when SDL cannot start them (there are no pads then). Idempotent.
bool joysticks_start();
// The name of SDL's video driver ("dummy", "x11", ...), empty before video_init.
std::string video_driver_name();

// Desktop and monitors. Index 0 is the primary display.
int display_count();
bool display_bounds(int index, Rect* out);
// The display's current mode: its size in pixels and refresh rate in hertz (0 when the driver
// does not say). False for an index that is no display.
struct DisplayMode {
  int32_t width = 0, height = 0, refresh = 0;
};
bool display_mode(int index, DisplayMode* out);
// Display 0's bounds, also before video_init (video is started for the question and left
// running for the video_init that follows, which takes it over; video_quit stops it); call it
// on the thread that runs the window. False when there is no display.
bool primary_display_bounds(Rect* out);
// The display whose bounds hold the point, else the nearest one by centre distance; -1 when
// there is no display.
int display_at_point(int32_t x, int32_t y);
// Allows or blocks the screen saver.
void screensaver_allow(bool allow);

struct Window;

struct WindowDesc {
  std::string title_sjis;
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool try_gl = false;  // ask for an OpenGL window; falls back to one without GL
  bool hidden = false;
  bool resizable = true;
};

// Creates the window. *with_gl tells whether it was made with GL. Null on failure, with SDL's
// reason in *error.
Window* window_create(const WindowDesc& desc, bool* with_gl, std::string* error);
void window_destroy(Window* window);
// The SDL window behind `window`, for the other platform/ code only (the GL context).
void* window_sdl_handle(Window* window);
// The window's 32-bit id (SDL's), used as its handle.
uint32_t window_id(Window* window);
void window_show(Window* window);
void window_set_title(Window* window, const std::string& title_sjis);
void window_position(Window* window, int32_t* x, int32_t* y);
void window_move(Window* window, int32_t x, int32_t y);
void window_size(Window* window, int32_t* width, int32_t* height);
void window_resize(Window* window, int32_t width, int32_t height);
void window_set_size_limits(Window* window, int32_t min_w, int32_t min_h, int32_t max_w,
                            int32_t max_h);
// Desktop full screen (a borderless window over its display) or back to window mode.
bool window_set_fullscreen(Window* window, bool fullscreen);
void window_restore(Window* window);
bool window_is_minimized(Window* window);
// Index of the display that holds the window's centre.
int window_display(Window* window);
// Fills the client area with one colour and shows it (the frame of a cleared render list).
// May be called from the thread that draws; false when the window has no surface.
bool window_present_fill(Window* window, uint32_t argb);
// Shows top-down ARGB pixels (width x height, rows width apart) stretched into dst of the
// client area, the rest black; smooth: bilinear both when enlarging and shrinking, else nearest
// neighbour. False when the window has no surface.
// Pictures laid over a present (the edit boxes and dialogs drawn by the library): straight-alpha
// ARGB, width x height, rows width apart, blended at client pixel (x, y) after the frame is
// stretched, so that they keep their own pixel size.
struct Overlay {
  const uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  int32_t x = 0, y = 0;
};
bool window_present_argb(Window* window, const uint32_t* pixels, int32_t width, int32_t height,
                         const Rect& dst, bool smooth = false, const Overlay* overlays = nullptr,
                         int overlay_count = 0);

// Events, translated from SDL's. Mouse positions are in client pixels; keys are Windows
// virtual-key codes, so the code above this layer keeps the system's key tables.
enum class WindowEventKind : uint8_t {
  kNone,
  kQuit,
  kClose,
  kMoved,
  kResized,
  kMinimized,
  kMaximized,
  kRestored,
  kFocusGained,
  kFocusLost,
  kMouseEnter,
  kMouseLeave,
  kMouseMove,
  kMouseDown,
  kMouseUp,
  kWheel,
  kKeyDown,
  kKeyUp,
  kFingerDown,
  kFingerUp,
  kFingerMove,
  kJoystickAdded,
  kJoystickRemoved,
  kTextInput,    // text committed by the keyboard or the input method: `text`, UTF-8
  kTextEditing,  // the input method's unfinished text: `text` (UTF-8; empty when it ends) and
                 // the caret in it, in characters (`cursor`)
};

enum MouseButton : uint8_t { kMouseLeft = 1, kMouseMiddle = 2, kMouseRight = 3 };

struct WindowEvent {
  WindowEventKind kind = WindowEventKind::kNone;
  int32_t x = 0, y = 0;     // position (mouse, moved) or size (resized); wheel: y > 0 away
  uint8_t button = 0;       // MouseButton
  uint8_t clicks = 0;       // presses in a row within the double-click time
  uint32_t vk = 0;          // virtual-key code of a key event, 0 for keys without one
  bool repeat = false;      // a key event repeated by the keyboard
  bool alt = false;         // Alt held at a key event
  bool from_touch = false;  // a mouse event that SDL made from a touch
  int64_t finger = 0;       // finger id of a touch event
  float fx = 0, fy = 0;     // touch position, 0..1 of the window
  bool shift = false;       // Shift held at a key or mouse-button event
  bool ctrl = false;        // Ctrl held at a key event
  int32_t cursor = 0;       // caret of a text-editing event
  std::string text;         // text of a text event, UTF-8
};

// Text input for an edit box: SDL's text input (and so the input method) runs only while an
// edit box has the focus; the input method's candidates are shown near rect (client pixels).
// Window thread.
void text_input_start(const Rect& rect);
void text_input_stop();
// The system's warning sound (a refused entry); a terminal bell on stderr where there is none.
void beep();

// The next pending event, without waiting; false when none.
bool event_poll(WindowEvent* event);
// Sleeps until an event arrives, event_wake is called or timeout_ms pass (-1: no limit); true
// with the event when one of ours arrived, false otherwise (the caller then polls and looks at
// its queue).
bool event_wait(WindowEvent* event, int32_t timeout_ms);
// Whether event_wait really sleeps with this video driver (false for dummy and offscreen,
// where SDL polls every millisecond instead: wait on something else there).
bool event_wait_blocks();
// Wakes event_wait. Any thread; does nothing before video has started.
void event_wake();

// Cursors.
struct Cursor;
// A system cursor by its Win32 resource id (32512 arrow, 32513 I-beam, 32514 wait, 32515
// cross, 32649 hand, ...); unknown ids give the arrow.
Cursor* cursor_create_system(uint32_t resource_id);
// A colour cursor from top-down ARGB pixels.
Cursor* cursor_create_argb(const uint32_t* pixels, int32_t width, int32_t height, int32_t hotspot_x,
                           int32_t hotspot_y);
void cursor_destroy(Cursor* cursor);
void cursor_set(Cursor* cursor);
void cursor_show(bool visible);
// Moves the cursor to client point (x, y).
void cursor_warp(Window* window, int32_t x, int32_t y);
// The cursor's position on the desktop; false when the driver cannot tell.
bool cursor_global_position(int32_t* x, int32_t* y);

// The first attached joystick, in raw button order.
struct Joystick;
struct JoystickState {
  int32_t axis_x = 0, axis_y = 0;  // -1000..1000
  uint32_t buttons = 0;            // bit i: button i + 1 down
};
Joystick* joystick_open_first();
void joystick_close(Joystick* joystick);
// False when the pad cannot be read (it was unplugged).
bool joystick_read(Joystick* joystick, JoystickState* state);
// Whether the pad is still plugged in.
bool joystick_attached(Joystick* joystick);

// Game pads through SDL's game controllers, numbered 0-3 in the order of the attached devices
// that SDL knows as game controllers. Their state in XInput's terms: button bits (0x0001 up,
// 0x0002 down, 0x0004 left, 0x0008 right, 0x0010 start, 0x0020 back, 0x0040/0x0080 stick
// presses, 0x0100/0x0200 shoulders, 0x1000 A, 0x2000 B, 0x4000 X, 0x8000 Y), triggers 0-255,
// sticks -32768..32767 with up positive. Any thread (SDL locks its joysticks); false when no
// such pad is attached or the game controllers are not started (joysticks_start starts them).
struct PadState {
  uint16_t buttons = 0;
  uint8_t left_trigger = 0, right_trigger = 0;
  int16_t left_x = 0, left_y = 0, right_x = 0, right_y = 0;
};
bool pad_read(int index, PadState* state);

}  // namespace platform
