// A script machine with a game folder in a temporary directory: the program folder (also the
// base folder where data files are found) is <tmp>/game and the save folder <tmp>/game/save.
#pragma once

#include <filesystem>
#include <string>

#include "Orv/core/files/file_access.h"
#include "commands/command_paths.h"
#include "platform/file.h"
#include "support/temp_dir.h"
#include "support/vm_fixture.h"

namespace enginetest {

// The system's form of a path: Shift-JIS with '\'.
inline std::string system_path(const std::string& utf8) {
  std::string s = platform::utf8_to_sjis_lossy(utf8);
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

class GameFolderTest : public VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    game_ = dir_ / "game";
    save_ = game_ + "/save";
    std::filesystem::create_directories(save_);
    ASSERT_TRUE(file_set_base_folder(system_path(game_).c_str()));
    ASSERT_EQ(orv.OrvSystemPathInit(), 1);
    engine::set_command_program_folder(system_path(game_));
    engine::set_command_save_folder(system_path(save_));
    platform::file_cache_clear();
    // As start-up does: the game folder is the current directory.
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(game_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd_);
    orv.OrvSystemPathUninit();
    file_set_base_folder("");
    engine::set_command_program_folder("");
    engine::set_command_save_folder("");
    VmTest::TearDown();
  }
  // Writes a file below the game folder.
  void put(const std::string& relative, const std::string& bytes) {
    testsupport::write_file(game_ + "/" + relative, bytes);
    platform::file_cache_clear();
  }
  std::string get(const std::string& relative) {
    return testsupport::read_file(game_ + "/" + relative);
  }
  bool exists(const std::string& relative) {
    return std::filesystem::exists(game_ + "/" + relative);
  }

  testsupport::TempDir dir_;
  std::string game_, save_;
  std::filesystem::path old_cwd_;
};

}  // namespace enginetest
