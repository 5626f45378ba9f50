// Calendar time in the local time zone (our stand-in for GetLocalTime, now or of a file's time).
#pragma once

#include <cstdint>

namespace platform {

// A moment in the local time zone (GetLocalTime's fields).
struct LocalTime {
  int32_t year;     // in full
  int32_t month;    // 1-12
  int32_t day;      // 1-31
  int32_t weekday;  // 0 Sunday
  int32_t hour, minute, second;
  int32_t millisecond;  // 0-999
};

// The local time of a moment given in milliseconds since 1970.
LocalTime local_time_of(int64_t unix_ms);
// The local time now (GetLocalTime), read from the system's calendar clock.
LocalTime local_time_now();

}  // namespace platform
