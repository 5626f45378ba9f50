// Frame pacing of the game thread, as a pure rule over the clock.
#pragma once

#include <cstdint>

// How long the game thread sleeps after a frame's work: with wait mode 2 the rest of the
// frame's budget (1000 / frame rate, unsigned) when the work since the last wait fits in it,
// else 1 ms; a frame rate of -1 (no frame wait) always 1 ms. now and pacing_clock are
// wrapping millisecond stamps.
inline uint32_t frame_sleep_ms(uint32_t now, uint32_t pacing_clock, int32_t frame_rate,
                               int32_t wait_mode) {
  if (frame_rate == 0) return 1;  // refused by OrvFrameRateSet; never divide by it
  uint32_t budget = frame_rate == -1 ? 0 : 1000u / static_cast<uint32_t>(frame_rate);
  uint32_t elapsed = now - pacing_clock;
  if (elapsed <= budget && wait_mode == 2 && frame_rate != -1) return budget - elapsed;
  return 1;
}
