// The per-frame input sample: keys with push, on, pull and repeat, the mouse in virtual-screen
// pixels, the wheel, the joystick, double clicks and the cancel masks.
#include <gtest/gtest.h>

#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "orv/orv.h"

namespace {

// A window-mode client of 640 x 360 at (100, 50) showing a 1280 x 720 screen.
InputFrame window_frame(uint32_t time) {
  InputFrame f;
  f.client_width = 640;
  f.client_height = 360;
  f.screen_width = 1280;
  f.screen_height = 720;
  f.window_x = 100;
  f.window_y = 50;
  f.frame_time = time;
  return f;
}

struct InputFixture : ::testing::Test {
  InputState in;
  void SetUp() override {
    in.reset();
    in.client_origin_x = 100;
    in.client_origin_y = 50;
    cursor_at(10, 10);
  }
  void cursor_at(int32_t client_x, int32_t client_y) {
    in.cursor_x = 100 + client_x;
    in.cursor_y = 50 + client_y;
  }
};

TEST_F(InputFixture, KeysPushOnPullAndRepeatOverFrames) {
  struct Frame {
    uint32_t held;
    uint32_t time;
    uint32_t push, on, pull, repeat;
  };
  const Frame frames[] = {
      {kKeyDown, 0, kKeyDown, 0, 0, 0},
      {kKeyDown, 16, 0, kKeyDown, 0, 0},
      {kKeyDown, 500, 0, kKeyDown, 0, 0},  // not more than 500 ms yet
      {kKeyDown, 501, 0, kKeyDown, 0, kKeyDown},
      {kKeyDown, 517, 0, kKeyDown, 0, kKeyDown},  // every frame from then on
      // Right joins while Down is held: the repeat keys become Right alone and the count
      // starts again.
      {kKeyDown | kKeyRight, 600, kKeyRight, kKeyDown, 0, 0},
      {kKeyDown | kKeyRight, 1100, 0, kKeyDown | kKeyRight, 0, 0},
      {kKeyDown | kKeyRight, 1101, 0, kKeyDown | kKeyRight, 0, kKeyRight},
      {kKeyDown, 1117, 0, kKeyDown, kKeyRight, 0},  // Right released: repeat stops
      {0, 1133, 0, 0, kKeyDown, 0},
      {0, 1149, 0, 0, 0, 0},
  };
  int n = 0;
  for (const Frame& f : frames) {
    SCOPED_TRACE(n++);
    in.keys_down = f.held;
    input_update(in, window_frame(f.time));
    EXPECT_EQ(in.push, f.push);
    EXPECT_EQ(in.on, f.on);
    EXPECT_EQ(in.pull, f.pull);
    EXPECT_EQ(in.repeat, f.repeat);
  }
}

TEST_F(InputFixture, RepeatTimeWrapsAroundTheClock) {
  in.keys_down = kKeyUp;
  input_update(in, window_frame(0xFFFFFF00u));
  input_update(in, window_frame(0x00000100u));  // 512 ms later across the wrap
  EXPECT_EQ(in.repeat, kKeyUp);
}

TEST_F(InputFixture, ClickBetweenFramesIsSeenButNotOutsideTheClient) {
  input_event_apply(in, kInputLeftDown, 0);  // pressed and released between two frames
  input_update(in, window_frame(16));
  EXPECT_EQ(in.push & kKeyMouseL, kKeyMouseL);

  input_update(in, window_frame(32));
  cursor_at(-3, 10);
  input_event_apply(in, kInputLeftDown, 0);
  input_event_apply(in, kInputWheel, 1);
  input_update(in, window_frame(48));
  EXPECT_EQ(in.push & kKeyMouseL, 0u);
  EXPECT_EQ(in.wheel, 0);
}

TEST_F(InputFixture, MousePositionInVirtualScreenPixels) {
  struct Case {
    int32_t client_x;
    int32_t mouse_x, move_x;  // after a first sample at client x 10 (mouse 20)
  };
  const Case cases[] = {
      {320, 640, 620},  // a 1280-wide screen in a 640-wide client
      {-10, -20, -40},  // left of the client: negative, not -1
      {640, -1, 0},     // at the screen's width: outside
      {-700, -1, 0},    // beyond minus the screen's width
      {0, 0, -20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.client_x);
    SetUp();
    input_update(in, window_frame(0));
    ASSERT_EQ(in.mouse_x, 20);
    cursor_at(c.client_x, 10);
    input_update(in, window_frame(16));
    EXPECT_EQ(in.mouse_x, c.mouse_x);
    EXPECT_EQ(in.move_x, c.move_x);
    EXPECT_EQ(in.mouse_y, 20);
    EXPECT_EQ(in.move_y, 0);
  }
}

TEST_F(InputFixture, FullScreenMapsThroughTheClientRectangle) {
  InputFrame f = window_frame(0);
  f.full_screen = true;
  f.window_x = 100;
  f.window_y = 50;
  f.rect_left = 0;
  f.rect_top = 60;  // bars above and below
  f.rect_width = 1920;
  f.rect_height = 1080;
  cursor_at(960, 600);
  input_update(in, f);
  EXPECT_EQ(in.mouse_x, 640);
  EXPECT_EQ(in.mouse_y, 360);
}

TEST_F(InputFixture, InactiveWindowClearsTheFrame) {
  in.keys_down = kKeySpace;
  input_update(in, window_frame(0));
  InputFrame f = window_frame(16);
  f.inactive = true;
  input_update(in, f);
  EXPECT_EQ(in.push | in.on | in.pull | in.repeat, 0u);
  EXPECT_EQ(in.mouse_x, -1);
  EXPECT_EQ(in.mouse_y, -1);
}

TEST_F(InputFixture, WheelKeepsOneNotchPerFrame) {
  input_event_apply(in, kInputWheel, -1);
  input_event_apply(in, kInputWheel, -1);
  EXPECT_EQ(in.wheel, -1);
  input_event_apply(in, kInputWheel, 1);
  EXPECT_EQ(in.wheel, 1);  // a later notch overwrites
  input_end_frame(in);
  EXPECT_EQ(in.wheel, 0);
}

TEST(Input, JoystickThresholdsAndButtons) {
  struct Case {
    int32_t x, y;
    uint32_t buttons, word;
  };
  const Case cases[] = {
      {0, 0, 0, 0},
      {-800, 800, 0, 0},
      {-801, 0, 0, 0x4},
      {801, 0, 0, 0x8},
      {0, -801, 0, 0x1},
      {0, 1000, 0, 0x2},
      {0, 0, 0x1, 0x10},
      {0, 0, 0x800, 0x8000},
      {0, 0, 0x1000, 0},  // button 13 has no bit
      {-1000, -1000, 0x3, 0x35},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(joystick_word(c.x, c.y, c.buttons), c.word) << c.x << "," << c.y;
  }
  InputState in;
  InputFrame f = window_frame(0);
  f.has_joystick = true;
  f.joy_buttons = 0x1;
  input_update(in, f);
  f.joy_buttons = 0x3;
  input_update(in, f);
  EXPECT_EQ(in.joy_push, 0x20u);
  EXPECT_EQ(in.joy_on, 0x10u);
  f.joy_buttons = 0x2;
  input_update(in, f);
  EXPECT_EQ(in.joy_pull, 0x10u);
}

TEST(Input, SecondPressOfAPairIsADoubleClick) {
  struct Case {
    uint8_t button, clicks;
    uint32_t event;
  };
  const Case cases[] = {
      {1, 1, kInputLeftDown},   {1, 2, kInputDblLeft},   {1, 3, kInputLeftDown},
      {1, 4, kInputDblLeft},    {3, 1, kInputRightDown}, {3, 2, kInputDblRight},
      {2, 1, kInputMiddleDown}, {2, 2, kInputDblMiddle}, {9, 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mouse_press_event(c.button, c.clicks), c.event)
        << int(c.button) << "x" << int(c.clicks);
  }
  InputState in;
  input_event_apply(in, kInputDblLeft, 0);
  input_event_apply(in, kInputToggleMode, 0);
  EXPECT_EQ(in.event_word, kEventDblLeft | kEventToggleMode);
  EXPECT_EQ(in.push, 0u);
}

TEST(Input, KeyTableCoversTheFixedSet) {
  EXPECT_EQ(key_bit_for_vk(0x1B), kKeyEsc);
  EXPECT_EQ(key_bit_for_vk(0x7A), kKeyF11);
  EXPECT_EQ(key_bit_for_vk(0x01), kKeyMouseL);
  EXPECT_EQ(key_bit_for_vk(0x43), kKeyC);
  EXPECT_EQ(key_bit_for_vk(0x41), 0u);  // A is not in the set
}

TEST(Input, CancelMasksHoldForLaterFramesUntilCleared) {
  InputState& in = orv_process().input;
  in.reset();
  in.keys_down = kKeyEsc | kKeySpace;
  OrvInputKeyCancel(kKeyEsc, kEventWheel);
  input_event_apply(in, kInputWheel, 1);
  input_update(in, window_frame(0));
  EXPECT_EQ(OrvInputGetKeyPush(), kKeySpace);
  EXPECT_EQ(OrvInputGetWheel(), 0);
  in.keys_down = 0;
  input_update(in, window_frame(16));
  EXPECT_EQ(OrvInputGetKeyPull(), kKeySpace);
  in.keys_down = kKeyEsc;
  input_update(in, window_frame(32));
  EXPECT_EQ(OrvInputGetKeyPush(), 0u);
  OrvInputKeyCancel(0, 0);
  in.keys_down = 0;
  input_update(in, window_frame(48));
  in.keys_down = kKeyEsc;
  input_update(in, window_frame(64));
  EXPECT_EQ(OrvInputGetKeyPush(), kKeyEsc);
  in.reset();
}

TEST(Input, TouchContactReadsAsThePrimaryButton) {
  InputState in;
  in.touch_flags = kTouchFirstDown | kTouchRightPress;
  input_update(in, window_frame(0));
  EXPECT_EQ(in.push, kKeyTouch | kKeyEsc);
  EXPECT_EQ(in.touch_flags.load(), kTouchFirstDown);  // the right press counts once
}

}  // namespace
