// The window procedure: window events become input events for the game thread's next frame,
// window-mode toggle requests and the close question.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/game_thread.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/core/window/window_proc.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/message_box.h"
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
    platform::message_box_answers_restart();
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

TEST_F(WindowProcTest, DraggedEdgesKeepTheOppositeEdgeInPlace) {
  // Each drag starts from the settled 640 x 360 window at (x, y). SDL reports the move of a
  // dragged left or top edge before the resize; a plain move comes alone.
  ProcessRecord& p = orv_process();
  int32_t x = 0, y = 0;
  platform::window_position(p.window, &x, &y);
  struct Case {
    const char* what;
    int32_t move_x, move_y;  // a plain move before the drag
    int32_t dl, dt, dr, db;  // how far each edge is dragged
    OrvRect fitted;          // relative to (x, y)
  };
  const Case cases[] = {
      // 680 x 380 is taller than 16:9: the top edge is moved to fit (382 high).
      {"top-left corner", 0, 0, -40, -20, 0, 0, {-40, -22, 640, 360}},
      // 680 x 400 is taller than 16:9: the left edge is moved to fit (711 wide).
      {"bottom-left corner", 0, 0, -40, 0, 0, 40, {-71, 0, 640, 400}},
      {"left edge", 0, 0, -40, 0, 0, 0, {-40, 0, 640, 382}},
      {"top edge", 0, 0, 0, -36, 0, 0, {0, -36, 704, 360}},
      // A plain move first: the right edge then drags from the moved window.
      {"move, then right edge", 10, 5, 0, 0, 60, 0, {10, 5, 710, 398}},
      {"move, then bottom-right corner", -30, 0, 0, 0, 40, 40, {-30, 0, 681, 400}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::window_resize(p.window, 640, 360);
    platform::window_move(p.window, x, y);
    geometry_change_size(640, 360);
    WindowEvent moved = event(K::kMoved);
    moved.x = x + c.move_x;
    moved.y = y + c.move_y;
    platform::window_move(p.window, moved.x, moved.y);
    window_handle_event(moved);

    const int32_t left = moved.x + c.dl, top = moved.y + c.dt;
    const int32_t width = 640 - c.dl + c.dr, height = 360 - c.dt + c.db;
    platform::window_resize(p.window, width, height);
    if (c.dl != 0 || c.dt != 0) {
      platform::window_move(p.window, left, top);
      moved.x = left;
      moved.y = top;
      window_handle_event(moved);
    }
    WindowEvent resized = event(K::kResized);
    resized.x = width;
    resized.y = height;
    window_handle_event(resized);

    const OrvRect& got = orv_geometry().window_rect;
    EXPECT_EQ(got.left - x, c.fitted.left);
    EXPECT_EQ(got.top - y, c.fitted.top);
    EXPECT_EQ(got.right - x, c.fitted.right);
    EXPECT_EQ(got.bottom - y, c.fitted.bottom);
    int32_t wx = 0, wy = 0;
    platform::window_position(p.window, &wx, &wy);
    EXPECT_EQ(wx - x, c.fitted.left);
    EXPECT_EQ(wy - y, c.fitted.top);
  }
}

// A renderer that presents by itself (GL) reports its first frame; the pads start with it.
TEST_F(WindowProcTest, TheFirstFrameOfASelfPresentingRendererStartsThePads) {
  EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
  ASSERT_TRUE(window_post(kWndGlFrameShown));
  window_pump(0);  // the report, which posts the pads' start
  window_pump(0);
  EXPECT_NE(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
}

TEST_F(WindowProcTest, JoystickUnpluggedReleasesAndAReplugIsRead) {
  // SDL's virtual pads stand in for a real one being plugged in and out. SDL drops presses
  // while no window has the focus, which a window of the dummy driver never gets.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // The pads start once the first frame the game drew is shown: not with the clear colour.
  EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
  frame_present_on_window();
  window_pump(0);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
  const std::vector<uint32_t> drawn(16, 0xFF336699u);
  ASSERT_TRUE(frame_present_pixels(drawn.data(), 4, 4));
  window_pump(0);  // the present, which posts the pads' start
  window_pump(0);
  ASSERT_NE(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
  auto plug = [](int button) {
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 12, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    EXPECT_NE(pad, nullptr) << SDL_GetError();
    SDL_JoystickSetVirtualButton(pad, button, SDL_PRESSED);
    window_pump(0);  // the plug event, and the pad's state
    return std::make_pair(index, pad);
  };
  auto unplug = [](std::pair<int, SDL_Joystick*> pad) {
    SDL_JoystickClose(pad.second);
    SDL_JoystickDetachVirtual(pad.first);
    window_pump(0);
  };

  auto first = plug(0);
  game_frame();
  EXPECT_EQ(OrvInputGetJoyPush(), 0x10u);  // button 1
  game_frame();
  EXPECT_EQ(OrvInputGetJoyPush(), 0u);
  EXPECT_EQ(OrvInputGetJoyOn(), 0x10u);

  unplug(first);
  game_frame();
  EXPECT_EQ(OrvInputGetJoyOn(), 0u);  // not held by a pad that is gone
  EXPECT_EQ(OrvInputGetJoyPull(), 0x10u);
  game_frame();
  EXPECT_EQ(OrvInputGetJoyPush() | OrvInputGetJoyOn() | OrvInputGetJoyPull(), 0u);

  auto second = plug(1);
  game_frame();
  EXPECT_EQ(OrvInputGetJoyPush(), 0x20u);  // button 2 of the pad plugged in again
  unplug(second);
  game_frame();
  EXPECT_EQ(OrvInputGetJoyOn(), 0u);
}

TEST_F(WindowProcTest, FullScreenCoverCropMovesSpritesTowardsTheCentre) {
  // The dummy driver's monitor is 1024 x 768; the 1280 x 720 game picture covers it at
  // 1365 x 768, so ex = 1024 / 1365 and x moves 640 - trunc(640 * ex) = 160 inwards.
  ProcessRecord& p = orv_process();
  ASSERT_EQ(p.params.screen_width, 1280);
  OrvHandle list = OrvRenderInit();
  OrvHandle s = OrvSpriteCreate(list, 4, 4, 0);
  auto place = [&](float x, int32_t mode) {
    OrvSpriteSetPos(s, x, 10, 0);
    OrvSpriteConvertAspectPosition(s, mode);
    OrvSpriteInfo info{};
    OrvSpriteGetInfo(s, &info);
    return info.x;
  };
  p.running = true;  // as under OrvRun, where mode changes are carried out
  geometry_change_aspect(3);
  EXPECT_EQ(place(10, 1), 10.0f);  // window mode: nothing is cropped
  ASSERT_EQ(geometry_change_mode(1), 1);
  EXPECT_EQ(place(10, 1), 170.0f);
  EXPECT_EQ(place(1000, 1), 840.0f);
  geometry_change_aspect(1);  // bars instead of a crop
  EXPECT_EQ(place(10, 1), 10.0f);
  geometry_change_mode(0);
  p.running = false;
  OrvSpriteRelease(list, s);
  OrvRenderUninit(list);
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

TEST_F(WindowProcTest, ShownFrameIsStretchedSmoothlyByTheDeviceFlag) {
  // A 1280 x 720 frame of one-pixel black and white columns shown in the 640 x 360 client area:
  // nearest neighbour picks one column of each pair, smooth stretching mixes them to grey.
  std::vector<uint32_t> columns(1280 * 720);
  for (size_t i = 0; i < columns.size(); ++i) columns[i] = (i % 2) ? 0xFFFFFFFFu : 0xFF000000u;
  SDL_Surface* shown = SDL_GetWindowSurface(SDL_GetWindowFromID(OrvGetWindowHandle()));
  ASSERT_NE(shown, nullptr);
  auto green_at = [&](int x, int y) {
    SDL_LockSurface(shown);
    uint32_t value = 0;
    std::memcpy(&value, static_cast<uint8_t*>(shown->pixels) + y * shown->pitch + x * 4, 4);
    SDL_UnlockSurface(shown);
    uint8_t r, g, b;
    SDL_GetRGB(value, shown->format, &r, &g, &b);
    return g;
  };
  for (bool smooth : {false, true}) {
    SCOPED_TRACE(smooth ? "smooth" : "nearest");
    orv_present().smooth = smooth;
    ASSERT_TRUE(frame_present_pixels(columns.data(), 1280, 720));
    window_pump(0);
    for (int x : {0, 101, 320, 639}) {
      uint8_t g = green_at(x, 180);
      if (smooth) {
        EXPECT_NEAR(g, 128, 2) << x;
      } else {
        EXPECT_TRUE(g == 0 || g == 255) << x << ": " << int(g);
      }
    }
  }
  // The start parameters' display flag bit 1 (set by default) asks for smooth stretching.
  orv_present().smooth = false;
  OrvUninit();
  StartParams p;
  OrvDefaultCreate(&p);
  p.client_width = 640;
  p.client_height = 360;
  p.start_func = &start_never_called;
  ASSERT_EQ(p.display_flags & 0x2u, 0x2u);
  ASSERT_EQ(OrvInit(&p), 1);
  EXPECT_TRUE(orv_present().smooth);
}

TEST_F(WindowProcTest, PresentFillsTheBarsAndCopiesTheFrameWithoutBlending) {
  // A 16 x 2 frame, shown twice its size at (100, 50) over a white window: outside the picture
  // black bars, inside each pixel copied as it is (a half-transparent black stays black, not
  // grey over the white), nearest neighbour doubling each pixel; smooth stretching mixes the
  // two pixels around each target centre in sixty-fourths (the vector and plain code paths
  // both cover part of each row).
  platform::Window* window = orv_process().window;
  ASSERT_NE(window, nullptr);
  SDL_Surface* shown = SDL_GetWindowSurface(SDL_GetWindowFromID(OrvGetWindowHandle()));
  ASSERT_NE(shown, nullptr);
  auto rgb_at = [&](int x, int y) {
    uint32_t value = 0;
    SDL_LockSurface(shown);
    std::memcpy(&value, static_cast<uint8_t*>(shown->pixels) + y * shown->pitch + x * 4, 4);
    SDL_UnlockSurface(shown);
    uint8_t r, g, b;
    SDL_GetRGB(value, shown->format, &r, &g, &b);
    return uint32_t{r} << 16 | uint32_t{g} << 8 | b;
  };
  std::vector<uint32_t> frame(32);
  for (int i = 0; i < 16; ++i) {
    frame[i] = 0xFF000000u | static_cast<uint32_t>(i * 16) << 16 | 0x40u;  // red ramp
    frame[16 + i] = (i % 2) ? 0xFFFFFFFFu : 0x80000000u;
  }
  const platform::Rect to{100, 50, 132, 54};
  for (bool smooth : {false, true}) {
    SCOPED_TRACE(smooth ? "smooth" : "nearest");
    ASSERT_TRUE(platform::window_present_fill(window, 0xFFFFFFFFu));
    ASSERT_TRUE(platform::window_present_argb(window, frame.data(), 16, 2, to, smooth));
    for (auto [x, y] : {std::pair{0, 0}, {99, 50}, {132, 53}, {100, 49}, {100, 54}, {639, 359}}) {
      EXPECT_EQ(rgb_at(x, y), 0u) << x << "," << y;
    }
    for (int x = 0; x < 32; ++x) {
      uint32_t red = frame[x / 2] >> 16 & 255, bottom = frame[16 + x / 2] & 0xFFFFFFu;
      if (smooth) {
        // Source position in 1/64 pixel under the target centre, held inside the frame.
        int p = std::max(0, (2 * x + 1) * 16 * 64 / 64 - 32), left = p >> 6, w = p & 63;
        int right = std::min(left + 1, 15);
        red = (uint32_t(left * 16) * (64 - w) + uint32_t(right * 16) * w) >> 6;
        uint32_t grey = ((right % 2 ? 255u : 0u) * w + (left % 2 ? 255u : 0u) * (64 - w)) >> 6;
        bottom = grey * 0x010101u;
      }
      EXPECT_EQ(rgb_at(100 + x, 50), red << 16 | 0x40u) << x;
      EXPECT_EQ(rgb_at(100 + x, 53), bottom) << x;
    }
  }
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

namespace {

// A key's state at the moment of asking follows the window's key and button events, for any
// virtual key, not only the game's key set.
TEST_F(WindowProcTest, AsyncKeyStateFollowsKeyAndButtonEvents) {
  EXPECT_EQ(OrvInputGetAsyncKeyState(0x41), 0);
  window_handle_event(key(0x41));
  EXPECT_NE(OrvInputGetAsyncKeyState(0x41), 0);
  EXPECT_EQ(OrvInputGetAsyncKeyState(0x42), 0);
  WindowEvent up = key(0x41);
  up.kind = K::kKeyUp;
  window_handle_event(up);
  EXPECT_EQ(OrvInputGetAsyncKeyState(0x41), 0);
  window_handle_event(press(platform::kMouseRight, 1));
  EXPECT_NE(OrvInputGetAsyncKeyState(2), 0);  // the right button's virtual key
  for (int32_t vk : {0, -1, 256}) EXPECT_EQ(OrvInputGetAsyncKeyState(vk), 0) << vk;
}

// A game controller reads as XInput reports a pad: buttons by their bits, triggers 0-255,
// sticks with up positive.
TEST_F(WindowProcTest, GameControllerReadsAsAnXInputPad) {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  OrvPadState state{};
  EXPECT_EQ(OrvInputGetPadState(0, &state), 0);  // the pads have not started yet
  ASSERT_TRUE(window_post(kWndGlFrameShown));
  window_pump(0);
  window_pump(0);
  ASSERT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                              SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  window_pump(0);
  ASSERT_NE(OrvInputGetPadState(0, &state), 0);  // the first question opens the pad
  EXPECT_EQ(state.wButtons, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_PRESSED);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -20000);  // pushed up
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 12345);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  window_pump(0);
  ASSERT_NE(OrvInputGetPadState(0, &state), 0);
  EXPECT_EQ(state.wButtons, 0x1000 | 0x0004);
  EXPECT_EQ(state.sThumbLY, 20000);
  EXPECT_EQ(state.sThumbRX, 12345);
  EXPECT_EQ(state.bRightTrigger, 255);
  EXPECT_EQ(state.bLeftTrigger, 0);
  EXPECT_EQ(OrvInputGetPadState(1, &state), 0);  // one pad only
  EXPECT_EQ(OrvInputGetPadState(4, &state), 0);
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  window_pump(0);
  EXPECT_EQ(OrvInputGetPadState(0, &state), 0);
}

}  // namespace
