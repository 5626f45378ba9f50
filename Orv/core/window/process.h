// The process record: start parameters, the window, the threads and their queues, and the
// state of input and cursor. One member of CoreRecord; the window geometry, the frame handed to
// the window and the debug log keep records of their own beside it (window_geometry.h,
// frame_draw.h, debug_log.h), so that this header includes none of them.
//
// Threads (see also app_messages.h):
// - the window thread is the thread that calls OrvInit and OrvRun: every SDL video, event and
//   cursor call happens there, and every wait there keeps serving its queue (sends from the
//   other threads would otherwise block both sides);
// - the game thread runs the frames (game_thread.cpp);
// - the work thread runs the functions posted with OrvAttachWorkProcess.
// Nothing is ever killed or suspended: an end request sets end_requested at once (no frame
// runs the task tree after it) and each thread leaves at its next check.
//
// Exports (orv/exports.h, "process and window"; geometry in window_geometry.h):
//
//   void OrvDefaultCreate(StartParams* p)   fills p with the defaults (window centred on the
//                                            desktop or its override). Before OrvInit.
//   int32_t OrvInit(StartParams* p)          window thread. Starts SDL video, makes the window
//     (without GL where the driver has none) and builds the core; the GPU bit of the display
//     flags is cleared while the software renderer draws. 0 for a null p, a zero client size,
//     no video, no window (box) or a failed system-init step (its numbered box); OrvUninit
//     then takes down what was built. 1 on success.
//   int32_t OrvRun(void)                     window thread. Starts the work and game threads,
//     switches to full screen when p asked for it, and serves the window until the end;
//     returns 0, or -1 when a thread cannot be started.
//   void OrvEnd(void)                        any thread. Posts the end request and returns;
//     from then on no frame runs the task tree, IsSystemEnd is 1, and OrvRun returns once the
//     work and game threads have left (the game thread's end function runs first).
//   int32_t OrvUninit(void)                  window thread, after OrvRun. Stops what still
//     runs, ends every task, frees the core; 1, or 0 without a core.
//   int32_t OrvGetSystemParameters(StartParams* p)  copies the current parameters; 0 for null.
//   IsActive (active and not minimised), IsMovie, IsSystemEnd, OrvCheckWindowMode (1 full
//   screen), OrvCheckAspectMode, OrvDebugIs, Orv3DIs (display flags AND 8), OrvGetCmdLine,
//   OrvGetInstanceHandle, OrvGetWindowHandle (the window's 32-bit id, 0 without a core):
//     read single words; any thread.
//   int32_t OrvDisableChangeWindowMode(int32_t flag)  nonzero: Alt+Enter does nothing and the
//     window closes without the question. Returns flag.
//   uint32_t OrvGetChangeWindowModeTime(void), OrvSetChangeWindowModeTime(void)  the clock stamp
//     of the last window-mode change (set stores now and returns it).
//   int32_t OrvAttachWorkProcess(void (*f)(void*), void* arg)  posts f(arg) to the work thread,
//     run in posting order; 1, or 0 without a core or once the work thread has been stopped.
//   int32_t OrvAttachProcess(void (*f)(void*), void* arg)  runs f(arg) on the window thread and
//     waits for it; returns 0.
//   int32_t OrvIsWorkThreadId(void)          1 on the work thread.
//   int32_t OrvFrameRateSet(int32_t fps)     the game thread's frames per second (-1: no frame
//     wait); 0 is refused with the box "OrvFrameSkip zero div" and the rate kept (result 0).
//   void OrvDebugDump(void)                  does nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "Orv/core/window/cursor.h"
#include "Orv/core/window/frame_pacing.h"
#include "Orv/core/window/input.h"
#include "orv/start_params.h"
#include "platform/message_queue.h"
#include "platform/sync.h"

namespace platform {
struct Window;
struct Joystick;
struct GlContext;
}  // namespace platform

struct ProcessRecord {
  StartParams params{};
  platform::Window* window = nullptr;
  // The window's GL context when the GL renderer draws: made on the window thread, current on
  // the game thread while it runs.
  platform::GlContext* gl_context = nullptr;
  uint32_t window_handle = 0;

  std::atomic<bool> running{false};
  std::atomic<bool> active{false};
  std::atomic<bool> inactive{false};  // inactive or minimised
  std::atomic<bool> is_movie{false};
  std::atomic<bool> system_end{false};
  std::atomic<bool> end_requested{false};
  // The end message arrived; the window thread's loop ends the program at its top level, never
  // inside a handler whose sender it would then wait for.
  std::atomic<bool> end_pending{false};
  std::atomic<uint32_t> measured_fps{0};
  uint32_t clear_colour = 0xFF000000u;
  std::string module_folder;

  // Threads.
  std::thread game_thread, work_thread;
  platform::Event game_started{true}, work_started{true};
  platform::Event game_finished{true}, work_finished{true};
  std::atomic<std::thread::id> window_thread_id{}, game_thread_id{}, work_thread_id{};
  platform::MessageQueue window_queue, game_queue, work_queue;

  // Frame pacing and the frame-rate measurement (game thread).
  FramePacer pacer;
  uint32_t pacing_clock = 0;  // time_ms() at the end of the last frame's wait
  uint32_t fps_frames = 0, fps_second_frames = 0, fps_second_start = 0;
  uint32_t frames_drawn = 0;  // frames drawn so far, counted up to 2 (start-up work after them)

  InputState input;
  CursorState cursor;
  // Opened at init; after that the game thread owns it: it reopens the first attached pad when
  // the window thread reports a pad plugged or unplugged (joystick_rescan), or a read fails.
  std::atomic<platform::Joystick*> joystick{nullptr};
  std::atomic<bool> joystick_rescan{false};
  uint32_t frame_time = 0;  // the game thread's frame stamp
  // The debug tool's task while one runs (Orv/render/debug/debug_camera.h), else 0. Game
  // thread, under the render lock.
  OrvHandle debug_tool = 0;

  void reset();
};

ProcessRecord& orv_process();

// Library-wide switches (exist before and after the core).
struct ProcessSwitches {
  std::atomic<int32_t> close_confirm_off{0};  // OrvDisableChangeWindowMode
  std::atomic<uint32_t> change_mode_time{0};
  std::atomic<int32_t> init_result{0};
  // Test seam: the number of the system-init step that is made to fail (0: none).
  std::atomic<int32_t> fail_init_step{0};
};
ProcessSwitches& process_switches();

// Whether the calling thread is the window thread.
bool on_window_thread();
// Runs a window message: directly on the window thread, else sent there and waited for.
intptr_t window_send(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0);
// Posts to the window thread (returns at once).
bool window_post(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0);
// Posts to the game thread while serving the window thread's queue, for at most timeout_ms;
// false when it could not be posted.
bool game_post_pumping(uint32_t id, uintptr_t wparam, intptr_t lparam, uint32_t timeout_ms);

// A message box owned by the library: topmost, text and caption Shift-JIS.
int process_box(const char* text, const char* caption, uint32_t style);
