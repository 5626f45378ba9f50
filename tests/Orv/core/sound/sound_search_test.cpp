// Sounds found by name along the search folders: loose, or as members of the folder's .pac
// archive. Both must play the same samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "Orv/core/sound/sound_system.h"
#include "orv/orv.h"
#include "pacpack/pac_writer.h"
#include "platform/clock.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

uint32_t g_now = 0;
uint32_t fake_now() {
  return g_now;
}

// A stereo 16-bit WAV of frames that tell their own index.
std::string indexed_wav() {
  testsupport::WavLayout layout;
  layout.samples = testsupport::indexed_frames(30000);
  return testsupport::make_wav(layout);
}

// A VerEpeg stream: N = 1, V = 4 (one stereo frame per unit), 1000 frames, loop 200, end 300.
std::string verepeg() {
  std::string s;
  testsupport::put32(s, 0);
  testsupport::put32(s, 1);
  s.append(16, '\0');
  testsupport::put32(s, 200);
  testsupport::put32(s, 300);
  testsupport::put32(s, 0);
  s.append(8 + 18, '\0');
  testsupport::put32(s, 4);
  return s + testsupport::indexed_frames(1000);
}

class SoundSearch : public testing::Test {
 protected:
  void SetUp() override {
    platform::set_clock_source(&fake_now);
    const std::string base = dir / "game";
    std::filesystem::create_directories(base + "/loose");
    ASSERT_TRUE(file_set_base_folder(base.c_str()));
    ASSERT_EQ(OrvSystemPathInit(), 1);

    const std::vector<pacpack::Member> files = {
        {"SE.WAV", indexed_wav()},
        {"BELL.OGG", testsupport::read_file("/usr/share/sounds/freedesktop/stereo/bell.oga")},
        {"VOICE.VER", verepeg()},
    };
    for (const auto& f : files) testsupport::write_file(base + "/loose/" + f.name, f.data);
    std::string pac, error;
    ASSERT_TRUE(pacpack::build_archive(files, &pac, &error)) << error;
    testsupport::write_file(base + "/packed.pac", pac);  // no folder "packed": archive only
  }
  void TearDown() override {
    OrvSystemPathUninit();
    file_set_base_folder("");
    platform::set_clock_source(nullptr);
  }

  // Loads `name` from the search folder `folder`, plays it and returns three seconds of the
  // mix (empty when the load fails). The sound system is started afresh for each run.
  std::vector<int16_t> play(const char* folder, const char* name, int32_t type) {
    OrvSystemPathClear();
    EXPECT_EQ(OrvSystemPathSet(folder), 1);
    g_now = 100000;
    OrvUpdateTime();
    EXPECT_TRUE(sound_system_start(SoundStartOptions{false, false}));
    if (type != 0) OrvSoundSetVolume(10000, type);  // effects start silent
    const OrvSoundHandle h =
        type == 0 ? OrvSoundLoadVerEpeg(name) : OrvSoundLoad(name, type, nullptr);
    std::vector<int16_t> out;
    if (h != 0) {
      OrvSoundPlay(h, 1);
      sound_pass();
      for (int i = 0; i < 300; ++i) {
        std::vector<int16_t> part(882);
        sound_mixer()->mix(part.data(), 441);
        out.insert(out.end(), part.begin(), part.end());
        g_now += 10;
        OrvUpdateTime();
        sound_pass();
      }
    }
    sound_system_destroy();
    return out;
  }

  testsupport::TempDir dir;
};

TEST_F(SoundSearch, LooseAndArchivedSoundsPlayTheSameSamples) {
  struct Case {
    const char* name;
    int32_t type;  // 0: a VerEpeg stream
  } cases[] = {{"SE.WAV", 3}, {"se.wav", 5}, {"bell.ogg", 3}, {"BELL.OGG", 6}, {"voice.ver", 0}};
  for (const Case& c : cases) {
    const std::vector<int16_t> loose = play("loose", c.name, c.type);
    const std::vector<int16_t> packed = play("packed", c.name, c.type);
    ASSERT_FALSE(loose.empty()) << c.name << " " << c.type;
    EXPECT_TRUE(std::any_of(loose.begin(), loose.end(), [](int16_t v) { return v != 0; }))
        << c.name << " " << c.type;
    EXPECT_TRUE(loose == packed) << c.name << " " << c.type;
  }
  // The WAV streams its own frames in order, read from the archive member and not the archive.
  const std::vector<int16_t> wav = play("packed", "SE.WAV", 3);
  ASSERT_GT(wav.size(), 2 * 5000u);
  for (uint32_t i = 1000; i < 5000; ++i)
    ASSERT_EQ(testsupport::frame_index(wav[2 * i], wav[2 * i + 1]), i);
}

TEST_F(SoundSearch, MissingNamesFailCleanlyAndOggSaysSo) {
  ASSERT_EQ(OrvSystemPathSet("packed"), 1);
  ASSERT_TRUE(sound_system_start(SoundStartOptions{false, false}));
  const int32_t free_before = OrvSoundGetChannelCount(5);
  EXPECT_EQ(OrvSoundLoad("NONE.WAV", 5, nullptr), 0u);
  EXPECT_EQ(OrvSoundLoadVerEpeg("none.ver"), 0u);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvSoundLoad("none.ogg", 3, nullptr), 0u);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Ogg File Open Error none.ogg"), std::string::npos) << said;
  EXPECT_EQ(OrvSoundGetChannelCount(5), free_before);
  EXPECT_EQ(OrvSoundGetParam(0, 7), 0);  // the music channel stays free
  sound_system_destroy();
}

}  // namespace
