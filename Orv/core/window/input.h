// Input: keys, mouse, wheel, joystick and touch, sampled once per frame.
//
// The window thread keeps what it learns from the window's events (keys and buttons held, the
// cursor's position, the client origin, touch contacts) in the atomics of InputState; the game
// thread samples them at the start of each frame (input_update) into the KeyBits words that
// the game reads, and applies the input events the window posted (input_event_apply). The
// per-frame words are written by the game thread only and read without locks.
//
// Exports (orv/exports.h, "input"; cursor and touch in cursor.h):
//
//   OrvInputGetKeyPush/On/Pull(void)   KeyBits pressed, held, released this frame.
//   OrvInputGetKeyOnEx(void)           the repeat word (held more than 500 ms since the push).
//   OrvInputGetKeyEx(void)             the event word (double clicks, window-mode toggle).
//   OrvInputSetKeyPush/On/Pull(bits)   OR bits in for the rest of the frame.
//   OrvInputKeyCancel(keys, events)    masks applied now and every later frame; event bit 0x10
//                                      also clears the wheel; (0, 0) cancels nothing.
//   OrvInputKeyRepeatClear(void), OrvInputClear(void)
//   OrvInputGetMouseX/Y(void)          virtual-screen pixels; -1 far outside.
//   OrvInputGetMouseMoveX/Y(void)      movement since the last frame.
//   OrvInputGetWheel(void)             +1 a notch towards the user, -1 away, 0 none.
//   OrvInputGetJoyPush/On/Pull/OnEx(void)  joystick words; 0 without a joystick.
//   OrvInputGetAsyncKeyState(vk)       nonzero while the virtual key is held at this moment
//                                      (not the frame's sample); any thread.
//   OrvInputGetPadState(index, state)  game pad `index` (0-3, the attached game controllers
//                                      in device order) as XInput reports it; 0 when there is
//                                      no such pad. Any thread.
#pragma once

#include <atomic>
#include <cstdint>

// KeyBits: one bit per key of the system's fixed key set.
constexpr uint32_t kKeyEsc = 1u << 0, kKeySpace = 1u << 1, kKeyEnter = 1u << 2, kKeyCtrl = 1u << 3,
                   kKeyShift = 1u << 4, kKeyAlt = 1u << 5, kKeyTab = 1u << 6, kKeyUp = 1u << 7,
                   kKeyDown = 1u << 8, kKeyLeft = 1u << 9, kKeyRight = 1u << 10, kKeyF1 = 1u << 11,
                   kKeyF11 = 1u << 21, kKeyMouseL = 1u << 23, kKeyMouseR = 1u << 24,
                   kKeyMouseM = 1u << 25, kKeyC = 1u << 30;
// Button bits that the window's press events add, and the bits a click outside the client
// area must not push.
constexpr uint32_t kKeyMouseButtons = kKeyMouseL | kKeyMouseR | kKeyMouseM;
constexpr uint32_t kKeyOutsideMask = 0xBC7FFFFFu;
// A touch contact reads as the primary button together with bit 30.
constexpr uint32_t kKeyTouch = 0x40800000u;

struct InputState;
// Marks a virtual key (1-255) held or released in vk_down; other codes are ignored.
void vk_down_set(InputState& in, uint32_t vk, bool down);
bool vk_is_down(const InputState& in, uint32_t vk);

// The KeyBits bit of a Windows virtual-key code, 0 for keys outside the set. Mouse buttons use
// the virtual keys 1 (left), 2 (right) and 4 (middle).
uint32_t key_bit_for_vk(uint32_t vk);

// Event word bits.
constexpr uint32_t kEventDblLeft = 0x1, kEventDblRight = 0x2, kEventDblMiddle = 0x4,
                   kEventToggleMode = 0x8, kEventWheel = 0x10;

// Input events that the window posts to the game thread (the wParam of kGameInput).
constexpr uint32_t kInputDblLeft = 1, kInputDblRight = 2, kInputDblMiddle = 4, kInputToggleMode = 8,
                   kInputWheel = 16, kInputTouchPush = 0x20, kInputRightPush = 0x40,
                   kInputLeftDown = 0x800000, kInputRightDown = 0x1000000,
                   kInputMiddleDown = 0x2000000;

// The input event of a button press (platform MouseButton 1 left, 2 middle, 3 right) that
// was the clicks-th press in a row: the second press of each pair is a double click instead
// of a press, as Windows reports it; 0 for an unknown button.
uint32_t mouse_press_event(uint8_t button, uint8_t clicks);

// Touch flags.
constexpr uint32_t kTouchFirstDown = 0x1, kTouchSecondDown = 0x2, kTouchMoved = 0x4,
                   kTouchRightPress = 0x8;

struct InputState {
  // Written by the window thread.
  std::atomic<uint32_t> keys_down{0};  // KeyBits of the keys and buttons held now
  // Every virtual key held now (bit vk % 32 of word vk / 32), mouse buttons as 1, 2 and 4:
  // what a question about one key at the moment of asking reads (OrvInputGetAsyncKeyState).
  std::atomic<uint32_t> vk_down[8] = {};
  std::atomic<int32_t> cursor_x{0}, cursor_y{0};  // cursor on the desktop
  std::atomic<int32_t> client_origin_x{0}, client_origin_y{0};
  std::atomic<uint32_t> touch_flags{0};
  std::atomic<int32_t> touch_x{0}, touch_y{0};
  // The window thread's own: the first two fingers down, and whether the cursor has left the
  // window (its position is then asked for instead of reported by events).
  int64_t fingers[2] = {-1, -1};
  bool cursor_outside = false;
  uint32_t cursor_asked = 0;

  // Written by the game thread (and the exports that set them).
  uint32_t joy_now = 0, joy_prev = 0, joy_push = 0, joy_on = 0, joy_pull = 0, joy_ex = 0;
  uint32_t key_now = 0, key_prev = 0, push = 0, on = 0, pull = 0;
  uint32_t event_word = 0;
  uint32_t repeat = 0, repeat_keys = 0, repeat_start = 0;
  int32_t mouse_x = 0, mouse_y = 0, move_x = 0, move_y = 0;
  int16_t wheel = 0;
  int32_t button_mode = 0;
  uint32_t key_cancel = 0, event_cancel = 0;

  // Touch settings (exports) and the gesture record, which nothing fills.
  std::atomic<int32_t> touch_mode{0};
  std::atomic<uint8_t> touch_handling{0};
  int32_t gesture[12] = {};
  int32_t gesture_slots[5] = {};

  void reset();
};

// What input_update needs to know about the window and the frame.
struct InputFrame {
  bool inactive = false;  // inactive, minimised or being sized
  bool full_screen = false;
  int32_t window_x = 0, window_y = 0;           // outer window position
  int32_t client_width = 0, client_height = 0;  // client size in window mode
  int32_t rect_left = 0, rect_top = 0, rect_width = 0, rect_height = 0;  // client rectangle
  int32_t screen_width = 0, screen_height = 0;
  uint32_t frame_time = 0;
  bool has_joystick = false;  // false: no pad (any more), the joystick words become 0
  int32_t joy_axis_x = 0, joy_axis_y = 0;
  uint32_t joy_buttons = 0;  // bit i: button i + 1
};

// The per-frame sample: mouse, keys with repeat, joystick, cancel masks.
void input_update(InputState& in, const InputFrame& frame);
// The joystick word of the axes (-1000..1000) and buttons 1-12.
uint32_t joystick_word(int32_t axis_x, int32_t axis_y, uint32_t buttons);
// Whether the cursor lies in the client area (bounds included).
bool cursor_in_client(const InputState& in, const InputFrame& frame);
// One input event of the frame's message drain.
void input_event_apply(InputState& in, uint32_t event, intptr_t lparam);
// Applies the stored cancel masks to this frame's words.
void input_apply_cancel(InputState& in);
// Clears the words at the end of each frame's drawing.
inline void input_end_frame(InputState& in) {
  in.wheel = 0;
  in.event_word = 0;
}
// OrvInputClear: push, on, pull, repeat and the joystick words.
void input_clear(InputState& in);
