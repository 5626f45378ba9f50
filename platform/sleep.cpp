#include "platform/sleep.h"

#include <chrono>
#include <thread>

namespace platform {

void sleep_ms(uint32_t ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void sleep_until_ns(uint64_t deadline_ns) {
  // An absolute wake-up on the counter's own clock: time spent before the call, and the
  // wake-up latency of one frame, are not added to the next.
  std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::nanoseconds(deadline_ns))));
}

uint64_t counter_ns() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

}  // namespace platform
