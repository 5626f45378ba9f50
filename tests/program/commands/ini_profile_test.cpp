// INI profiles: the four commands with the save folder shadowing the program folder.
#include "commands/ini_profile.h"

#include "support/game_folder_fixture.h"

namespace enginetest {
namespace {

class IniCommands : public GameFolderTest {};

TEST_F(IniCommands, ReadWriteAndShadow) {
  put("conf.ini", "[S]\r\nname=program\r\nnum= 42 \r\nquoted=\"12\"\r\n");
  put("other.ini", "[S]\r\nname=program\r\n");
  put("save/other.ini", "[S]\r\nname=save\r\n");
  load(
      "call string(0) -> r1\n"
      "call get_private_profile_string(text\"S\", text\"name\", text\"dflt\", r1, "
      "file\"conf.ini\") -> r2\n"
      "call string(0) -> r3\n"
      "call get_private_profile_string(text\"S\", text\"name\", text\"dflt\", r3, "
      "file\"other.ini\")\n"
      "call string(0) -> r4\n"
      "call get_private_profile_string(text\"S\", text\"nope\", text\"  dflt  \", r4, "
      "file\"conf.ini\") -> r5\n"
      "call get_private_profile_int(text\"S\", text\"num\", 7, file\"conf.ini\") -> r6\n"
      "call get_private_profile_int(text\"S\", text\"quoted\", 7, file\"conf.ini\") -> r7\n"
      "call get_private_profile_int(text\"S\", text\"nope\", 7, file\"missing.ini\") -> r8\n"
      "call get_private_profile_string(text\"S\", text\"name\", text\"d\", 3, file\"conf.ini\") -> "
      "r9\n");
  run();
  EXPECT_STREQ(vm().strings.slots[0], "program");
  EXPECT_EQ(vm().reg[2], 7u);
  EXPECT_STREQ(vm().strings.slots[1], "save");    // the save folder's copy wins
  EXPECT_STREQ(vm().strings.slots[2], "  dflt");  // the default is trimmed too
  EXPECT_EQ(vm().reg[5], 6u);
  EXPECT_EQ(vm().reg[6], 42u);
  EXPECT_EQ(vm().reg[7], 0u);  // a quoted number reads as 0
  EXPECT_EQ(vm().reg[8], 7u);
  EXPECT_EQ(vm().reg[9], 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "get_private_profile_string はstring型を指定していません。"));
}

TEST_F(IniCommands, WrittenValuesReadBack) {
  load(
      "call write_private_profile_string(text\"Game\", text\"title\", text\"My Game\", "
      "file\"user.ini\") -> r1\n"
      "call write_private_profile_int(text\"Game\", text\"count\", -5, file\"user.ini\") -> r2\n"
      "call write_private_profile_int(text\"Game\", text\"count\", 9, file\"user.ini\")\n"
      "call write_private_profile_int(text\"Other\", text\"x\", 1, file\"user.ini\")\n"
      "call string(0) -> r10\n"
      "call get_private_profile_string(text\"Game\", text\"title\", text\"\", r10, "
      "file\"user.ini\")\n"
      "call get_private_profile_int(text\"Game\", text\"count\", 0, file\"user.ini\") -> r3\n"
      "call get_private_profile_int(text\"Game\", text\"title\", 77, file\"user.ini\") -> r4\n");
  run();
  EXPECT_NE(vm().reg[1], 0u);
  EXPECT_NE(vm().reg[2], 0u);
  EXPECT_STREQ(vm().strings.slots[0], "My Game");
  EXPECT_EQ(vm().reg[3], 9u);
  EXPECT_EQ(vm().reg[4], 0u);  // a quoted text is no number
  EXPECT_EQ(get("save/USER.INI"), "[Game]\r\ntitle=\"My Game\"\r\ncount=9\r\n[Other]\r\nx=1\r\n");
}

// A name with a folder part would write outside the save folder: it is refused with a line,
// and nothing is written anywhere. A double-byte character whose second byte is 0x5C is a name.
TEST_F(IniCommands, WritesStayInTheSaveFolder) {
  const char* refused[] = {"..\\\\X.INI",   "..\\\\..\\\\X.INI", "../up.ini",
                           "sub\\\\in.ini", "c:x.ini",           ".."};
  for (const char* name : refused) {
    SCOPED_TRACE(name);
    load(std::string("call write_private_profile_int(text\"A\", text\"b\", 1, file\"") + name +
         "\") -> r1\n");
    vm().reg[1] = 5;
    run();
    EXPECT_EQ(vm().reg[1], 0u);
    EXPECT_TRUE(logged(0, "write_private_profile file name error"));
  }
  EXPECT_FALSE(exists("X.INI"));
  EXPECT_FALSE(exists("up.ini"));
  EXPECT_FALSE(exists("UP.INI"));
  load("call write_private_profile_int(text\"A\", text\"b\", 1, file\"表.ini\") -> r1\n");
  run();
  EXPECT_EQ(vm().reg[1], 1u);
}

TEST_F(IniCommands, AFailedWriteGivesZero) {
  engine::set_command_save_folder(system_path(game_ + "/no/such/folder"));
  load("call write_private_profile_int(text\"A\", text\"b\", 1, file\"x.ini\") -> r1\n");
  vm().reg[1] = 5;
  run();
  EXPECT_EQ(vm().reg[1], 0u);
}

}  // namespace
}  // namespace enginetest
