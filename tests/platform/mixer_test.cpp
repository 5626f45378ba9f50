#include "platform/mixer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using platform::LockedRegion;
using platform::MixBuffer;
using platform::Mixer;
using platform::WaveFormat;

WaveFormat format_of(uint32_t rate, uint16_t channels, uint16_t bits) {
  WaveFormat f;
  f.channels = channels;
  f.samples_per_sec = rate;
  f.bits_per_sample = bits;
  f.block_align = uint16_t(channels * bits / 8);
  f.avg_bytes_per_sec = rate * f.block_align;
  return f;
}

// A stereo 16-bit buffer whose frame i holds (i, -i).
MixBuffer* ramp_buffer(Mixer& m, uint32_t frames, uint32_t rate = 44100) {
  MixBuffer* b = m.create_buffer(format_of(rate, 2, 16), frames * 4);
  LockedRegion r;
  EXPECT_TRUE(m.lock(b, 0, 0, &r));
  auto* s = reinterpret_cast<int16_t*>(r.part1);
  for (uint32_t i = 0; i < frames; ++i) {
    s[2 * i] = int16_t(i);
    s[2 * i + 1] = int16_t(-int32_t(i));
  }
  m.unlock(b, r);
  return b;
}

std::vector<int16_t> pull(Mixer& m, uint32_t frames) {
  std::vector<int16_t> out(frames * 2);
  m.mix(out.data(), frames);
  return out;
}

TEST(Mixer, PlaysSamplesUnchangedAtFullVolumeAndStopsAtTheEnd) {
  Mixer m;
  MixBuffer* b = ramp_buffer(m, 100);
  EXPECT_EQ(pull(m, 4), std::vector<int16_t>(8, 0));  // stopped: silence
  ASSERT_TRUE(m.play(b, false));
  EXPECT_EQ(m.status(b), platform::kStatusPlaying);
  auto out = pull(m, 150);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(out[2 * i], i);
    ASSERT_EQ(out[2 * i + 1], -i);
  }
  for (int i = 200; i < 300; ++i) ASSERT_EQ(out[i], 0);
  EXPECT_EQ(m.status(b), 0u);
}

TEST(Mixer, LoopsStopsAndResumesFromTheCursor) {
  Mixer m;
  MixBuffer* b = ramp_buffer(m, 10);
  m.play(b, true);
  EXPECT_EQ(m.status(b), platform::kStatusPlaying | platform::kStatusLooping);
  auto out = pull(m, 25);
  EXPECT_EQ(out[2 * 12], 2);  // wrapped around
  uint32_t play = 0, write = 0;
  m.get_position(b, &play, &write);
  EXPECT_EQ(play, 5u * 4);
  m.stop(b);  // a pause keeps the cursor
  EXPECT_EQ(pull(m, 3)[0], 0);
  m.play(b, true);
  EXPECT_EQ(pull(m, 1)[0], 5);
}

TEST(Mixer, VolumeAndPanFollowTheDecibelLaw) {
  struct Case {
    int32_t volume, pan;
    float left, right;
  } cases[] = {
      {0, 0, 1.0f, 1.0f},     {-602, 0, 0.5f, 0.5f}, {-2000, 0, 0.1f, 0.1f},
      {0, 2000, 0.1f, 1.0f},  {0, -602, 1.0f, 0.5f}, {-10000, 0, 0.0f, 0.0f},
      {500, 0, 1.0f, 1.0f},  // never above 0 dB
      {0, 10000, 0.0f, 1.0f},
  };
  for (const Case& c : cases) {
    Mixer m;
    MixBuffer* b = m.create_buffer(format_of(44100, 2, 16), 400);
    LockedRegion r;
    m.lock(b, 0, 0, &r);
    auto* s = reinterpret_cast<int16_t*>(r.part1);
    for (int i = 0; i < 200; ++i) s[i] = 20000;
    m.set_volume(b, c.volume);
    m.set_pan(b, c.pan);
    m.play(b, true);
    auto out = pull(m, 10);
    EXPECT_NEAR(out[0], 20000 * c.left, 2) << c.volume << " " << c.pan;
    EXPECT_NEAR(out[1], 20000 * c.right, 2) << c.volume << " " << c.pan;
  }
  EXPECT_NEAR(platform::volume_gain(-602), 0.5f, 0.001f);
}

TEST(Mixer, FrequencyAndFormatSetThePlaybackSpeed) {
  Mixer m;
  // 22,050 Hz mono 8-bit: each source frame lasts two output frames.
  MixBuffer* b = m.create_buffer(format_of(22050, 1, 8), 100);
  LockedRegion r;
  m.lock(b, 0, 0, &r);
  for (int i = 0; i < 100; ++i) r.part1[i] = uint8_t(128 + i);
  m.play(b, false);
  auto out = pull(m, 201);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 128);  // halfway between 0 and 256, linear
  EXPECT_EQ(out[4], 256);
  EXPECT_EQ(out[5], 256);      // mono goes to both sides
  EXPECT_EQ(m.status(b), 0u);  // 100 frames at half speed end within 201 output frames

  MixBuffer* fast = ramp_buffer(m, 1000);
  ASSERT_TRUE(m.set_frequency(fast, 88200));
  EXPECT_EQ(m.frequency(fast), 88200u);
  EXPECT_FALSE(m.set_frequency(fast, 50));
  m.play(fast, false);
  auto twice = pull(m, 10);
  EXPECT_EQ(twice[2 * 3], 6);
  uint32_t play = 0;
  m.get_position(fast, &play, nullptr);
  EXPECT_EQ(play, 20u * 4);
}

TEST(Mixer, DuplicatesShareSamplesAndKeepTheirOwnState) {
  Mixer m;
  MixBuffer* b = ramp_buffer(m, 50);
  MixBuffer* d = m.duplicate_buffer(b);
  ASSERT_NE(d, nullptr);
  m.set_volume(b, -10000);
  m.play(d, false);
  EXPECT_EQ(pull(m, 8)[2 * 7], 7);  // only the duplicate sounds
  m.release_buffer(b);              // the samples live on with the duplicate
  EXPECT_EQ(pull(m, 1)[0], 8);
  m.release_buffer(d);
}

TEST(Mixer, NotificationsFireWhenTheCursorReachesTheirOffsets) {
  Mixer m;
  MixBuffer* b = ramp_buffer(m, 100);
  std::vector<uint32_t> fired;
  auto record = [](void* ctx, uint32_t index) {
    static_cast<std::vector<uint32_t>*>(ctx)->push_back(index);
  };
  const uint32_t offsets[] = {0, 200, platform::kNotifyStop};
  ASSERT_TRUE(m.set_notifications(b, offsets, 3, record, &fired));
  m.play(b, true);
  EXPECT_EQ(fired, (std::vector<uint32_t>{0}));  // playback starts on offset 0
  pull(m, 49);
  EXPECT_EQ(fired.size(), 1u);
  pull(m, 1);
  EXPECT_EQ(fired, (std::vector<uint32_t>{0, 1}));
  pull(m, 50);  // wraps onto offset 0
  EXPECT_EQ(fired, (std::vector<uint32_t>{0, 1, 0}));
  m.stop(b);
  EXPECT_EQ(fired.back(), 2u);
  const uint32_t outside[] = {400};
  EXPECT_FALSE(m.set_notifications(b, outside, 1, record, &fired));
}

TEST(Mixer, RefusesBadFormatsSizesAndRegions) {
  Mixer m;
  EXPECT_EQ(m.create_buffer(format_of(44100, 3, 16), 600), nullptr);
  EXPECT_EQ(m.create_buffer(format_of(44100, 2, 24), 600), nullptr);
  EXPECT_EQ(m.create_buffer(format_of(44100, 2, 16), 0), nullptr);
  EXPECT_EQ(m.create_buffer(format_of(44100, 2, 16), 6), nullptr);  // not whole frames
  MixBuffer* b = ramp_buffer(m, 10);
  LockedRegion r;
  EXPECT_FALSE(m.lock(b, 40, 4, &r));
  EXPECT_FALSE(m.lock(b, 0, 44, &r));
  ASSERT_TRUE(m.lock(b, 32, 16, &r));  // wraps
  EXPECT_EQ(r.bytes1, 8u);
  EXPECT_EQ(r.bytes2, 8u);
  EXPECT_FALSE(m.set_pan(b, 10001));
  EXPECT_FALSE(m.play(nullptr, false));
}

TEST(Mixer, SilentOutputStillAdvances) {
  Mixer m;
  MixBuffer* b = ramp_buffer(m, 100);
  m.set_silent(true);
  m.play(b, false);
  EXPECT_EQ(pull(m, 10)[18], 0);
  m.set_silent(false);
  EXPECT_EQ(pull(m, 1)[0], 10);
}

}  // namespace

namespace {

TEST(Mixer, OutputConsumesTheMixInRealTime) {
  // An SDL device under the dummy driver, or the null output where none opens: either way the
  // cursor of a playing buffer moves on its own.
  Mixer m;
  ASSERT_TRUE(m.open_output());
  MixBuffer* b = ramp_buffer(m, 44100);
  m.play(b, true);
  uint32_t play = 0;
  for (int i = 0; i < 200 && play == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    m.get_position(b, &play, nullptr);
  }
  EXPECT_GT(play, 0u);
  m.close_output();
}

}  // namespace
