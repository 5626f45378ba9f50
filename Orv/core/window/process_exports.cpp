// The small accessors of the core, the thread hand-offs and the frame rate.
#include "Orv/core/files/file_access.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/process.h"
#include "Orv/core_alive.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/message_box.h"

namespace {
constexpr uint32_t kDisplayGpu = 0x8;
}

extern "C" {

int32_t OrvGetSystemParameters(StartParams* params) {
  if (!params) return 0;
  *params = orv_process().params;
  return 1;
}

int32_t IsActive(void) {
  ProcessRecord& p = orv_process();
  return p.active && !p.inactive ? 1 : 0;
}
int32_t IsMovie(void) {
  return orv_process().is_movie ? 1 : 0;
}
// From the end request on, so that loops that run the script (the work-thread runner
// included) stop after their current instruction, before the threads are told to stop.
int32_t IsSystemEnd(void) {
  ProcessRecord& p = orv_process();
  return p.system_end || p.end_requested ? 1 : 0;
}
uint32_t OrvGetWindowHandle(void) {
  return orv_core_alive() ? orv_process().window_handle : 0;
}
uint32_t OrvGetInstanceHandle(void) {
  return orv_process().params.instance;
}
const char* OrvGetCmdLine(void) {
  return orv_process().params.command_line;
}
int32_t OrvCheckWindowMode(void) {
  return orv_process().params.full_screen ? 1 : 0;
}
int32_t OrvCheckAspectMode(void) {
  return orv_process().params.aspect_mode;
}
int32_t OrvDebugIs(void) {
  return orv_core_alive() ? orv_process().params.debug : 0;
}
uint32_t Orv3DIs(void) {
  return orv_process().params.display_flags & kDisplayGpu;
}

// The active renderer, as every render-node callback receives it first: the renderer table
// (null before the system initialisation and after the end).
const void* OrvGetCore(void) {
  return render_renderer();
}
OrvHandle OrvGetRender(void) {
  return OrvRenderGetActive();
}
const char* OrvGetFilePath(void) {
  return file_base_folder();
}

int32_t OrvDisableChangeWindowMode(int32_t flag) {
  process_switches().close_confirm_off = flag;
  return flag;
}

uint32_t OrvGetChangeWindowModeTime(void) {
  return process_switches().change_mode_time;
}

uint32_t OrvSetChangeWindowModeTime(void) {
  uint32_t now = platform::time_ms();
  process_switches().change_mode_time = now;
  return now;
}

void OrvDebugDump(void) {}

int32_t OrvAttachWorkProcess(void (*func)(void*), void* arg) {
  if (!orv_core_alive()) return 0;
  // The queue refuses only once the work thread has been stopped: then nothing will run it.
  return orv_process().work_queue.post(
             {kWorkCall, reinterpret_cast<uintptr_t>(func), reinterpret_cast<intptr_t>(arg)})
             ? 1
             : 0;
}

int32_t OrvAttachProcess(void (*func)(void*), void* arg) {
  if (!orv_core_alive() || !func) return 0;
  window_send(kWndCall, reinterpret_cast<uintptr_t>(func), reinterpret_cast<intptr_t>(arg));
  return 0;
}

int32_t OrvIsWorkThreadId(void) {
  return std::this_thread::get_id() == orv_process().work_thread_id.load() ? 1 : 0;
}

int32_t OrvFrameRateSet(int32_t frame_rate) {
  if (frame_rate == 0) {
    // The rate divides the second: 0 is refused and the current rate stays.
    process_box("OrvFrameSkip zero div", "", platform::kMbOk);
    return 0;
  }
  orv_process().params.frame_rate = frame_rate;
  return 1;
}

}  // extern "C"
