// The state of any Windows virtual key at the moment of the call, game-pad controls included.
//
// Keys outside 195-218 are asked of the platform directly. 195-218 name the controls of the
// first connected game pad (A, B, X, Y, shoulders, triggers, the pad, start, back, stick
// presses, and each stick pushed past its dead zone in four directions): pads 0-3 are polled
// in order on every call while one is connected. When no pad answered, the pads are left alone
// for 2000 ms, so that a script asking every frame does not scan the devices each time.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "orv/types.h"

namespace ui {

constexpr uint32_t kPadKeyFirst = 195;  // A
constexpr uint32_t kPadKeyLast = 218;   // right stick left
constexpr uint32_t kPadCount = 4;
constexpr uint32_t kPadRetryMs = 2000;

// What the key test asks of the platform; the game's table reaches the library, tests put
// their own pads and clock in it.
struct AsyncKeySource {
  // Nonzero while a (non-pad) virtual key is down.
  int32_t (*key_down)(int32_t vk);
  // Fills the pad's state; false when no pad answers at that index.
  int32_t (*pad_state)(uint32_t index, OrvPadState* state);
  // A millisecond clock (wrapping).
  uint32_t (*now_ms)();
};
extern AsyncKeySource async_key_source;

// The pad flag (1 at start: 1 when the last poll found a pad) and when the last poll found
// none.
struct PadPollState {
  uint32_t bConnected = 1;
  uint32_t dwLastFailedPoll = 0;
};
extern PadPollState pad_poll_state;

// Nonzero while the key is down: 1 for keys and for triggers and sticks, the button's own bit
// for pad buttons.
uint32_t get_async_key_state(uint32_t vk);

// The value of one pad control (vk 195-218) in a pad state; 0 for other keys.
uint32_t pad_control_value(uint32_t vk, const OrvPadState& pad);

}  // namespace ui
