// The millisecond clock that stands in for timeGetTime.
//
// Time is an unsigned 32-bit count of milliseconds that wraps; compare stamps by their
// unsigned difference, never by <. Tests replace the clock with their own source.
//
// State: the injected source is process-wide per copy of this library, and platform/ is linked
// into both binaries. libOrv.so owns the clock; the game program reads it only through the
// library's exports (OrvClockGetTime, OrvtimeGetTime), so that one injected clock drives a
// whole run. The sleeps and the counter (platform/sleep.h) hold no state.
#pragma once

#include <cstdint>

#include "platform/sleep.h"

namespace platform {

// Milliseconds from a monotonic clock (or the injected source), wrapping at 2^32.
uint32_t time_ms();

// Replaces the clock for this process: time_ms() returns source() until reset with null.
using ClockSource = uint32_t (*)();
void set_clock_source(ClockSource source);

// Seconds since 1970 from the wall clock (the C library's time()), for seeds; never injected.
int64_t unix_time_s();

}  // namespace platform
