#include "platform/local_time.h"

#include <ctime>

namespace platform {

LocalTime local_time_of(int64_t unix_ms) {
  const std::time_t t = static_cast<std::time_t>(unix_ms / 1000);
  std::tm tm{};
  localtime_r(&t, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
                   tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

}  // namespace platform
