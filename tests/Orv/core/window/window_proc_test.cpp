// The window procedure: window events become input events for the game thread's next frame,
// window-mode toggle requests and the close question.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/game_thread.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_proc.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/window.h"

namespace {

using platform::WindowEvent;
using K = platform::WindowEventKind;

int32_t start_never_called() {
  return 0;
}

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    process_switches().close_confirm_off = 0;
    StartParams p;
    OrvDefaultCreate(&p);
    p.client_width = 640;
    p.client_height = 360;
    p.start_func = &start_never_called;
    ASSERT_EQ(OrvInit(&p), 1);
    // The test thread is the window thread and plays the game thread's frames itself.
  }
  void TearDown() override {
    OrvUninit();
    unsetenv("VELMORA_MSGBOX_ANSWERS");
    process_switches().close_confirm_off = 0;
  }

  static WindowEvent event(K kind) {
    WindowEvent e;
    e.kind = kind;
    return e;
  }
  static WindowEvent press(uint8_t button, uint8_t clicks) {
    WindowEvent e = event(K::kMouseDown);
    e.button = button;
    e.clicks = clicks;
    return e;
  }
  static WindowEvent key(uint32_t vk, bool alt = false) {
    WindowEvent e = event(K::kKeyDown);
    e.vk = vk;
    e.alt = alt;
    return e;
  }
};

TEST_F(WindowProcTest, EventsReachTheNextFrame) {
  struct Case {
    const char* what;
    WindowEvent ev;
    uint32_t event_word;
    int16_t wheel;
    uint32_t push;
  };
  WindowEvent wheel_away = event(K::kWheel);
  wheel_away.y = 1;
  WindowEvent wheel_near = event(K::kWheel);
  wheel_near.y = -1;
  const Case cases[] = {
      {"left press", press(platform::kMouseLeft, 1), 0, 0, kKeyMouseL},
      {"left double", press(platform::kMouseLeft, 2), kEventDblLeft, 0, 0},
      {"right double", press(platform::kMouseRight, 2), kEventDblRight, 0, 0},
      {"middle press", press(platform::kMouseMiddle, 3), 0, 0, kKeyMouseM},
      {"wheel away", wheel_away, 0, -1, 0},
      {"wheel towards", wheel_near, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    window_handle_event(c.ev);
    game_frame();  // the drain at its end applies what the window posted
    EXPECT_EQ(OrvInputGetKeyEx(), c.event_word);
    EXPECT_EQ(OrvInputGetWheel(), c.wheel);
    EXPECT_EQ(OrvInputGetKeyPush() & kKeyMouseButtons, c.push);
    window_handle_event(event(K::kMouseUp));
    game_frame();
    game_frame();
  }
}

TEST_F(WindowProcTest, KeysAreHeldUntilReleasedOrTheFocusGoes) {
  window_handle_event(key(0x74));  // F5
  window_handle_event(key(0x41));  // A: not in the key set
  EXPECT_EQ(orv_process().input.keys_down.load(), 1u << 15);
  WindowEvent up = key(0x74);
  up.kind = K::kKeyUp;
  window_handle_event(up);
  EXPECT_EQ(orv_process().input.keys_down.load(), 0u);
  window_handle_event(key(0x20));
  window_handle_event(event(K::kFocusLost));
  EXPECT_EQ(orv_process().input.keys_down.load(), 0u);
  EXPECT_EQ(IsActive(), 0);
  window_handle_event(event(K::kFocusGained));
  EXPECT_EQ(IsActive(), 1);
}

TEST_F(WindowProcTest, AltEnterAndMaximiseRequestTheModeToggle) {
  // Before the game thread runs, the request is remembered as the full-screen start field.
  window_handle_event(key(0x0D, true));
  EXPECT_EQ(OrvCheckWindowMode(), 1);
  orv_process().params.full_screen = 0;
  window_handle_event(event(K::kMaximized));
  EXPECT_EQ(OrvCheckWindowMode(), 1);
  orv_process().params.full_screen = 0;
  OrvDisableChangeWindowMode(1);  // Alt+Enter does nothing then
  window_handle_event(key(0x0D, true));
  EXPECT_EQ(OrvCheckWindowMode(), 0);
}

TEST_F(WindowProcTest, TouchesAreContactsOrMouseInputByTheTouchMode) {
  WindowEvent down = event(K::kFingerDown);
  down.finger = 7;
  down.fx = 0.5f;
  down.fy = 0.25f;
  WindowEvent touch_click = press(platform::kMouseLeft, 1);
  touch_click.from_touch = true;
  InputState& in = orv_process().input;

  OrvTouchEnable(1);
  OrvTouchMode(0);
  window_handle_event(down);
  window_handle_event(touch_click);  // the mouse event SDL makes from it is not counted twice
  EXPECT_EQ(in.touch_flags.load(), kTouchFirstDown | kTouchMoved);
  EXPECT_EQ(in.touch_x.load(), 320);
  EXPECT_EQ(in.touch_y.load(), 90);
  game_frame();
  game_frame();
  EXPECT_EQ(OrvInputGetKeyOn() & kKeyTouch, kKeyTouch);  // held as the primary button
  WindowEvent up = down;
  up.kind = K::kFingerUp;
  window_handle_event(up);
  EXPECT_EQ(in.touch_flags.load(), 0u);

  OrvTouchMode(1);  // touches as mouse input
  window_handle_event(down);
  EXPECT_EQ(in.touch_flags.load(), 0u);
  window_handle_event(touch_click);
  game_frame();
  EXPECT_EQ(OrvInputGetKeyPush() & kKeyMouseL, kKeyMouseL);
}

TEST_F(WindowProcTest, DrawnFrameIsShownByTheWindowThread) {
  const uint32_t pixels[2 * 3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                  0xFFFFFFFFu, 0x80000000u, 0x00000000u};
  EXPECT_TRUE(frame_present_pixels(pixels, 3, 2));
  EXPECT_FALSE(frame_present_pixels(nullptr, 3, 2));
  EXPECT_TRUE(orv_present().pending);
  window_pump(0);
  EXPECT_FALSE(orv_present().pending);
  EXPECT_EQ(orv_present().width, 3);
}

TEST_F(WindowProcTest, CloseAsksFirstUnlessTheSwitchIsSet) {
  setenv("VELMORA_MSGBOX_ANSWERS", "7", 1);  // No
  orv_process().cursor.show_count = -1;
  testing::internal::CaptureStderr();
  window_handle_event(event(K::kClose));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("[WindowTitle]"), std::string::npos) << err;
  EXPECT_EQ(IsSystemEnd(), 0);
  EXPECT_TRUE(cursor_visible(orv_process().cursor));  // left visible after "No"
  EXPECT_FALSE(orv_process().cursor.keep_visible);

  OrvDisableChangeWindowMode(1);
  testing::internal::CaptureStderr();
  window_handle_event(event(K::kClose));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // no question
  EXPECT_EQ(IsSystemEnd(), 1);
  EXPECT_EQ(OrvGetWindowHandle(), orv_process().window_handle);
  EXPECT_EQ(orv_process().window, nullptr);  // the end destroyed the window
}

}  // namespace
