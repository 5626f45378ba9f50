// Background voices: playing and stopping slots, the pause under a speaker's line voice and the
// resume after it, the script's own pause, the category volume and refused slot numbers.
#include "text/sound/bgv.h"
#include "fake_sound.h"
#include "text/sound/sound_frame.h"
#include "text/sound/voices.h"

namespace soundtest {
namespace {

constexpr uint32_t kVoicePlay = 0x0d0000;
constexpr uint32_t kBgvPlay = 0x0d0008;
constexpr uint32_t kBgvStop = 0x0d0009;
constexpr uint32_t kBgvEnable = 0x0d000a;
constexpr uint32_t kBgvPause = 0x0d0013;
constexpr uint32_t kBgvMute = 0x0d0014;
constexpr uint32_t kSetBgvVolume = 0x0d0015;
constexpr uint32_t kGetBgvVolume = 0x0d0016;
constexpr uint32_t kSetBgvAutoVolume = 0x0d0017;
constexpr uint32_t kNone = 0xFFFFFFFF;

class BgvTest : public SoundTest {
 protected:
  engine::BgvSlot& slot(int n) { return vm().sound.bgv[n]; }
  std::string h(int n) { return num(slot(n).sound & 0xFFFF); }
  uint32_t play(int32_t n, const char* name, uint32_t flags, int32_t fade) {
    return call(kBgvPlay,
                {static_cast<uint32_t>(n), slot_file(0, name), flags, static_cast<uint32_t>(fade)});
  }
};

TEST_F(BgvTest, PlayFillsTheFirstFreeSlotAndFadesInUnlessSkipping) {
  fake.files = {"BG_A.ogg", "BG_B.ogg"};
  EXPECT_EQ(play(-1, "bg_a", 0x1 | 0x4, 800), 0u);
  EXPECT_TRUE(fake.called("Load BG_A.ogg 2"));
  EXPECT_TRUE(fake.called("PlayFade " + h(0) + " 1 800"));
  EXPECT_TRUE(logged(10, "bgv_play 0, BG_A, 5, 800"));
  vm().run.bSkip = 1;
  EXPECT_EQ(play(-1, "bg_b", 0x4, 800), 1u);
  EXPECT_TRUE(fake.called("Play " + h(1) + " 0"));
  // Played anew, a slot loses its old voice, key and pause.
  slot(0).hasKey = 1;
  slot(0).paused = 1;
  const std::string old = h(0);
  play(0, "bg_b", 0, 0);
  EXPECT_TRUE(fake.called("Release " + old));
  EXPECT_EQ(slot(0).hasKey, 0u);
  EXPECT_EQ(slot(0).paused, 0u);
}

TEST_F(BgvTest, StopFadesOnlyWithTheSwitchOnAndNoSkipInput) {
  fake.files = {"BG_A.ogg"};
  vm().sound.switches[engine::kCatBgv] = 1;
  play(2, "bg_a", 0x1, 0);
  slot(2).hasKey = 1;
  call(kBgvStop, {2, 500});
  EXPECT_TRUE(fake.called("StopFade " + h(2) + " 500"));
  EXPECT_EQ(slot(2).hasKey, 0u);  // the frame update may release it once the fade ends
  EXPECT_EQ(slot(2).flags & engine::kBgvLoop, 0u);
  fake.playing[slot(2).sound] = false;
  engine::voice_frame_update(vm());
  EXPECT_EQ(slot(2).sound, 0u);

  // A click in the same frame stops it at once and empties the slot.
  play(2, "bg_a", 0x1, 0);
  fake.keysPushed = 0x800000;
  vm().buttons.bKeyRelease = 0;
  call(kBgvStop, {2, 500});
  EXPECT_EQ(slot(2).sound, 0u);
  EXPECT_EQ(slot(2).file, 0u);
  fake.keysPushed = 0;

  // Muted, no fade either; the slot keeps its enabled word.
  play(3, "bg_a", 0x1, 0);
  call(kBgvMute, {1});
  call(kBgvStop, {kNone, 500});
  EXPECT_EQ(fake.with("StopFade").size(), 1u);
  EXPECT_EQ(slot(3).sound, 0u);
  EXPECT_TRUE(logged(10, "bgv_stop  -1, 0"));
}

// A voice the script paused is still let go once it ends: faded out, the frame update releases
// its channel as it does an unpaused one; stopped at once, the pause does not pass on to the
// next voice played into the slot, which is released when it ends.
TEST_F(BgvTest, APausedVoiceIsReleasedAfterItsStop) {
  fake.files = {"BG_A.ogg", "BG_B.ogg"};
  vm().sound.switches[engine::kCatBgv] = 1;
  play(2, "bg_a", 0x1, 0);
  call(kBgvPause, {2, 1, 0});
  call(kBgvStop, {2, 500});
  EXPECT_TRUE(fake.called("StopFade " + h(2) + " 500"));
  const std::string faded = h(2);
  fake.playing[slot(2).sound] = false;  // the fade has ended
  engine::voice_frame_update(vm());
  EXPECT_TRUE(fake.called("Release " + faded));
  EXPECT_EQ(slot(2).sound, 0u);

  play(3, "bg_a", 0x1, 0);
  call(kBgvPause, {3, 1, 0});
  call(kBgvStop, {3, 0});
  EXPECT_EQ(slot(3).sound, 0u);
  play(3, "bg_b", 0, 0);
  EXPECT_EQ(slot(3).paused, 0u);
  const std::string ended = h(3);
  fake.playing[slot(3).sound] = false;
  engine::voice_frame_update(vm());
  EXPECT_TRUE(fake.called("Release " + ended));
  EXPECT_EQ(slot(3).sound, 0u);
}

TEST_F(BgvTest, KeyedSlotPausesUnderItsSpeakersVoiceAndResumesAfter) {
  fake.files = {"BG_A.ogg", "BG_C.ogg", "VO_A01.ogg", "VO_B01.ogg"};
  play(0, "bg_a", 0x1, 0);
  play(1, "bg_c", 0x1, 0);
  call(kSetBgvAutoVolume, {0, slot_file(1, "vo_a")});
  EXPECT_STREQ(slot(0).key, "VO_A");
  EXPECT_EQ(slot(0).hasKey, 1u);
  // Another speaker leaves it alone (a resume of a slot that is not paused changes nothing).
  const std::string pause = "Pause " + h(0) + " 1 100";
  const std::string resume = "Pause " + h(0) + " 0 1000";
  call(kVoicePlay, {0, slot_file(2, "vo_b01"), 0, 0});
  EXPECT_FALSE(fake.called(pause));
  call(kVoicePlay, {0, slot_file(2, "vo_a01"), 0, 0});
  EXPECT_EQ(fake.with("Pause").back(), pause);
  EXPECT_FALSE(fake.called("Pause " + h(1) + " 1 100"));
  // The voice ends: the keyed slot comes back over a second; the unkeyed one is never touched.
  fake.calls.clear();
  fake.playing[vm().sound.voice[0].sound] = false;
  engine::voice_frame_update(vm());
  EXPECT_EQ(fake.with("Pause"), std::vector<std::string>{resume});
  // A slot the script paused stays paused through lines.
  call(kBgvPause, {0, 1, 200});
  EXPECT_EQ(slot(0).paused, 1u);
  fake.calls.clear();
  engine::line_voices_clear(vm());
  call(kVoicePlay, {0, slot_file(2, "vo_a01"), 0, 0});
  engine::line_voices_clear(vm());
  EXPECT_TRUE(fake.with("Pause").empty());  // paused by the script: left alone
  call(kBgvPause, {0, 0, 200});
  EXPECT_TRUE(fake.called("Pause " + h(0) + " 0 200"));
  call(kBgvPause, {0, 0, 200});  // no change: nothing asked of the platform
  EXPECT_EQ(fake.with("Pause").size(), 1u);
}

TEST_F(BgvTest, AutoVolumeKeyPausesAtOnceForAVoiceAlreadyPlaying) {
  fake.files = {"BG_A.ogg", "VO_A01.ogg"};
  play(4, "bg_a", 0x1, 0);
  call(kVoicePlay, {2, slot_file(2, "vo_a01"), 0, 0});
  call(kSetBgvAutoVolume, {4, slot_file(1, "Vo_A")});  // any case
  EXPECT_TRUE(fake.called("Pause " + h(4) + " 1 100"));
  EXPECT_TRUE(logged(10, "set_bgv_auto_volume 4, VO_A"));
}

TEST_F(BgvTest, RefusedSlotsAndOverLongKeys) {
  uint32_t r = 1;
  call(kSetBgvAutoVolume, {kNone, slot_file(1, "vo")}, &r);
  EXPECT_EQ(r, 0u);
  EXPECT_TRUE(logged(0, "set_bgv_auto_volume error : failed ch -1"));
  call(kSetBgvAutoVolume, {8, slot_file(1, "vo")}, &r);
  EXPECT_EQ(r, 0u);
  std::snprintf(engine::AdvGetVarString(vm(), 3), 64, "%s", std::string(32, 'K').c_str());
  call(kSetBgvAutoVolume, {1, engine::kStringHandleBit | 3}, &r);
  EXPECT_EQ(r, 0u);
  EXPECT_TRUE(logged(0, "set_bgv_auto_volume_key : size over["));
  EXPECT_EQ(vm().sound.bgv[1].hasKey, 0u);
  fake.files = {"BG_A.ogg"};
  for (uint32_t id : {kBgvPlay, kBgvStop, kBgvEnable, kBgvPause}) {
    call(id, {8, slot_file(0, "bg_a"), 0, 0}, &r);
    EXPECT_EQ(r, 1u);
  }
  EXPECT_TRUE(fake.with("Load").empty());
}

TEST_F(BgvTest, VolumeAndSwitchReachTheCategory) {
  vm().sound.switches[engine::kCatBgv] = 1;
  call(kSetBgvVolume, {35});
  EXPECT_EQ(fake.typeVolume[engine::kSoundTypeBgv], 3500);
  call(kBgvMute, {1});
  EXPECT_EQ(fake.typeVolume[engine::kSoundTypeBgv], 0);
  EXPECT_EQ(call(kGetBgvVolume, {}), 35u);
  call(kBgvEnable, {kNone, 0});
  for (const engine::BgvSlot& b : vm().sound.bgv) EXPECT_EQ(b.enabled, 0u);
}

}  // namespace
}  // namespace soundtest
