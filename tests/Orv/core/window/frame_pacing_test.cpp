#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Orv/core/window/frame_pacing.h"

namespace {

constexpr uint64_t kMs = 1000000;

// The game thread's loop on a simulated clock: each frame works for work_ns (varying), then
// sleeps what the pacer asks, waking late by `overshoot` as a loaded machine does. Returns the
// clock at the end of each frame's wait (when the frame is drawn).
std::vector<uint64_t> run_frames(int frames, int32_t rate, uint64_t overshoot,
                                 uint64_t start = 5 * kMs) {
  FramePacer pacer;
  uint64_t clock = start;
  std::vector<uint64_t> drawn;
  for (int i = 0; i < frames; ++i) {
    clock += (2 + i % 5) * kMs;  // 2..6 ms of work
    uint64_t wait = frame_pace_ns(pacer, clock, rate, 2);
    if (wait > 0) clock += wait + overshoot;
    drawn.push_back(clock);
  }
  return drawn;
}

TEST(FramePacing, SixtyFramesAtSixtyTakeOneSecondWhateverTheWakeUpLatency) {
  struct Case {
    int32_t rate;
    uint64_t overshoot;
  };
  const Case cases[] = {{60, 0}, {60, 80000}, {60, 900000}, {30, 80000}, {144, 50000}};
  for (const Case& c : cases) {
    std::vector<uint64_t> drawn = run_frames(61, c.rate, c.overshoot);
    uint64_t took = drawn[60] - drawn[0];
    uint64_t want = 60 * 1000000000ull / static_cast<uint64_t>(c.rate);  // 1,000 ms at 60
    // Only the last wake-up's latency shows: it never adds up over the frames.
    EXPECT_GE(took, want) << c.rate << " fps, " << c.overshoot << " ns";
    EXPECT_LE(took, want + c.overshoot) << c.rate << " fps, " << c.overshoot << " ns";
  }
  // Far into the clock's range the schedule still holds.
  std::vector<uint64_t> drawn = run_frames(61, 60, 0, 1ull << 62);
  EXPECT_EQ(drawn[60] - drawn[0], 1000 * kMs);
}

TEST(FramePacing, AStallStartsANewRunInsteadOfHurryingThroughTheMissedFrames) {
  FramePacer pacer;
  uint64_t clock = 0;
  EXPECT_EQ(frame_pace_ns(pacer, clock, 60, 2), 0u);  // the first frame starts the run
  clock += 4 * kMs;
  EXPECT_EQ(frame_pace_ns(pacer, clock, 60, 2), 16666666u - 4 * kMs);
  clock = 16666666 + 20 * kMs;  // a little late: no sleep, the schedule kept
  EXPECT_EQ(frame_pace_ns(pacer, clock, 60, 2), 0u);
  clock = 50000000;  // the third frame ends on time again
  EXPECT_EQ(frame_pace_ns(pacer, clock, 60, 2), 0u);
  clock += 200 * kMs;  // a stall of twelve frames
  EXPECT_EQ(frame_pace_ns(pacer, clock, 60, 2), 0u);
  clock += 1 * kMs;  // the next frame is a whole frame after the stall, not at once
  EXPECT_EQ(frame_pace_ns(pacer, clock, 60, 2), 16666666u - 1 * kMs);
  // A new rate starts a new run.
  EXPECT_EQ(frame_pace_ns(pacer, clock + kMs, 30, 2), 0u);
  EXPECT_EQ(frame_pace_ns(pacer, clock + 2 * kMs, 30, 2), 33333333u - kMs);
}

TEST(FramePacing, WithoutAFrameWaitEachFrameSleepsOneMillisecond) {
  struct Case {
    int32_t rate, wait_mode;
  };
  const Case cases[] = {{-1, 2}, {0, 2}, {60, 1}, {60, 0}};  // a rate of 0 never divides
  for (const Case& c : cases) {
    FramePacer pacer;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(frame_pace_ns(pacer, i * 20 * kMs, c.rate, c.wait_mode), kMs)
          << c.rate << " fps, mode " << c.wait_mode;
    }
    EXPECT_FALSE(pacer.running);
  }
}

}  // namespace
