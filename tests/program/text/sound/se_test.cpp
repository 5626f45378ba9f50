// Sound effects: loading and playing, reserved channels, waits, skips, the volume tables, pan,
// frequency, the category volumes and the refusal of channel numbers outside the table.
#include "engine/neighbours.h"
#include "fake_sound.h"
#include "text/sound/sound_effects.h"
#include "text/sound/sound_frame.h"

namespace soundtest {
namespace {

constexpr uint32_t kSeLoad = 0x050000;
constexpr uint32_t kSePlay = 0x050001;
constexpr uint32_t kSePlayEx = 0x050002;
constexpr uint32_t kSeStop = 0x050003;
constexpr uint32_t kSeSetVolume = 0x050004;
constexpr uint32_t kSeGetVolume = 0x050005;
constexpr uint32_t kSeUnload = 0x050006;
constexpr uint32_t kSeWait = 0x050007;
constexpr uint32_t kSetSeInfo = 0x050008;
constexpr uint32_t kGetSeExVolume = 0x050009;
constexpr uint32_t kIsSeEnable = 0x05000c;
constexpr uint32_t kSeSetPan = 0x05000d;
constexpr uint32_t kSeMute = 0x05000e;
constexpr uint32_t kSeSetFreq = 0x05000f;
constexpr uint32_t kSeGetChFreq = 0x050010;
constexpr uint32_t kSePlayChEx = 0x050011;
constexpr uint32_t kSeSetChVolume = 0x050012;
constexpr uint32_t kVoiceAutopanInitialize = 0x0d000e;
constexpr uint32_t kNone = 0xFFFFFFFF;

class SeTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    vm().runner.dwPc = 100;  // where a command call's pc stands after its 12 bytes
  }
  engine::SeChannel& ch(int n) { return vm().sound.se[n]; }
  std::string h(int n) { return num(ch(n).sound & 0xFFFF); }
  // The next frame's run of a waiting command.
  void next_frame(uint32_t id) {
    vm().runner.dwPc = 100;
    call(id, {});
  }
};

TEST_F(SeTest, LoadedChannelStaysReservedThroughPlayStopAndFrameUpdates) {
  fake.files = {"DOOR.wav"};
  call(kSeLoad, {slot_file(0, "door"), 3, 1});
  EXPECT_TRUE(fake.called("Load DOOR.ogg 4"));  // SE type 1 is platform type 4, .ogg first
  EXPECT_TRUE(fake.called("Load DOOR.wav 4"));
  EXPECT_EQ(ch(3).flags, engine::kSeReserved);
  EXPECT_EQ(ch(3).type, 1u);
  EXPECT_STREQ(ch(3).name, "DOOR");
  EXPECT_TRUE(fake.with("Play").empty());
  EXPECT_TRUE(logged(10, "se_load  DOOR, 3, 1"));

  call(kSePlay, {3, 0x1 | 0x4, 500});
  EXPECT_TRUE(fake.called("PlayFade " + h(3) + " 1 500"));
  EXPECT_EQ(ch(3).flags, engine::kSeReserved | 0x5);
  // Ended or not, a reserved channel outlives the frame update and a plain stop.
  fake.playing[ch(3).sound] = false;
  engine::se_frame_update(vm());
  ASSERT_NE(ch(3).sound, 0u);
  call(kSeStop, {3, 0});
  EXPECT_TRUE(fake.called("Stop " + h(3)));
  EXPECT_NE(ch(3).sound, 0u);
  EXPECT_EQ(ch(3).flags & engine::kSeLoop, 0u);
  const std::string handle = h(3);
  call(kSeUnload, {3});
  EXPECT_TRUE(fake.called("Release " + handle));
  EXPECT_EQ(ch(3).sound, 0u);
  EXPECT_EQ(ch(3).flags, 0u);
}

TEST_F(SeTest, PlayExTakesTheFirstFreeChannelAndChannelZeroWhenAllAreBusy) {
  fake.files = {"HIT.ogg"};
  EXPECT_EQ(call(kSePlayEx, {kNone, slot_file(0, "hit"), 0, 0, 0}), 0u);
  EXPECT_TRUE(fake.called("Load HIT.ogg 5"));  // SE type 0 is platform type 5
  EXPECT_TRUE(fake.called("Play " + h(0) + " 0"));
  EXPECT_TRUE(logged(10, "se_play_ex [0]ch  HIT, 0, 0, 0"));
  EXPECT_EQ(call(kSePlayEx, {kNone, slot_file(0, "hit"), 0, 0, 2}), 1u);
  EXPECT_TRUE(fake.called("Load HIT.ogg 6"));  // SE type 2: platform type 6
  for (int i = 2; i < 16; ++i) call(kSePlayEx, {kNone, slot_file(0, "hit"), 0, 0, 0});
  const std::string first = h(0);
  EXPECT_EQ(call(kSePlayEx, {kNone, slot_file(0, "hit"), 0, 0, 0}), 0u);
  EXPECT_TRUE(fake.called("Release " + first));
  // The effect ends by itself: the frame update releases it and empties the channel.
  fake.playing[ch(0).sound] = false;
  engine::se_frame_update(vm());
  EXPECT_EQ(ch(0).sound, 0u);
  EXPECT_EQ(ch(0).file, 0u);
}

TEST_F(SeTest, PlayExOnAReservedChannelReportsItAndTakesItOver) {
  fake.files = {"A.ogg", "B.ogg"};
  call(kSeLoad, {slot_file(0, "a"), 4, 0});
  const std::string reserved = h(4);
  EXPECT_EQ(call(kSePlayEx, {4, slot_file(0, "b"), 0, 0, 0}), 4u);
  EXPECT_TRUE(logged(0, "[4]ch 指定したチャンネルは現在使用不可です [se_play_ex]"));
  EXPECT_TRUE(logged(0, "name="));  // the current line follows
  // The reserved sound is not left behind in the platform.
  EXPECT_TRUE(fake.called("Release " + reserved));
  EXPECT_EQ(ch(4).flags & engine::kSeReserved, 0u);
  EXPECT_STREQ(ch(4).name, "B");
}

TEST_F(SeTest, OneShotEffectsArePassedOverWhileSkippingButLoopsPlay) {
  fake.files = {"HIT.ogg"};
  vm().run.bSkip = 1;
  EXPECT_EQ(call(kSePlayEx, {5, slot_file(0, "hit"), 0, 0, 0}), 5u);
  EXPECT_TRUE(fake.with("Load").empty());
  EXPECT_EQ(ch(5).sound, 0u);
  call(kSePlayEx, {5, slot_file(0, "hit"), 0x8, 0, 0});  // flag 8: played anyway
  EXPECT_EQ(fake.with("Play ").size(), 1u);
  call(kSePlayEx, {6, slot_file(0, "hit"), 0x1, 0, 0});  // a loop plays
  EXPECT_TRUE(fake.called("Play " + h(6) + " 1"));
  // An action section's effect: the same rule, and the loop flag joins the channel's flags.
  const size_t plays = fake.with("Play").size();
  auto& t = engine::neighbours.text;
  ASSERT_NE(t.se_play_for_action, nullptr);
  EXPECT_TRUE(t.se_play_for_action(vm(), 6, 0, 0, 0));
  EXPECT_EQ(fake.with("Play").size(), plays);
  EXPECT_TRUE(t.se_play_for_action(vm(), 6, 1, 1, 700));
  EXPECT_TRUE(fake.called("PlayFade " + h(6) + " 1 700"));
  EXPECT_FALSE(t.se_play_for_action(vm(), 16, 1, 0, 0));
}

TEST_F(SeTest, WaitHoldsTheScriptUntilAClickFadesTheEffect) {
  fake.files = {"BELL.ogg"};
  call(kSeLoad, {slot_file(0, "bell"), 2, 0});
  call(kSePlay, {2, 0x2, 0});
  EXPECT_EQ(vm().sound.dwBlockingSe, 3u);
  EXPECT_EQ(vm().runner.dwPc, 88u);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 0xFFFFFFFFu);
  next_frame(kSePlay);  // no click: it waits on
  EXPECT_EQ(vm().runner.dwPc, 88u);
  fake.keysPushed = 0x4;  // Enter
  next_frame(kSePlay);
  EXPECT_TRUE(fake.called("StopFade " + h(2) + " 1000"));
  EXPECT_EQ(vm().runner.dwPc, 100u);
  EXPECT_EQ(vm().runner.bYield, 1u);
  EXPECT_EQ(vm().sound.dwBlockingSe, 0u);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 0u);
  EXPECT_NE(ch(2).sound, 0u);  // reserved: kept
}

TEST_F(SeTest, WaitOnAnEffectThatEndsReleasesAnUnreservedOne) {
  fake.files = {"BELL.ogg"};
  call(kSePlayEx, {7, slot_file(0, "bell"), 0, 0, 0});
  call(kSeWait, {7});
  EXPECT_EQ(vm().sound.dwBlockingSe, 8u);
  EXPECT_TRUE(logged(10, "se_wait  7"));
  fake.playing[ch(7).sound] = false;
  next_frame(kSeWait);
  EXPECT_EQ(ch(7).sound, 0u);
  EXPECT_EQ(vm().runner.dwPc, 100u);
  EXPECT_EQ(vm().sound.dwBlockingSe, 0u);
}

TEST_F(SeTest, PrefixVolumeWinsOverTheChannelOverride) {
  fake.files = {"SE_RAIN.ogg", "WIND.ogg"};
  call(kSeSetChVolume, {1, 70, 0});
  call(kSeSetFreq, {1, 11025, 0});
  call(kSetSeInfo, {0, slot_file(1, "se_"), 30, 1});
  call(kSePlayEx, {1, slot_file(0, "se_rain"), 0, 0, 0});
  EXPECT_EQ(fake.channelVolume[ch(1).sound], 3000);
  EXPECT_TRUE(fake.with("Freq").empty());
  // Another name gets the override: volume 70 and its frequency.
  call(kSePlayEx, {1, slot_file(0, "wind"), 0, 0, 0});
  EXPECT_EQ(fake.channelVolume[ch(1).sound], 7000);
  EXPECT_TRUE(fake.called("Freq " + h(1) + " 11025"));
  // A released entry matches nothing; unused entries answer with their log and no result.
  call(kSetSeInfo, {0, 0x0FFFFFFF, 0, 0});
  EXPECT_TRUE(logged(10, "set_se_info  relase"));
  EXPECT_EQ(call(kIsSeEnable, {0}), 0xFFFFFFFFu);
  EXPECT_EQ(call(kGetSeExVolume, {0}), 0xDEADu);
  EXPECT_TRUE(logged(0, "initialize error : _se_enable [0]"));
  EXPECT_EQ(call(kGetSeExVolume, {4}), 0xDEADu);
  EXPECT_TRUE(logged(0, "channel error : get_se_ex_volume[4]"));
}

TEST_F(SeTest, ChannelVolumeAndFrequencyApplyAtOnceAndAtEveryPlay) {
  fake.files = {"HUM.ogg"};
  call(kSeLoad, {slot_file(0, "hum"), 0, 0});
  call(kSeSetChVolume, {0, 250, 1});  // above 100: the most there is
  EXPECT_EQ(fake.channelVolume[ch(0).sound], 10000);
  call(kSeSetFreq, {0, 22050, 1});
  EXPECT_TRUE(fake.called("Freq " + h(0) + " 22050"));
  fake.calls.clear();
  call(kSePlay, {0, 0, 0});
  EXPECT_TRUE(fake.called("Freq " + h(0) + " 22050"));
  // Frequency 0 gives the effect its own rate back, now and later.
  call(kSeSetFreq, {0, 0, 1});
  EXPECT_TRUE(fake.called("Freq " + h(0) + " 0"));
  EXPECT_EQ(vm().sound.seOverrides[0].flags, 0x1u);
  EXPECT_EQ(call(kSeGetChFreq, {0}), 22050u);
  EXPECT_EQ(call(kSeGetChFreq, {16}), 0xFFFFFFFFu);
  // se_play_ch_ex sets both, and loads an SE type 1 effect amplified above 100.
  fake.files.insert("BOOM.ogg");
  call(kSePlayChEx, {9, slot_file(0, "boom"), 0, 0, 1, 150, 44100});
  EXPECT_TRUE(fake.called("LoadEx BOOM.ogg 4 150"));
  EXPECT_EQ(vm().sound.seOverrides[9].flags, 0x3u);
  EXPECT_TRUE(logged(10, "se_play_ch_ex [9]ch  BOOM, 0, 0, 1, 150, 44100"));
}

TEST_F(SeTest, PendingPanIsTheLevelAcrossTheScreenAndUsedOnce) {
  fake.files = {"STEP.ogg"};
  call(kVoiceAutopanInitialize, {100});  // R = 10000; the screen is 1280 wide (step 64)
  struct Case {
    int32_t level;
    int32_t pan;
  };
  // pan = x / 1280 x 2R - R with x = 64 x level; below 0 and above 20 off the screen.
  const Case cases[] = {{0, -10000}, {5, -5000}, {10, 0}, {20, 10000}, {-3, -10000}, {25, 10000}};
  for (const Case& c : cases) {
    call(kSeSetPan, {static_cast<uint32_t>(c.level)});
    EXPECT_EQ(vm().sound.nPendingSePan, c.pan) << c.level;
  }
  call(kSeSetPan, {0});
  call(kSeLoad, {slot_file(0, "step"), 0, 0});
  call(kSePlay, {0, 0x20, 0});
  EXPECT_TRUE(fake.called("Pan " + h(0) + " -10000"));
  EXPECT_EQ(ch(0).pan, -10000);
  call(kSePlay, {0, 0x20, 0});
  EXPECT_TRUE(fake.called("Pan " + h(0) + " 0"));
}

TEST_F(SeTest, TypeVolumesAndSwitchesReachTheirCategories) {
  struct Case {
    uint32_t type;
    int32_t platform;
  };
  for (const Case c : {Case{0, 5}, Case{1, 4}, Case{2, 6}}) {
    vm().sound.switches[engine::kCatSe0 + c.type] = 1;
    call(kSeSetVolume, {40, c.type});
    EXPECT_EQ(fake.typeVolume[c.platform], 4000);
    call(kSeMute, {1, c.type});
    EXPECT_EQ(fake.typeVolume[c.platform], 0);
    EXPECT_EQ(call(kSeGetVolume, {c.type}), 40u);  // muted, the volume stays
    call(kSeMute, {0, c.type});
    EXPECT_EQ(fake.typeVolume[c.platform], 4000);
  }
  uint32_t r = 1;
  call(kSeSetVolume, {40, 3}, &r);
  EXPECT_EQ(r, 0u);
  EXPECT_TRUE(logged(0, "*** channel error se_set_volume [3]"));
  call(kSeMute, {1, 7}, &r);
  EXPECT_EQ(r, 0u);
}

TEST_F(SeTest, ChannelNumbersOutsideTheTableAreRefused) {
  const struct {
    uint32_t id;
    std::vector<uint32_t> args;
  } cases[] = {
      {kSeLoad, {slot_file(0, "x"), 16, 0}},
      {kSeLoad, {slot_file(0, "x"), kNone, 0}},
      {kSePlay, {16, 0, 0}},
      {kSePlayEx, {16, slot_file(0, "x"), 0, 0, 0}},
      {kSePlayEx, {0xFFFFFFFE, slot_file(0, "x"), 0, 0, 0}},
      {kSePlayChEx, {16, slot_file(0, "x"), 0, 0, 0, 0, 0}},
      {kSePlayEx, {0, slot_file(0, "x"), 0, 0, 3}},  // an SE type outside 0..2
      {kSeStop, {16, 0}},
      {kSeWait, {16}},
      {kSeSetChVolume, {16, 0, 0}},
      {kSeSetFreq, {16, 0, 0}},
      {kSeUnload, {16}},
  };
  for (const auto& c : cases) {
    uint32_t r = 1;
    call(c.id, c.args, &r);
    EXPECT_EQ(r, 0u) << std::hex << c.id;
  }
  EXPECT_TRUE(logged(0, "channel error : se_unload [16]"));
  EXPECT_TRUE(fake.with("Load").empty());
}

TEST_F(SeTest, ReleaseAllEmptiesReservedChannelsAndDropsTheWait) {
  fake.files = {"A.ogg"};
  call(kSeLoad, {slot_file(0, "a"), 0, 0});
  call(kSePlayEx, {1, slot_file(0, "a"), 0x1 | 0x2, 0, 0});
  ASSERT_EQ(vm().sound.dwBlockingSe, 2u);
  engine::se_release_all(vm());  // as a reset before a load does
  EXPECT_EQ(fake.with("Release").size(), 2u);
  EXPECT_EQ(ch(0).flags, 0u);
  EXPECT_EQ(ch(1).sound, 0u);
  // The first effect command after it plays and takes its own arguments.
  vm().runner.dwPc = 100;
  EXPECT_EQ(call(kSePlayEx, {5, slot_file(0, "a"), 0, 0, 0}), 5u);
  EXPECT_EQ(vm().nArgCount, 0);
  EXPECT_NE(ch(5).sound, 0u);
}

}  // namespace
}  // namespace soundtest
