// The input exports: the words of the current frame, the cancel masks, touch and gestures.
#include <cstring>

#include "Orv/core/window/process.h"
#include "orv/orv.h"
#include "platform/window.h"

namespace {
InputState& in() {
  return orv_process().input;
}
}  // namespace

extern "C" {

uint32_t OrvInputGetKeyPush(void) {
  return in().push;
}
uint32_t OrvInputGetKeyOn(void) {
  return in().on;
}
uint32_t OrvInputGetKeyPull(void) {
  return in().pull;
}
uint32_t OrvInputGetKeyOnEx(void) {
  return in().repeat;
}
uint32_t OrvInputGetKeyEx(void) {
  return in().event_word;
}
void OrvInputSetKeyPush(uint32_t bits) {
  in().push |= bits;
}
void OrvInputSetKeyOn(uint32_t bits) {
  in().on |= bits;
}
void OrvInputSetKeyPull(uint32_t bits) {
  in().pull |= bits;
}

void OrvInputKeyCancel(uint32_t key_mask, uint32_t event_mask) {
  in().key_cancel = key_mask;
  in().event_cancel = event_mask;
  input_apply_cancel(in());
}

void OrvInputKeyRepeatClear(void) {
  in().repeat = 0;
  in().repeat_keys = 0;
}

int32_t OrvInputGetAsyncKeyState(int32_t vk) {
  return vk_is_down(in(), static_cast<uint32_t>(vk)) ? 1 : 0;
}

OrvBool OrvInputGetPadState(uint32_t index, OrvPadState* state) {
  platform::PadState pad;
  if (!state || index > 3 || !platform::pad_read(static_cast<int>(index), &pad)) return 0;
  *state = OrvPadState{pad.buttons, pad.left_trigger, pad.right_trigger, pad.left_x,
                       pad.left_y,  pad.right_x,      pad.right_y};
  return 1;
}

void OrvInputClear(void) {
  input_clear(in());
}
int32_t OrvInputGetMouseX(void) {
  return in().mouse_x;
}
int32_t OrvInputGetMouseY(void) {
  return in().mouse_y;
}
int32_t OrvInputGetMouseMoveX(void) {
  return in().move_x;
}
int32_t OrvInputGetMouseMoveY(void) {
  return in().move_y;
}
int32_t OrvInputGetWheel(void) {
  return in().wheel;
}
uint32_t OrvInputGetJoyPush(void) {
  return in().joy_push;
}
uint32_t OrvInputGetJoyOn(void) {
  return in().joy_on;
}
uint32_t OrvInputGetJoyPull(void) {
  return in().joy_pull;
}
uint32_t OrvInputGetJoyOnEx(void) {
  return in().joy_ex;
}

// Touch: SDL delivers finger events on every system, so the touch functions always exist.
// Mode 1 lets touches arrive as mouse input; mode 0 handles them as touches.
int32_t OrvTouchMode(int32_t on) {
  in().touch_mode = on & 0xFF;
  return in().touch_mode;
}
int32_t OrvIsTouchMode(void) {
  return in().touch_mode;
}
int32_t OrvTouchEnable(int32_t flag) {
  in().touch_handling = static_cast<uint8_t>(flag & 0xFF);
  return in().touch_handling;
}
int32_t OrvIsTouch(void) {
  return orv_process().window && in().touch_mode == 0 ? 1 : 0;
}

int32_t OrvSetGesture(int32_t flags) {
  in().gesture[0] = flags;
  return flags;
}

void* OrvGetGesture(void* record) {
  if (record) std::memcpy(record, in().gesture, sizeof in().gesture);
  return record;
}

// No gesture messages reach the window, so the slots stay empty.
int32_t OrvGestureCheck(void) {
  for (int32_t id : in().gesture_slots) {
    if (id >= 3 && id <= 7) return 1;
  }
  return 0;
}

}  // extern "C"
