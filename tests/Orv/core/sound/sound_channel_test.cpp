// Sound channels driven without a sound thread: the test takes the thread's passes itself,
// pulls the mix from the mixer and moves a fake clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "Orv/core/sound/sound_source.h"
#include "Orv/core/sound/sound_system.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

using testsupport::frame_index;
using testsupport::WavLayout;

uint32_t g_now = 0;
uint32_t fake_now() {
  return g_now;
}
// Moves the fake clock and takes a new frame time from it, as the game thread does each frame.
void set_now(uint32_t t) {
  g_now = t;
  OrvUpdateTime();
}

class SoundChannels : public testing::Test {
 protected:
  void SetUp() override {
    platform::set_clock_source(&fake_now);
    set_now(100000);
    ASSERT_TRUE(sound_system_start(SoundStartOptions{false, false}));
  }
  void TearDown() override {
    sound_system_destroy();
    platform::set_clock_source(nullptr);
  }

  // Writes a WAV file into the test folder and returns its path.
  std::string wav(const std::string& name, const WavLayout& layout) {
    const std::string path = dir / name;
    testsupport::write_file(path, testsupport::make_wav(layout));
    return path;
  }
  // A stereo 16-bit WAV whose every sample is `value`.
  std::string constant_wav(const std::string& name, int16_t value, uint32_t frames) {
    WavLayout layout;
    layout.samples.clear();
    for (uint32_t i = 0; i < 2 * frames; ++i) testsupport::put16(layout.samples, uint16_t(value));
    return wav(name, layout);
  }
  std::vector<int16_t> pull(uint32_t frames) {
    std::vector<int16_t> out(size_t(frames) * 2);
    sound_mixer()->mix(out.data(), frames);
    return out;
  }
  // Ten milliseconds of output, then one pass of the sound thread ten milliseconds later.
  std::vector<int16_t> tick() {
    auto out = pull(441);
    set_now(g_now + 10);
    sound_pass();
    return out;
  }
  int32_t buffer_volume(OrvSoundHandle h) {
    return sound_mixer()->volume(sound_channel(h)->buffer);
  }

  testsupport::TempDir dir;
};

TEST(SoundLevel, DecibelRule) {
  struct Case {
    int32_t type, channel, master, db;
  } cases[] = {
      {10000, 10000, 10000, 0},     {10000, 0, 10000, -10000},  {10000, 10000, 5000, -602},
      {10000, 5000, 10000, -602},   {1, 10000, 10000, -8000},   {10000, 10000, 0, -10000},
      {10000, -500, 10000, -10000}, {10000, 10000, -3, -10000}, {10000, 2000000000, 10000, 10602},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sound_decibels(sound_level(c.type, c.channel), c.master), c.db)
        << c.type << " " << c.channel << " " << c.master;
}

TEST_F(SoundChannels, StaticSoundPlaysStopsPausesAndResumes) {
  OrvSoundSetVolume(10000, 5);
  const OrvSoundHandle h = OrvSoundLoad(constant_wav("se.wav", 1000, 4410).c_str(), 5, nullptr);
  ASSERT_EQ(h, 0x50000000u);
  EXPECT_EQ(OrvSoundGetChannelCount(5), 63);
  ASSERT_EQ(OrvSoundPlay(h, 0), 1);  // at once, on the caller's thread
  EXPECT_EQ(OrvSoundPlayIs(h), 1);
  EXPECT_EQ(pull(10)[0], 1000);

  ASSERT_EQ(OrvSoundPause(h, 1, 0), 1);
  EXPECT_EQ(OrvSoundPause(h, 1, 0), 0);  // already pausing
  sound_pass();
  EXPECT_EQ(OrvSoundPlayIs(h), 0);
  EXPECT_EQ(pull(10)[0], 0);
  ASSERT_EQ(OrvSoundPause(h, 0, 0), 1);
  sound_pass();
  EXPECT_EQ(pull(10)[0], 1000);
  uint32_t cursor = 0;
  sound_mixer()->get_position(sound_channel(h)->buffer, &cursor, nullptr);
  EXPECT_EQ(cursor, 20u * 4);  // resumed where it paused

  ASSERT_EQ(OrvSoundStop(h), 1);
  sound_pass();
  EXPECT_EQ(pull(10)[0], 0);
  EXPECT_EQ(OrvSoundStop(h), 0);  // not playing
  // A stopped static sound keeps its data and plays again; played out, it stops by itself.
  ASSERT_EQ(OrvSoundPlay(h, 0), 1);
  EXPECT_EQ(pull(4410).back(), 1000);
  pull(1);
  EXPECT_EQ(OrvSoundPlayIs(h), 0);
  ASSERT_EQ(OrvSoundRelease(h), 1);
  sound_pass();
  EXPECT_EQ(OrvSoundGetChannelCount(5), 64);
  EXPECT_EQ(OrvSoundPlay(h, 0), 0);
}

// Stopping, releasing or playing again ends a pause: the next pause of the channel (or of
// the sound loaded into it next) pauses.
TEST_F(SoundChannels, StopReleaseAndReplayEndAPause) {
  enum class After { kStop, kRelease, kReplay };
  for (int32_t type : {5, 3}) {
    for (After after : {After::kStop, After::kRelease, After::kReplay}) {
      SCOPED_TRACE(testing::Message() << "type " << type << ", after " << int(after));
      const std::string path = constant_wav("s.wav", 1000, 44100);
      OrvSoundHandle h = OrvSoundLoad(path.c_str(), type, nullptr);
      ASSERT_NE(h, 0u);
      ASSERT_EQ(OrvSoundPlay(h, 1), 1);
      sound_pass();
      ASSERT_EQ(OrvSoundPause(h, 1, 0), 1);
      sound_pass();
      switch (after) {
        case After::kStop:
          ASSERT_EQ(OrvSoundStop(h), 1);
          sound_pass();
          if (type == 3) h = OrvSoundLoad(path.c_str(), type, nullptr);  // a stopped stream unloads
          break;
        case After::kRelease:
          ASSERT_EQ(OrvSoundRelease(h), 1);
          sound_pass();
          h = OrvSoundLoad(path.c_str(), type, nullptr);
          ASSERT_NE(h, 0u);
          break;
        case After::kReplay:
          break;
      }
      ASSERT_EQ(OrvSoundPlay(h, 1), 1);
      sound_pass();
      EXPECT_EQ(OrvSoundPause(h, 1, 0), 1);
      sound_pass();
      OrvSoundRelease(h);
      sound_pass();
    }
  }
}

TEST_F(SoundChannels, VolumeByChannelTypeAndMaster) {
  const OrvSoundHandle h = OrvSoundLoad(constant_wav("se.wav", 1000, 100).c_str(), 4, nullptr);
  ASSERT_NE(h, 0u);
  OrvSoundPlay(h, 1);
  EXPECT_EQ(buffer_volume(h), -10000);  // type volumes 4-7 start at 0
  EXPECT_EQ(OrvSoundSetVolume(12000, 4), 1);
  int32_t stored = 0;
  EXPECT_EQ(OrvSoundGetVolume(&stored, 4), 10000);
  EXPECT_EQ(buffer_volume(h), 0);
  EXPECT_EQ(OrvSoundSetVolume(100, 8), 0);
  EXPECT_EQ(OrvSoundGetVolume(&stored, 8), -1);
  OrvSoundSetVolumeChannel(h, 5000);
  EXPECT_EQ(OrvSoundGetVolumeChannel(h), 5000);
  EXPECT_EQ(buffer_volume(h), -602);
  OrvSoundSetPrimaryVolume(5000);
  EXPECT_EQ(OrvSoundGetPrimaryVolume(), 5000);
  EXPECT_EQ(buffer_volume(h), -1204);
  EXPECT_NEAR(pull(1)[0], 250, 1);
  OrvSoundSetVolume(5000, 4);
  EXPECT_EQ(buffer_volume(h), -1806);

  EXPECT_EQ(OrvSoundSetPanChannel(h, -10000), 1);
  auto out = pull(1);
  EXPECT_GT(out[0], 0);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(OrvSoundSetFreq(h, 22050), 1);
  EXPECT_EQ(OrvSoundGetFreq(h), 22050);
}

TEST_F(SoundChannels, FadesFollowTheClock) {
  OrvSoundSetVolume(10000, 5);
  const OrvSoundHandle h = OrvSoundLoad(constant_wav("se.wav", 1000, 1000).c_str(), 5, nullptr);
  const uint32_t t0 = g_now;
  ASSERT_EQ(OrvSoundPlayFade(h, 1, 1000), 1);
  sound_pass();
  EXPECT_EQ(buffer_volume(h), -10000);
  EXPECT_EQ(OrvSoundGetState(h), 1);
  OrvSoundPause(h, 1, 0);  // no command is taken while the fade runs
  struct Step {
    uint32_t at;
    int32_t volume;
  } steps[] = {{500, -602}, {900, -91}, {990, -8}, {1000, 0}};
  for (const Step& s : steps) {
    set_now(t0 + s.at);
    sound_pass();
    EXPECT_EQ(buffer_volume(h), s.volume) << s.at;
    EXPECT_EQ(OrvSoundPlayIs(h), 1) << s.at;
  }
  EXPECT_EQ(OrvSoundGetState(h), 0);
  sound_pass();  // now the pause
  EXPECT_EQ(OrvSoundPlayIs(h), 0);
  OrvSoundPause(h, 0, 0);
  sound_pass();

  OrvSoundPlay(h, 1);
  ASSERT_EQ(OrvSoundStopFade(h, 2000), 1);
  const uint32_t t1 = g_now;
  sound_pass();
  EXPECT_EQ(OrvSoundGetState(h), 2);
  EXPECT_EQ(OrvSoundStopFade(h, 500), 1);  // a fade-out already runs: nothing changes
  EXPECT_EQ(sound_channel(h)->fade_time, 2000);
  set_now(t1 + 1000);
  sound_pass();
  EXPECT_EQ(buffer_volume(h), -602);
  set_now(t1 + 2000);
  sound_pass();
  sound_pass();
  EXPECT_EQ(OrvSoundPlayIs(h), 0);

  // A pause with a fade-out pauses when the fade ends; the resume fades back in.
  OrvSoundPlay(h, 1);
  const uint32_t t2 = g_now;
  ASSERT_EQ(OrvSoundPause(h, 1, 500), 1);
  set_now(t2 + 250);
  sound_pass();
  EXPECT_EQ(buffer_volume(h), -602);
  set_now(t2 + 500);
  sound_pass();
  sound_pass();
  EXPECT_EQ(OrvSoundPlayIs(h), 0);
  ASSERT_EQ(OrvSoundPause(h, 0, 400), 1);
  sound_pass();
  EXPECT_EQ(OrvSoundPlayIs(h), 1);
  EXPECT_EQ(buffer_volume(h), -10000);
  set_now(g_now + 200);
  sound_pass();
  EXPECT_EQ(buffer_volume(h), -602);
}

TEST_F(SoundChannels, CommandsAreNotHeldBackByAnotherCommandsCode) {
  OrvSoundSetVolume(10000, 5);
  const std::string path = constant_wav("se.wav", 1000, 1000);
  const OrvSoundHandle a = OrvSoundLoad(path.c_str(), 5, nullptr);
  const OrvSoundHandle b = OrvSoundLoad(path.c_str(), 5, nullptr);
  OrvSoundPlayFade(a, 0, 0);
  OrvSoundPlayFade(b, 0, 0);
  sound_pass();  // a's play sets the completion code to 2; b is taken in the same pass
  EXPECT_EQ(OrvSoundPlayIs(a), 1);
  EXPECT_EQ(OrvSoundPlayIs(b), 1);
  EXPECT_EQ(sound_record().completion.load(), 2);
}

// The music frames heard, as indexes of the source frames, from `frames` of output.
std::vector<uint32_t> heard(const std::vector<int16_t>& out) {
  std::vector<uint32_t> frames;
  for (size_t i = 0; i + 1 < out.size(); i += 2) frames.push_back(frame_index(out[i], out[i + 1]));
  return frames;
}

TEST_F(SoundChannels, MusicStreamsThroughItsBufferWithLoopPoints) {
  WavLayout layout;
  layout.samples = testsupport::indexed_frames(110250);  // 2.5 s
  const BgmLoopPoints points{1, 0, 176400, 0};           // loop back to 1.0 s
  const OrvSoundHandle h = OrvSoundLoad(wav("bgm.wav", layout).c_str(), 3, &points);
  ASSERT_EQ(h, 0x20000000u);
  EXPECT_EQ(OrvSoundGetNowChannel(), 0);
  EXPECT_EQ(OrvSoundGetParam(0, 2), 110250 * 4);
  ASSERT_EQ(OrvSoundPlay(h, 1), 1);
  sound_pass();
  EXPECT_EQ(OrvSoundGetParam(0, 8), 1);
  // Seven seconds: through both halves of the buffer several times and the loop twice.
  std::vector<uint32_t> frames;
  for (int i = 0; i < 700; ++i) {
    auto out = heard(tick());
    frames.insert(frames.end(), out.begin(), out.end());
  }
  uint32_t expected = 0;
  for (size_t k = 0; k < frames.size(); ++k) {
    if (k >= 441) {  // after the 10 ms fade-in
      ASSERT_EQ(frames[k], expected) << "output frame " << k;
    }
    if (++expected == 110250) expected = 44100;
  }
  // The play position follows what was heard, looping the same way.
  const uint32_t heard_bytes = uint32_t(frames.size()) * 4;
  const uint32_t position = (heard_bytes - 110250 * 4) % (66150 * 4) + 44100 * 4;
  EXPECT_NEAR(double(OrvSoundGetParam(0, 23)), double(position), 441 * 4 * 2);
}

TEST_F(SoundChannels, PlayingMusicAgainStartsOverInOrder) {
  WavLayout layout;
  layout.samples = testsupport::indexed_frames(44100 * 4);
  const OrvSoundHandle h = OrvSoundLoad(wav("bgm.wav", layout).c_str(), 3, nullptr);
  OrvSoundPlay(h, 1);
  sound_pass();
  for (int i = 0; i < 150; ++i) tick();  // 1.5 s: into the second half of the buffer
  OrvSoundPlayFade(h, 1, 0);
  sound_pass();
  std::vector<uint32_t> frames;
  for (int i = 0; i < 300; ++i) {
    auto out = heard(tick());
    frames.insert(frames.end(), out.begin(), out.end());
  }
  for (uint32_t k = 441; k < frames.size(); ++k) ASSERT_EQ(frames[k], k) << k;  // after the fade-in
}

TEST_F(SoundChannels, MusicWithoutLoopPlaysOnceAndReleasesItself) {
  WavLayout layout;
  layout.samples = testsupport::indexed_frames(44100);
  const OrvSoundHandle h = OrvSoundLoad(wav("bgm.wav", layout).c_str(), 3, nullptr);
  ASSERT_EQ(OrvSoundPlay(h, 0), 1);
  sound_pass();
  uint32_t frames_out = 0, last_frame = 0;
  while (OrvSoundGetParam(0, 7) == 1 && frames_out < 44100 * 6) {
    auto out = heard(tick());
    for (uint32_t f : out) {
      if (f != 0) last_frame = f;
    }
    frames_out += 441;
    if (frames_out <= 44100) {
      ASSERT_EQ(OrvSoundGetParam(0, 7), 1) << "released before its end";
    }
  }
  EXPECT_EQ(last_frame, 44099u);
  EXPECT_LT(frames_out, 44100u * 4);
  EXPECT_EQ(OrvSoundGetParam(0, 7), 0);
  EXPECT_EQ(OrvSoundGetStatus(0), 0);
  EXPECT_EQ(OrvSoundGetNowChannel(), -1);
  EXPECT_EQ(heard(pull(441)), std::vector<uint32_t>(441, 0));  // silence after it
}

TEST_F(SoundChannels, MusicOfAnotherRateIsConverted) {
  WavLayout layout;
  layout.channels = 1;
  layout.rate = 22050;
  layout.samples.clear();
  for (int i = 0; i < 22050; ++i) testsupport::put16(layout.samples, 3000);
  const OrvSoundHandle h = OrvSoundLoad(wav("mono.wav", layout).c_str(), 3, nullptr);
  ASSERT_NE(h, 0u);
  EXPECT_NEAR(OrvSoundGetParam(0, 2), 44100 * 4, 16);  // one second at the stream's rate
  OrvSoundPlay(h, 0);
  sound_pass();
  std::vector<int16_t> out;
  for (int i = 0; i < 100; ++i) {
    auto part = tick();
    out.insert(out.end(), part.begin(), part.end());
  }
  EXPECT_EQ(out[2 * 22050], 3000);  // the middle of the second: full level on both sides
  EXPECT_EQ(out[2 * 22050 + 1], 3000);
}

TEST_F(SoundChannels, ConvertedMusicLoopsWithoutAStep) {
  // A 441 Hz sine at 22,050 Hz, 50 frames a period; the whole file (44 periods) loops. Heard at
  // 44,100 Hz it must stay a smooth sine through every loop point: no sample moves further than
  // the sine's steepest step (10000 * 2 pi * 441 / 44100 = 628), with a little room for the
  // resampler's ripple.
  WavLayout layout;
  layout.channels = 1;
  layout.rate = 22050;
  layout.samples.clear();
  const int frames = 2200;
  for (int i = 0; i < frames; ++i) {
    const double v = 10000.0 * std::sin(2.0 * 3.14159265358979 * i / 50.0);
    testsupport::put16(layout.samples, uint16_t(int16_t(std::lround(v))));
  }
  const OrvSoundHandle h = OrvSoundLoad(wav("sine.wav", layout).c_str(), 3, nullptr);
  ASSERT_NE(h, 0u);
  ASSERT_EQ(OrvSoundPlay(h, 1), 1);
  sound_pass();
  std::vector<int16_t> out;
  for (int i = 0; i < 60; ++i) {  // 0.6 s: six loops
    auto part = tick();
    out.insert(out.end(), part.begin(), part.end());
  }
  int worst = 0;
  size_t worst_at = 0;
  for (size_t k = 2 * 882; k + 2 < out.size(); k += 2) {  // after the 10 ms fade-in
    const int step = std::abs(int(out[k + 2]) - int(out[k]));
    if (step > worst) {
      worst = step;
      worst_at = k / 2;
    }
  }
  EXPECT_LT(worst, 700) << "at output frame " << worst_at;
}

TEST_F(SoundChannels, OggEffectHoldsWhatOggdecDecodes) {
  // Sound effects (type 4) from Ogg files of several rates and channel counts: the loaded
  // buffer holds, byte for byte, the samples that the reference decoder writes.
  for (const char* name : {"bell.oga", "audio-channel-front-left.oga", "camera-shutter.oga"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string("/usr/share/sounds/freedesktop/stereo/") + name;
    const std::string raw = dir / (std::string(name) + ".raw");
    const std::string command = "oggdec -Q -R -o '" + raw + "' '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string expected = testsupport::read_file(raw);
    ASSERT_FALSE(expected.empty());

    // The loader takes a file for Ogg by its ".ogg" name.
    const std::string ogg = dir / (std::string(name) + ".ogg");
    testsupport::write_file(ogg, testsupport::read_file(path));
    const OrvSoundHandle h = OrvSoundLoad(ogg.c_str(), 4, nullptr);
    ASSERT_NE(h, 0u);
    platform::MixBuffer* buffer = sound_channel(h)->buffer;
    ASSERT_NE(buffer, nullptr);
    const uint32_t size = sound_mixer()->size(buffer);
    ASSERT_EQ(size, expected.size());
    platform::LockedRegion region;
    ASSERT_TRUE(sound_mixer()->lock(buffer, 0, size, &region));
    std::string held(reinterpret_cast<const char*>(region.part1), region.bytes1);
    if (region.part2) held.append(reinterpret_cast<const char*>(region.part2), region.bytes2);
    sound_mixer()->unlock(buffer, region);
    EXPECT_TRUE(held == expected) << "the loaded samples differ from oggdec's";
    OrvSoundRelease(h);
  }
}

TEST_F(SoundChannels, MusicLoopPointsAreGivenInTheFilesOwnFrames) {
  WavLayout layout;
  layout.channels = 1;
  layout.rate = 22050;
  layout.samples.assign(22050 * 2, '\0');
  const BgmLoopPoints points{1, 4410, 22050, 0};  // 0.1 s and 0.5 s of 16-bit mono
  ASSERT_NE(OrvSoundLoad(wav("mono.wav", layout).c_str(), 3, &points), 0u);
  EXPECT_EQ(OrvSoundGetParam(0, 0), 4410 * 4);   // start: 4,410 frames at 44,100 Hz
  EXPECT_EQ(OrvSoundGetParam(0, 1), 22050 * 4);  // loop point
  EXPECT_EQ(OrvSoundGetParam(0, 3), 4410 * 4);   // reading starts at the start
}

TEST_F(SoundChannels, OggMusicStreamsTheDecodedSamples) {
  const std::string bell = "/usr/share/sounds/freedesktop/stereo/bell.oga";  // 44.1 kHz stereo
  testsupport::write_file(dir / "bell.ogg", testsupport::read_file(bell));
  std::vector<int16_t> expected;
  {
    SoundFile f;
    ASSERT_TRUE(sound_file_open(bell.c_str(), &f));
    OggStream* stream = ogg_stream_open(&f, "bell");
    sound_file_close(&f);
    ASSERT_NE(stream, nullptr);
    int16_t chunk[4096];
    while (uint32_t n = platform::ogg_decoder_read(stream->decoder,
                                                   reinterpret_cast<uint8_t*>(chunk), sizeof chunk))
      expected.insert(expected.end(), chunk, chunk + n / 2);
    ogg_stream_close(stream);
  }
  const OrvSoundHandle h = OrvSoundLoad((dir / "bell.ogg").c_str(), 3, nullptr);
  ASSERT_EQ(h, 0x20000000u);
  EXPECT_EQ(OrvSoundGetParam(0, 10), 1);
  EXPECT_EQ(OrvSoundGetParam(0, 2), int32_t(expected.size() * 2));
  OrvSoundPlay(h, 0);
  sound_pass();
  std::vector<int16_t> out;
  for (int i = 0; i < 1000 && OrvSoundGetParam(0, 7); ++i) {
    auto part = tick();
    out.insert(out.end(), part.begin(), part.end());
  }
  EXPECT_EQ(OrvSoundGetParam(0, 7), 0);  // played out and released
  ASSERT_GE(out.size(), expected.size());
  for (size_t i = 882; i < expected.size(); ++i) ASSERT_EQ(out[i], expected[i]) << i;
}

TEST_F(SoundChannels, StopFreesAMusicChannel) {
  WavLayout layout;
  layout.samples = testsupport::indexed_frames(44100);
  const OrvSoundHandle h = OrvSoundLoad(wav("bgm.wav", layout).c_str(), 3, nullptr);
  OrvSoundPlay(h, 1);
  sound_pass();
  ASSERT_EQ(OrvSoundStopFade(h, 0), 1);
  sound_pass();
  EXPECT_EQ(OrvSoundGetParam(0, 7), 0);
  EXPECT_EQ(OrvSoundGetChannelCount(3), 2);
}

TEST_F(SoundChannels, ReservationsHoldMusicChannels) {
  EXPECT_EQ(OrvSoundLoadSetReserved(0, 3), 0x20000000u);
  EXPECT_EQ(OrvSoundLoadSetReserved(0, 3), 0x20000001u);
  EXPECT_EQ(OrvSoundLoadSetReserved(0, 3), 0u);
  EXPECT_EQ(OrvSoundLoadSetReserved(0, 4), 0u);
  EXPECT_EQ(OrvSoundGetChannelCount(3), 0);
  EXPECT_EQ(OrvSoundLoad(constant_wav("b.wav", 1, 100).c_str(), 3, nullptr), 0u);
  OrvSoundSetReserved(3, 0x20000001, 0);
  EXPECT_EQ(OrvSoundGetChannelCount(3), 1);
  EXPECT_EQ(OrvSoundRelease(0x20000000), 0);  // not loaded, but the reservation goes
  EXPECT_EQ(OrvSoundGetChannelCount(3), 2);
  EXPECT_EQ(OrvSoundGetParam(0, 17), 0);
}

TEST_F(SoundChannels, GroupsByTypeForCountsAndReleases) {
  struct Case {
    int32_t type, free;
  } counts[] = {{0, 2}, {1, 16}, {7, 16}, {2, 8}, {3, 2}, {4, 16}, {5, 64}, {6, 16}, {99, 2}};
  for (const Case& c : counts) EXPECT_EQ(OrvSoundGetChannelCount(c.type), c.free) << c.type;

  const std::string path = constant_wav("se.wav", 1, 10);
  for (int i = 0; i < 3; ++i) OrvSoundLoad(path.c_str(), 5, nullptr);
  OrvSoundLoad(path.c_str(), 2, nullptr);
  OrvSoundLoadSetReserved(0, 3);
  EXPECT_EQ(OrvSoundGetChannelCount(5), 61);
  OrvSoundReleaseEx(5);
  sound_pass();
  EXPECT_EQ(OrvSoundGetChannelCount(5), 64);
  EXPECT_EQ(OrvSoundGetChannelCount(2), 7);  // background voices untouched
  OrvSoundReleaseEx(3);                      // the music group, reservations too
  EXPECT_EQ(OrvSoundGetChannelCount(3), 2);
}

TEST_F(SoundChannels, CopiesShareTheSamplesAndOutliveTheOriginal) {
  OrvSoundSetVolume(10000, 5);
  const OrvSoundHandle h = OrvSoundLoad(constant_wav("se.wav", 700, 100).c_str(), 5, nullptr);
  const OrvSoundHandle copy = OrvSoundCopy(h, 5);
  ASSERT_EQ(copy, 0x50000001u);
  OrvSoundRelease(h);
  sound_pass();
  ASSERT_EQ(OrvSoundPlay(copy, 0), 1);
  EXPECT_EQ(pull(100).back(), 700);  // releasing the original did not silence the copy

  WavLayout layout;
  const OrvSoundHandle music = OrvSoundLoad(wav("bgm.wav", layout).c_str(), 3, nullptr);
  EXPECT_EQ(OrvSoundCopy(music, 5), 0u);  // a stream's buffer is its own
  EXPECT_EQ(OrvSoundCopy(copy, 3), 0u);
}

TEST_F(SoundChannels, BadHandlesAndIndexesGiveTheFailureValue) {
  const OrvSoundHandle bad[] = {0,          0x00000001, 0x80000000, 0xF0000000,
                                0x10000002, 0x20000002, 0x50000040, 0x7000FFFF};
  uint8_t bytes[32] = {};
  for (OrvSoundHandle h : bad) {
    EXPECT_EQ(OrvSoundPlay(h, 0), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundPlayFade(h, 0, 10), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundStop(h), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundPause(h, 1, 0), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundRelease(h), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundGetFreq(h), -1) << std::hex << h;
    EXPECT_EQ(OrvSoundGetVolumeChannel(h), h ? -1 : 0) << std::hex << h;
    EXPECT_EQ(OrvSoundSetPanChannel(h, 0), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundPlayIs(h), 0) << std::hex << h;
    EXPECT_EQ(OrvGetSoundBufferFormat(h, bytes), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundGetPlayCursorToBuffer(h, bytes, 4), 0) << std::hex << h;
    EXPECT_EQ(OrvSoundCopy(h, 5), 0u) << std::hex << h;
  }
  for (int32_t index : {-1, 2, 1000}) {
    EXPECT_EQ(OrvSoundGetStatus(index), 0);
    EXPECT_EQ(OrvSoundGetParam(index, 4), 0);
  }
  EXPECT_EQ(OrvSoundGetParam(0, 4), int32_t(kStreamBufferBytes));
  EXPECT_EQ(OrvSoundGetParam(0, 24), 0);
  EXPECT_EQ(OrvSoundGetParamByType(5, 64, 7), 0);
  EXPECT_EQ(OrvSoundGetParamByType(7, 0, 4), 0);
  EXPECT_EQ(OrvSoundGetParamByType(0, 1, 4), int32_t(kStreamBufferBytes));
}

TEST_F(SoundChannels, PlayCursorCopyHonoursTheBufferSize) {
  const OrvSoundHandle h = OrvSoundLoad(constant_wav("se.wav", 0x0101, 100).c_str(), 5, nullptr);
  std::vector<uint8_t> out(1000, 0xEE);
  ASSERT_EQ(OrvSoundGetPlayCursorToBuffer(h, out.data(), 1000), 1);
  EXPECT_EQ(out[399], 0x01);
  EXPECT_EQ(out[400], 0xEE);  // nothing past the 400 bytes the buffer holds
  uint8_t format[18];
  ASSERT_EQ(OrvGetSoundBufferFormat(h, format), 1);
  EXPECT_EQ(format[2], 2);  // channels
}

TEST_F(SoundChannels, LoadersPickTheReaderAndRefuseBadFiles) {
  OrvSoundSetVolume(10000, 4);
  EXPECT_EQ(OrvSoundLoad((dir / "none.wav").c_str(), 5, nullptr), 0u);
  testsupport::write_file(dir / "bad.wav", "RIFX" + std::string(60, '\0'));
  EXPECT_EQ(OrvSoundLoad((dir / "bad.wav").c_str(), 5, nullptr), 0u);
  EXPECT_EQ(OrvSoundGetChannelCount(5), 64);
  // A WAV named .ogg is read as Ogg (and refused); .ogg.wav is a WAV.
  const std::string path = constant_wav("x.ogg.wav", 5, 10);
  EXPECT_NE(OrvSoundLoad(path.c_str(), 1, nullptr), 0u);
  testsupport::write_file(dir / "x.OGG", testsupport::read_file(path));
  EXPECT_EQ(OrvSoundLoad((dir / "x.OGG").c_str(), 1, nullptr), 0u);
  const std::string bell = "/usr/share/sounds/freedesktop/stereo/bell.oga";
  testsupport::write_file(dir / "bell.OGG", testsupport::read_file(bell));
  const OrvSoundHandle ogg = OrvSoundLoad((dir / "bell.OGG").c_str(), 7, nullptr);
  ASSERT_EQ(ogg >> 28, 3u);
  EXPECT_EQ(OrvSoundGetParamByType(1, int32_t(ogg & 0xFFFF), 10), 1);

  // Gain on a load of type 4: doubled and limited, or left alone at 1 and 0; other types refused.
  WavLayout layout;
  layout.samples.clear();
  for (int16_t v : {100, -100, 20000, -20000}) testsupport::put16(layout.samples, uint16_t(v));
  const std::string gain_path = wav("g.wav", layout);
  struct Case {
    float gain;
    int16_t expect[4];
  } cases[] = {{2.0f, {200, -200, 32767, -32768}},
               {1.0f, {100, -100, 20000, -20000}},
               {0.0f, {100, -100, 20000, -20000}}};
  for (const Case& c : cases) {
    const OrvSoundHandle g = OrvSoundLoadEx(gain_path.c_str(), 4, nullptr, c.gain);
    ASSERT_NE(g, 0u);
    int16_t pcm[4];
    OrvSoundGetPlayCursorToBuffer(g, pcm, 8);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pcm[i], c.expect[i]) << c.gain;
  }
  EXPECT_EQ(OrvSoundLoadEx(gain_path.c_str(), 5, nullptr, 2.0f), 0u);
}

TEST(SoundThread, QueuedCommandsAreTakenByTheThread) {
  ASSERT_TRUE(sound_system_start(SoundStartOptions{true, true}));
  testsupport::TempDir dir;
  WavLayout layout;
  layout.samples = testsupport::indexed_frames(44100 * 3);
  testsupport::write_file(dir / "bgm.wav", testsupport::make_wav(layout));
  const OrvSoundHandle h = OrvSoundLoad((dir / "bgm.wav").c_str(), 3, nullptr);
  ASSERT_EQ(OrvSoundPlay(h, 1), 1);
  EXPECT_EQ(OrvSoundGetStatus(0), kCmdDone);  // the thread has taken the play
  EXPECT_EQ(OrvSoundGetParam(0, 8), 1);
  ASSERT_EQ(OrvSoundStopFade(h, 100), 1);
  EXPECT_EQ(OrvSoundGetState(h), 2);  // returned once the fade-out began
  for (int i = 0; i < 300 && OrvSoundGetParam(0, 7); ++i) {
    platform::sleep_ms(5);
    OrvUpdateTime();  // the game thread's frames move the fades on
  }
  EXPECT_EQ(OrvSoundGetParam(0, 7), 0);
  sound_system_destroy();
  EXPECT_EQ(sound_mixer(), nullptr);
}

}  // namespace

namespace {

TEST_F(SoundChannels, VerEpegStreamJumpsToItsLoopPoint) {
  // N = 1, V = 4: units of one stereo frame. Data of 1000 frames; loop at 200, end at 300.
  std::string s;
  testsupport::put32(s, 0);
  testsupport::put32(s, 1);
  s.append(16, '\0');
  testsupport::put32(s, 200);
  testsupport::put32(s, 300);
  testsupport::put32(s, 0);
  s.append(8 + 18, '\0');
  testsupport::put32(s, 4);
  s += testsupport::indexed_frames(1000);
  testsupport::write_file(dir / "v.ver", s);
  const OrvSoundHandle h = OrvSoundLoadVerEpeg((dir / "v.ver").c_str());
  ASSERT_EQ(h, 0x10000000u);
  EXPECT_EQ(OrvSoundGetParamByType(0, 0, 0), 66);            // data start
  EXPECT_EQ(OrvSoundGetParamByType(0, 0, 2), 66 + 300 * 4);  // end
  ASSERT_EQ(OrvSoundPlay(h, 1), 1);
  sound_pass();
  std::vector<uint32_t> frames;
  for (int i = 0; i < 500; ++i) {  // five seconds: several halves
    auto out = heard(tick());
    frames.insert(frames.end(), out.begin(), out.end());
  }
  // The first half holds frames 32..299 and then silence; every later half starts at 200.
  EXPECT_EQ(frames[1000], 0u);
  EXPECT_EQ(frames[44100], 200u);
  EXPECT_EQ(frames[44100 + 99], 299u);
  EXPECT_EQ(frames[44100 + 100], 0u);
  EXPECT_EQ(frames[88200], 200u);
  testsupport::write_file(dir / "zero.ver", std::string(s).replace(4, 4, std::string(4, '\0')));
  EXPECT_EQ(OrvSoundLoadVerEpeg((dir / "zero.ver").c_str()), 0u);
}

TEST_F(SoundChannels, InactiveWindowSilencesTheOutput) {
  OrvSoundSetVolume(10000, 5);
  const OrvSoundHandle h = OrvSoundLoad(constant_wav("se.wav", 900, 1000).c_str(), 5, nullptr);
  OrvSoundPlay(h, 1);
  sound_window_active(false, 0);
  EXPECT_EQ(pull(1)[0], 0);
  sound_window_active(false, 1);  // global focus asked for
  EXPECT_EQ(pull(1)[0], 900);
  sound_window_active(false, 0);
  sound_window_active(true, 0);
  EXPECT_EQ(pull(1)[0], 900);
}

}  // namespace
