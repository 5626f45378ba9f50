#include "Orv/core/window/input.h"

namespace {

// The virtual key sampled for each KeyBits bit; bit 31 has none.
constexpr uint8_t kKeyTable[31] = {0x1B, 0x20, 0x0D, 0x11, 0x10, 0x12, 0x09, 0x26, 0x28, 0x25, 0x27,
                                   0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A,
                                   0x7B, 0x01, 0x02, 0x04, 0x59, 0x4E, 0x5A, 0x58, 0x43};

// Screen pixels to virtual-screen pixels, in single precision and truncated as the system does.
int32_t scale_axis(int32_t point, int32_t size, int32_t screen) {
  if (size <= 0) return -1;
  return static_cast<int32_t>(static_cast<float>(point) / static_cast<float>(size) *
                              static_cast<float>(screen));
}

// A value far outside the screen becomes -1 and does not count as movement.
void mouse_axis(int32_t value, int32_t screen, int32_t* pos, int32_t* move) {
  if (value >= screen || value < -screen) {
    *pos = -1;
    *move = 0;
    return;
  }
  *move = value == -1 ? 0 : value - *pos;
  *pos = value;
}

}  // namespace

uint32_t key_bit_for_vk(uint32_t vk) {
  for (int bit = 0; bit < 31; ++bit) {
    if (kKeyTable[bit] == vk) return 1u << bit;
  }
  return 0;
}

uint32_t mouse_press_event(uint8_t button, uint8_t clicks) {
  bool dbl = clicks >= 2 && clicks % 2 == 0;
  switch (button) {
    case 1:
      return dbl ? kInputDblLeft : kInputLeftDown;
    case 2:
      return dbl ? kInputDblMiddle : kInputMiddleDown;
    case 3:
      return dbl ? kInputDblRight : kInputRightDown;
    default:
      return 0;
  }
}

void vk_down_set(InputState& in, uint32_t vk, bool down) {
  if (vk == 0 || vk > 255) return;
  const uint32_t bit = 1u << (vk % 32);
  if (down) {
    in.vk_down[vk / 32].fetch_or(bit);
  } else {
    in.vk_down[vk / 32].fetch_and(~bit);
  }
}

bool vk_is_down(const InputState& in, uint32_t vk) {
  if (vk == 0 || vk > 255) return false;
  return (in.vk_down[vk / 32].load() >> (vk % 32)) & 1u;
}

void InputState::reset() {
  keys_down = 0;
  for (std::atomic<uint32_t>& w : vk_down) w = 0;
  cursor_x = cursor_y = 0;
  client_origin_x = client_origin_y = 0;
  touch_flags = 0;
  touch_x = touch_y = 0;
  fingers[0] = fingers[1] = -1;
  cursor_outside = false;
  cursor_asked = 0;
  joy_now = joy_prev = joy_push = joy_on = joy_pull = joy_ex = 0;
  key_now = key_prev = push = on = pull = 0;
  event_word = repeat = repeat_keys = repeat_start = 0;
  mouse_x = mouse_y = move_x = move_y = 0;
  wheel = 0;
  button_mode = 0;
  key_cancel = event_cancel = 0;
  touch_mode = 0;
  touch_handling = 0;
  for (int32_t& g : gesture) g = 0;
  for (int32_t& g : gesture_slots) g = 0;
}

uint32_t joystick_word(int32_t axis_x, int32_t axis_y, uint32_t buttons) {
  uint32_t word = (buttons & 0xFFFu) << 4;
  if (axis_x < -800) word |= 0x4;
  if (axis_x > 800) word |= 0x8;
  if (axis_y < -800) word |= 0x1;
  if (axis_y > 800) word |= 0x2;
  return word;
}

bool cursor_in_client(const InputState& in, const InputFrame& f) {
  int32_t x = in.cursor_x.load(std::memory_order_relaxed);
  int32_t y = in.cursor_y.load(std::memory_order_relaxed);
  if (f.full_screen) {
    x -= f.window_x;
    y -= f.window_y;
    return x >= f.rect_left && x <= f.rect_left + f.rect_width && y >= f.rect_top &&
           y <= f.rect_top + f.rect_height;
  }
  int32_t ox = in.client_origin_x.load(std::memory_order_relaxed);
  int32_t oy = in.client_origin_y.load(std::memory_order_relaxed);
  return x >= ox && x <= ox + f.client_width && y >= oy && y <= oy + f.client_height;
}

void input_apply_cancel(InputState& in) {
  in.push &= ~in.key_cancel;
  in.on &= ~in.key_cancel;
  in.pull &= ~in.key_cancel;
  in.repeat &= ~in.key_cancel;
  in.event_word &= ~in.event_cancel;
  if (in.event_cancel & kEventWheel) in.wheel = 0;
}

void input_clear(InputState& in) {
  in.push = in.on = in.pull = in.repeat = 0;
  in.joy_push = in.joy_on = in.joy_pull = in.joy_ex = 0;
}

namespace {

void key_sample(InputState& in, const InputFrame& f) {
  uint32_t raw = in.keys_down.load(std::memory_order_relaxed);
  uint32_t touch = in.touch_flags.load(std::memory_order_relaxed);
  if (touch & kTouchFirstDown) raw |= kKeyTouch;
  if (touch & kTouchRightPress) {
    raw |= kKeyEsc;
    in.touch_flags.fetch_and(~kTouchRightPress, std::memory_order_relaxed);
  }
  // Presses the window reported since the last frame, so a click shorter than a frame counts.
  raw |= in.push & kKeyMouseButtons;

  uint32_t previous = in.key_now;
  in.key_prev = previous;
  in.key_now = raw;
  in.pull = previous & ~raw;
  in.on = raw & previous;
  in.push = raw & ~previous;
  in.repeat = 0;

  if (in.push != 0) {
    in.repeat_keys = in.push;
    in.repeat_start = f.frame_time;
  } else if ((in.on & in.repeat_keys) == 0) {
    in.repeat_keys = 0;
  } else if (f.frame_time - in.repeat_start > 500u) {
    in.repeat = in.repeat_keys;
  }

  if (!cursor_in_client(in, f)) {
    in.push &= kKeyOutsideMask;
    in.wheel = 0;
  }
}

void joystick_poll(InputState& in, const InputFrame& f) {
  if (!f.has_joystick) {
    // No pad (any more): its release was reported in the frame it went; nothing stays.
    in.joy_now = in.joy_prev = in.joy_push = in.joy_on = in.joy_pull = 0;
    return;
  }
  uint32_t word = joystick_word(f.joy_axis_x, f.joy_axis_y, f.joy_buttons);
  uint32_t previous = in.joy_now;
  in.joy_prev = previous;
  in.joy_now = word;
  in.joy_on = word & previous;
  in.joy_pull = previous & ~word;
  in.joy_push = word & ~previous;
}

}  // namespace

void input_update(InputState& in, const InputFrame& f) {
  if (f.inactive) {
    in.joy_now = in.joy_prev = in.joy_push = in.joy_on = in.joy_pull = 0;
    in.mouse_x = in.mouse_y = -1;
    in.move_x = in.move_y = 0;
    in.wheel = 0;
    in.push = in.on = in.pull = in.repeat = 0;
    return;
  }
  int32_t px = in.cursor_x.load(std::memory_order_relaxed) -
               in.client_origin_x.load(std::memory_order_relaxed);
  int32_t py = in.cursor_y.load(std::memory_order_relaxed) -
               in.client_origin_y.load(std::memory_order_relaxed);
  int32_t x, y;
  if (f.full_screen) {
    x = scale_axis(px - f.rect_left, f.rect_width, f.screen_width);
    y = scale_axis(py - f.rect_top, f.rect_height, f.screen_height);
  } else {
    x = scale_axis(px, f.client_width, f.screen_width);
    y = scale_axis(py, f.client_height, f.screen_height);
  }
  mouse_axis(x, f.screen_width, &in.mouse_x, &in.move_x);
  mouse_axis(y, f.screen_height, &in.mouse_y, &in.move_y);

  key_sample(in, f);
  joystick_poll(in, f);
  input_apply_cancel(in);
}

void input_event_apply(InputState& in, uint32_t event, intptr_t lparam) {
  switch (event) {
    case kInputDblLeft:
    case kInputDblRight:
    case kInputDblMiddle:
    case kInputToggleMode:
      in.event_word |= event;
      break;
    case kInputWheel:
      in.wheel = static_cast<int16_t>(lparam & 0xFFFF);
      break;
    case kInputTouchPush:
      in.push |= kKeyTouch;
      break;
    case kInputRightPush:
      in.push |= kKeyMouseR;
      break;
    case kInputLeftDown:
    case kInputRightDown:
    case kInputMiddleDown:
      in.push |= event;
      break;
    default:
      break;
  }
}
