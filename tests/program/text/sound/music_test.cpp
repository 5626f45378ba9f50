// Music: play and cross-fade, stop, fades of one channel, the auto volume under voices, the
// per-frame update and the channels' part of save data.
#include <cstring>

#include "fake_sound.h"
#include "text/sound/music.h"
#include "text/sound/sound_commands.h"
#include "text/sound/sound_frame.h"

namespace soundtest {
namespace {

constexpr uint32_t kPlay = 0x040000, kStop = 0x040001, kSetVolume = 0x040002, kGetVolume = 0x040003,
                   kUsers = 0x040005, kSetAuto = 0x040006, kPause = 0x040007, kFilename = 0x040008,
                   kLoad = 0x040009, kPlay2 = 0x04000a, kMuteBgm = 0x04000e, kMuteAuto = 0x04000f,
                   kGetPos = 0x040011;

class MusicTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    fake.files = {"A.ogg", "B.ogg", "C.wav"};
    vm().sound.volumes[engine::kCatBgm] = 8000;
    vm().sound.switches[engine::kCatBgm] = 1;
  }
  uint32_t play(int32_t ch, const char* name, uint32_t flags, int32_t fade) {
    return call(kPlay, {uint32_t(ch), slot_file(0, name), flags, uint32_t(fade), 0, 0, 0});
  }
  engine::BgmChannel& bgm(int n) { return vm().sound.bgm[n]; }
};

TEST_F(MusicTest, PlayFadeInLastsFourTimesItsOperandAndIsCutBySkipping) {
  struct Case {
    const char* what;
    uint32_t flags;
    bool skipping;
    std::string expected;
  };
  const Case cases[] = {
      {"fade-in", 5, false, "PlayFade 0 1 4000"},
      {"skipping: a sixteenth", 5, true, "PlayFade 0 1 248"},
      {"no fade flag starts at once", 1, false, "PlayFade 0 1 0"},
      {"no loop", 4, false, "PlayFade 0 0 4000"},
  };
  for (const Case& c : cases) {
    fake = FakeSound{};
    fake.files = {"A.ogg"};
    vm().sound.bgm[0] = {};
    vm().run.bSkip = c.skipping;
    EXPECT_EQ(play(0, "A", c.flags, 1000), 0u) << c.what;
    EXPECT_EQ(fake.with("PlayFade"), std::vector<std::string>{c.expected}) << c.what;
    EXPECT_EQ(bgm(0).volume, 100) << c.what;
  }
  vm().run.bSkip = 0;
}

TEST_F(MusicTest, CrossFadeMovesTheOldMusicToChannelOne) {
  play(0, "A", 5, 1000);
  const uint32_t a = bgm(0).sound;
  fake.freeBgmChannels = 1;
  EXPECT_EQ(play(-1, "B", 5, 1000), 0u);
  EXPECT_EQ(bgm(1).sound, a);
  EXPECT_NE(bgm(0).sound, a);
  EXPECT_NE(bgm(0).sound, 0u);
  EXPECT_EQ(std::string(bgm(0).name), "B");
  // Stopping channel 1 fades the old music; the frame update releases it once silent.
  call(kStop, {1, 2000});
  EXPECT_TRUE(fake.called("StopFade " + num(a & 0xFFFF) + " 2000"));
  EXPECT_EQ(bgm(1).file, 0u);
  EXPECT_EQ(bgm(1).sound, a);
  fake.playing[a] = false;
  engine::sound_channels_update(vm());
  EXPECT_EQ(bgm(1).sound, 0u);
  EXPECT_TRUE(fake.called("Release " + num(a & 0xFFFF)));
  EXPECT_NE(bgm(0).sound, 0u);
}

// A cross-fade judges each record by the platform channel of its own sound. After an earlier
// cross-fade the records and the platform channels are crossed: channel 0's music plays on
// platform channel 1 while platform channel 0 is idle.
TEST_F(MusicTest, CrossFadeLooksAtTheChannelOfEachRecordsOwnSound) {
  struct Case {
    const char* what;
    int32_t in_use[2];  // platform channels 0 and 1 in use
    bool moved;         // A's record moves to channel 1
  } cases[] = {
      {"A on platform channel 1 plays on", {0, 1}, true},
      {"A on platform channel 1 has ended", {1, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake = FakeSound{};
    fake.files = {"A.ogg", "B.ogg"};
    vm().sound.bgm[0] = {};
    vm().sound.bgm[1] = {};
    fake.nextIndex = 1;  // A is loaded into platform channel 1
    play(0, "A", 1, 0);
    const uint32_t a = bgm(0).sound;
    ASSERT_EQ(engine::sound_handle_index(a), 1);
    fake.param18[0] = c.in_use[0];
    fake.param18[1] = c.in_use[1];
    fake.freeBgmChannels = 1;
    play(-1, "B", 1, 0);
    EXPECT_EQ(bgm(1).sound, c.moved ? a : 0u);
    EXPECT_EQ(std::string(bgm(0).name), "B");
    EXPECT_NE(bgm(0).sound, a);
  }
}

// After a cross-fade the records and the platform channels are crossed; the queries of a
// record's platform fields ask the channel of its own sound, and the sounding channel (-1, a
// platform channel) gives the fields of the record whose music plays there.
TEST_F(MusicTest, QueriesAskThePlatformChannelOfTheRecordsOwnSound) {
  constexpr uint32_t kStatus = 0x040010;
  fake.files = {"A.ogg", "B.ogg"};
  const uint32_t file_a = slot_file(1, "A"), file_b = slot_file(2, "B");
  fake.nextIndex = 1;  // B is loaded into platform channel 1, A into channel 0
  call(kPlay, {0, file_b, 1, 0, 0, 0, 0});
  fake.nextIndex = 0;
  call(kPlay, {1, file_a, 1, 0, 0, 0, 0});
  ASSERT_EQ(engine::sound_handle_index(bgm(0).sound), 1);
  ASSERT_EQ(engine::sound_handle_index(bgm(1).sound), 0);
  struct Case {
    const char* what;
    int32_t ch;
    int32_t param;
    uint32_t result;
    int32_t platform;  // the platform channel asked (-1: none)
  } cases[] = {
      {"channel 0's play position", 0, 3, 7, 1},
      {"channel 1's play position", 1, 3, 7, 0},
      {"channel 0's file", 0, -2, file_b, -1},
      // The fake's sounding channel is platform channel 0, where channel 1's music plays.
      {"the sounding channel's file", -1, -2, file_a, -1},
      {"the sounding channel's sound", -1, -1, bgm(1).sound, -1},
      {"the sounding channel's play position", -1, 3, 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake.paramChannel = -1;
    EXPECT_EQ(call(kGetPos, {uint32_t(c.ch), uint32_t(c.param)}), c.result);
    EXPECT_EQ(fake.paramChannel, c.platform);
  }
  call(kStatus, {0});
  EXPECT_EQ(fake.statusChannel, 1);
  call(kStatus, {1});
  EXPECT_EQ(fake.statusChannel, 0);
  call(kStatus, {uint32_t(-1)});  // the sounding platform channel as it is
  EXPECT_EQ(fake.statusChannel, 0);
}

TEST_F(MusicTest, CrossFadeWithoutFreeChannelsReleasesAll) {
  play(0, "A", 1, 0);
  fake.freeBgmChannels = 0;
  play(-1, "B", 1, 0);
  EXPECT_TRUE(fake.called("ReleaseEx 3"));
  EXPECT_EQ(bgm(1).sound, 0u);
  EXPECT_EQ(std::string(bgm(0).name), "B");
}

TEST_F(MusicTest, BadChannelsAreRefusedAndChangeNothing) {
  play(0, "A", 1, 0);
  const engine::BgmChannel before = bgm(0);
  struct Case {
    uint32_t id;
    std::vector<uint32_t> args;
    uint32_t handler_return;
  };
  const Case cases[] = {
      {kPlay, {2, slot_file(1, "B"), 1, 0, 0, 0, 0}, 0},
      {kPlay, {uint32_t(-2), slot_file(1, "B"), 1, 0, 0, 0, 0}, 0},
      {kLoad, {uint32_t(-1), slot_file(1, "B"), 0, 0, 0}, 0},
      {kPlay2, {7, 1, 0}, 0},
      {kStop, {2, 0}, 1},
      {kPause, {uint32_t(-3), 1, 0}, 1},
      {kUsers, {uint32_t(-1), 50, 0}, 1},
      {kUsers, {2, 50, 0}, 1},
      {kFilename, {5}, 1},
  };
  for (const Case& c : cases) {
    const size_t calls = fake.calls.size();
    uint32_t r = 99;
    call(c.id, c.args, &r);
    EXPECT_EQ(r, c.handler_return) << std::hex << c.id;
    EXPECT_EQ(fake.calls.size(), calls) << std::hex << c.id;
    EXPECT_EQ(std::memcmp(&bgm(0), &before, sizeof before), 0) << std::hex << c.id;
  }
  EXPECT_EQ(log_count(0), std::size(cases));
}

TEST_F(MusicTest, StopLeavesAFadeOutToItsOwnFadeUnlessImmediate) {
  play(0, "A", 1, 0);
  const uint32_t a = bgm(0).sound;
  call(kStop, {0, 3000});
  call(kStop, {0, 500});  // already fading out: left alone
  call(kStop, {0, 0});    // immediate: stops it now
  EXPECT_EQ(fake.with("StopFade"),
            (std::vector<std::string>{"StopFade " + num(a & 0xFFFF) + " 3000",
                                      "StopFade " + num(a & 0xFFFF) + " 0"}));
}

TEST_F(MusicTest, SecondFadeStartsFromWhereTheFirstHasGot) {
  play(0, "A", 1, 0);
  call(kUsers, {0, 50, 1000});
  fake.now += 500;
  engine::sound_channels_update(vm());
  call(kUsers, {0, 0, 1000});
  EXPECT_NEAR(bgm(0).volume, 75, 1);
  EXPECT_EQ(bgm(0).fadeDelta, -bgm(0).volume);
  // Run to the end: the fade bits clear and the target is kept.
  fake.now += 1000;
  engine::sound_channels_update(vm());
  EXPECT_EQ(bgm(0).flags & engine::kBgmFading, 0u);
  EXPECT_EQ(bgm(0).volume, 0);
  EXPECT_EQ(fake.with("VolumeChannel").back(), "VolumeChannel 0 0");
}

TEST_F(MusicTest, AFinishedFadeNotYetSteppedDoesNotOvershoot) {
  play(0, "A", 1, 0);
  call(kUsers, {0, 50, 1000});
  fake.now += 5000;  // no frame ran in between
  call(kUsers, {0, 80, 1000});
  EXPECT_EQ(bgm(0).volume, 50);
  EXPECT_EQ(bgm(0).fadeDelta, 30);
}

TEST_F(MusicTest, FadeWhileSkippingEndsAtOnce) {
  play(0, "A", 1, 0);
  vm().run.bSkip = 1;
  call(kUsers, {0, 20, 1000});
  vm().run.bSkip = 0;
  EXPECT_EQ(bgm(0).volume, 20);
  EXPECT_EQ(fake.with("VolumeChannel").back(), "VolumeChannel 0 2000");
}

TEST_F(MusicTest, AutoVolumeUnderVoices) {
  struct Case {
    const char* what;
    uint32_t keep_flag;  // mute_bgm_auto_volume operand
    uint32_t muted;      // bgm_mute operand
    int32_t lowered;
  };
  const Case cases[] = {
      {"factor 40 keeps 40 %", 0, 0, 3200},
      {"keep 0 silences", 1, 0, 0},
      {"muted stays muted", 0, 1, 0},
  };
  for (const Case& c : cases) {
    call(kMuteAuto, {c.keep_flag});
    call(kMuteBgm, {c.muted});
    call(kSetAuto, {1, 40});
    engine::bgm_auto_volume_apply(vm().sound, true);
    EXPECT_EQ(fake.typeVolume[3], c.lowered) << c.what;
    // A voice still plays: the frame keeps the music low.
    vm().sound.voice[2].sound = 0x10000005;
    fake.playing[0x10000005] = true;
    engine::sound_channels_update(vm());
    EXPECT_EQ(fake.typeVolume[3], c.lowered) << c.what;
    // The first frame without a playing voice gives the music back.
    fake.playing[0x10000005] = false;
    engine::sound_channels_update(vm());
    EXPECT_EQ(vm().sound.voice[2].sound, 0u) << c.what;
    EXPECT_EQ(fake.typeVolume[3], c.muted ? 0 : 8000) << c.what;
  }
  // Off while muted keeps it muted; off means voices change nothing.
  call(kMuteBgm, {1});
  call(kSetAuto, {0, 40});
  EXPECT_EQ(fake.typeVolume[3], 0);
  fake.typeVolume[3] = 1234;
  engine::bgm_auto_volume_apply(vm().sound, true);
  EXPECT_EQ(fake.typeVolume[3], 1234);
}

TEST_F(MusicTest, VolumesAndQueries) {
  call(kSetVolume, {60});
  EXPECT_EQ(fake.typeVolume[3], 6000);
  EXPECT_EQ(call(kGetVolume, {}), 60u);
  call(kSetVolume, {500});  // beyond the scale: kept at full
  EXPECT_EQ(call(kGetVolume, {}), 100u);
  play(1, "A", 1, 0);
  EXPECT_EQ(call(kFilename, {1}), slot_file(0, "A"));
  EXPECT_EQ(call(kGetPos, {1, uint32_t(-1)}), bgm(1).sound);
  EXPECT_EQ(call(kGetPos, {1, uint32_t(-3)}), 1u);
  EXPECT_EQ(call(kGetPos, {1, 3}), 7u);
  EXPECT_EQ(call(kGetPos, {2, 3}), uint32_t(-1));
  EXPECT_TRUE(logged(0, "error get_bgm_pos ch over [2]"));
}

TEST_F(MusicTest, PauseAndCrossFadeCut) {
  play(0, "A", 1, 0);
  fake.freeBgmChannels = 1;
  play(-1, "B", 1, 0);
  const uint32_t old = bgm(1).sound;
  call(kPause, {uint32_t(-1), 1, 300});
  EXPECT_TRUE(fake.called("Release " + num(old & 0xFFFF)));
  EXPECT_EQ(bgm(1).sound, 0u);
  EXPECT_TRUE(bgm(0).flags & engine::kBgmPaused);
  call(kPause, {0, 1, 300});  // already paused: nothing
  call(kPause, {0, 0, 200});
  EXPECT_EQ(fake.with("Pause").size(), 2u);
  EXPECT_EQ(fake.with("Pause").back(), "Pause " + num(bgm(0).sound & 0xFFFF) + " 0 200");
}

TEST_F(MusicTest, LoadReservesAndPlay2Starts) {
  EXPECT_EQ(call(kLoad, {1, slot_file(0, "C"), 0, 0, 0}), 1u);
  EXPECT_EQ(bgm(1).flags, engine::kBgmReserved);
  EXPECT_EQ(bgm(1).points.use, 0u);
  EXPECT_TRUE(fake.called("Load C.ogg 3"));
  EXPECT_TRUE(fake.called("Load C.wav 3"));
  EXPECT_TRUE(fake.with("PlayFade").empty());
  // Reserved music is left alone by the frame update although it does not play.
  engine::sound_channels_update(vm());
  EXPECT_NE(bgm(1).sound, 0u);
  call(kPlay2, {1, 5, 100});
  EXPECT_EQ(bgm(1).flags, 5u);
  EXPECT_EQ(fake.with("PlayFade").back(), "PlayFade " + num(bgm(1).sound & 0xFFFF) + " 1 400");
}

TEST_F(MusicTest, SceneSkipReservesAChannelInsteadOfLoading) {
  vm().run.bSceneSkip = 1;
  play(0, "A", 1, 0);
  vm().run.bSceneSkip = 0;
  EXPECT_TRUE(fake.called("LoadSetReserved 3"));
  EXPECT_TRUE(fake.with("Load ").empty());
  EXPECT_NE(bgm(0).sound, 0u);
}

TEST_F(MusicTest, ReleaseAllEmptiesBothAndRestoresTheType) {
  play(0, "A", 1, 0);
  play(1, "B", 1, 0);
  engine::bgm_auto_volume_apply(vm().sound, true);
  engine::bgm_release_all(vm());
  EXPECT_EQ(fake.with("Release ").size(), 2u);
  EXPECT_EQ(bgm(0).sound | bgm(1).sound | bgm(0).file, 0u);
  EXPECT_EQ(fake.typeVolume[3], 8000);
}

// ---- save data ----

std::vector<uint8_t> save(const engine::SoundState& s) {
  std::vector<uint8_t> out;
  codec::ByteWriter w(&out);
  engine::bgm_state_save(s, w);
  return out;
}

TEST_F(MusicTest, SaveWritesFadesAsFinishedAndStoppedMusicAsNothing) {
  play(0, "A", 1, 0);
  play(1, "B", 1, 0);
  call(kUsers, {0, 40, 1000});
  call(kStop, {1, 1000});
  bgm(1).file = slot_file(1, "B");  // fading out although it still names its file
  const std::vector<uint8_t> bytes = save(vm().sound);
  ASSERT_EQ(bytes.size(), 184u);
  const uint8_t* r0 = bytes.data();
  EXPECT_EQ(codec::load_u32(r0 + 8), 1u);    // fade bits cleared
  EXPECT_EQ(codec::load_u32(r0 + 12), 40u);  // start + delta
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r0 + 32)), "A");
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 92, bytes.end()), std::vector<uint8_t>(92, 0));
}

// A saved channel laid by hand.
std::vector<uint8_t> channel_bytes(uint32_t sound, uint32_t file, uint32_t flags, int32_t volume,
                                   const char* name, size_t name_bytes) {
  std::vector<uint8_t> b(92, 0);
  codec::store_u32(&b[0], sound);
  codec::store_u32(&b[4], file);
  codec::store_u32(&b[8], flags);
  codec::store_u32(&b[12], static_cast<uint32_t>(volume));
  std::memcpy(&b[32], name, name_bytes);
  return b;
}

TEST_F(MusicTest, RestoreReloadsAndStartsWithAFadeIn) {
  fake.files = {"A.ogg", std::string(32, 'N') + ".ogg"};
  struct Case {
    const char* what;
    bool history;
    std::vector<std::string> plays;
  };
  const Case cases[] = {
      {"snapshot", false, {"PlayFade 0 1 3000"}},
      {"history", true, {}},
  };
  for (const Case& c : cases) {
    fake.calls.clear();
    fake.nextIndex = 0;
    std::vector<uint8_t> bytes =
        channel_bytes(0x3000BEEF, engine::kStringHandleBit | 3, 0x40020001, 500, "A", 1);
    // The second channel: reserved (never started) and a name that fills all 32 bytes.
    const std::vector<uint8_t> second =
        channel_bytes(0, engine::kStringHandleBit | 4, engine::kBgmReserved, 70,
                      std::string(32, 'N').c_str(), 32);
    bytes.insert(bytes.end(), second.begin(), second.end());
    codec::ByteReader in(bytes.data(), bytes.size());
    ASSERT_TRUE(engine::bgm_state_restore(vm(), in, c.history)) << c.what;
    EXPECT_EQ(bgm(0).sound, 0x30000000u) << "the sound word comes from the reload";
    EXPECT_EQ(bgm(0).volume, 100) << c.what;
    EXPECT_EQ(bgm(0).flags, 1u) << c.what;
    EXPECT_TRUE(fake.called("VolumeChannel 0 10000")) << c.what;
    EXPECT_TRUE(fake.called("Load " + std::string(32, 'N') + ".ogg 3")) << c.what;
    EXPECT_EQ(fake.with("PlayFade"), c.plays) << c.what;
  }
}

// Music from File.dat entry 0 (its operand is 0, which a record reads as no music) is kept by
// name, so that a save and a load bring it back.
TEST_F(MusicTest, MusicFromTheFirstFileDatEntrySurvivesASave) {
  std::vector<uint8_t> file_dat(engine::kTableHeaderBytes + 2 * 32, 0);
  std::memcpy(&file_dat[engine::kTableHeaderBytes], "A", 1);
  std::memcpy(&file_dat[engine::kTableHeaderBytes + 32], "B", 1);
  const engine::ScriptFiles before = vm().files;
  vm().files.pFileDat = file_dat.data();
  vm().files.dwFileDatSize = static_cast<uint32_t>(file_dat.size());
  call(kPlay, {0, 0, 1, 0, 0, 0, 0});  // entry 0, looping
  ASSERT_TRUE(fake.called("Load A.ogg 3"));
  EXPECT_EQ(call(kFilename, {0}), engine::kStringHandleBit);  // the name is what it keeps
  const std::vector<uint8_t> bytes = save(vm().sound);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 32)), "A");

  fake.calls.clear();
  vm().sound.bgm[0] = {};
  codec::ByteReader in(bytes.data(), bytes.size());
  ASSERT_TRUE(engine::bgm_state_restore(vm(), in, false));
  EXPECT_TRUE(fake.called("Load A.ogg 3"));
  EXPECT_NE(bgm(0).sound, 0u);
  vm().files = before;
}

TEST_F(MusicTest, RestoreOfAMissingFileOrShortBytes) {
  std::vector<uint8_t> bytes = channel_bytes(0, engine::kStringHandleBit | 3, 1, 100, "GONE", 4);
  bytes.resize(184, 0);
  codec::ByteReader in(bytes.data(), bytes.size());
  ASSERT_TRUE(engine::bgm_state_restore(vm(), in, false));
  EXPECT_TRUE(logged(0, "bgm load error [GONE]"));
  EXPECT_EQ(bgm(0).sound, 0u);
  codec::ByteReader shortIn(bytes.data(), 100);
  EXPECT_FALSE(engine::bgm_state_restore(vm(), shortIn, false));
  EXPECT_EQ(bgm(0).file, 0u);
}

}  // namespace
}  // namespace soundtest
