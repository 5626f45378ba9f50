#include "pacpack/pac_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using testsupport::TempDir;
using testsupport::write_file;

TEST(PacWriter, RefusesWhatTheReaderCannotFind) {
  const std::string k32(32, 'N');
  const struct {
    const char* what;
    std::vector<pacpack::Member> members;
  } kBad[] = {
      {"empty file name", {{"folder\\", "x"}}},
      {"first byte 255",
       {{"\xFF"
         "abc",
         "x"}}},
      {"same name in another case", {{"a.png", "1"}, {"A.PNG", "2"}}},
      {"same first 32 bytes", {{k32 + "1", "1"}, {k32 + "2", "2"}}},
  };
  for (const auto& c : kBad) {
    std::string bytes, error;
    EXPECT_FALSE(pacpack::build_archive(c.members, &bytes, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

// The command-line tool packs a folder whose names on disk are UTF-8 and mixed case; the
// library then finds every member by its Shift-JIS, upper-cased name.
TEST(PacWriter, PackedFolderIsFoundByTheLibrary) {
  TempDir dir;
  write_file(dir / "game/bg/Title.png", "title");
  write_file(dir / "game/bg/\xE8\xA1\xA8.png", "hyou");  // 表.png: trail byte 0x5C
  write_file(dir / "game/bg/empty.dat", "");
  auto run = testsupport::run_program(VELMORA_TOOLS_DIR "/pacpack", {dir / "game/bg"});
  ASSERT_EQ(run.exit_code, 0) << run.output;
  std::filesystem::remove_all(dir / "game/bg");  // only the archive is left

  ASSERT_TRUE(file_set_base_folder((dir / "game").c_str()));
  ASSERT_EQ(OrvSystemPathInit(), 1);
  ASSERT_EQ(OrvSystemPathSet("bg"), 1);
  const struct {
    const char* name;
    const char* data;
  } kMembers[] = {{"TITLE.PNG", "title"}, {"\x95\x5C.PNG", "hyou"}, {"empty.dat", ""}};
  for (const auto& m : kMembers) {
    FileRange range{};
    OrvFileHandle f = OrvFileCreate(m.name, &range);
    ASSERT_NE(f, kOrvInvalidFile) << m.name;
    std::string data(range.size, '\0');
    uint32_t done = 0;
    EXPECT_TRUE(platform::file_read(f, data.data(), range.size, &done));
    EXPECT_EQ(data, m.data) << m.name;
    platform::file_close(f);
  }
  OrvSystemPathUninit();
  file_set_base_folder("");

  auto bad = testsupport::run_program(VELMORA_TOOLS_DIR "/pacpack", {dir / "no-such-folder"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.output.find("no-such-folder"), std::string::npos) << bad.output;
}

}  // namespace
