// The build-time tools as a game maker meets them: usage on --help and on bad arguments, output
// folders made on demand, errors that name the file and the line.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Orv/render/image/vkx_image.h"
#include "platform/image_codec.h"
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
      {"ge_writer", {"--vkx", "a.png", "b.png"}, 2, "usage: ge_writer"},
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

// ge_writer --vkx keeps only the rectangle that changed; the runtime's reader laid over the
// base gives the changed picture back, alpha included. Pictures of different sizes are refused.
TEST(ToolCli, VkxDifferenceGivesBackTheChangedPicture) {
  testsupport::TempDir dir;
  const int32_t w = 40, h = 30;
  std::vector<uint32_t> base(size_t(w) * h), changed;
  for (size_t i = 0; i < base.size(); ++i) base[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
  changed = base;
  for (int32_t y = 10; y < 14; ++y) {
    for (int32_t x = 5; x < 25; ++x) changed[size_t(y) * w + x] ^= 0x80123456u;
  }
  auto save = [&](const std::string& name, const std::vector<uint32_t>& px, int32_t pw) {
    std::vector<uint8_t> png;
    ASSERT_TRUE(platform::png_encode(px.data(), pw, int32_t(px.size()) / pw, true, &png));
    testsupport::write_file(dir.path() + "/" + name, std::string(png.begin(), png.end()));
  };
  save("base.png", base, w);
  save("changed.png", changed, w);
  save("small.png", std::vector<uint32_t>(20, 0xFF000000u), 5);
  const std::string vkx = dir.path() + "/diff.vkx";
  const testsupport::RunResult r = testsupport::run_program(
      tool("ge_writer"),
      {"--vkx", dir.path() + "/base.png", dir.path() + "/changed.png", vkx, "BASE.png"});
  ASSERT_EQ(r.exit_code, 0) << r.output;
  const std::string bytes = testsupport::read_file(vkx);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  VkxHeader header;
  ASSERT_TRUE(vkx_read_header(data, bytes.size(), &header));
  EXPECT_EQ(header.x, 5);
  EXPECT_EQ(header.y, 10);
  EXPECT_EQ(header.width, 20);
  EXPECT_EQ(header.height, 4);
  EXPECT_STREQ(header.base_name, "BASE.png");
  std::vector<uint32_t> pixels = base;
  std::string error;
  ASSERT_TRUE(vkx_apply_pixels(data, bytes.size(), pixels.data(), w, h, w, &error)) << error;
  EXPECT_EQ(pixels, changed);

  const testsupport::RunResult bad = testsupport::run_program(
      tool("ge_writer"), {"--vkx", dir.path() + "/base.png", dir.path() + "/small.png",
                          dir.path() + "/bad.vkx", "BASE.png"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.output.find("differ in size"), std::string::npos) << bad.output;
}

}  // namespace
