// The real sound system under a script machine: a game folder of the test's own with one data
// folder on the search path, the mix pulled by the test, the clock the fixture's fake one.
#pragma once

#include <filesystem>
#include <string>

#include "Orv/core/files/file_access.h"
#include "Orv/core/sound/sound_source.h"
#include "Orv/core/sound/sound_system.h"
#include "orv/orv.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"
#include "support/vm_fixture.h"
#include "text/sound/music.h"
#include "text/sound/sound_frame.h"
#include "text/sound/voices.h"

namespace soundtest {

class MixerTest : public enginetest::VmTest {
 protected:
  // Starts the sound system over dir/game with `folder` (created) on the search path.
  void start(const std::string& folder) {
    const std::string base = dir / "game";
    std::filesystem::create_directories(base + "/" + folder);
    ASSERT_TRUE(file_set_base_folder(base.c_str()));
    ASSERT_EQ(OrvSystemPathInit(), 1);
    ASSERT_EQ(OrvSystemPathSet(folder.c_str()), 1);
    advance(0);
    ASSERT_TRUE(sound_system_start(SoundStartOptions{false, false}));
  }
  void TearDown() override {
    engine::se_release_all(vm());
    engine::voice_release_all(vm());
    engine::bgm_release_all(vm());
    sound_system_destroy();
    OrvSystemPathUninit();
    file_set_base_folder("");
    VmTest::TearDown();
  }
  void advance(uint32_t ms) {
    enginetest::g_fake_now += ms;
    OrvUpdateTime();
    sound_pass();
  }
  // A WAV of `frames` stereo frames whose every sample is `value`.
  static std::string level_wav(int frames, uint16_t value) {
    testsupport::WavLayout layout;
    layout.samples.clear();
    for (int i = 0; i < 2 * frames; ++i) testsupport::put16(layout.samples, value);
    return testsupport::make_wav(layout);
  }

  testsupport::TempDir dir;
};

}  // namespace soundtest
