#include "Orv/core/window/process.h"

#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/window_proc.h"
#include "platform/clock.h"
#include "platform/message_box.h"

ProcessSwitches& process_switches() {
  static ProcessSwitches switches;
  return switches;
}

void ProcessRecord::reset() {
  params = StartParams{};
  window = nullptr;
  gl_context = nullptr;
  window_handle = 0;
  running = active = inactive = is_movie = system_end = end_requested = end_pending = false;
  measured_fps = 0;
  clear_colour = 0xFF000000u;
  module_folder.clear();
  game_started.reset();
  work_started.reset();
  game_finished.reset();
  work_finished.reset();
  window_thread_id = game_thread_id = work_thread_id = std::thread::id{};
  for (platform::MessageQueue* q : {&window_queue, &game_queue, &work_queue}) {
    q->close();
    q->reopen();
  }
  pacer = FramePacer{};
  pacing_clock = fps_frames = fps_second_frames = fps_second_start = frames_drawn = 0;
  input.reset();
  cursor = CursorState{};
  joystick = nullptr;
  joystick_rescan = false;
  frame_time = 0;
}

bool on_window_thread() {
  return std::this_thread::get_id() == orv_process().window_thread_id.load();
}

intptr_t window_send(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  ProcessRecord& p = orv_process();
  platform::Message m{id, wparam, lparam};
  if (on_window_thread()) return window_message(m);
  return p.window_queue.send(m);
}

bool window_post(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  return orv_process().window_queue.post({id, wparam, lparam});
}

bool game_post_pumping(uint32_t id, uintptr_t wparam, intptr_t lparam, uint32_t timeout_ms) {
  ProcessRecord& p = orv_process();
  uint32_t start = platform::time_ms();
  while (!p.game_queue.post({id, wparam, lparam})) {
    if (platform::time_ms() - start >= timeout_ms) return false;
    if (on_window_thread()) {
      p.window_queue.dispatch_one(window_message, 1);
    } else {
      platform::sleep_ms(1);
    }
  }
  return true;
}

int process_box(const char* text, const char* caption, uint32_t style) {
  return platform::message_box(text, caption ? caption : "", style | platform::kMbTopMost);
}
