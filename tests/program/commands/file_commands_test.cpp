// File-system commands from assembled scripts in a temporary game folder.
#include "commands/file_commands.h"

#include "support/game_folder_fixture.h"

namespace enginetest {
namespace {

class FileCommands : public GameFolderTest {};

TEST_F(FileCommands, AppendsAndSaves) {
  load(
      "call string(0) -> r1\n"
      "call strcpy(r1, text\"log.txt\", -1)\n"
      "call append_file(text\"early\") -> r9\n"  // no file named yet
      "call truncate_file(r1)\n"
      "call append_file(text\"a\") -> r2\n"
      "call append_file(text\"b\") -> r3\n"
      "call text_file_save(text\"t.txt\", text\"x\\\\ny\\\\'\") -> r4\n"
      "call text_file_save(text\"t.txt\", text\"x\\\\ny\\\\'\")\n"
      "call truncate_file(5) -> r5\n");
  put("log.txt", "old contents");
  vm().reg[5] = 77;
  run();
  EXPECT_EQ(vm().reg[9], 0u);
  EXPECT_TRUE(logged(0, "append_file open error "));
  EXPECT_EQ(get("log.txt"), "a\r\nb\r\n");
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[4], 5u);
  EXPECT_EQ(get("t.txt"), "x\r\ny\"x\r\ny\"");
  EXPECT_EQ(vm().reg[5], 0u);
  EXPECT_TRUE(logged(0, "truncate_file 引数がstring型ではありません"));
  EXPECT_EQ(engine::append_path(), "log.txt");
}

TEST_F(FileCommands, ExistenceSizesFolders) {
  put("data/img.png", "12345");
  put("sub/.keep", "");
  ASSERT_EQ(orv.OrvSystemPathSet("data"), 1);
  const std::string long_path(259, 'a'), too_long(260, 'a');
  load(
      "call file_exist(text\"img.png\") -> r1\n"
      "call file_exist(text\"none.png\") -> r2\n"
      "call get_file_size(file\"img.png\") -> r3\n"
      "call get_file_size(file\"none.png\") -> r4\n"
      "call dir_exist(text\"sub\") -> r5\n"
      "call dir_exist(text\"s*\") -> r6\n"
      "call dir_exist(text\"data\\\\img.png\") -> r7\n"
      "call dir_exist(text\"" +
      long_path +
      "\") -> r8\n"
      "call dir_exist(text\"" +
      too_long +
      "\") -> r9\n"
      "call string(0) -> r10\n"
      "call get_save_folder(r10) -> r11\n"
      "call string(0) -> r12\n"
      "call get_exe_folder(r12)\n"
      "call string(0) -> r13\n"
      "call get_temp_folder(r13)\n");
  vm().reg[9] = 55;
  run();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(vm().reg[3], 5u);
  EXPECT_EQ(vm().reg[4], 0xFFFFFFFFu);
  EXPECT_EQ(vm().reg[5], 1u);
  EXPECT_EQ(vm().reg[6], 1u);
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_EQ(vm().reg[8], 0u);
  EXPECT_EQ(vm().reg[9], 0u);
  EXPECT_TRUE(logged(0, "dir_exist: param size over"));
  EXPECT_EQ(vm().reg[11], 1u);
  EXPECT_EQ(std::string(vm().strings.slots[0]), engine::command_save_folder());
  EXPECT_EQ(std::string(vm().strings.slots[1]), system_path(game_));
  const std::string temp = vm().strings.slots[2];
  EXPECT_FALSE(temp.empty());
  EXPECT_NE(temp.back(), '\\');
}

TEST_F(FileCommands, RemoveAndRenameNeverReplace) {
  put("a.txt", "A");
  put("b.txt", "B");
  load(
      "call rename_file(text\"a.txt\", text\"b.txt\") -> r1\n"
      "call rename_file(text\"a.txt\", text\"c.txt\") -> r2\n"  // a.txt is still there
      "call remove_file(text\"b.txt\") -> r3\n"
      "call remove_file(text\"b.txt\") -> r4\n");
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_TRUE(logged(0, "Can't Rename a.txt b.txt"));
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(get("c.txt"), "A");
  EXPECT_EQ(vm().reg[3], 1u);
  EXPECT_EQ(vm().reg[4], 0u);
  EXPECT_FALSE(exists("b.txt"));
}

}  // namespace
}  // namespace enginetest
