// The build-time tools as a game maker meets them: usage on --help and on bad arguments, output
// folders made on demand, errors that name the file and the line.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

std::string tool(const std::string& name) {
  return std::string(VELMORA_TOOLS_DIR) + "/" + name;
}

TEST(ToolCli, HelpAndBadArguments) {
  struct Case {
    const char* tool;
    std::vector<std::string> args;
    int exit_code;
    const char* output;
  };
  const Case cases[] = {
      {"vmasm", {"--help"}, 0, "usage: vmasm SOURCE OUTDIR"},
      {"vmasm", {}, 2, "usage: vmasm"},
      {"vmasm", {"-x", "y"}, 2, "usage: vmasm"},
      {"vmasm", {"-d"}, 2, "usage: vmasm"},
      {"pacpack", {"--help"}, 0, "usage: pacpack FOLDER [ARCHIVE]"},
      {"pacpack", {}, 2, "usage: pacpack"},
      {"pacpack", {"--bogus"}, 2, "usage: pacpack"},
      {"graphic_dat", {"--help"}, 0, "usage: graphic_dat [--scramble] LIST OUT"},
      {"graphic_dat", {"list.txt"}, 2, "usage: graphic_dat"},
      {"ge_writer", {"--help"}, 0, "usage: ge_writer IN.png OUT.ge"},
      {"ge_writer", {"a.png"}, 2, "usage: ge_writer"},
      {"ge_writer", {"a.png", "b.ge", "three"}, 2, "usage: ge_writer"},
      {"cmdref", {"--help"}, 0, "usage: cmdref OUTFILE"},
      {"cmdref", {}, 2, "usage: cmdref"},
      {"cmdref", {"--check"}, 2, "usage: cmdref"},
  };
  for (const Case& c : cases) {
    const testsupport::RunResult r = testsupport::run_program(tool(c.tool), c.args);
    EXPECT_EQ(r.exit_code, c.exit_code) << c.tool << " " << (c.args.empty() ? "" : c.args[0]);
    EXPECT_NE(r.output.find(c.output), std::string::npos) << r.output;
  }
}

TEST(ToolCli, AssemblerMakesItsFolderAndNamesFileAndLine) {
  testsupport::TempDir dir;
  const std::string good = dir.path() + "/good.vms";
  testsupport::write_file(good, "start:\n  end\n");
  const std::string out = dir.path() + "/game/scene";
  testsupport::RunResult r = testsupport::run_program(tool("vmasm"), {good, out});
  ASSERT_EQ(r.exit_code, 0) << r.output;
  EXPECT_TRUE(std::ifstream(out + "/Script.src").good());

  const std::string bad = dir.path() + "/scene.vms";
  testsupport::write_file(bad, "start:\n  nop\n  jmp nowhere\n  end\n");
  r = testsupport::run_program(tool("vmasm"), {bad, out});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.output.find("scene.vms:3: label never defined: nowhere"), std::string::npos)
      << r.output;

  r = testsupport::run_program(tool("pacpack"), {dir.path() + "/missing"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.output.find(dir.path() + "/missing"), std::string::npos) << r.output;
}

}  // namespace
