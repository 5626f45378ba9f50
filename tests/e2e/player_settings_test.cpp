// The player's settings that a script changes reach system.dat in the real program, and a
// script's message box answers without a display with its default button, its text on stderr.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/game_folder.h"

namespace {

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

uint32_t le32(const std::string& b, size_t at) {
  auto u = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])); };
  return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}

TEST(PlayerSettings, ScriptSettingsAreStoredInSystemDat) {
  GameFolderOptions o;
  o.script =
      "  call auto_set_time(37)\n"
      "  call set_hide_cursor_time(1234)\n"
      "  call set_skip_unread(1)\n"
      "  call set_effect_enable(0)\n"
      "  call push_memory_stack\n"
      "  call message_box(text\"Settings stored\", text\"Velmora\", 0) -> r5\n"
      "  mov s[r0], r5\n"
      "  end\n";
  GameFolder game(o);
  const auto r = game.run();
  ASSERT_EQ(r.exit_code, 0) << r.output;
  EXPECT_NE(r.output.find("Settings stored"), std::string::npos) << r.output;
  const std::string sys = testsupport::read_file(game.save() + "/system.dat");
  ASSERT_GT(sys.size(), 3774u) << r.output;
  // The settings follow the 2-byte format number: skip-unread at 12, effects 16, auto speed
  // 28, cursor hide time 36; the system memory starts at 3770.
  EXPECT_EQ(le32(sys, 2 + 12), 1u);
  EXPECT_EQ(le32(sys, 2 + 16), 0u);
  EXPECT_EQ(le32(sys, 2 + 28), 37u);
  EXPECT_EQ(le32(sys, 2 + 36), 1234u);
  EXPECT_EQ(le32(sys, 3770), 1u);  // OK, the only button of the box
}

}  // namespace
