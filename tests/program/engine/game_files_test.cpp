// The game program's files by name: every name goes through the library's file exports, so the
// library's listing cache resolves it (ASCII case ignored), and a whole-file save never leaves
// a half-written or temporary file behind.
#include "engine/game_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "engine/orv_static_bind.h"
#include "support/temp_dir.h"

namespace {

class GameFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::orv_static_bind();
    ASSERT_TRUE(platform::utf8_to_sjis(dir_.path(), base_));
  }
  std::vector<std::string> names_on_disk() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
      names.push_back(e.path().filename().string());
    return names;
  }

  testsupport::TempDir dir_;
  std::string base_;  // Shift-JIS
};

TEST_F(GameFilesTest, SaveAndLoadResolveNamesLikeTheLibrary) {
  const std::string bytes("a\0b\r\n", 5);
  ASSERT_TRUE(engine::game_file_save(base_ + "\\Save.dat", bytes.data(), bytes.size()));
  EXPECT_EQ(names_on_disk(), std::vector<std::string>{"Save.dat"});  // no temporary file left
  std::vector<uint8_t> out;
  ASSERT_TRUE(engine::game_file_load(base_ + "\\SAVE.DAT", &out));  // the name on disk is found
  EXPECT_EQ(std::string(out.begin(), out.end()), bytes);
  // Overwriting keeps the one file; a larger file than allowed is refused and gives nothing.
  ASSERT_TRUE(engine::game_file_save(base_ + "\\SAVE.DAT", "xyz", 3));
  EXPECT_EQ(names_on_disk(), std::vector<std::string>{"Save.dat"});
  EXPECT_FALSE(engine::game_file_load(base_ + "\\save.dat", &out, 2));
  EXPECT_TRUE(out.empty());
  // A missing folder: the save fails and writes nothing anywhere.
  EXPECT_FALSE(engine::game_file_save(base_ + "\\none\\x.dat", "x", 1));
  EXPECT_FALSE(engine::game_file_load(base_ + "\\none\\x.dat", &out));
  EXPECT_EQ(names_on_disk(), std::vector<std::string>{"Save.dat"});
}

TEST_F(GameFilesTest, PathKindAndFind) {
  testsupport::write_file(dir_ / "Sub/File.txt", "x");
  EXPECT_EQ(engine::path_kind((base_ + "\\SUB").c_str()), 2);
  EXPECT_EQ(engine::path_kind((base_ + "\\sub\\file.TXT").c_str()), 1);
  EXPECT_EQ(engine::path_kind((base_ + "\\sub\\*.txt").c_str()), 1);
  EXPECT_EQ(engine::path_kind((base_ + "\\sub\\*").c_str()), 2);  // "." comes first, as on Windows
  EXPECT_EQ(engine::path_kind((base_ + "\\none").c_str()), 0);
  EXPECT_EQ(engine::path_kind(""), 0);
  const std::vector<engine::FoundFile> found = engine::game_files_find(base_ + "\\sub\\*");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[2].name, "File.txt");
  EXPECT_FALSE(found[2].is_folder);
  EXPECT_EQ(engine::game_file_native_path(base_ + "\\SUB\\FILE.TXT"), dir_ / "Sub/File.txt");
}

}  // namespace
