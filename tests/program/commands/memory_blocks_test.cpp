// Memory blocks from assembled scripts: buffers, dictionaries, copies and files.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "commands/memory_blocks.h"
#include "support/game_folder_fixture.h"

namespace enginetest {
namespace {

class MemoryBlocks : public GameFolderTest {
 protected:
  void TearDown() override {
    engine::vmem_delete_all_blocks();
    GameFolderTest::TearDown();
  }
  // Runs source and returns r2.
  int32_t run_r2(const std::string& source) {
    load(source);
    run();
    return static_cast<int32_t>(vm().reg[2]);
  }
};

TEST_F(MemoryBlocks, BuffersAndQueries) {
  const std::string setup =
      "call vmem_create(1, 8, 0) -> r9\n"
      "call vmem_create(2, 0, 1) -> r9\n"
      "call vmem_create(3, 77, 2) -> r9\n"
      "call vmem_set32(1, 4, r8)\n"  // r8 = 0x11223344
      "call vmem_set16(1, 0, 0xABCDE)\n";
  struct Case {
    const char* query;
    int32_t r2;
  } cases[] = {
      {"vmem_get32(1, 4)", 0x11223344},
      {"vmem_get32(1, 5)", 0},  // one byte past the end
      {"vmem_get8(1, 7)", 0x11},
      {"vmem_get16(1, 0)", 0xBCDE},  // only the low 16 bits, low byte first
      {"vmem_get8(1, 1)", 0xBC},
      {"vmem_get8(1, 2)", 0},
      {"vmem_get8(1, r7)", 0},  // r7 = 0xFFFFFFFF never wraps into the buffer
      {"vmem_get8(9, 0)", 0},
      {"vmem_is_valid(1)", 1},
      {"vmem_is_valid(2)", 1},
      {"vmem_is_valid(3)", 0},
      {"vmem_get_kind(1)", 0},
      {"vmem_get_kind(2)", 1},
      {"vmem_get_kind(3)", -1},
      {"vmem_get_kind(9)", -1},
      {"vmem_get_count(2)", 0},
      {"vmem_get_count(3)", 77},
      {"vmem_delete(3)", 1},
      {"vmem_delete(9)", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    engine::vmem_delete_all_blocks();
    load(setup + "call " + c.query + " -> r2\n");
    vm().reg[8] = 0x11223344;
    vm().reg[7] = 0xFFFFFFFFu;
    run();
    EXPECT_EQ(static_cast<int32_t>(vm().reg[2]), c.r2);
  }
}

TEST_F(MemoryBlocks, CreateReplacesAndCopyOverlaps) {
  load(
      "call vmem_create(1, 8, 0)\n"
      "call vmem_set32(1, 0, 0x1020304)\n"
      "call vmem_set32(1, 4, 0x5060708)\n"
      "call vmem_copy(1, 2, 1, 0, 6) -> r2\n"  // overlapping, forwards
      "call vmem_copy(1, 0, 1, 4, 5) -> r3\n"  // source runs past the end: refused
      "call vmem_copy(1, 8, 1, 0, 0) -> r4\n"  // nothing at the very end: fine
      "call vmem_get32(1, 0) -> r5\n"
      "call vmem_get32(1, 4) -> r6\n"
      "call vmem_create(1, 4, 0)\n"
      "call vmem_get32(1, 0) -> r7\n");
  run();
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_EQ(vm().reg[4], 1u);
  // 04 03 02 01 08 07 06 05 with bytes 0..5 moved to 2..7 as through a temporary buffer:
  // 04 03 04 03 02 01 08 07
  EXPECT_EQ(vm().reg[5], 0x03040304u);
  EXPECT_EQ(vm().reg[6], 0x07080102u);
  EXPECT_EQ(vm().reg[7], 0u);
}

TEST_F(MemoryBlocks, Dictionaries) {
  load(
      "call vmem_create(5, 99, 1)\n"
      "call vmem_dict_set(5, 7, text\"seven\") -> r2\n"
      "call vmem_dict_set(5, 7, text\"SEVEN\")\n"
      "call vmem_get_count(5) -> r3\n"
      "call string(0) -> r1\n"
      "call vmem_dict_get(5, 7, r1) -> r4\n"
      "call string(0) -> r10\n"
      "call strcpy(r10, text\"old\", -1)\n"
      "call vmem_dict_get(5, 8, r10) -> r5\n"
      "call vmem_dict_set(6, 7, text\"x\") -> r6\n"
      "call vmem_dict_get(5, 7, r11) -> r7\n"  // r11: slot 16 names no slot
      "call vmem_dict_set(5, 9, r12)\n"
      "call vmem_dict_get(5, 9, r1) -> r8\n");
  vm().reg[11] = 0x10000010;
  vm().reg[12] = 0x10000003;
  std::memset(vm().strings.slots[3], 'q', 2046);  // the longest text a slot holds
  run();
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[3], 1u);  // the same key twice
  EXPECT_EQ(vm().reg[4], 1u);
  EXPECT_STREQ(vm().strings.slots[1], "");  // a missing key gives ""
  EXPECT_EQ(vm().reg[5], 1u);
  EXPECT_EQ(vm().reg[6], 0u);
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_EQ(vm().reg[8], 1u);
  EXPECT_EQ(std::strlen(vm().strings.slots[0]), 2046u);
}

TEST_F(MemoryBlocks, FilesLoadAndSave) {
  put("data.bin", std::string("\x01\x02\x03\x04", 4));
  put("long.bin", std::string("\x09\x09\x09\x09\x09", 5));
  load(
      "call vmem_create(1, 4, 0)\n"
      "call vmem_file_load(1, file\"data.bin\") -> r2\n"
      "call vmem_file_load(1, file\"long.bin\") -> r3\n"
      "call vmem_file_load(1, file\"none.bin\") -> r4\n"
      "call vmem_get32(1, 0) -> r5\n"
      "call vmem_file_save(1, file\"out.bin\", 1, 3) -> r6\n"
      "call vmem_file_save(1, file\"bad.bin\", 2, 3) -> r7\n"
      "call vmem_file_load(2, file\"data.bin\") -> r8\n");
  run();
  EXPECT_EQ(vm().reg[2], 4u);
  EXPECT_EQ(vm().reg[3], 0u);  // one byte too long: buffer unchanged
  EXPECT_EQ(vm().reg[4], 0u);
  EXPECT_TRUE(logged(0, "vmem_file_load error [NONE.BIN]"));
  EXPECT_EQ(vm().reg[5], 0x04030201u);
  EXPECT_EQ(vm().reg[6], 3u);
  EXPECT_EQ(get("OUT.BIN"), std::string("\x02\x03\x04", 3));
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_FALSE(exists("BAD.BIN"));
  EXPECT_EQ(vm().reg[8], 0u);
}

// A save that cannot be finished (here: a file-size limit, as a full disk) leaves the old file
// whole and reports 0; nothing of its temporary file is left behind.
TEST_F(MemoryBlocks, FailedSaveKeepsTheOldFile) {
  put("KEEP.BIN", "old contents");
  load(
      "call vmem_create(1, 8192, 0)\n"
      "call vmem_file_save(1, file\"keep.bin\", 0, 8192) -> r2\n");
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  run();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_TRUE(logged(0, "vmem_file_save error [KEEP.BIN]"));
  EXPECT_EQ(get("KEEP.BIN"), "old contents");
  EXPECT_FALSE(exists("KEEP.BIN.tmp" + std::to_string(getpid())));
}

TEST_F(MemoryBlocks, SurviveAReset) {
  load("call vmem_create(1, 4, 0)\ncall vmem_set8(1, 0, 42)\nreset\n");
  run();
  load("call vmem_get8(1, 0) -> r2\n");
  run();
  EXPECT_EQ(vm().reg[2], 42u);
}

}  // namespace
}  // namespace enginetest
