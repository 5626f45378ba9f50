// Frame pacing of the game thread, as a pure rule over a nanosecond clock.
//
// With wait mode 2 and a frame rate r > 0, frame k of a run ends at start + k * 1e9 / r ns,
// worked out from the run's start each time, so rounding never accumulates: 60 frames at 60
// take one second, not 60 x 16 ms. A frame whose work overran its end does not sleep; one that
// fell more than a whole frame behind (a stall, a load) starts a new run from now rather than
// hurrying through the missed frames; so does the first frame. Any other mode, a rate of -1 (no
// frame wait) or 0 sleeps 1 ms a frame and ends the run.
#pragma once

#include <cstdint>

struct FramePacer {
  bool running = false;
  int32_t rate = 0;       // the rate the run was planned for; a change starts a new run
  uint64_t start_ns = 0;  // the run's origin on the pacing clock
  uint64_t frames = 0;    // frames of the run paced so far
};

// How long to sleep now (ns) so that the frame ends on time; advances the run by one frame.
// now_ns is the pacing clock (platform::counter_ns() in the game thread).
inline uint64_t frame_pace_ns(FramePacer& p, uint64_t now_ns, int32_t frame_rate,
                              int32_t wait_mode) {
  constexpr uint64_t kSecond = 1000000000u, kIdle = 1000000u;
  if (frame_rate <= 0 || wait_mode != 2) {
    p.running = false;
    return kIdle;
  }
  const uint64_t rate = static_cast<uint64_t>(frame_rate);
  uint64_t end = p.start_ns + (p.frames + 1) * kSecond / rate;
  bool stalled = now_ns > end && now_ns - end > kSecond / rate;
  if (!p.running || p.rate != frame_rate || stalled) {
    // A new run: this frame ends now, the next one a frame from now.
    p = FramePacer{true, frame_rate, now_ns, 0};
    return 0;
  }
  ++p.frames;
  return now_ns < end ? end - now_ns : 0;
}
