#include "Orv/core/frame_time.h"

#include "Orv/core/task_tree.h"
#include "orv/orv.h"
#include "platform/clock.h"

extern "C" {

uint32_t OrvUpdateTime(void) {
  uint32_t now = platform::time_ms();
  task_scheduler().frame_time.store(now, std::memory_order_release);
  return now;
}

uint32_t OrvtimeGetTime(void) {
  return task_scheduler().frame_time.load(std::memory_order_acquire);
}

uint32_t OrvClockGetTime(void) {
  return platform::time_ms();
}

}  // extern "C"
