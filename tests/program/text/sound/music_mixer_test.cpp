// Music commands against the real sound system: the mix is pulled by the test and the clock is
// the fixture's fake one.
#include <cmath>

#include "mixer_fixture.h"

namespace {

class MusicMixer : public soundtest::MixerTest {
 protected:
  void SetUp() override {
    MixerTest::SetUp();
    start("bgm");
    testsupport::write_file(dir / "game/bgm/TUNE.WAV", level_wav(44100 * 3, 1000));
    OrvSoundSetPrimaryVolume(10000);
    OrvSoundSetVolume(10000, 3);
  }
  // The left sample of ten milliseconds of mix, after one frame of the game (or, without
  // game_frame, with the game's sound update left out).
  int16_t level_after(uint32_t ms, bool game_frame = true) {
    advance(ms);
    if (game_frame) engine::sound_channels_update(vm());
    sound_pass();
    std::vector<int16_t> out(882);
    sound_mixer()->mix(out.data(), 441);
    return out[880];
  }
  void play(uint32_t flags, uint32_t fade) {
    std::snprintf(engine::AdvGetVarString(vm(), 0), 32, "tune");
    for (uint32_t v : {0u, 0u, 0u, fade, flags, engine::kStringHandleBit, 0u}) {
      engine::vm_push(vm(), v);
    }
    ASSERT_EQ(engine::command_lookup(0x040000)(vm()), 1u);
  }
};

TEST_F(MusicMixer, FadeInReachesFullLevelAfterFourTimesItsOperand) {
  play(5, 250);  // fade-in flag: 4 x 250 ms
  ASSERT_NE(vm().sound.bgm[0].sound, 0u);
  const int16_t start = level_after(0);
  const int16_t half = level_after(500);
  const int16_t full = level_after(500);
  EXPECT_LT(start, 100);
  EXPECT_GT(half, start);
  EXPECT_LT(half, 1000);
  EXPECT_NEAR(full, 1000, 2);
}

TEST_F(MusicMixer, AVoiceLowersTheMusicAndItComesBack) {
  vm().sound.volumes[engine::kCatBgm] = 10000;
  vm().sound.switches[engine::kCatBgm] = 1;
  vm().sound.bgmAuto = {1, 40, 1};
  play(1, 0);
  EXPECT_NEAR(level_after(10), 1000, 2);
  engine::bgm_auto_volume_apply(vm().sound, true);  // as a line voice starts
  const int16_t lowered = level_after(10, false);
  EXPECT_LT(lowered, 1000);
  EXPECT_GT(lowered, 0);
  // No voice plays: the next frame gives the music back.
  EXPECT_NEAR(level_after(10), 1000, 2);
}

TEST_F(MusicMixer, AVoicePlayedByTheScriptLowersTheMusicToFortyPercentUntilItEnds) {
  // A silent voice of 200 ms, laid by hand, beside the music.
  testsupport::WavLayout voice;
  voice.samples = std::string(2 * 2 * 44100 / 5, '\0');
  testsupport::write_file(dir / "game/bgm/LINE.WAV", testsupport::make_wav(voice));
  OrvSoundSetVolume(10000, engine::kSoundTypeVoice);
  vm().sound.volumes[engine::kCatBgm] = 10000;
  vm().sound.switches[engine::kCatBgm] = 1;
  vm().sound.bgmAuto = {1, 40, 1};
  play(1, 0);
  EXPECT_NEAR(level_after(10), 1000, 2);
  std::snprintf(engine::AdvGetVarString(vm(), 1), 32, "line");
  for (uint32_t v : {0u, 0u, engine::kStringHandleBit | 1, 0u}) engine::vm_push(vm(), v);
  ASSERT_EQ(engine::command_lookup(0x0d0000)(vm()), 1u);
  ASSERT_NE(vm().sound.voice[0].sound, 0u);
  EXPECT_TRUE(engine::voice_any_playing(vm()));
  EXPECT_NEAR(level_after(10), 400, 4);
  EXPECT_NEAR(level_after(100), 400, 4);
  // The voice has ended (its samples pulled): the frame update empties its slot and gives the
  // music back.
  std::vector<int16_t> out(882);
  for (int i = 0; i < 20; ++i) {
    advance(10);
    sound_mixer()->mix(out.data(), 441);
  }
  EXPECT_NEAR(level_after(10), 1000, 2);
  EXPECT_EQ(vm().sound.voice[0].sound, 0u);
}

TEST_F(MusicMixer, SpectrumOfPlayingMusicLightsTheBandOfItsSine) {
  // A full-scale 1 kHz sine, as the spectrum's own test works its band value out: 86 in band 17.
  testsupport::WavLayout layout;
  layout.samples.clear();
  for (int i = 0; i < 44100 * 2; ++i) {
    const auto v =
        static_cast<int16_t>(std::lround(32767.0 * std::sin(2 * M_PI * 1000 * i / 44100)));
    testsupport::put16(layout.samples, static_cast<uint16_t>(v));
    testsupport::put16(layout.samples, static_cast<uint16_t>(v));
  }
  testsupport::write_file(dir / "game/bgm/TUNE.WAV", testsupport::make_wav(layout));
  play(1, 0);
  const uint32_t sound = vm().sound.bgm[0].sound;
  ASSERT_NE(sound, 0u);
  level_after(100);
  auto run = [&](uint32_t id, std::vector<uint32_t> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    EXPECT_EQ(engine::command_lookup(id)(vm()), 1u) << std::hex << id;
    return vm().reg[0];
  };
  run(0x040015, {0, 0});
  run(0x040017, {sound});
  run(0x040018, {sound});
  EXPECT_EQ(run(0x040019, {17, 0}), 86u);
  run(0x04001a, {});
}

}  // namespace
