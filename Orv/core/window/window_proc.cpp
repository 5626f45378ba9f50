// The window thread: its queue, the window's events (the window procedure) and the end of the
// program.
#include "Orv/core/window/window_proc.h"

#include <algorithm>
#include <cstring>

#include "Orv/core/debug_log.h"
#include "Orv/core/movie/video_player.h"
#include "Orv/core/seams.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/game_thread.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kShowScreenSaverBit = 0x4;  // display flag: the screen saver may start

// While the cursor is outside the window no motion events come; its desktop position is asked
// for instead, once a frame's time at most (the question goes to the display server).
constexpr uint32_t kCursorAskMs = 15;

// Where SDL has no event source to sleep on (dummy and offscreen drivers), its events are
// looked at this often while the queue is quiet (a signal's quit event arrives there).
constexpr uint32_t kHeadlessEventLookMs = 50;

// Sound is silent while the window is inactive, unless the display flags give it global focus.
void activation_changed() {
  ProcessRecord& p = orv_process();
  sound_window_active(p.active && !p.inactive, p.params.display_flags);
}

void apply_cursor_visibility() {
  platform::cursor_show(cursor_visible(orv_process().cursor));
}

bool cursor_in_client_now() {
  return cursor_in_client(orv_process().input, input_frame_placement());
}

// Posts an input event to the game thread (before the game thread runs, it waits in the
// queue for the first frame).
void post_input(uint32_t event, intptr_t lparam = 0) {
  game_post_pumping(kGameInput, event, lparam, 3000);
}

void toggle_request() {
  ProcessRecord& p = orv_process();
  if (p.game_thread.joinable()) {
    post_input(kInputToggleMode);
  } else {
    p.params.full_screen = 1;
  }
}

// WM_CLOSE: ask before ending, with the cursor kept visible while the question is up.
void on_close() {
  ProcessRecord& p = orv_process();
  CursorState& c = p.cursor;
  cursor_count_show(c);
  cursor_set_auto_hide(c, c.auto_hide_ms, platform::time_ms());
  c.keep_visible = true;
  apply_cursor_visibility();
  bool end = process_switches().close_confirm_off != 0;
  if (!end) {
    // "本当に終了しますか？"
    int answer =
        process_box("\x96{\x93\x96\x82\xc9\x8fI\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81H",
                    p.params.title, platform::kMbYesNo | platform::kMbIconQuestion);
    end = answer == platform::kIdYes;
  }
  if (end) OrvEnd();
  c.keep_visible = false;
  if (p.is_movie && cursor_in_client_now()) {
    cursor_count_hide(c);
    apply_cursor_visibility();
  }
}

uint32_t button_bit(uint8_t button) {
  switch (button) {
    case platform::kMouseLeft:
      return kKeyMouseL;
    case platform::kMouseRight:
      return kKeyMouseR;
    case platform::kMouseMiddle:
      return kKeyMouseM;
    default:
      return 0;
  }
}

// The virtual key of a mouse button: 1 left, 2 right, 4 middle.
uint32_t button_vk(uint8_t button) {
  switch (button) {
    case platform::kMouseLeft:
      return 1;
    case platform::kMouseRight:
      return 2;
    case platform::kMouseMiddle:
      return 4;
    default:
      return 0;
  }
}

// Touch mode 0 with touch handling on takes touches as touches (finger events); otherwise they
// arrive as the mouse events SDL makes from them.
bool touch_as_touch() {
  const InputState& in = orv_process().input;
  return in.touch_handling && in.touch_mode == 0;
}

void on_finger(const platform::WindowEvent& ev) {
  ProcessRecord& p = orv_process();
  InputState& in = p.input;
  if (!touch_as_touch()) return;
  int slot = ev.finger == in.fingers[0] ? 0 : ev.finger == in.fingers[1] ? 1 : -1;
  if (ev.kind == platform::WindowEventKind::kFingerDown && slot < 0) {
    slot = in.fingers[0] < 0 ? 0 : in.fingers[1] < 0 ? 1 : -1;
    if (slot >= 0) in.fingers[slot] = ev.finger;
  }
  if (slot == 0) {
    int32_t x = static_cast<int32_t>(ev.fx * static_cast<float>(p.params.client_width));
    int32_t y = static_cast<int32_t>(ev.fy * static_cast<float>(p.params.client_height));
    in.touch_x = x;
    in.touch_y = y;
    in.cursor_x = in.client_origin_x + x;
    in.cursor_y = in.client_origin_y + y;
    in.touch_flags.fetch_or(kTouchMoved);
  }
  if (slot < 0) return;
  if (ev.kind == platform::WindowEventKind::kFingerUp) {
    in.touch_flags = 0;
    in.fingers[slot] = -1;
  } else if (ev.kind == platform::WindowEventKind::kFingerDown) {
    in.touch_flags.fetch_or(slot == 0 ? kTouchFirstDown : kTouchSecondDown);
  }
}

}  // namespace

void window_handle_event(const platform::WindowEvent& ev) {
  ProcessRecord& p = orv_process();
  InputState& in = p.input;
  using K = platform::WindowEventKind;
  if (ev.from_touch && touch_as_touch()) return;
  // An edit box or dialog of the library takes what is meant for it.
  if (widgets_take_event(ev)) return;
  switch (ev.kind) {
    case K::kClose:
      on_close();
      break;
    case K::kQuit:
      // SIGINT or SIGTERM (SDL turns them into its quit event): the system or the player's
      // shell asks the program to end, so it ends as after a confirmed close, without asking.
      OrvEnd();
      break;
    case K::kMoved:
      geometry_on_moved(ev.x, ev.y);
      break;
    case K::kResized:
      if (!platform::window_is_minimized(p.window)) geometry_on_resized(ev.x, ev.y);
      break;
    case K::kMinimized:
      p.inactive = true;
      activation_changed();
      break;
    case K::kRestored:
      p.inactive = false;
      activation_changed();
      break;
    case K::kMaximized:
      // Maximising means full screen here; the window itself goes back to its size.
      platform::window_restore(p.window);
      toggle_request();
      break;
    case K::kFocusGained:
      p.active = true;
      p.inactive = platform::window_is_minimized(p.window);
      activation_changed();
      break;
    case K::kFocusLost:
      // The next frame sees the window inactive and clears the key words.
      p.active = false;
      p.inactive = true;
      in.keys_down = 0;
      activation_changed();
      break;
    case K::kMouseEnter:
      p.input.cursor_outside = false;
      break;
    case K::kMouseLeave:
      p.input.cursor_outside = true;
      break;
    case K::kMouseMove:
      in.cursor_x = in.client_origin_x + ev.x;
      in.cursor_y = in.client_origin_y + ev.y;
      cursor_on_mouse_move(p.cursor, platform::time_ms(), p.is_movie);
      apply_cursor_visibility();
      break;
    case K::kMouseDown:
      in.keys_down.fetch_or(button_bit(ev.button));
      vk_down_set(in, button_vk(ev.button), true);
      if (uint32_t event = mouse_press_event(ev.button, ev.clicks)) post_input(event);
      break;
    case K::kMouseUp:
      in.keys_down.fetch_and(~button_bit(ev.button));
      vk_down_set(in, button_vk(ev.button), false);
      break;
    case K::kWheel:
      post_input(kInputWheel, ev.y < 0 ? 1 : -1);
      break;
    case K::kKeyDown:
      in.keys_down.fetch_or(key_bit_for_vk(ev.vk));
      vk_down_set(in, ev.vk, true);
      if (ev.alt && ev.vk == 0x0D && !ev.repeat && !process_switches().close_confirm_off) {
        toggle_request();
      }
      break;
    case K::kKeyUp:
      in.keys_down.fetch_and(~key_bit_for_vk(ev.vk));
      vk_down_set(in, ev.vk, false);
      break;
    case K::kFingerDown:
    case K::kFingerUp:
    case K::kFingerMove:
      on_finger(ev);
      break;
    case K::kJoystickAdded:
    case K::kJoystickRemoved:
      p.joystick_rescan = true;
      break;
    default:
      break;
  }
}

namespace {

// How long the pump may sleep before a timer of the window thread is due: the cursor's
// auto-hide, and the question for the cursor's position while it is outside.
uint32_t pump_wait_ms() {
  ProcessRecord& p = orv_process();
  uint32_t wait = kPumpUntilEvent;
  const uint32_t now = platform::time_ms();
  const CursorState& c = p.cursor;
  if (c.timer_on) {
    const uint32_t gone = now - c.timer_start;
    wait = gone >= c.auto_hide_ms ? 1 : c.auto_hide_ms - gone;
  }
  if (p.input.cursor_outside) wait = std::min(wait, kCursorAskMs);
  return wait;
}

void cursor_tick() {
  ProcessRecord& p = orv_process();
  if (cursor_on_tick(p.cursor, platform::time_ms(), cursor_in_client_now())) {
    apply_cursor_visibility();
  }
}

}  // namespace

intptr_t window_message(const platform::Message& m) {
  ProcessRecord& p = orv_process();
  switch (m.id) {
    case kWndVideoEvents:
      video_window_events();
      return 0;
    case kWndRestore:
      return 0;  // the software renderer's output is never lost
    case kWndChangeMode:
      return geometry_change_mode(static_cast<int32_t>(m.wparam));
    case kWndEnd:
      p.end_pending = true;
      return 0;
    case kWndCall:
      if (m.wparam) reinterpret_cast<void (*)(void*)>(m.wparam)(reinterpret_cast<void*>(m.lparam));
      return 0;
    case kWndChangeSize:
      return geometry_change_size(static_cast<int32_t>(m.wparam), static_cast<int32_t>(m.lparam));
    case kWndChangeAspect:
      return geometry_change_aspect(static_cast<int32_t>(m.wparam));
    case kWndSetCursor:
      platform::cursor_set(p.cursor.current);
      return 0;
    case kWndShowCursor:
      if (m.wparam) {
        cursor_count_show(p.cursor);
      } else if (m.lparam != kShowCursorInClient || cursor_in_client_now()) {
        cursor_count_hide(p.cursor);
      }
      apply_cursor_visibility();
      return 0;
    case kWndPresent:
      frame_present_on_window();
      return 0;
    case kWndGlFrameShown:
      frame_shown_by_renderer();
      return 0;
    case kWndPadsStart:
      // The game thread opens the first pad on its next frame (and again on added events).
      if (platform::joysticks_start()) p.joystick_rescan = true;
      return 0;
    default:
      return 0;
  }
}

bool window_pump(uint32_t wait_ms) {
  ProcessRecord& p = orv_process();
  bool any = false;
  platform::WindowEvent ev;
  while (p.window && platform::event_poll(&ev)) {
    window_handle_event(ev);
    any = true;
  }
  if (p.window_queue.dispatch_all(window_message) > 0) any = true;
  if (p.window) {
    cursor_tick();
    debug_dumps_tick(platform::time_ms());
    uint32_t now = platform::time_ms();
    if (p.input.cursor_outside && now - p.input.cursor_asked >= kCursorAskMs) {
      p.input.cursor_asked = now;
      int32_t x = 0, y = 0;
      if (platform::cursor_global_position(&x, &y)) {
        p.input.cursor_x = x;
        p.input.cursor_y = y;
      }
    }
  }
  if (!any && wait_ms) {
    const uint32_t wait = std::min(wait_ms, pump_wait_ms());
    if (p.window && platform::event_wait_blocks()) {
      // Asleep until an event, a message (its post wakes the wait) or a cursor timer.
      if (platform::event_wait(&ev, wait == kPumpUntilEvent ? -1 : static_cast<int32_t>(wait))) {
        window_handle_event(ev);
      }
    } else {
      // No event source to sleep on: sleep on the queue, looking at the events now and then.
      p.window_queue.dispatch_one(window_message, std::min(wait, kHeadlessEventLookMs));
    }
  }
  return p.window != nullptr;
}

void window_apply_screensaver() {
  platform::screensaver_allow((orv_process().params.display_flags & kShowScreenSaverBit) != 0);
}

void end_program() {
  ProcessRecord& p = orv_process();
  if (p.system_end) return;
  p.end_requested = true;
  if (p.params.debug) {
    debug_dialog_destroy();
    std::string ini = orv_debug().base_folder + "/setting.ini";
    settings_write_int(ini, "MainWindow", "x", p.params.window_x);
    settings_write_int(ini, "MainWindow", "y", p.params.window_y);
  }
  OrvReleaseCursor();
  stop_threads();
  if (p.window) {
    platform::window_destroy(p.window);
    p.window = nullptr;
  }
  // Nobody serves the window's queue after this: a late send is answered at once with 0.
  p.window_queue.close();
}

void stop_threads() {
  ProcessRecord& p = orv_process();
  p.system_end = true;
  p.end_requested = true;
  // Each thread leaves at its next check; meanwhile this thread keeps answering sends, so a
  // thread that is waiting for a window request still gets its answer and can leave.
  if (p.work_thread.joinable()) {
    p.work_queue.post({kWorkStop, 0, 0});
    p.window_queue.wait_pumping([&] { return p.work_finished.is_set(); }, window_message);
    p.work_thread.join();
  }
  p.work_queue.close();
  if (p.game_thread.joinable()) {
    p.game_queue.post({kGameStop, 0, 0});
    p.window_queue.wait_pumping([&] { return p.game_finished.is_set(); }, window_message);
    p.game_thread.join();
  }
  p.game_queue.close();
}
