// The real Velmora playing music from a script: the file is found beside the game (or its
// absence is reported), and the volumes the script set are in system.dat when it ends.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/game_folder.h"
#include "support/sound_fixtures.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

namespace {

TEST(Music, ScriptPlaysMusicAndKeepsItsVolumes) {
  struct Case {
    const char* what;
    bool file_there;
  };
  const Case cases[] = {{"music beside the game", true}, {"music missing", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.script =
        "  call set_master_volume(80)\n"
        "  call bgm_set_volume(30)\n"
        "  call bgm_play(0, file\"TUNE\", 5, 25, 0, 0, 0) -> r1\n"
        "  call wait(200, 0)\n"
        // The cross-fade: the old music keeps playing on channel 1.
        "  call bgm_play(-1, file\"TUNE2\", 1, 0, 0, 0, 0)\n"
        "  call get_bgm_pos(1, -1) -> r2\n"
        "  call get_bgm_pos(0, -1) -> r4\n"
        "  mov s[r0], r2\n"
        "  mov r3, 1\n"
        "  mov s[r3], r4\n"
        "  call bgm_stop(-1, 50)\n"
        "  call wait(100, 0)\n"
        "  end\n";
    GameFolder game(o);
    if (c.file_there) {
      testsupport::WavLayout layout;
      layout.samples = std::string(44100 * 4, '\x10');
      std::filesystem::create_directories(game / "data");
      testsupport::write_file(game / "data/TUNE.WAV", testsupport::make_wav(layout));
      testsupport::write_file(game / "data/TUNE2.WAV", testsupport::make_wav(layout));
    }
    const auto r = game.run({}, {}, 30);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_EQ(r.output.find("sound load error [TUNE]") != std::string::npos, !c.file_there)
        << r.output;
    const std::string sys = testsupport::read_file(game.save() + "/system.dat");
    ASSERT_GT(sys.size(), 826u) << r.output;
    auto word = [&](size_t at) {
      return uint32_t(uint8_t(sys[at])) | uint32_t(uint8_t(sys[at + 1])) << 8 |
             uint32_t(uint8_t(sys[at + 2])) << 16 | uint32_t(uint8_t(sys[at + 3])) << 24;
    };
    EXPECT_EQ(word(818), 8000u);      // master
    EXPECT_EQ(word(818 + 4), 3000u);  // music
    EXPECT_EQ(word(818 + 8), 0u);     // background voices: untouched
    // The music handles of channels 1 (the first piece) and 0 (the second), in memory cells.
    ASSERT_GT(sys.size(), 3778u);
    const uint32_t first = word(3770), second = word(3774);
    EXPECT_EQ(first != 0, c.file_there) << std::hex << first;
    EXPECT_EQ(second != 0, c.file_there) << std::hex << second;
    if (c.file_there) {
      EXPECT_NE(first, second);
    }
  }
}

}  // namespace
