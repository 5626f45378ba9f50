// The three waits: blocking tasks that end themselves.
#include "Orv/core/task_wait.h"

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "orv/orv.h"

namespace {

constexpr uint32_t kWaitLink = kTaskLinkAfter | kTaskBlocking;

void count_frames(void* data) {
  auto* w = static_cast<WaitFrames*>(data);
  if (w->frames == -1) return;
  // Unsigned, so that a negative count wraps instead of overflowing.
  w->frames = static_cast<int32_t>(static_cast<uint32_t>(w->frames) - 1);
  if (w->frames == 0) OrvTaskFree(0);
}

// Counting starts on the pass after the one that created the wait.
void start_frames(void*) {
  OrvTaskChangeNext(count_frames);
}

void check_time(void* data) {
  auto* w = static_cast<WaitTime*>(data);
  if (OrvtimeGetTime() - w->start >= w->ms) OrvTaskFree(0);
}

void start_time(void* data) {
  static_cast<WaitTime*>(data)->start = OrvtimeGetTime();
  OrvTaskChangeNext(check_time);
}

OrvHandle create_time_wait(uint32_t ms, OrvHandle reference, const char* name) {
  void* data = nullptr;
  OrvHandle task =
      OrvTaskCreate(start_time, nullptr, sizeof(WaitTime), &data, kWaitLink, reference, name);
  if (task) static_cast<WaitTime*>(data)->ms = ms;
  return task;
}

}  // namespace

extern "C" {

OrvHandle OrvWait(int32_t frames) {
  void* data = nullptr;
  OrvHandle task =
      OrvTaskCreate(start_frames, nullptr, sizeof(WaitFrames), &data, kWaitLink, 0, "OrvWait");
  if (task) static_cast<WaitFrames*>(data)->frames = frames == 0 ? -1 : frames;
  return task;
}

OrvHandle OrvWaitTime(uint32_t ms) {
  return create_time_wait(ms, 0, "OrvWait");
}

OrvHandle OrvWaitTimeEx(uint32_t ms, OrvHandle reference) {
  return create_time_wait(ms, reference, "OrvWaitTimeEx");
}

}  // extern "C"
