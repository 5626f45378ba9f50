#include "platform/local_time.h"

#include <chrono>
#include <ctime>

namespace platform {

LocalTime local_time_of(int64_t unix_ms) {
  const std::time_t t = static_cast<std::time_t>(unix_ms / 1000);
  std::tm tm{};
  localtime_r(&t, &tm);
  const int64_t ms = unix_ms % 1000;
  return LocalTime{
      tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
      tm.tm_hour,        tm.tm_min,     tm.tm_sec,  static_cast<int32_t>(ms < 0 ? ms + 1000 : ms)};
}

LocalTime local_time_now() {
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return local_time_of(std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count());
}

}  // namespace platform
