// The real Velmora saving and loading: a first run sets memory, shows a line (its snapshot),
// saves slot 1, changes the memory and loads slot 1; a second run continues from the newest
// save. The script writes what it sees into SystemMemory, which system.dat keeps.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/game_folder.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

namespace {

uint32_t word_at(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

// SystemMemory word i in system.dat: after the format word, the settings and the sound block.
uint32_t sys_word(const std::string& sys, size_t i) {
  return word_at(sys, 2 + 816 + 2952 + 4 * i);
}

// s[100]: UserMemory 0 as the script saw it after the load; s[101]: passes through the line;
// s[102]: 1 once a run continued from the newest save; s[103]: UserMemory 0 before a load.
constexpr const char* kScript =
    "  call text_init(24, 40, 500, 800, 120, 40, 460, 0)\n"
    "  call get_new_savefile -> r5\n"
    "  mov r6, r5\n"
    "  eq r6, -1\n"
    "  jz continue_game, r6\n"
    "  mov r1, 0\n"
    "  mov u[r1], 11\n"
    "line:\n"
    "  call text_h(0x0FFFFFFF, 0x0FFFFFFF, text\"a line to come back to\", -2)\n"
    "  mov r3, 101\n"
    "  add s[r3], 1\n"
    "  mov r4, s[r3]\n"
    "  eq r4, 1\n"
    "  jz loaded, r4\n"
    "  call save(1, 1)\n"
    "  mov r1, 0\n"
    "  mov u[r1], 22\n"
    "  mov r2, 103\n"
    "  mov s[r2], u[r1]\n"
    "  call load(1)\n"
    "  mov r2, 104\n"  // never reached: the load resumes at the line
    "  mov s[r2], 1\n"
    "loaded:\n"
    "  mov r1, 0\n"
    "  mov r2, 100\n"
    "  mov s[r2], u[r1]\n"
    "  call wait(50, 0)\n"
    "  end\n"
    "continue_game:\n"
    "  mov r2, 102\n"
    "  mov s[r2], 1\n"
    "  mov r2, 100\n"
    "  mov s[r2], 0\n"
    "  call load(r5)\n"
    "  end\n";

TEST(Save, SaveLoadAndContinueInTheRealProgram) {
  GameFolderOptions o;
  o.script = kScript;
  GameFolder game(o);
  const auto first = game.run({}, {{"VELMORA_FIXED_STEP_MS", "16"}}, 30);
  EXPECT_EQ(first.exit_code, 0) << first.output;
  ASSERT_TRUE(std::filesystem::exists(game.save() + "/save001.dat")) << first.output;
  std::string sys = testsupport::read_file(game.save() + "/system.dat");
  ASSERT_GT(sys.size(), 3770u + 4 * 105) << first.output;
  EXPECT_EQ(sys_word(sys, 103), 22u);  // the memory was changed before the load
  EXPECT_EQ(sys_word(sys, 100), 11u);  // and came back with it
  EXPECT_EQ(sys_word(sys, 101), 2u);   // the line ran again after the load
  EXPECT_EQ(sys_word(sys, 104), 0u);
  EXPECT_EQ(sys_word(sys, 102), 0u);
  EXPECT_EQ(int32_t(word_at(sys, 2 + 24)), 1);  // the newest save
  // No temporary file is left beside the save.
  for (const auto& e : std::filesystem::directory_iterator(game.save())) {
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }

  const auto second = game.run({}, {{"VELMORA_FIXED_STEP_MS", "16"}}, 30);
  EXPECT_EQ(second.exit_code, 0) << second.output;
  sys = testsupport::read_file(game.save() + "/system.dat");
  EXPECT_EQ(sys_word(sys, 102), 1u);   // it continued from the newest save
  EXPECT_EQ(sys_word(sys, 100), 11u);  // with the saved memory
  EXPECT_EQ(sys_word(sys, 101), 3u);   // at the saved line
}

}  // namespace
