// The core operations: arithmetic and comparisons as one table, jumps, calls and returns,
// frames, the argument stack, reset and end.
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

using engine::DataEntry;

struct ArithmeticCase {
  const char* op;
  uint32_t d, s, expected;
};

class CoreOpsTest : public VmTest {};

TEST_F(CoreOpsTest, ArithmeticAndComparisons) {
  const uint32_t kMin = 0x80000000u, kMinus1 = 0xFFFFFFFFu;
  const ArithmeticCase cases[] = {
      {"mov", 1, 2, 2},
      {"add", 0x7FFFFFFF, 1, kMin},  // wraps
      {"sub", 0, 1, kMinus1},
      {"mul", 0x10000, 0x10001, 0x10000},  // low 32 bits
      {"div", 7, static_cast<uint32_t>(-2), static_cast<uint32_t>(-3)},
      {"div", 9, 0, 9},  // division by zero keeps the destination
      {"div", kMin, kMinus1, kMin},
      {"mod", static_cast<uint32_t>(-7), 2, kMinus1},
      {"mod", 9, 0, 9},
      {"mod", kMin, kMinus1, 0},
      {"and", 0xF0F0, 0xFF00, 0xF000},
      {"or", 0xF0F0, 0x0F00, 0xFFF0},
      {"xor", 0xFF, 0x0F, 0xF0},
      {"shl", 1, 33, 2},  // shifts by s AND 31
      {"shl", 1, 31, kMin},
      {"sar", static_cast<uint32_t>(-8), 1, static_cast<uint32_t>(-4)},
      {"sar", kMin, 33, 0xC0000000u},
      {"eq", 3, 3, 1},
      {"ne", 3, 3, 0},
      {"le", kMinus1, 1, 1},  // signed
      {"ge", kMinus1, 1, 0},
      {"lt", kMin, 0, 1},
      {"gt", 0, kMin, 1},
      {"lor", 0, 5, 1},
      {"lor", 0, 0, 0},
      {"land", 2, 5, 1},
      {"land", 2, 0, 0},
  };
  for (const ArithmeticCase& c : cases) {
    SCOPED_TRACE(std::string(c.op) + " " + std::to_string(c.d) + ", " + std::to_string(c.s));
    TearDown();
    SetUp();
    load(std::string(c.op) + " r1, r2\n");
    vm().reg[1] = c.d;
    vm().reg[2] = c.s;
    run();
    EXPECT_EQ(vm().reg[1], c.expected);
    EXPECT_EQ(vm().runner.dwPc, vm().runner.dwCodeSize);
  }
}

TEST_F(CoreOpsTest, NotAndNegOnRawRegisters) {
  load("not r1\nnot r2\nneg r3\nneg r4\n");
  vm().reg[1] = 0;
  vm().reg[2] = 7;
  vm().reg[3] = 5;
  vm().reg[4] = 0x80000000u;
  run();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(vm().reg[3], static_cast<uint32_t>(-5));
  EXPECT_EQ(vm().reg[4], 0x80000000u);
}

TEST_F(CoreOpsTest, JumpsThroughLabels) {
  load(
      "  jz skip, r1\n"  // r1 = 0: jumps
      "  mov r10, 1\n"
      "skip:\n"
      "  mov r1, 1\n"
      "  jz never, r1\n"  // r1 = 1: goes on
      "  jmp @done\n"
      "never:\n"
      "  mov r11, 1\n"
      "done:\n"
      "  mov r12, 1\n");
  run();
  EXPECT_EQ(vm().reg[10], 0u);
  EXPECT_EQ(vm().reg[11], 0u);
  EXPECT_EQ(vm().reg[12], 1u);
}

TEST_F(CoreOpsTest, LabelZeroIsTheFirstCodeWord) {
  load("  add r1, 1\n  mov r2, r1\n  ge r2, 3\n  jz 0, r2\n");
  run();
  EXPECT_EQ(vm().reg[1], 3u);
}

TEST_F(CoreOpsTest, LabelOutsidePointDatFailsWithoutJumping) {
  load("  jmp @a\na:\n  jmp 2\n  mov r1, 1\n  gosub 0x999\n  mov r2, 1\n");
  run();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_TRUE(logged(0, "label 2 outside Point.dat"));
  EXPECT_TRUE(logged(0, "内部エラー code = [0x00010009]"));
  EXPECT_TRUE(logged(0, "内部エラー code = [0x0001000B]"));
  EXPECT_EQ(engine::orv_list_count(vm().hReturnStack, engine::kChannelReturns), 0u);
}

TEST_F(CoreOpsTest, GosubAndRetContinueInTheSameSlice) {
  load(
      "  gosub sub\n"
      "  mov r2, r1\n"
      "  end\n"
      "sub:\n"
      "  mov r1, 7\n"
      "  ret\n");
  EXPECT_EQ(run(), 1u);
  EXPECT_EQ(vm().reg[2], 7u);
  EXPECT_TRUE(logged(10, "gosub 20 [36] stack(0)"));
  EXPECT_TRUE(logged(10, "ret [20] stack(0)"));
}

TEST_F(CoreOpsTest, RetByEntryKind) {
  struct Case {
    uint32_t kind;
    bool yields;
    bool logs;
    int32_t thread_running;
  };
  const Case cases[] = {{0, false, true, 1},
                        {1, true, true, 1},
                        {2, true, true, 1},
                        {3, true, false, 0},
                        {7, false, true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    TearDown();
    logs_.clear();
    SetUp();
    load("  ret\n  mov r1, 1\nback:\n  mov r2, 1\n");
    vm().thread.nRunning = 1;
    engine::data_entry_push(vm(), engine::kChannelReturns, 12 + 16, c.kind);
    run();
    EXPECT_EQ(vm().reg[1], 0u);  // returned past it
    EXPECT_EQ(vm().reg[2], c.yields ? 0u : 1u);
    EXPECT_EQ(vm().runner.dwPc, c.yields ? 28u : vm().runner.dwCodeSize);
    EXPECT_EQ(logged(10, "ret [28]"), c.logs);
    EXPECT_EQ(static_cast<int32_t>(vm().thread.nRunning), c.thread_running);
  }
}

TEST_F(CoreOpsTest, RetTakesAThreadMarkerFirst) {
  load("  ret\n  mov r1, 1\nback:\n  mov r2, 1\n");
  vm().thread.nRunning = 2;
  engine::data_entry_push(vm(), engine::kChannelReturns, 999, 0);
  engine::data_entry_push(vm(), engine::kChannelThreadMarkers, 28, 0);
  run();
  EXPECT_EQ(vm().thread.nRunning, 1u);
  EXPECT_EQ(vm().runner.dwPc, 28u);  // yielded at the marker's position
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(engine::orv_list_count(vm().hReturnStack, engine::kChannelReturns), 1u);
}

TEST_F(CoreOpsTest, RetPopsFramePairsSetByLpop) {
  load("  ret\nback:\n  nop\n");
  engine::data_entry_push(vm(), engine::kChannelReturns, 16, 0);
  vm().run.nRetPairs = 1;
  engine::vm_push(vm(), 40);  // esp
  engine::vm_push(vm(), 30);  // ebp, popped first
  run();
  EXPECT_EQ(vm().frame.dwEbp, 30u);
  EXPECT_EQ(vm().frame.dwEsp, 40u);
  EXPECT_EQ(vm().run.nRetPairs, 0u);
  EXPECT_EQ(vm().nArgCount, 0);
}

TEST_F(CoreOpsTest, RetOnAnEmptyStackRestartsCleanly) {
  load(
      ".entry start\n"
      "  nop\n"
      "start:\n"
      "  add t[r0], 1\n"  // counts the passes; the reset keeps TempMemory
      "  mov r1, t[r0]\n"
      "  ge r1, 2\n"
      "  jz again, r1\n"
      "  end\n"
      "again:\n"
      "  ret\n");
  vm().systemButtons[3].bInit = 1;
  vm().userMem[1] = 5;
  run();
  EXPECT_EQ(vm().tempMem[0], 2u);
  EXPECT_EQ(vm().systemButtons[3].bInit, 0u);
  EXPECT_EQ(vm().userMem[1], 0u);
  EXPECT_TRUE(logged(0, "戻り先がないので始めから開始します 10"));
  EXPECT_TRUE(logged(10, "戻り先がないので始めから開始します 10"));
}

TEST_F(CoreOpsTest, EnterAndLeaveFrames) {
  load("  push 11\n  push 22\n  enter 2\n  mov r1, f[2]\n  mov r2, f[1]\n  leave 2\n");
  run();
  EXPECT_EQ(vm().frame.cells[0], 22u);  // the last pushed lands first
  EXPECT_EQ(vm().frame.cells[1], 11u);
  EXPECT_EQ(vm().reg[1], 22u);
  EXPECT_EQ(vm().reg[2], 11u);
  EXPECT_EQ(vm().frame.dwEsp, 0u);
  EXPECT_EQ(vm().nArgCount, 0);
}

TEST_F(CoreOpsTest, EnterIsCappedToTheFrameStack) {
  load("  push 1\n  push 2\n  push 3\n  enter 3\n  enter 0x0FFFFFFF\n");
  vm().frame.dwEsp = 510;
  run();
  EXPECT_TRUE(logged(0, "stack over"));
  EXPECT_EQ(vm().frame.dwEsp, 512u);
  EXPECT_EQ(vm().frame.cells[510], 3u);
  EXPECT_EQ(vm().frame.cells[511], 2u);
  // One argument left (1), then each enter pushed its esp.
  EXPECT_EQ(vm().nArgCount, 3);
}

TEST_F(CoreOpsTest, ArgumentStackBounds) {
  std::string source;
  for (int i = 0; i < 65; ++i) source += "  push " + std::to_string(i) + "\n";
  load(source);
  run();
  EXPECT_EQ(vm().nArgCount, 64);
  EXPECT_EQ(log_count(0), 2u);  // the 64th and the 65th push
  EXPECT_EQ(vm().argStack[63], 63u);

  TearDown();
  SetUp();
  load("  pop r1\n");
  vm().reg[1] = 9;
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_TRUE(logged(0, "not stack"));
  EXPECT_EQ(vm().nArgCount, 0);
}

TEST_F(CoreOpsTest, ResetKeepsTempSystemAndStrings) {
  load("  push 1\n  reset\n  mov r2, 1\n");
  vm().reg[1] = 5;
  vm().userMem[0] = 1;
  vm().tempMem[0] = 2;
  vm().sysMem[0] = 3;
  vm().strings.slots[2][0] = 'x';
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().reg[2], 1u);  // goes on with the next word
  EXPECT_EQ(vm().userMem[0], 0u);
  EXPECT_EQ(vm().tempMem[0], 2u);
  EXPECT_EQ(vm().sysMem[0], 3u);
  EXPECT_EQ(vm().strings.slots[2][0], 'x');
  EXPECT_EQ(vm().nArgCount, 0);
}

TEST_F(CoreOpsTest, NothingRunsAfterEnd) {
  // Scene skip ignores the yield of end; the end request still stops the slice.
  load("  mov r1, 1\n  end\n  mov r2, 1\n");
  vm().run.bSceneSkip = 1;
  run();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[2], 0u);
  run();
  engine::script_run_async(vm());
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(vm().runner.dwPc, 28u);
}

}  // namespace
}  // namespace enginetest
