// The save and load commands in assembled scripts: a save and a load that resume at the
// snapshot's point (with and without a load-after routine), PrevData, history files, and the
// edge cases of the slot commands.
#include <string>

#include "program/save/save_fixture.h"
#include "save/save_files.h"

namespace savetest {
namespace {

// UserMemory 0 is set to 11 before the snapshot point; TempMemory (neither saved nor reset)
// counts the passes through the resume point. The first pass saves slot 1, changes the memory
// and loads slot 1; the second pass ends in the idle loop.
constexpr const char* kSaveLoad =
    "  mov r1, 0\n"
    "  mov u[r1], 11\n"
    "  call set_load_after_process(@after)\n"
    "  call save_point(0)\n"
    "resume:\n"
    "  mov r1, 0\n"
    "  add t[r1], 1\n"
    "  mov r2, t[r1]\n"
    "  eq r2, 1\n"
    "  jz idle, r2\n"
    "  call save(1, 1)\n"
    "  mov u[r1], 22\n"
    "  call load(1)\n"
    "idle:\n"
    "  call wait_frame\n"
    "  jmp idle\n"
    "after:\n"
    "  mov r1, 1\n"
    "  add t[r1], 1\n"
    "  ret\n";

class SaveCommands : public SaveTest {};

TEST_F(SaveCommands, LoadResumesAtTheSnapshotAfterItsLoadAfterRoutine) {
  load(kSaveLoad);
  run();
  EXPECT_TRUE(exists("save/save001.dat"));
  EXPECT_EQ(gs().settings.nNewestSave, 1);
  // The load yields: the resumed script goes on with the next slice.
  EXPECT_EQ(vm().userMem[0], 11u);
  run();
  EXPECT_EQ(vm().tempMem[1], 1u);  // the load-after routine ran once
  EXPECT_EQ(vm().tempMem[0], 2u);  // then the resume point again
  EXPECT_EQ(vm().userMem[0], 11u);
  // Buttons rest for 100 ms after a load; PrevData is gone; a fresh snapshot is held.
  EXPECT_EQ(vm().buttons.dwInvalidTime, 100u);
  EXPECT_EQ(vm().buttons.dwWaitStart, enginetest::g_fake_now);
  EXPECT_EQ(vm().save.bSnapValid, 1u);
}

TEST_F(SaveCommands, LoadWithoutLoadAfterYieldsAtTheResumePoint) {
  std::string source = kSaveLoad;
  source.replace(source.find("@after"), 6, "-1");
  load(source);
  run();
  run();
  EXPECT_EQ(vm().tempMem[1], 0u);
  EXPECT_EQ(vm().tempMem[0], 2u);
}

TEST_F(SaveCommands, RefusedLoadsChangeNothing) {
  load("idle:\n  call wait_frame\n  jmp idle\n");
  vm().userMem[3] = 33;
  snap(0);
  const std::vector<uint8_t> before = held();
  struct Case {
    int32_t slot;
    const char* line;
  } cases[] = {
      {7, "load error ["},                // no save007.dat
      {-1, "error : load file no [-1]"},  // continue.dat is never loaded
      {1001, "error : load file no [1001]"},
      {1000, "load error [prev]: no previous data"},  // PrevData empty
  };
  put("save/continue.dat", std::string(before.begin(), before.end()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    logs_.clear();
    call(0x0A0001, {static_cast<uint32_t>(c.slot)});
    EXPECT_TRUE(logged(0, c.line));
    if (c.slot == 7) {
      EXPECT_TRUE(logged(0, "save007.dat"));
    }
    EXPECT_EQ(log_count(0), 1u);
    EXPECT_EQ(vm().userMem[3], 33u);
    EXPECT_EQ(held(), before);
  }
  // A file of another script (its resume pc outside this code) is refused naming the field.
  std::vector<uint8_t> other = before;
  codec::store_u32(other.data() + 4108, 0x100000);
  put("save/save002.dat", std::string(other.begin(), other.end()));
  logs_.clear();
  call(0x0A0001, {2});
  EXPECT_TRUE(logged(0, "save002.dat]: resume pc"));
  EXPECT_EQ(held(), before);
}

TEST_F(SaveCommands, PrevDataGoesBackToTheStateBeforeTheChoice) {
  load("idle:\n  call wait_frame\n  jmp idle\n");
  vm().userMem[0] = 5;
  snap(0);
  call(0x0A000B, {1000});  // save_point 1000 packs the held snapshot
  EXPECT_EQ(call(0x0A0022, {}), 1u);
  vm().userMem[0] = 6;
  snap(0);
  call(0x0A0001, {1000});
  EXPECT_EQ(vm().userMem[0], 5u);
  EXPECT_EQ(call(0x0A0022, {}), 0u);  // dropped by the load
  // save_point_clear drops the snapshot and PrevData: save then writes nothing.
  call(0x0A000B, {1000});
  call(0x0A0023, {});
  EXPECT_EQ(call(0x0A0022, {}), 0u);
  gs().settings.nNewestSave = 8;
  call(0x0A0000, {5, 1});
  EXPECT_FALSE(exists("save/save005.dat"));
  EXPECT_EQ(gs().settings.nNewestSave, 8);
}

TEST_F(SaveCommands, ALockedSavePointTakesNoSnapshot) {
  load("idle:\n  call wait_frame\n  jmp idle\n");
  vm().userMem[0] = 1;
  snap(0);
  const std::vector<uint8_t> before = held();
  call(0x0A0024, {1});  // save_point_lock 1
  vm().userMem[0] = 2;
  call(0x0A000B, {0});
  EXPECT_EQ(held(), before);
  call(0x0A0000, {3, 0});  // save writes the snapshot held from before
  EXPECT_EQ(slot_file(3), std::string(before.begin(), before.end()));
}

TEST_F(SaveCommands, HistoryFilesCountAndLoadWithoutFade) {
  load("idle:\n  call wait_frame\n  jmp idle\n");
  vm().history.bSnapshotsOn = 1;
  vm().sysMem[511] = 11;
  vm().userMem[0] = 7;
  snap(0);
  call(0x0A0025, {});  // history_file_save: number 12
  EXPECT_EQ(vm().sysMem[511], 12u);
  EXPECT_EQ(vm().sysMem[509], 12u);
  EXPECT_TRUE(exists("save/hist0000000c.dat"));
  EXPECT_EQ(call(0x0A0027, {12}), 1u);
  EXPECT_EQ(call(0x0A0027, {13}), 0u);
  vm().userMem[0] = 8;
  vm().run.bHistorySkip = 1;
  vm().run.dwHistorySkipPc = 0x20;
  EXPECT_EQ(call(0x0A0026, {12}), 0xFFFFFFFFu);
  EXPECT_EQ(vm().userMem[0], 7u);
  EXPECT_EQ(vm().sysMem[509], 12u);      // the saved 511 plus one
  EXPECT_EQ(vm().run.bHistorySkip, 1u);  // a running history skip keeps running
  EXPECT_EQ(vm().run.dwHistorySkipPc, 0x20u);
  EXPECT_EQ(call(0x0A0026, {99}), 0u);
  EXPECT_TRUE(logged(0, "path not enough length or not found"));
  // The history file's UserMemory word, read at its own thumbnail's end.
  EXPECT_EQ(call(0x0A0028, {12, 0}), 7u);
  // A slot load sets word 509 to the history number saved with its snapshot.
  vm().sysMem[509] = 5;
  snap(0);
  call(0x0A0000, {3, 0});
  vm().sysMem[509] = 9;
  call(0x0A0001, {3});
  EXPECT_EQ(vm().sysMem[509], 5u);
}

TEST_F(SaveCommands, SlotQueries) {
  load("idle:\n  call wait_frame\n  jmp idle\n");
  put("save/continue.dat", "x");
  EXPECT_EQ(call(0x0A0009, {static_cast<uint32_t>(-1)}), 0u);  // continue.dat is not a slot
  put("save/save009.dat", "");
  EXPECT_EQ(call(0x0A0009, {9}), 0u);  // empty
  vm().userMem[4] = 44;
  snap(0);
  call(0x0A0000, {5, 0});
  EXPECT_EQ(call(0x0A0009, {static_cast<uint32_t>(-1)}), 1u);
  EXPECT_EQ(call(0x0A0009, {5}), 1u);
  // UserMemory of a file written with another thumbnail size: read after the file's own.
  call(0x0A0004, {16, 16});
  EXPECT_EQ(vm().save.dwThumbSize, 16u * 16 * 4);
  EXPECT_EQ(call(0x0A000A, {5, 4}), 44u);
  vm().reg[0] = 99;
  call(0x0A000A, {5, 1024});  // index outside UserMemory: the register keeps its value
  EXPECT_EQ(vm().reg[0], 99u);
  // Thumbnail sizes that are not positive or would not fit a snapshot are refused.
  call(0x0A0004, {0, 16});
  call(0x0A0004, {4096, 4096});
  EXPECT_EQ(vm().save.dwThumbSize, 16u * 16 * 4);
  // A save now carries a snapshot of the old thumbnail size: the current pixels are not copied
  // over it, and the file stays loadable.
  call(0x0A0000, {6, 0});
  EXPECT_EQ(slot_file(6), slot_file(5));
  call(0x0A0001, {6});
  EXPECT_EQ(vm().save.dwThumbSize, 8u * 4 * 4);
  EXPECT_EQ(vm().userMem[4], 44u);
}

}  // namespace
}  // namespace savetest
