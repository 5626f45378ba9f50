// The game thread: the start function, then one frame after another.
#include "Orv/core/window/game_thread.h"

#include "Orv/core/core_services.h"
#include "Orv/core/frame_time.h"
#include "Orv/core/movie/video_player.h"
#include "Orv/core/seams.h"
#include "Orv/core/task.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/frame_pacing.h"
#include "Orv/core/window/input_script.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/render/debug/debug_camera.h"
#include "Orv/render/font/fonts.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/transition/screen_transition.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/gl_context.h"
#include "platform/test_seams.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kRunWhileInactive = 0x1;  // display flag bit 0

// Runs a window request on the window thread while this thread holds the render lock, so that
// neither a frame nor the script (which runs each instruction under the lock) sees the window
// or the device change under it.
void forward(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  bool locked = render_lock_enter();
  window_send(id, wparam, lparam);
  if (locked) render_lock_leave();
}

// One message of the frame's drain; returns false for the stop message.
bool drain_one(const platform::Message& m) {
  ProcessRecord& p = orv_process();
  switch (m.id) {
    case kGameStop:
      return false;
    case kGameChangeMode:
      // A forbidden mode change is dropped here.
      if (!orv_geometry().change_enabled) break;
      process_switches().change_mode_time = platform::time_ms();
      forward(kWndChangeMode, m.wparam, 0);
      screen_transition_mode_changed();  // a running transition ends at its next step
      break;
    case kGameRestore:
      forward(kWndRestore, m.wparam, m.lparam);
      break;
    case kGameChangeSize:
      forward(kWndChangeSize, m.wparam, m.lparam);
      break;
    case kGameChangeAspect:
      forward(kWndChangeAspect, m.wparam, 0);
      break;
    case kGameToggleRequest:
      if (m.wparam == kInputToggleMode) p.input.event_word |= kEventToggleMode;
      break;
    case kGameInput:
      input_event_apply(p.input, static_cast<uint32_t>(m.wparam), m.lparam);
      break;
    default:
      break;
  }
  return true;
}

// The data block of the first top-level task (the game's main task); null without one.
void* main_task_data() {
  const TaskRecord* root = orv_services().tasks.root;
  return root && root->next ? root->next->data : nullptr;
}

void count_frame(ProcessRecord& p, uint32_t now) {
  ++p.fps_frames;
  if (now - p.fps_second_start >= 1000) {
    p.measured_fps = p.fps_frames - p.fps_second_frames;
    p.fps_second_frames = p.fps_frames;
    p.fps_second_start = now;
  }
}

}  // namespace

InputFrame input_frame_placement() {
  ProcessRecord& p = orv_process();
  InputFrame f;
  f.full_screen = p.params.full_screen != 0;
  f.window_x = p.params.window_x;
  f.window_y = p.params.window_y;
  f.client_width = p.params.client_width;
  f.client_height = p.params.client_height;
  const OrvRect& r = orv_geometry().client_rect;
  f.rect_left = r.left;
  f.rect_top = r.top;
  f.rect_width = r.right - r.left;
  f.rect_height = r.bottom - r.top;
  return f;
}

InputFrame input_frame_now(uint32_t frame_time) {
  ProcessRecord& p = orv_process();
  InputFrame f = input_frame_placement();
  f.inactive = !p.active || p.inactive || orv_geometry().sizing;
  f.screen_width = p.params.screen_width;
  f.screen_height = p.params.screen_height;
  f.frame_time = frame_time;
  // A pad that was unplugged or cannot be read reads as released, so nothing it held stays
  // pushed; it is closed, and a pad plugged in later is opened by the rescan.
  if (p.joystick_rescan.exchange(false)) {
    platform::Joystick* joy = p.joystick.load();
    if (!joy || !platform::joystick_attached(joy)) {
      if (joy) f.has_joystick = true;
      platform::joystick_close(p.joystick.exchange(nullptr));
      p.joystick = platform::joystick_open_first();
    }
  }
  if (platform::Joystick* joy = p.joystick.load()) {
    platform::JoystickState js;
    f.has_joystick = true;
    if (platform::joystick_read(joy, &js)) {
      f.joy_axis_x = js.axis_x;
      f.joy_axis_y = js.axis_y;
      f.joy_buttons = js.buttons;
    } else {
      platform::joystick_close(p.joystick.exchange(nullptr));
    }
  }
  return f;
}

bool game_frame() {
  ProcessRecord& p = orv_process();
  platform::fixed_step_clock_step();  // a test's fixed-step clock moves once a frame
  uint32_t now = OrvUpdateTime();
  p.frame_time = now;
  const InputFrame input_frame = input_frame_now(now);
  input_script_step(p.input, input_frame);  // headless runs: scripted keys and cursor
  input_update(p.input, input_frame);

  // Debug hotkeys: Ctrl+F11 the camera tool, Shift+F11 the sprite tool, either again (or any,
  // while a tool runs) ends it. There are no dialogs for the window thread to make, so the
  // request is carried out here, before the task pass.
  if (p.params.debug && !OrvEffectIs()) {
    uint32_t held = p.input.key_now, push = p.input.push;
    if ((held & kKeyCtrl) && (push & kKeyF11)) {
      debug_control(2);
    } else if ((held & kKeyShift) && (push & kKeyF11)) {
      debug_control(1);
    }
  }
  if (p.is_movie) video_frame_step();

  // After an end request no frame runs the task tree: no script instruction runs after the
  // script's own end.
  bool runs = (p.active && !p.inactive) || (p.params.display_flags & kRunWhileInactive);
  if (runs && !p.end_requested) {
    TaskTreeRun();  // takes the render lock itself
  }

  uint64_t clock_ns = platform::counter_ns();
  uint64_t wait_ns = frame_pace_ns(p.pacer, clock_ns, p.params.frame_rate, p.params.wait_mode);
  if (wait_ns > 0) {
    platform::sleep_until_ns(clock_ns + wait_ns);
  } else if (p.frames_drawn > 0) {
    // Late: only give the other threads a turn. Not on the first frame, which is not late but
    // starts the run: on a busy machine a turn given away comes back only after the other
    // programs had theirs, and the first picture would wait for it.
    platform::sleep_ms(0);
  }
  p.pacing_clock = platform::time_ms();

  if (p.params.debug) count_frame(p, p.pacing_clock);
  frame_draw();
  // The face lookup waits until the first frame is out: the window thread posts it when it
  // shows that frame; the GL renderer has shown it in frame_draw; this covers a window that
  // never shows one.
  if (p.frames_drawn < 2 && (++p.frames_drawn == 2 || p.gl_context)) fonts_look_up_faces_soon();
  input_end_frame(p.input);

  bool go_on = true;
  p.game_queue.dispatch_all([&](const platform::Message& m) -> intptr_t {
    if (!drain_one(m)) go_on = false;
    return 0;
  });
  return go_on;
}

void game_thread_main() {
  ProcessRecord& p = orv_process();
  p.game_thread_id = std::this_thread::get_id();
  // The GL renderer draws on this thread only, with the window's context current throughout.
  if (p.gl_context && !platform::gl_context_make_current(p.gl_context, nullptr)) {
    platform::stderr_line("OpenGL context could not be made current on the game thread");
  }
  p.game_started.set();
  OrvStartFunc start = p.params.start_func;
  if (!start || start() == 0) {
    p.end_requested = true;
    if (!p.system_end) window_post(kWndEnd);
    platform::gl_context_release(p.gl_context);
    p.game_finished.set();
    return;
  }
  while (game_frame()) {
  }
  // The end function runs under the render lock, which is left before the thread ends.
  bool locked = render_lock_enter();
  if (p.params.end_func) p.params.end_func(main_task_data());
  if (locked) render_lock_leave();
  platform::gl_context_release(p.gl_context);
  p.game_finished.set();
}

void work_thread_main() {
  ProcessRecord& p = orv_process();
  p.work_thread_id = std::this_thread::get_id();
  p.work_started.set();
  bool go_on = true;
  auto handle = [&](const platform::Message& m) -> intptr_t {
    if (m.id == kWorkStop) {
      go_on = false;
    } else if (m.id == kWorkCall && m.wparam) {
      reinterpret_cast<void (*)(void*)>(m.wparam)(reinterpret_cast<void*>(m.lparam));
    }
    return 0;
  };
  while (go_on) p.work_queue.dispatch_one(handle, 100);
  p.work_finished.set();
}
