#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace platform {
namespace {
std::atomic<ClockSource> g_source{nullptr};
}

uint32_t time_ms() {
  if (ClockSource source = g_source.load(std::memory_order_acquire)) return source();
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void set_clock_source(ClockSource source) {
  g_source.store(source, std::memory_order_release);
}

int64_t unix_time_s() {
  return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace platform
