// The sound settings block of system.dat, loading by extension, the channel commands and the
// frame update of effects.
#include <cstring>

#include "fake_sound.h"
#include "text/sound/sound_frame.h"
#include "text/sound/sound_load.h"
#include "text/sound/sound_settings.h"

namespace soundtest {
namespace {

// A settings block laid by hand in the file's order.
struct Block {
  std::vector<uint8_t> b = std::vector<uint8_t>(engine::kSoundBlockBytes, 0);
  void word(size_t offset, uint32_t v) { codec::store_u32(&b[offset], v); }
};

Block sample_block() {
  Block k;
  // master, BGM, BGV, voice, SE 0, SE 1, SE 2, system voice
  const uint32_t volumes[8] = {9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000};
  const uint32_t switches[8] = {1, 1, 1, 0, 1, 1, 1, 1};
  for (int i = 0; i < 8; ++i) {
    k.word(4 * i, volumes[i]);
    k.word(32 + 4 * i, switches[i]);
  }
  k.word(64, 1);   // auto volume on
  k.word(68, 40);  // factor
  k.word(72, 1);   // keep
  k.word(76, 1);   // voice cut
  k.word(80, 0);
  k.word(84 + 44 * 63, 1);  // VoiceInfo 63: used, enabled, 70, "VO_B"
  k.word(84 + 44 * 63 + 4, 1);
  k.word(84 + 44 * 63 + 8, 70);
  std::memcpy(&k.b[84 + 44 * 63 + 12], "VO_B", 4);
  k.word(2900 + 8, 30);  // default VoiceInfo volume
  k.word(2944, 1);
  k.word(2948, 2500);
  return k;
}

class SoundSettingsTest : public SoundTest {};

TEST_F(SoundSettingsTest, BlockReadsInFileOrderAndAppliesAllButBackgroundVoices) {
  const Block k = sample_block();
  engine::SoundState& s = vm().sound;
  ASSERT_TRUE(engine::sound_settings_read(k.b.data(), k.b.size(), s));
  EXPECT_EQ(s.volumes[engine::kCatBgv], 7000);
  EXPECT_EQ(s.volumes[engine::kCatVoice], 6000);
  EXPECT_EQ(s.switches[engine::kCatVoice], 0u);
  EXPECT_EQ(s.bgmAuto.factor, 40u);
  EXPECT_EQ(s.bVoiceCut, 1u);
  EXPECT_EQ(s.voiceInfo[63].volume, 70u);
  EXPECT_STREQ(s.voiceInfo[63].prefix, "VO_B");
  EXPECT_EQ(s.defaultVoiceInfo.volume, 30u);
  EXPECT_EQ(s.nAutopanRange, 2500);
  EXPECT_EQ(fake.primary, 9000);
  const std::map<int32_t, int32_t> applied = {{1, 0},    {3, 8000}, {4, 4000},
                                              {5, 5000}, {6, 3000}, {7, 2000}};
  EXPECT_EQ(fake.typeVolume, applied);  // type 2 untouched
  // Written back, the block is the same bytes.
  std::vector<uint8_t> out(engine::kSoundBlockBytes, 0xEE);
  engine::sound_settings_write(s, out.data());
  EXPECT_EQ(out, k.b);
}

TEST_F(SoundSettingsTest, ValuesOutOfRangeAreBroughtIntoRange) {
  struct Case {
    size_t offset;
    uint32_t stored;
    uint32_t read;
  };
  const Case cases[] = {
      {0, 20000, 10000},          // master volume
      {8, uint32_t(-5), 0},       // BGV volume
      {44, 7, 1},                 // voice switch
      {64, 2, 1},                 // auto volume on
      {72, 0xFFFFFFFF, 1},        // keep
      {80, 3, 1},                 // ex-volume switch
      {84 + 8, 300, 100},         // VoiceInfo 0 volume
      {84 + 4, 9, 1},             // VoiceInfo 0 enabled
      {2900 + 8, 101, 100},       // default VoiceInfo volume
      {2944, 5, 1},               // autopan switch
      {2948, uint32_t(-100), 0},  // autopan range
      {68, 5000, 5000},           // the factor is kept (a new file stores 5000)
  };
  for (const Case& c : cases) {
    Block k = sample_block();
    k.word(c.offset, c.stored);
    engine::SoundState s{};
    ASSERT_TRUE(engine::sound_settings_read(k.b.data(), k.b.size(), s));
    std::vector<uint8_t> out(engine::kSoundBlockBytes);
    engine::sound_settings_write(s, out.data());
    EXPECT_EQ(codec::load_u32(&out[c.offset]), c.read) << c.offset;
  }
}

TEST_F(SoundSettingsTest, AShortBlockGivesTheDefaults) {
  const Block k = sample_block();
  engine::SoundState& s = vm().sound;
  s.bgm[0].file = 7;  // not a setting: kept
  EXPECT_FALSE(engine::sound_settings_read(k.b.data(), k.b.size() - 1, s));
  EXPECT_EQ(s.volumes[engine::kCatMaster], 5000);
  EXPECT_EQ(s.volumes[engine::kCatBgv], 0);
  EXPECT_EQ(s.bgmAuto.factor, 5000u);
  EXPECT_EQ(s.bgmAuto.keep, 0u);
  EXPECT_EQ(s.voiceInfo[63].used, 0u);
  EXPECT_EQ(s.bgm[0].file, 7u);
  EXPECT_EQ(fake.typeVolume.count(2), 0u);
  EXPECT_EQ(fake.typeVolume[3], 5000);
}

TEST_F(SoundSettingsTest, ANewSystemFileReadsFiftyAndZeroForBackgroundVoices) {
  engine::sound_settings_default(vm().sound);
  EXPECT_EQ(call(0x040003, {}), 50u);  // bgm_get_volume
  EXPECT_EQ(call(0x04000c, {}), 50u);  // get_master_volume
  EXPECT_EQ(vm().sound.volumes[engine::kCatBgv] / 100, 0);
  EXPECT_EQ(fake.primary, 5000);
}

// ---- loading ----

TEST_F(SoundTest, LoadTriesOggThenWav) {
  struct Case {
    const char* what;
    std::set<std::string> files;
    int32_t kind;
    float gain;
    bool fast_forward;
    std::vector<std::string> loads;
    bool loaded;
    bool error_line;
  };
  const Case cases[] = {
      {"ogg first", {"S.ogg", "S.wav"}, 3, 1.0f, false, {"Load S.ogg 3"}, true, false},
      {"wav second", {"S.wav"}, 5, 1.0f, false, {"Load S.ogg 5", "Load S.wav 5"}, true, false},
      {"missing music", {}, 3, 1.0f, false, {"Load S.ogg 3", "Load S.wav 3"}, false, true},
      {"missing line voice is silent",
       {},
       1,
       1.0f,
       false,
       {"Load S.ogg 1", "Load S.wav 1"},
       false,
       false},
      {"amplified effect", {"S.ogg"}, 4, 2.0f, false, {"LoadEx S.ogg 4 200"}, true, false},
      {"gain only for kind 4", {"S.ogg"}, 5, 2.0f, false, {"Load S.ogg 5"}, true, false},
      {"scene skip reserves music", {"S.ogg"}, 3, 1.0f, true, {"LoadSetReserved 3"}, true, false},
      {"scene skip loads no effect", {"S.ogg"}, 4, 1.0f, true, {}, false, false},
  };
  for (const Case& c : cases) {
    fake.calls.clear();
    fake.files = c.files;
    logs_.clear();
    vm().run.bSceneSkip = c.fast_forward;
    const uint32_t h = engine::sound_load(vm(), "S", c.kind, nullptr, c.gain);
    vm().run.bSceneSkip = 0;
    EXPECT_EQ(fake.calls, c.loads) << c.what;
    EXPECT_EQ(h != 0, c.loaded) << c.what;
    EXPECT_EQ(logged(0, "sound load error [S]"), c.error_line) << c.what;
  }
}

// ---- channel commands ----

TEST_F(SoundTest, ChannelToPlatformChannel) {
  engine::SoundState& s = vm().sound;
  s.se[3].sound = 0x50000028;  // an SE type 0 effect in its 64-channel group: index 40
  s.bgm[1].sound = 0x30000001;
  struct Case {
    uint32_t type;
    int32_t ch;
    uint32_t index;
    uint32_t handle;
    const char* line;
  };
  const Case cases[] = {
      {4, 3, 40, 0x50000028, nullptr},
      {3, 1, 1, 0x30000001, nullptr},
      {3, 0, uint32_t(-1), 0, nullptr},  // empty
      {4, 16, uint32_t(-1), uint32_t(-1), "over ch, type=4, ch=16"},
      {1, 9, uint32_t(-1), uint32_t(-1), "over ch, type=1, ch=9"},
      {9, 0, uint32_t(-1), uint32_t(-1), nullptr},
      {4, -1, 0, 0, "ch ?"},
  };
  for (const Case& c : cases) {
    logs_.clear();
    EXPECT_EQ(call(0x040014, {c.type, uint32_t(c.ch)}), c.index) << c.type << " " << c.ch;
    EXPECT_EQ(call(0x04001b, {c.type, uint32_t(c.ch)}), c.handle) << c.type << " " << c.ch;
    size_t errors = 0;
    for (const auto& [key, line] : logs_) errors += line.rfind("error", 0) == 0;
    EXPECT_EQ(errors, c.line ? 2u : 0u) << c.type << " " << c.ch;
    if (c.line) {
      EXPECT_TRUE(logged(10, c.line));
    }
  }
}

TEST_F(SoundTest, ReadRegister) {
  EXPECT_EQ(call(0x040013, {4, 2, 3}), 40203u);
  EXPECT_EQ(call(0x040013, {4, uint32_t(-1), 3}), 0u);
  EXPECT_TRUE(logged(10, "error sound_read_reg ch ? [-1]"));
  EXPECT_EQ(call(0x040013, {4, 2, uint32_t(-3)}), 0u);
  EXPECT_TRUE(logged(10, "error sound_read_reg no ? [-3]"));
}

// ---- frame update and release ----

TEST_F(SoundTest, FrameReleasesEndedEffectsButNotReservedOnes) {
  engine::SoundState& s = vm().sound;
  s.se[0] = {0x50000001, 1, 0, 0, {}, 0, {}};
  s.se[1] = {0x50000002, 2, 0x20000000, 0, {}, 0, {}};
  s.se[2] = {0x50000003, 3, 0, 0, {}, 0, {}};
  fake.playing[0x50000003] = true;
  s.bgv[0].sound = 0x20000001;
  s.bgv[0].enabled = 1;
  s.bgv[1].sound = 0x20000002;
  s.bgv[1].flags = 1;  // looping: kept
  engine::sound_channels_update(vm());
  EXPECT_EQ(s.se[0].sound, 0u);
  EXPECT_EQ(s.se[0].file, 0u);
  EXPECT_EQ(s.se[1].sound, 0x50000002u);
  EXPECT_EQ(s.se[2].sound, 0x50000003u);
  EXPECT_EQ(s.bgv[0].sound, 0u);
  EXPECT_EQ(s.bgv[0].enabled, 1u);
  EXPECT_EQ(s.bgv[1].sound, 0x20000002u);
  // A reset releases every effect, reserved or not.
  engine::se_release_all(vm());
  EXPECT_EQ(s.se[1].sound | s.se[2].sound, 0u);
  EXPECT_EQ(fake.with("Release").size(), 4u);
}

TEST_F(SoundTest, ResetReleasesThroughTheNeighbourTable) {
  vm().sound.se[5].sound = 0x40000007;
  vm().sound.bgm[0].sound = 0x30000000;
  vm().sound.bgm[0].file = 9;
  engine::vm_reset(vm());
  EXPECT_EQ(vm().sound.se[5].sound, 0u);
  EXPECT_EQ(vm().sound.bgm[0].file, 0u);
  EXPECT_TRUE(fake.called("Release 7"));
  EXPECT_TRUE(fake.called("Release 0"));
}

}  // namespace
}  // namespace soundtest
