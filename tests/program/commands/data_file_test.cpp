// Script data files: the commands through assembled scripts.
#include "commands/data_file.h"

#include "support/game_folder_fixture.h"

namespace enginetest {
namespace {

class DataFileCommands : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    vm().hDataFiles = engine::orv_list_create();
  }
  void TearDown() override {
    engine::data_files_close_all(vm());
    engine::orv_list_release(vm().hDataFiles);
    GameFolderTest::TearDown();
  }
};

TEST_F(DataFileCommands, ReadCellsAndStrings) {
  put("table.txt", "10, 20, \"hello\"\r\n30\r\n");
  load(
      "call open_file(file\"table.txt\") -> r1\n"
      "call read_file(r1, 0, 2) -> r2\n"  // 10, 20
      "call read_file(r1, 2, 2) -> r3\n"  // the string cell, 30
      "call read_file(r1, 4, 1) -> r4\n"  // past the cells
      "call string(0) -> r5\n"
      "call file_string(r1, t[r0+2], r5)\n"
      "call set_file_pointer(r1, -1, 2)\n"  // from the end of cells and strings
      "call read_file(r1, 5, 1) -> r6\n"
      "call set_file_pointer(r1, 1, 0)\n"
      "call read_file(r1, 5, 1) -> r7\n"
      "call read_file(r1, 250, 7) -> r8\n"
      "call close_file(r1)\n"
      "call read_file(r1, 0, 1) -> r9\n");
  run();
  EXPECT_EQ(vm().reg[1], 1u);  // a small id, not an address
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().tempMem[0], 10u);
  EXPECT_EQ(vm().tempMem[1], 20u);
  EXPECT_EQ(vm().reg[3], 1u);
  EXPECT_EQ(vm().tempMem[3], 30u);
  EXPECT_EQ(vm().reg[4], 0u);
  EXPECT_TRUE(logged(10, "read_file eof"));
  EXPECT_STREQ(vm().strings.slots[0], "hello");
  EXPECT_EQ(vm().reg[6], 0u);  // past the cells
  EXPECT_EQ(vm().reg[7], 1u);
  EXPECT_EQ(vm().tempMem[5], 20u);
  EXPECT_EQ(vm().reg[8], 0u);  // 250 + 7 passes TempMemory word 255
  EXPECT_EQ(vm().reg[9], 0u);
  EXPECT_TRUE(logged(0, "read_file not handle"));
}

TEST_F(DataFileCommands, HandlesAreCheckedIds) {
  put("empty.txt", "");
  put("nums.txt", "1,2,3,4\n");
  load(
      "call open_file(file\"empty.txt\") -> r1\n"
      "call read_file(r1, 0, 1) -> r2\n"
      "call read_file(r1, 0, 0) -> r3\n"
      "call open_file(file\"nums.txt\") -> r4\n"
      "call set_file_pointer(r4, -1, 2)\n"
      "call read_file(r4, 9, 1) -> r5\n"
      "call open_file(file\"missing.txt\") -> r6\n"
      "call string(0) -> r10\n"
      "call file_string(0, 0, r10)\n"  // no handle: --ERR--
      "call string(0) -> r11\n"
      "call file_string(r4, r12, r11)\n"  // a number cell read as a string: out of the pool
      "call file_string(r4, 0, 16)\n"     // no slot 16: nothing written
      "call read_file(77, 0, 1) -> r7\n"  // an id nobody handed out
      "call close_file(77)\n"
      "call close_file(r1)\n"
      "call open_file(file\"nums.txt\") -> r8\n"
      "call read_file(r1, 0, 1) -> r9\n");  // the closed id
  vm().reg[12] = 0x80000100u;
  run();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(vm().reg[3], 1u);
  EXPECT_EQ(vm().reg[4], 2u);
  EXPECT_EQ(vm().reg[5], 1u);
  EXPECT_EQ(vm().tempMem[9], 4u);  // the last cell
  EXPECT_EQ(vm().reg[6], 0u);
  EXPECT_TRUE(logged(0, "open_file error : MISSING.TXT"));
  EXPECT_STREQ(vm().strings.slots[0], "--ERR--");
  EXPECT_TRUE(logged(0, "*** ERROR file_string not handle"));
  EXPECT_STREQ(vm().strings.slots[1], "--ERR--");
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_TRUE(logged(0, "close_file not handle"));
  // A closed id is not handed out again: it finds nothing, not the next file.
  EXPECT_NE(vm().reg[8], 0u);
  EXPECT_NE(vm().reg[8], vm().reg[1]);
  EXPECT_EQ(vm().reg[9], 0u);
}

}  // namespace
}  // namespace enginetest
