// Voices: playing one file or a mix list, per-character volumes, the line-voice rules, waits,
// stops, autopan, voice calls and the refusal of numbers outside their tables.
#include <cstring>
#include <filesystem>

#include "Orv/core/files/file_access.h"
#include "engine/neighbours.h"
#include "fake_sound.h"
#include "graphics/layers/image_record.h"
#include "support/temp_dir.h"
#include "text/sound/sound_frame.h"
#include "text/sound/sound_load.h"
#include "text/sound/voice_autopan.h"
#include "text/sound/voice_calls.h"
#include "text/sound/voice_mix_list.h"
#include "text/sound/voices.h"

namespace soundtest {
namespace {

using engine::kCatBgm;
using engine::kCatVoice;
using engine::LineVoice;

constexpr uint32_t kVoicePlay = 0x0d0000;
constexpr uint32_t kVoiceStop = 0x0d0001;
constexpr uint32_t kSetVoiceInfo = 0x0d0004;
constexpr uint32_t kVoiceEnable = 0x0d0005;
constexpr uint32_t kSetVoiceAutopan = 0x0d0010;
constexpr uint32_t kVoiceWait = 0x0d0012;
constexpr uint32_t kVoiceCallClear = 0x0d001a;
constexpr uint32_t kVoiceSetSpeed = 0x0d001b;
constexpr uint32_t kVoiceGetSpeed = 0x0d001c;

inline uint32_t g_keys = 0;

class VoiceTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    saved_ = orv;
    g_keys = 0;
    orv.OrvInputGetKeyPush = [] { return g_keys; };
    orv.OrvInputGetKeyPull = []() -> uint32_t { return 0; };
    orv.OrvInputGetKeyOn = []() -> uint32_t { return 0; };
    const std::string base = dir / "game";
    std::filesystem::create_directories(base);
    ASSERT_TRUE(file_set_base_folder(base.c_str()));
    vm().runner.dwPc = 100;  // where a command call's pc stands after its 12 bytes
  }
  void TearDown() override {
    file_set_base_folder("");
    orv = saved_;
    SoundTest::TearDown();
  }
  void mix_list(const std::string& name, const std::vector<std::string>& entries) {
    std::string bytes;
    for (const std::string& e : entries) {
      std::string entry = e;
      entry.resize(32, '\0');
      bytes += entry;
    }
    testsupport::write_file(dir / ("game/" + name + ".mix"), bytes);
  }
  void info(int32_t n, uint32_t slot, const char* prefix, int32_t volume, uint32_t enabled) {
    call(kSetVoiceInfo, {static_cast<uint32_t>(n), slot_file(slot, prefix),
                         static_cast<uint32_t>(volume), enabled});
  }
  // The slot's handle as the fake's calls show it.
  std::string h(int slot) { return num(vm().sound.voice[slot].sound & 0xFFFF); }

  testsupport::TempDir dir;

 private:
  OrvApi saved_;
};

TEST_F(VoiceTest, PlayLoadsStartsAndLowersTheMusic) {
  fake.files = {"VO01_001.ogg"};
  engine::SoundState& s = vm().sound;
  s.volumes[kCatBgm] = 8000;
  s.switches[kCatBgm] = 1;
  s.bgmAuto = {1, 40, 1};
  EXPECT_EQ(call(kVoicePlay, {3, slot_file(0, "vo01_001"), 0, 0}), 3u);
  EXPECT_EQ(engine::stored_name(s.voice[3].name), "VO01_001");
  EXPECT_TRUE(fake.called("VolumeChannel " + h(3) + " 10000"));
  EXPECT_TRUE(fake.called("Play " + h(3) + " 0"));
  EXPECT_EQ(fake.typeVolume[engine::kSoundTypeBgm], 3200);
  EXPECT_TRUE(logged(10, "voice_play  3, VO01_001, 0, 0"));

  // Slot -1 takes the first empty line slot; flags: loop and fade in, no music change.
  fake.typeVolume.clear();
  EXPECT_EQ(call(kVoicePlay, {0xFFFFFFFF, slot_file(0, "vo01_001"), 0x1 | 0x4 | 0x100, 300}), 0u);
  EXPECT_TRUE(fake.called("PlayFade " + h(0) + " 1 300"));
  EXPECT_EQ(fake.typeVolume.count(engine::kSoundTypeBgm), 0u);

  // The system voice loads as its own type and leaves the music alone.
  fake.files.insert("SYS.ogg");
  call(kVoicePlay, {8, slot_file(0, "sys"), 0, 0});
  EXPECT_TRUE(fake.called("Load SYS.ogg 7"));
  EXPECT_EQ(fake.typeVolume.count(engine::kSoundTypeBgm), 0u);

  // A missing voice is silent unless the voice check is on.
  call(kVoicePlay, {1, slot_file(0, "gone"), 0, 0});
  EXPECT_FALSE(logged(0, "voice file read"));
  EXPECT_TRUE(logged(10, "skip : voice_play  1, GONE, 0, 0"));
  engine::voice_check_word(vm()) = 1;
  call(kVoicePlay, {1, slot_file(0, "gone"), 0, 0});
  EXPECT_TRUE(logged(0, "voice file read : GONE"));
}

TEST_F(VoiceTest, AMixListPlaysItsNamesTogetherOnSlotsZeroUp) {
  fake.files = {"A1.ogg", "B2.wav", "C3.ogg"};
  mix_list("DUO", {"a1", "b2", "c3"});
  EXPECT_EQ(call(kVoicePlay, {5, slot_file(0, "duo"), 0x2, 0}), 5u);
  const engine::SoundState& s = vm().sound;
  EXPECT_EQ(engine::stored_name(s.voice[0].name), "A1");
  EXPECT_EQ(engine::stored_name(s.voice[1].name), "B2");
  EXPECT_EQ(engine::stored_name(s.voice[2].name), "C3");
  EXPECT_EQ(s.voice[5].sound, 0u);
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(s.voice[i].sound, 0u);
    EXPECT_TRUE(fake.called("Play " + h(i) + " 0"));
  }
  EXPECT_EQ(s.dwVoiceWaitMask, 0x7u);
  EXPECT_EQ(vm().runner.dwPc, 88u);  // flag 2: the call runs again next frame
}

TEST_F(VoiceTest, MixListBytesAreReadWithinTheirEntries) {
  std::string bytes;
  auto entry = [&](std::string name) {
    name.resize(32, '\0');
    bytes += name;
  };
  entry("vo_a\x82\x61z");
  entry(std::string(32, 'q'));  // no terminator
  for (int i = 0; i < 8; ++i) entry("n" + std::to_string(i));
  bytes += "tail";
  const auto names =
      engine::voice_mix_list_parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(names[0], "VO_A\x82\x61Z");  // the trail byte of a two-byte character stays
  EXPECT_EQ(names[1], std::string(32, 'Q'));
  EXPECT_EQ(names[7], "N5");
  EXPECT_TRUE(engine::voice_mix_list_parse(reinterpret_cast<const uint8_t*>("abc"), 3).empty());
}

TEST_F(VoiceTest, PerCharacterVolumeByName) {
  engine::SoundState& s = vm().sound;
  s.voiceInfo[2] = {1, 1, 70, "vo01"};
  s.voiceInfo[5] = {1, 0, 90, "VO02"};
  s.defaultVoiceInfo = {1, 1, 30, ""};
  struct Case {
    const char* name;
    uint32_t ex;
    int32_t volume;
  } cases[] = {
      {"VO01_001", 0, 10000},                   // switch off
      {"VO01_001", 1, 7000},  {"vo02a", 1, 0},  // disabled
      {"VO03_001", 1, 3000},                    // the default record
      {"VO-1_001", 1, 10000}, {"vo\x82\xa0xx", 1, 10000},
      {"VO1", 1, 10000},      {"SE_001", 1, 10000},
  };
  for (const Case& c : cases) {
    s.bVoiceExVolume = c.ex;
    EXPECT_EQ(engine::voice_channel_volume(s, c.name), c.volume) << c.name;
  }
}

TEST_F(VoiceTest, LineVoiceRules) {
  fake.files = {"VO01_001.ogg", "VO01_002.ogg", "VO_ZELKOVARIN0002.ogg", "VO09_001.ogg"};
  engine::SoundState& s = vm().sound;
  s.voiceInfo[0] = {1, 0, 80, "VO09"};  // a silenced character
  s.defaultVoiceInfo = {1, 1, 100, ""};
  s.bVoiceCut = 1;
  // A voice plays on slot 0.
  EXPECT_EQ(engine::line_voice_play(vm(), "VO01_001"), LineVoice::kPlays);
  const uint32_t first = s.voice[0].sound;
  ASSERT_NE(first, 0u);
  // The silenced character's line leaves the voice before it playing.
  EXPECT_EQ(engine::line_voice_play(vm(), "VO09_001"), LineVoice::kSilent);
  EXPECT_EQ(s.voice[0].sound, first);
  // The prefix voice without its probe file is no voice, and voice cut
  // stops the line before.
  EXPECT_EQ(engine::line_voice_play(vm(), "VO_ZELKOVARIN0002"), LineVoice::kNone);
  EXPECT_EQ(s.voice[0].sound, 0u);
  EXPECT_TRUE(fake.called("Release " + num(first & 0xFFFF)));
  // No voice; with voice cut off the playing voice stays.
  EXPECT_EQ(engine::line_voice_play(vm(), "VO01_002"), LineVoice::kPlays);
  s.bVoiceCut = 0;
  EXPECT_EQ(engine::line_voice_play(vm(), ""), LineVoice::kNone);
  EXPECT_NE(s.voice[0].sound, 0u);
  // Without a default record a voice that no record names is not played.
  s.defaultVoiceInfo = {};
  EXPECT_EQ(engine::line_voice_play(vm(), "VO07_001"), LineVoice::kSilent);
  // With the probe file the prefix voice plays.
  s.defaultVoiceInfo = {1, 1, 100, ""};
  s.bVoicePrefixPresent = 1;
  EXPECT_EQ(engine::line_voice_play(vm(), "VO_ZELKOVARIN0002"), LineVoice::kPlays);
}

TEST_F(VoiceTest, SkippingLoadsNothing) {
  fake.files = {"VO01_001.ogg"};
  vm().run.bSkip = 1;
  EXPECT_EQ(call(kVoicePlay, {0, slot_file(0, "vo01_001"), 0, 0}), 0u);
  EXPECT_TRUE(fake.with("Load").empty());
  EXPECT_TRUE(logged(10, "skip : voice_play  0, VO01_001, 0, 0"));
  // Flag 8 plays even while skipping.
  call(kVoicePlay, {0, slot_file(0, "vo01_001"), 0x8, 0});
  EXPECT_NE(vm().sound.voice[0].sound, 0u);
}

TEST_F(VoiceTest, WaitOfPlayHoldsTheScriptUntilAClickFadesTheVoice) {
  fake.files = {"VO01_001.ogg"};
  call(kVoicePlay, {0, slot_file(0, "vo01_001"), 0x2, 0});
  const uint32_t sound = vm().sound.voice[0].sound;
  EXPECT_EQ(vm().runner.dwPc, 88u);
  // Next frame: the call runs again; no click, the voice plays: it waits on.
  vm().runner.dwPc = 100;
  call(kVoicePlay, {});
  EXPECT_EQ(vm().runner.dwPc, 88u);
  EXPECT_EQ(vm().sound.dwVoiceWaitMask, 1u);
  // A click fades the voice out over a second and lets the script go on.
  vm().runner.dwPc = 100;
  g_keys = 0x800000;
  call(kVoicePlay, {});
  EXPECT_TRUE(fake.called("StopFade " + num(sound & 0xFFFF) + " 1000"));
  EXPECT_EQ(vm().sound.dwVoiceWaitMask, 0u);
  EXPECT_EQ(vm().runner.dwPc, 100u);
  EXPECT_EQ(vm().runner.bYield, 1u);
}

TEST_F(VoiceTest, VoiceWaitEndsWhenTheVoiceEnds) {
  fake.files = {"VO01_001.ogg"};
  call(kVoicePlay, {2, slot_file(0, "vo01_001"), 0, 0});
  const uint32_t sound = vm().sound.voice[2].sound;
  call(kVoiceWait, {0xFFFFFFFF});
  EXPECT_EQ(vm().sound.dwVoiceWaitMask, 0xFFu);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 0xFFFFFFFFu);
  EXPECT_EQ(vm().runner.dwPc, 88u);
  fake.playing[sound] = false;
  vm().runner.dwPc = 100;
  call(kVoiceWait, {});
  EXPECT_EQ(vm().sound.dwVoiceWaitMask, 0u);
  EXPECT_EQ(vm().sound.voice[2].sound, 0u);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 0u);
  EXPECT_EQ(vm().runner.dwPc, 100u);
}

TEST_F(VoiceTest, StopFadesOnlyWhereTheRecordOfTheSlotNumberIsEnabled) {
  fake.files = {"A.ogg", "B.ogg"};
  call(kVoicePlay, {0, slot_file(0, "a"), 0, 0});
  call(kVoicePlay, {1, slot_file(0, "b"), 0, 0});
  vm().sound.switches[kCatVoice] = 1;
  call(kVoiceStop, {0xFFFFFFFF, 500});  // an empty table: both stop at once
  EXPECT_EQ(fake.with("Stop ").size(), 2u);
  EXPECT_TRUE(fake.with("StopFade").empty());
  vm().sound.voiceInfo[1].enabled = 1;
  call(kVoiceStop, {0xFFFFFFFF, 500});
  EXPECT_TRUE(fake.called("StopFade " + h(1) + " 500"));
  EXPECT_TRUE(logged(10, "voice_stop  -1, 500"));
  vm().sound.switches[kCatVoice] = 0;  // muted: no fade
  call(kVoiceStop, {1, 500});
  EXPECT_TRUE(logged(10, "voice_stop  1, 0"));
}

TEST_F(VoiceTest, NumbersOutsideTheirTablesAreRefused) {
  fake.files = {"A.ogg"};
  const engine::SoundState before = vm().sound;
  uint32_t r = 0;
  call(kVoicePlay, {9, slot_file(0, "a"), 0x2, 0}, &r);
  call(kVoiceStop, {0xFFFFFFFE, 0});
  call(kVoiceWait, {9});
  call(kSetVoiceInfo, {64, slot_file(0, "a"), 50, 1});
  call(kVoiceEnable, {0xFFFFFFFE, 1, 1});
  call(kSetVoiceAutopan, {16, 3, slot_file(0, "a"), 1});
  call(kVoiceCallClear, {8});
  EXPECT_TRUE(fake.with("Load").empty());
  EXPECT_EQ(std::memcmp(&before, &vm().sound, sizeof before), 0);
  EXPECT_EQ(log_count(0), 7u);
  EXPECT_EQ(vm().runner.dwPc, 100u);
}

TEST_F(VoiceTest, VoiceInfoCommandsNeedAFilledRecord) {
  fake.files = {"VO01_001.ogg"};
  vm().sound.bVoiceExVolume = 1;
  call(kVoiceEnable, {4, 0, 1});
  EXPECT_TRUE(logged(0, "voice_enable not init : 4"));
  info(4, 1, "vo01", 60, 1);
  EXPECT_EQ(engine::stored_name(vm().sound.voiceInfo[4].prefix), "VO01");
  call(kVoicePlay, {0, slot_file(0, "vo01_001"), 0, 0});
  EXPECT_TRUE(fake.called("VolumeChannel " + h(0) + " 6000"));
  call(kVoiceEnable, {4, 0, 1});  // applied to the voices playing now
  EXPECT_EQ(fake.calls.back(), "VolumeChannel " + h(0) + " 0");
  call(kSetVoiceInfo, {0xFFFFFFFF, 0xFFFFFFFF, 150, 1});
  EXPECT_EQ(vm().sound.defaultVoiceInfo.volume, 100u);
  EXPECT_EQ(vm().sound.defaultVoiceInfo.prefix[0], 0);
}

TEST_F(VoiceTest, SpeedIsShiftedByAHundred) {
  EXPECT_EQ(call(kVoiceSetSpeed, {150}), 100u);
  EXPECT_FLOAT_EQ(fake.voiceSpeed, 50.0f);
  EXPECT_EQ(call(kVoiceGetSpeed, {}), 150u);
  EXPECT_EQ(call(kVoiceSetSpeed, {400}), 150u);
  EXPECT_EQ(call(kVoiceGetSpeed, {}), 300u);  // the platform keeps 0..200
}

TEST_F(VoiceTest, AutopanPans) {
  struct Case {
    int32_t x, w, r, pan;
  } cases[] = {{-1, 1280, 5000, -5000},  {0, 1280, 5000, -5000},   {640, 1280, 5000, 0},
               {1280, 1280, 5000, 5000}, {1281, 1280, 5000, 5000}, {320, 1280, 5000, -2500},
               {100, 0, 5000, 5000}};
  for (const Case& c : cases) EXPECT_EQ(engine::autopan_pan_at(c.x, c.w, c.r), c.pan) << c.x;
}

TEST_F(VoiceTest, AutopanFollowsItsLayerAndFixedLevels) {
  fake.files = {"VO01_001.ogg", "VO02_001.ogg"};
  engine::SoundState& s = vm().sound;
  s.bAutopan = 1;
  s.nAutopanRange = 10000;
  // Entry 0: a fixed level; entry 1: layer 5's image.
  call(kSetVoiceAutopan, {0, 10, slot_file(0, "vo02"), 1});
  call(kSetVoiceAutopan, {1, 5, slot_file(0, "VO01"), 0});
  EXPECT_EQ(s.autopan[1].value, layers::decode_image_no(5));
  static float sprite_x = 0;
  orv.OrvSpriteGetInfo = [](OrvHandle, OrvSpriteInfo* info) -> OrvBool {
    *info = {};
    info->x = sprite_x;
    info->cell_width = 200;
    return 1;
  };
  layers::ImageRecord& image = *layers::image_alloc(layers::kBaseLayer, 5);
  ASSERT_EQ(static_cast<int32_t>(image.dwIndex), s.autopan[1].value);
  image.hSprite = 77;
  sprite_x = -100;  // centre at 0: the left edge
  call(kVoicePlay, {0, slot_file(0, "vo01_001"), 0, 0});
  EXPECT_TRUE(fake.called("Pan " + h(0) + " -10000"));
  sprite_x = 1180;  // centre at 1280: the right edge
  engine::voice_frame_update(vm());
  EXPECT_EQ(fake.calls.back(), "Pan " + h(0) + " 10000");
  const size_t n = fake.calls.size();
  engine::voice_frame_update(vm());  // unchanged: no new call
  EXPECT_EQ(fake.calls.size(), n);
  // A released layer is followed no more.
  image.hSprite = 0;
  layers::image_release_now(&image);
  sprite_x = -100;
  engine::voice_frame_update(vm());
  EXPECT_EQ(fake.calls.size(), n);

  call(kVoicePlay, {1, slot_file(0, "vo02_001"), 0, 0});
  EXPECT_EQ(s.voice[1].autopan.state, 2u);
  EXPECT_EQ(s.voice[1].autopan.lastPan, 0);  // level 10: the centre, no call needed
  // An index from a save outside the image table does nothing.
  s.voice[1].autopan = {5000, 0, 0, 2};
  engine::voice_autopan_apply(s, 1);
  EXPECT_EQ(s.voice[1].autopan.lastPan, 0);

  // Clearing an entry: value -1 with fixed 0.
  call(kSetVoiceAutopan, {0, 0xFFFFFFFF, 0, 0});
  EXPECT_EQ(s.autopan[0].key[0], 0);
  // A key of 32 bytes is refused and the handler fails.
  std::memset(engine::AdvGetVarString(vm(), 1), 'K', 32);
  engine::AdvGetVarString(vm(), 1)[32] = 0;
  uint32_t r = 1;
  call(kSetVoiceAutopan, {2, 3, engine::kStringHandleBit | 1, 1}, &r);
  EXPECT_EQ(r, 0u);
  EXPECT_TRUE(logged(0, "set_voice_autopan : size over[KKKK"));
  EXPECT_EQ(s.autopan[2].key[0], 0);
}

TEST_F(VoiceTest, AutopanBlockOfSaveData) {
  // Hand-laid: entry 0 {7, fixed 1, "VO03"}, entry 15 a 32-byte key without terminator.
  std::vector<uint8_t> bytes(engine::kAutopanBlockBytes, 0);
  codec::store_u32(&bytes[0], 7);
  codec::store_u32(&bytes[4], 1);
  std::memcpy(&bytes[8], "VO03", 4);
  std::memset(&bytes[15 * 40 + 8], 'Z', 32);
  codec::ByteReader in(bytes.data(), bytes.size());
  engine::SoundState& s = vm().sound;
  ASSERT_TRUE(engine::autopan_state_restore(s, in));
  EXPECT_EQ(s.autopan[0].value, 7);
  EXPECT_EQ(engine::stored_name(s.autopan[15].key), std::string(32, 'Z'));
  engine::voice_autopan_find(s, 0, std::string(40, 'z'));
  EXPECT_EQ(s.voice[0].autopan.state, 2u);
  std::vector<uint8_t> out;
  codec::ByteWriter w(&out);
  engine::autopan_state_save(s, w);
  EXPECT_EQ(out, bytes);
  codec::ByteReader short_in(bytes.data(), bytes.size() - 1);
  EXPECT_FALSE(engine::autopan_state_restore(s, short_in));
  EXPECT_EQ(s.autopan[0].value, 0);
}

TEST_F(VoiceTest, ReleaseAllEmptiesSlotsAndTables) {
  fake.files = {"A.ogg"};
  engine::SoundState& s = vm().sound;
  call(kVoicePlay, {8, slot_file(0, "a"), 0x2, 0});
  s.autopan[3] = {1, 1, "X"};
  s.bgv[2].paused = 1;
  s.voiceInfo[0] = {1, 1, 50, "A"};
  engine::voice_release_all(vm());
  EXPECT_EQ(s.voice[8].sound, 0u);
  EXPECT_EQ(s.dwVoiceWaitMask, 0u);
  EXPECT_EQ(s.autopan[3].key[0], 0);
  EXPECT_EQ(s.bgv[2].paused, 0u);
  EXPECT_EQ(s.bgv[2].enabled, 1u);
  EXPECT_EQ(s.voiceInfo[0].volume, 50u);  // settings survive
}

// The text window's current voice name, for the voice calls.
inline const char* g_line_voice = "";

TEST_F(VoiceTest, VoiceCallsRunTheirLabelsInsideTheCaller) {
  load(
      "  call voice_call(3, file\"vo01\", @on_begin, @on_end)\n"
      "  mov r1, 1\n"
      "  call wait(-1, 0)\n"
      "on_begin:\n"
      "  add r2, 1\n"
      "  ret\n"
      "on_end:\n"
      "  add r3, 1\n"
      "  ret\n");
  run();
  ASSERT_EQ(vm().reg[1], 1u);
  const engine::Neighbours saved = engine::neighbours;
  engine::neighbours.text.text_voice_name = [](engine::VmContext&) { return g_line_voice; };
  g_line_voice = "VO02_001";
  EXPECT_EQ(engine::voice_call_find(vm()), -1);
  g_line_voice = "vo01_007";
  EXPECT_EQ(engine::voice_call_find(vm()), 3);
  fake.files = {"VO01_007.ogg"};
  vm().sound.defaultVoiceInfo = {1, 1, 100, ""};
  ASSERT_EQ(engine::line_voice_play(vm(), "VO01_007"), LineVoice::kPlays);
  const uint32_t pc = vm().runner.dwPc;
  engine::voice_call_begin(vm());
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().runner.dwPc, pc);  // back where it was called
  EXPECT_EQ(vm().sound.voiceCalls[3].armed, 1u);
  // While the line voice plays the end waits.
  engine::voice_call_end(vm());
  EXPECT_EQ(vm().reg[3], 0u);
  fake.playing[vm().sound.voice[0].sound] = false;
  engine::voice_call_end(vm());
  EXPECT_EQ(vm().reg[3], 1u);
  EXPECT_EQ(vm().runner.dwPc, pc);
  EXPECT_EQ(vm().sound.voiceCalls[3].armed, 0u);
  engine::voice_call_end(vm());  // disarmed: once only
  EXPECT_EQ(vm().reg[3], 1u);
  engine::neighbours = saved;
}

}  // namespace
}  // namespace soundtest
