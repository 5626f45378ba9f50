// The sleeps and the high-resolution counter. Stateless: both binaries use them.
#pragma once

#include <cstdint>

namespace platform {

// Sleep(ms): at least ms milliseconds; 0 yields the processor.
void sleep_ms(uint32_t ms);

// Sleeps until counter_ns() reaches deadline_ns (returns at once when it already has).
void sleep_until_ns(uint64_t deadline_ns);

// A high-resolution counter in nanoseconds (QueryPerformanceCounter), from the monotonic
// clock; never injected, so it measures, it does not schedule.
uint64_t counter_ns();

}  // namespace platform
