// The real Velmora showing voiced lines over music from a script: the lines that end without a
// click carry the scene to its end, which leaves the read marks of the texts and the volumes the
// script set in system.dat.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "support/game_folder.h"
#include "support/sound_fixtures.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;
using testsupport::RunControl;

namespace {

uint32_t word_at(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

TEST(Lines, AVoicedSceneOverMusicReachesItsEnd) {
  GameFolderOptions o;
  // Text ids follow the order the assembler meets the texts (a call's last operand first): the
  // messages 0, 2 and 4, the names 1 and 3.
  o.script =
      "  call text_init(24, 40, 500, 800, 120, 40, 460, 0)\n"
      "  call bgm_set_volume(40)\n"
      "  call voice_set_volume(70)\n"
      "  call set_voice_info(-1, -1, 100, 1)\n"
      "  call bgm_play(0, file\"TUNE\", 5, 25, 0, 0, 0)\n"
      "  call text_h(file\"VO01_001\", text\"Rin\", text\"first line\", -2)\n"
      "  call text_h(file\"VO01_002\", text\"Rin\", text\"second line\", -2)\n"
      "  call text_h(0x0FFFFFFF, 0x0FFFFFFF, text\"third line\", -2)\n"
      "  call wait(100, 0)\n"
      "  end\n";
  GameFolder game(o);
  testsupport::WavLayout layout;
  layout.samples = std::string(44100, '\x10');
  std::filesystem::create_directories(game / "data");
  testsupport::write_file(game / "data/TUNE.WAV", testsupport::make_wav(layout));
  testsupport::write_file(game / "data/VO01_001.WAV", testsupport::make_wav(layout));
  testsupport::write_file(game / "data/VO01_002.WAV", testsupport::make_wav(layout));
  const auto r = game.run({}, {}, 30);
  EXPECT_EQ(r.exit_code, 0) << r.output;
  EXPECT_EQ(r.output.find("text initialize error"), std::string::npos) << r.output;
  const std::string sys = testsupport::read_file(game.save() + "/system.dat");
  ASSERT_GT(sys.size(), 7871u) << r.output;
  EXPECT_EQ(word_at(sys, 2 + 816 + 4), 4000u);        // music
  EXPECT_EQ(word_at(sys, 2 + 816 + 12), 7000u);       // voice
  EXPECT_EQ(word_at(sys, 2 + 816 + 2900 + 8), 100u);  // the default character's volume
  // The read marks of the three messages (the names are not marked).
  const size_t marks = 2 + 816 + 2952 + 4096;
  ASSERT_GE(word_at(sys, marks), 1u);
  EXPECT_EQ(uint8_t(sys[marks + 4]), 0x15) << std::hex << int(uint8_t(sys[marks + 4]));
}

TEST(Lines, WithoutClicksTheSceneStaysAtItsFirstLine) {
  GameFolderOptions o;
  // Message ids 0 and 2; the second line is never reached.
  o.script =
      "  call text_init(24, 40, 500, 800, 120, 40, 460, 0)\n"
      "  call text(0x0FFFFFFF, text\"Rin\", text\"waits for a click\", 0)\n"
      "  call text(0x0FFFFFFF, text\"Rin\", text\"never shown\", 0)\n"
      "  end\n";
  GameFolder game(o);
  RunControl control;
  control.signal = SIGTERM;
  control.after_output = "startup:";
  control.after_ms = 1500;
  const auto r = game.run({}, {}, 30, control);
  EXPECT_EQ(r.exit_code, 0) << r.output;
  EXPECT_GE(r.ms_after_signal, 0) << r.output;
  const std::string sys = testsupport::read_file(game.save() + "/system.dat");
  const size_t marks = 2 + 816 + 2952 + 4096;
  ASSERT_GT(sys.size(), marks + 4) << r.output;
  EXPECT_EQ(uint8_t(sys[marks + 4]), 0x01) << r.output;
}

}  // namespace
