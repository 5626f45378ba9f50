#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

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

void sleep_ms(uint32_t ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint64_t counter_ns() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

int64_t unix_time_s() {
  return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace platform
