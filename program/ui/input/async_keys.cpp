#include "ui/input/async_keys.h"

#include "engine/orv_api.h"

namespace ui {

namespace {

// The XInput dead zones and trigger threshold.
constexpr int32_t kLeftStickDeadZone = 7849;
constexpr int32_t kRightStickDeadZone = 8689;
constexpr uint8_t kTriggerThreshold = 30;

enum class Control : uint8_t { kButton, kLeftTrigger, kRightTrigger, kStick };

struct PadControl {
  Control kind;
  uint16_t button;  // kButton: the bit
  int8_t stick;     // kStick: 0 left x, 1 left y, 2 right x, 3 right y
  int8_t sign;      // kStick: +1 past the zone upwards or rightwards, -1 the other way
};

// Virtual keys 195-218 in order.
constexpr PadControl kPadControls[kPadKeyLast - kPadKeyFirst + 1] = {
    {Control::kButton, 0x1000, 0, 0},   // 195 A
    {Control::kButton, 0x2000, 0, 0},   // 196 B
    {Control::kButton, 0x4000, 0, 0},   // 197 X
    {Control::kButton, 0x8000, 0, 0},   // 198 Y
    {Control::kButton, 0x0200, 0, 0},   // 199 right shoulder
    {Control::kButton, 0x0100, 0, 0},   // 200 left shoulder
    {Control::kLeftTrigger, 0, 0, 0},   // 201
    {Control::kRightTrigger, 0, 0, 0},  // 202
    {Control::kButton, 0x0001, 0, 0},   // 203 pad up
    {Control::kButton, 0x0002, 0, 0},   // 204 pad down
    {Control::kButton, 0x0004, 0, 0},   // 205 pad left
    {Control::kButton, 0x0008, 0, 0},   // 206 pad right
    {Control::kButton, 0x0010, 0, 0},   // 207 start
    {Control::kButton, 0x0020, 0, 0},   // 208 back
    {Control::kButton, 0x0040, 0, 0},   // 209 left stick press
    {Control::kButton, 0x0080, 0, 0},   // 210 right stick press
    {Control::kStick, 0, 1, +1},        // 211 left stick up
    {Control::kStick, 0, 1, -1},        // 212 left stick down
    {Control::kStick, 0, 0, +1},        // 213 left stick right
    {Control::kStick, 0, 0, -1},        // 214 left stick left
    {Control::kStick, 0, 3, +1},        // 215 right stick up
    {Control::kStick, 0, 3, -1},        // 216 right stick down
    {Control::kStick, 0, 2, +1},        // 217 right stick right
    {Control::kStick, 0, 2, -1},        // 218 right stick left
};

int32_t library_key_down(int32_t vk) {
  return orv.OrvInputGetAsyncKeyState(vk);
}
int32_t library_pad_state(uint32_t index, OrvPadState* state) {
  return orv.OrvInputGetPadState(index, state);
}
uint32_t library_now() {
  return orv.OrvClockGetTime();
}

}  // namespace

AsyncKeySource async_key_source{library_key_down, library_pad_state, library_now};
PadPollState pad_poll_state;

uint32_t pad_control_value(uint32_t vk, const OrvPadState& pad) {
  if (vk < kPadKeyFirst || vk > kPadKeyLast) return 0;
  const PadControl& c = kPadControls[vk - kPadKeyFirst];
  switch (c.kind) {
    case Control::kButton:
      return pad.wButtons & c.button;
    case Control::kLeftTrigger:
      return pad.bLeftTrigger >= kTriggerThreshold ? 1 : 0;
    case Control::kRightTrigger:
      return pad.bRightTrigger >= kTriggerThreshold ? 1 : 0;
    case Control::kStick: {
      const int16_t axes[4] = {pad.sThumbLX, pad.sThumbLY, pad.sThumbRX, pad.sThumbRY};
      const int32_t zone = c.stick < 2 ? kLeftStickDeadZone : kRightStickDeadZone;
      const int32_t v = axes[c.stick];
      return (c.sign > 0 ? v > zone : v < -zone) ? 1 : 0;
    }
  }
  return 0;
}

uint32_t get_async_key_state(uint32_t vk) {
  const AsyncKeySource& src = async_key_source;
  if (vk < kPadKeyFirst || vk > kPadKeyLast) {
    return src.key_down(static_cast<int32_t>(vk)) ? 1 : 0;
  }
  PadPollState& poll = pad_poll_state;
  if (!poll.bConnected && src.now_ms() - poll.dwLastFailedPoll < kPadRetryMs) return 0;
  OrvPadState pad{};
  bool found = false;
  for (uint32_t index = 0; index < kPadCount && !found; ++index) {
    found = src.pad_state(index, &pad) != 0;
  }
  poll.bConnected = found ? 1 : 0;
  if (!found) {
    poll.dwLastFailedPoll = src.now_ms();
    return 0;
  }
  return pad_control_value(vk, pad);
}

}  // namespace ui
