// Sound effects and background voices against the real sound system: the levels the script's
// volumes give are pulled from the mix and compared with the products worked out by hand.
#include "mixer_fixture.h"

namespace {

constexpr uint32_t kSePlayEx = 0x050002;
constexpr uint32_t kSeSetVolume = 0x050004;
constexpr uint32_t kSetSeInfo = 0x050008;
constexpr uint32_t kSeSetPan = 0x05000d;
constexpr uint32_t kSeMute = 0x05000e;
constexpr uint32_t kSeSetChVolume = 0x050012;
constexpr uint32_t kSetMasterVolume = 0x04000b;
constexpr uint32_t kVoiceAutopanInitialize = 0x0d000e;
constexpr uint32_t kBgvPlay = 0x0d0008;
constexpr uint32_t kSetBgvVolume = 0x0d0015;
constexpr uint32_t kNoFile = 0x0FFFFFFF;

class SeMixer : public soundtest::MixerTest {
 protected:
  void SetUp() override {
    MixerTest::SetUp();
    start("se");
    testsupport::write_file(dir / "game/se/HIT.WAV", level_wav(44100, 1000));
    testsupport::write_file(dir / "game/se/SE_HIT.WAV", level_wav(44100, 1000));
    for (uint32_t& on : vm().sound.switches) on = 1;
  }
  uint32_t call(uint32_t id, std::vector<uint32_t> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    EXPECT_EQ(engine::command_lookup(id)(vm()), 1u) << std::hex << id;
    return vm().reg[0];
  }
  uint32_t file(uint32_t slot, const char* name) {
    std::snprintf(engine::AdvGetVarString(vm(), slot), 32, "%s", name);
    return engine::kStringHandleBit | slot;
  }
  // Left and right sample of ten milliseconds of mix.
  std::pair<int16_t, int16_t> level() {
    advance(10);
    sound_pass();
    std::vector<int16_t> out(882);
    sound_mixer()->mix(out.data(), 441);
    return {out[880], out[881]};
  }
};

TEST_F(SeMixer, EffectLevelIsTheProductOfMasterTypeAndChannelVolumes) {
  struct Case {
    const char* name;
    uint32_t type;
    int32_t master, type_volume, info, channel;  // 0..100; -1: no prefix entry or override
    bool muted;
    int expected;  // 1000 x master x type x (info or channel), each / 100
  };
  const Case cases[] = {
      {"hit", 0, 100, 100, -1, -1, false, 1000},
      {"se_hit", 0, 80, 50, 30, -1, false, 120},   // the prefix entry gives 30
      {"se_hit", 1, 100, 50, 30, 90, false, 150},  // the prefix entry wins over the override
      {"hit", 2, 100, 25, 30, 40, false, 100},     // no prefix match: the override's 40
      {"hit", 1, 100, 50, -1, -1, true, 0},        // muted
  };
  int channel = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(channel);
    call(kSetMasterVolume, {static_cast<uint32_t>(c.master)});
    call(kSeSetVolume, {static_cast<uint32_t>(c.type_volume), c.type});
    call(kSeMute, {c.muted ? 1u : 0u, c.type});
    if (c.info >= 0) {
      call(kSetSeInfo, {0, file(1, "SE_"), static_cast<uint32_t>(c.info), 1});
    } else {
      call(kSetSeInfo, {0, kNoFile, 0, 0});
    }
    call(kSeSetChVolume, {static_cast<uint32_t>(channel), static_cast<uint32_t>(c.channel), 0});
    ASSERT_EQ(call(kSePlayEx, {static_cast<uint32_t>(channel), file(0, c.name), 1, 0, c.type}),
              static_cast<uint32_t>(channel));
    const auto [left, right] = level();
    EXPECT_NEAR(left, c.expected, 2);
    EXPECT_NEAR(right, c.expected, 2);
    engine::se_release_all(vm());
    ++channel;
  }
}

TEST_F(SeMixer, PanLevelZeroPlaysOnTheLeftOnly) {
  call(kSetMasterVolume, {100});
  call(kSeSetVolume, {100, 0});
  call(kVoiceAutopanInitialize, {100});
  call(kSeSetPan, {0});
  call(kSePlayEx, {0, file(0, "hit"), 0x1 | 0x20, 0, 0});
  const auto [left, right] = level();
  EXPECT_NEAR(left, 1000, 2);
  EXPECT_NEAR(right, 0, 2);
}

TEST_F(SeMixer, BackgroundVoiceFollowsItsCategoryVolume) {
  call(kSetMasterVolume, {50});
  call(kSetBgvVolume, {60});
  call(kBgvPlay, {0, file(0, "hit"), 1, 0});
  const auto [left, right] = level();
  EXPECT_NEAR(left, 300, 2);  // 1000 x 0.5 x 0.6
  EXPECT_NEAR(right, 300, 2);
}

}  // namespace
