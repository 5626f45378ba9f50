// The millisecond clock that stands in for timeGetTime, and the sleeps.
//
// Time is an unsigned 32-bit count of milliseconds that wraps; compare stamps by their
// unsigned difference, never by <. Tests replace the clock with their own source.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds from a monotonic clock (or the injected source), wrapping at 2^32.
uint32_t time_ms();

// Replaces the clock for this process: time_ms() returns source() until reset with null.
using ClockSource = uint32_t (*)();
void set_clock_source(ClockSource source);

// Sleep(ms): at least ms milliseconds; 0 yields the processor.
void sleep_ms(uint32_t ms);

// A high-resolution counter in nanoseconds (QueryPerformanceCounter).
uint64_t counter_ns();

// Seconds since 1970 from the wall clock (the C library's time()), for seeds; never injected.
int64_t unix_time_s();

}  // namespace platform
