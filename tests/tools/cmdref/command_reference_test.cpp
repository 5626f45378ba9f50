// The command reference: what a list brings into it, what it leaves out, and the faults that
// fail the check, on small made-up lists; then the tool's check on a stale copy.
#include "cmdref/command_reference.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CommandReference, RowsSectionsAndFaults) {
  const std::vector<cmdref::Family> families = {
      {"SPARKLE_TRAIL_COMMANDS",
       {
           {0x190000, "sparkle_on", 2, "starts the sparkles", true},
           {0x190001, "sparkle_off", 0, "", true},  // built, no description
           {0x190002, "sparkle_any", -1, "takes what it gets", true},
           {0x190003, "sparkle_later", 1, "", false},  // not built: left out
       }},
      {"PENDING_COMMANDS", {{0x090029, "get_monitor_size", 2, "", false}}},
      // A known command whose list says another count than its signature's names.
      {"WAIT_COMMANDS", {{0x070000, "wait", 3, "waits", true}}},
  };
  const std::string doc = cmdref::render_reference(families);
  EXPECT_TRUE(has(doc, "\n## Sparkle trail\n")) << doc;  // a list without a paragraph of its own
  EXPECT_TRUE(has(doc,
                  "| 0x190000 | `sparkle_on(...)` (2 arguments) | see description | "
                  "starts the sparkles |"))
      << doc;
  EXPECT_TRUE(has(doc, "| 0x190001 | `sparkle_off` |")) << doc;
  EXPECT_TRUE(has(doc, "`sparkle_any(...)` (any number of arguments)")) << doc;
  EXPECT_TRUE(has(doc, "| 0x070000 | `wait(ms, flags)` | none | waits |")) << doc;
  EXPECT_FALSE(has(doc, "sparkle_later")) << doc;
  EXPECT_FALSE(has(doc, "get_monitor_size")) << doc;
  EXPECT_FALSE(has(doc, "Pending")) << doc;  // a list of nothing built has no section

  const std::vector<std::string> faults = cmdref::reference_faults(families);
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_TRUE(has(faults[0], "SPARKLE_TRAIL_COMMANDS: sparkle_off (0x190001) has no description"))
      << faults[0];
  EXPECT_TRUE(has(faults[1], "wait names 2 arguments, its list says 3")) << faults[1];
}

TEST(CommandReference, CellsKeepTheTable) {
  const std::vector<cmdref::Family> families = {
      {"TAG_COMMANDS", {{0x190000, "tag_strip", 1, "drops <b> tags | keeps text", true}}}};
  const std::string doc = cmdref::render_reference(families);
  EXPECT_TRUE(has(doc, "| drops &lt;b> tags \\| keeps text |")) << doc;
}

TEST(CommandReference, CheckSaysHowToRegenerate) {
  testsupport::TempDir dir;
  const std::string tool = std::string(VELMORA_TOOLS_DIR) + "/cmdref";
  const std::string doc = dir.path() + "/commands.md";
  testsupport::RunResult r = testsupport::run_program(tool, {doc});
  ASSERT_EQ(r.exit_code, 0) << r.output;
  r = testsupport::run_program(tool, {"--check", doc});
  EXPECT_EQ(r.exit_code, 0) << r.output;

  testsupport::write_file(doc, cmdref::render_reference() + "a hand-made line\n");
  r = testsupport::run_program(tool, {"--check", doc});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_TRUE(has(r.output, "build/tools/cmdref " + doc)) << r.output;
}

}  // namespace
