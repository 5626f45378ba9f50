// The interpreter loop: command calls, yields, script points, skip, the work-thread runner and
// malformed scripts.
#include "engine/decoded_code.h"
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

using engine::VmContext;

// Command ids the tests take over for their own handlers.
constexpr uint32_t kSubtract = 0x150004;
constexpr uint32_t kWaitThreeTimes = 0x070000;
constexpr uint32_t kPark = 0x070001;
constexpr uint32_t kHandOver = 0x12001C;
constexpr uint32_t kHandBack = 0x12001D;
constexpr uint32_t kQuiet = 0x070002;

int g_calls = 0;

uint32_t subtract(VmContext& vm) {
  const uint32_t a = engine::vm_pop(vm);
  const uint32_t b = engine::vm_pop(vm);
  engine::vm_set_result(vm, a - b);
  return 1;
}

// A retry wait whose condition holds on the third call.
uint32_t wait_three_times(VmContext& vm) {
  if (++g_calls >= 3) {
    engine::vm_pop(vm);
    engine::vm_pop(vm);
    return 1;
  }
  vm.runner.bYield = 1;
  engine::script_retry_call(vm);
  return 1;
}

uint32_t park(VmContext& vm) {
  engine::script_point_push(vm);
  vm.runner.bYield = 1;
  return 1;
}

uint32_t hand_over(VmContext& vm) {
  vm.runner.bAsync.store(1);
  vm.runner.bYield = 1;
  return 1;
}

uint32_t hand_back(VmContext& vm) {
  g_calls = static_cast<int>(engine::script_thread_id.load());
  vm.runner.bAsync.store(0);
  return 1;
}

uint32_t quiet(VmContext&) {
  return 1;
}

class InterpreterTest : public VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    g_calls = 0;
    install(kSubtract, subtract);
    install(kWaitThreeTimes, wait_three_times);
    install(kPark, park);
    install(kHandOver, hand_over);
    install(kHandBack, hand_back);
    install(kQuiet, quiet);
  }
};

TEST_F(InterpreterTest, CommandCallPopsArgumentsAndWritesTheResultRegister) {
  load("  call 0x150004(10, 3) -> r7\n  mov r8, r7\n");
  vm().reg[9] = 99;
  run();
  EXPECT_EQ(vm().reg[7], 7u);  // popped 10 first, then 3
  EXPECT_EQ(vm().reg[8], 7u);  // the result register is an ordinary operand afterwards
  EXPECT_EQ(vm().nArgCount, 0);
  EXPECT_EQ(vm().runner.dwCommand, 0x00010001u);
}

TEST_F(InterpreterTest, ResultRegisterOutsideTheFileIsDropped) {
  load("  call 0x150004(1, 1) -> 255\n  call wait_sync_begin -> r4\n");
  vm().reg[4] = 44;
  run();
  EXPECT_TRUE(logged(0, "result register 255"));
  EXPECT_EQ(vm().reg[4], 44u);  // a command without a result leaves its register alone
  EXPECT_EQ(vm().runner.dwPc, vm().runner.dwCodeSize);
}

TEST_F(InterpreterTest, MissingCommandsAndBadWordsAreLoggedAndSkipped) {
  load(
      "  call 0x0A0012 -> r0\n"  // an empty entry of group 0x0A
      "  call 0x180000 -> r0\n"  // no group 0x18
      "  call 0x020044 -> r0\n"  // past the end of group 0x02
      "  .word 0x00020001\n"     // not a core operation
      "  .word 0x00010000 0x00010022\n"
      "  mov r1, 1\n");
  run();
  EXPECT_TRUE(logged(0, "[24]内部エラー code = [0x000A0012]"));
  EXPECT_TRUE(logged(0, "内部エラー code = [0x00180000]"));
  EXPECT_TRUE(logged(0, "内部エラー code = [0x00020044]"));
  EXPECT_TRUE(logged(0, "内部コマンドエラー1 code = [0x00020001]"));
  EXPECT_TRUE(logged(10, "内部コマンドエラー1 code = [0x00020001]"));
  EXPECT_TRUE(logged(0, "内部エラー code = [0x00010000]"));
  EXPECT_TRUE(logged(0, "内部エラー code = [0x00010022]"));
  EXPECT_EQ(vm().reg[1], 1u);
}

TEST_F(InterpreterTest, RetryWaitRunsTheCallAgainEachSlice) {
  load("  call wait(1, 2) -> r0\n  mov r1, 1\n");
  run();
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(vm().runner.dwPc, 28u);  // back on the call, after its two pushes
  run();
  EXPECT_EQ(g_calls, 2);
  EXPECT_EQ(vm().reg[1], 0u);
  run();
  EXPECT_EQ(g_calls, 3);
  EXPECT_EQ(vm().reg[1], 1u);
}

TEST_F(InterpreterTest, ParkedWaitHoldsTheScriptAtItsPoint) {
  load("  call wait_click -> r0\n  mov r1, 1\n");
  EXPECT_EQ(run(), 1u);
  EXPECT_EQ(vm().runner.dwPointCount, 1u);
  EXPECT_EQ(run(), 1u);  // starts at the top point: runs nothing
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(engine::script_point_pop(vm()), 24);
  run();
  EXPECT_EQ(vm().reg[1], 1u);
}

TEST_F(InterpreterTest, SkipIgnoresYieldsAndWaitsNeitherRewindNorPark) {
  load("  call wait(1, 2) -> r0\n  call wait_click -> r0\n  call wait_frame -> r0\n  mov r1, 1\n");
  install(0x070005, [](VmContext& v) -> uint32_t {
    v.runner.bYield = 1;
    return 1;
  });
  for (int mode = 0; mode < 2; ++mode) {
    SCOPED_TRACE(mode);
    vm().runner.dwPc = vm().runner.dwRestartPc;
    vm().reg[1] = 0;
    g_calls = 0;
    vm().run.bSceneSkip = mode == 0;
    vm().run.bHistorySkip = mode == 1;
    vm().run.dwHistorySkipPc = 0xFFFFFF00;
    EXPECT_EQ(engine::get_skip_state(vm()) & engine::kSkipAny, mode == 0 ? 0x10u : 0x20u);
    run();
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(vm().runner.dwPointCount, 0u);
    EXPECT_EQ(vm().reg[1], 1u);
  }
}

TEST_F(InterpreterTest, PointStackHoldsThirtyTwo) {
  load("  nop\n");
  for (int i = 0; i < 32; ++i) EXPECT_EQ(engine::script_point_push(vm()), 12);
  EXPECT_EQ(engine::script_point_push(vm()), -1);
  EXPECT_TRUE(logged(0, "script point push stack over"));
  EXPECT_EQ(vm().runner.dwPointCount, 32u);
  while (vm().runner.dwPointCount) engine::script_point_pop(vm());
  EXPECT_EQ(engine::script_point_pop(vm()), 0);
  EXPECT_TRUE(logged(0, "script point pop stack none"));
}

TEST_F(InterpreterTest, HistorySkipStopsAnywhereInsideTheTargetCall) {
  load("  mov r1, 1\n  call wait_sync_begin -> r0\n  mov r2, 1\n");
  vm().run.bHistorySkip = 1;
  vm().run.dwHistorySkipPc = 20;  // inside the instruction before the call at 24
  vm().save.nLoadAfterLabel = -1;
  run();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().runner.dwPc, 24u);
  EXPECT_EQ(vm().run.bHistorySkip, 0u);
  EXPECT_TRUE(logged(10, "history_skip end [14:18]"));
}

TEST_F(InterpreterTest, WorkThreadRunnerTakesOverAndHandsBack) {
  load(
      "  call work_thread_start -> r0\n"
      "  mov r1, 1\n"
      "  call wait(1, 2) -> r0\n"  // a retry wait repeats at once on the work thread
      "  call wait_click -> r0\n"  // a parked wait does not stop it
      "  call work_thread_stop -> r0\n"
      "  mov r2, 1\n"
      "  call wait_frame -> r0\n"
      "  mov r3, 1\n");
  install(0x070005, [](VmContext& v) -> uint32_t {
    v.runner.bYield = 1;
    return 1;
  });
  EXPECT_EQ(run(), 0u);  // handed over
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(run(), 1u);  // the game thread does nothing while the work thread owns it
  EXPECT_EQ(vm().reg[1], 0u);

  engine::script_run_async(vm());  // a synchronous work thread
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(g_calls, 4);  // work_thread_stop saw flow 4
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(vm().runner.bRunning.load(), 0u);

  engine::script_thread_id.store(0);
  EXPECT_EQ(run(), 1u);
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[3], 0u);
}

TEST_F(InterpreterTest, WorkThreadRunnerHandsBackAtTheEndOfTheCode) {
  load("  call work_thread_start -> r0\n  mov r1, 1\n");
  run();
  engine::script_run_async(vm());
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().runner.bAsync.load(), 0u);
  EXPECT_EQ(vm().runner.dwPc, vm().runner.dwCodeSize);
  EXPECT_EQ(log_count(0), 0u);
}

TEST_F(InterpreterTest, AsyncStepPendingRunsNoScript) {
  load("  mov r1, 1\n");
  engine::pending_async_step.store([] {});
  EXPECT_EQ(run(), 1u);
  EXPECT_EQ(vm().reg[1], 0u);
}

// Malformed code ends the slice with a key-0 line and never reads outside the image.
TEST_F(InterpreterTest, MalformedScriptsEndCleanly) {
  struct Case {
    const char* name;
    const char* source;
  };
  const Case cases[] = {
      {"truncated operand", "  mov r1, 1\n  .word 0x00010001 0x40000001\n"},
      {"truncated call", "  .word 0x00010017 0x00070002\n"},
      {"wild jump", "  jmp far\n.label far 0x7FFFFFF0\n"},
      {"jump into the header", "  gosub back\n.label back 0xFFFFFFF4\n"},
      {"misaligned jump to the last bytes", "  jmp odd\n  nop\n.label odd 6\n"},
      {"entry past the end", ".entry 0x1000\n  nop\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    logs_.clear();
    SetUp();
    load(c.source);
    run();
    EXPECT_TRUE(logged(0, "script pc outside the code"));
    EXPECT_EQ(vm().runner.dwPc, vm().runner.dwCodeSize);
    const size_t lines = logs_.size();
    run();  // stands at its end from now on
    EXPECT_EQ(logs_.size(), lines);
  }
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// The decoded form must leave the machine exactly as the plain path does: registers, the
// immediate cell, the pc, the last instruction word and pc, and the log lines. Decoded
// operations run back to back when nothing is watched between instructions, and one at a
// time while a step limit or a script point is watched; each is compared with the plain path
// under the same watch, also when a step limit stops the script part way.
TEST_F(InterpreterTest, DecodedOperationsMatchThePlainPath) {
  const char* script =
      "  mov r1, -7\n"
      "  mov r2, r1\n"
      "  sar r2, 1\n"
      "  shl r1, 33\n"
      "  mov r3, 5\n"
      "  lt r3, r1\n"
      "  mov r4, 0x0FFFFFFF\n"
      "  mul r4, 16\n"
      "  ge r4, 0\n"
      "  lor r5, 0\n"
      "  land r6, 3\n"
      "  mov r14, -7\n"
      "  div r14, 2\n"  // -3: rounds toward zero
      "  mov r15, -7\n"
      "  mod r15, 2\n"  // -1
      "  div r1, 0\n"   // by zero: unchanged
      "  mod r3, 0\n"
      "  mov r16, 1\n"
      "  shl r16, 31\n"  // INT_MIN
      "  mov r17, r16\n"
      "  div r16, -1\n"  // no 32-bit quotient: stays INT_MIN
      "  mod r17, -1\n"  // 0
      "  mov r7, @there\n"
      "  jmp r7\n"
      "  mov r8, 1\n"
      "there:\n"
      "  add r9, 1\n"
      "  call 0x150004(r9, 1) -> r7\n"  // pushes and a command call, in the loop
      "  call 0x180000 -> r0\n"         // no such command: logged
      "  mov r10, r9\n"
      "  eq r10, 3\n"
      "  jz there, r10\n"
      "  mov r11, 999\n"
      "  jmp r11\n"  // a label outside Point.dat: logged, no jump
      "  xor r12, 6\n"
      "  nop\n"
      "  sub r13, 2\n";
  struct Outcome {
    std::vector<uint32_t> regs;
    uint32_t immediate, pc, command, current;
    std::vector<std::pair<int, std::string>> logs;
  };
  struct Watch {
    const char* name;
    bool step_limited;
    uint32_t steps;
    bool script_point;  // a point the script never reaches
  };
  const Watch watches[] = {
      {"nothing watched", false, 0, false},        {"step limit not reached", true, 1000, false},
      {"stopped after 1 step", true, 1, false},    {"stopped after 14 steps", true, 14, false},
      {"stopped after 27 steps", true, 27, false}, {"script point", false, 0, true},
  };
  for (const Watch& w : watches) {
    SCOPED_TRACE(w.name);
    auto outcome = [&](bool decoded) {
      TearDown();
      logs_.clear();
      SetUp();
      load(script);
      if (!decoded) engine::decoded_code_free(vm().runner);
      engine::ScriptRunner& r = vm().runner;
      r.bStepLimited = w.step_limited;
      r.dwStepsLeft = w.steps;
      if (w.script_point) {
        r.dwPointStack[0] = r.dwCodeSize + 4;
        r.dwPointCount = 1;
      }
      run();
      return Outcome{std::vector<uint32_t>(vm().reg, vm().reg + 18),
                     vm().dwImmediate,
                     vm().runner.dwPc,
                     vm().runner.dwCommand,
                     vm().dwCurrentPc,
                     logs_};
    };
    const Outcome plain = outcome(false);
    const Outcome fast = outcome(true);
    EXPECT_EQ(fast.regs, plain.regs);
    EXPECT_EQ(fast.immediate, plain.immediate);
    EXPECT_EQ(fast.pc, plain.pc);
    EXPECT_EQ(fast.command, plain.command);
    EXPECT_EQ(fast.current, plain.current);
    EXPECT_EQ(fast.logs, plain.logs);
    if (!w.step_limited || w.steps == 1000) {
      EXPECT_EQ(plain.regs[9], 3u);
      EXPECT_EQ(plain.regs[7], 2u);
      EXPECT_EQ(plain.regs[8], 0u);
      EXPECT_EQ(plain.regs[13], 0xFFFFFFFEu);
      EXPECT_EQ(plain.regs[14], static_cast<uint32_t>(-3));
      EXPECT_EQ(plain.regs[15], static_cast<uint32_t>(-1));
      EXPECT_EQ(plain.regs[16], 0x80000000u);
      EXPECT_EQ(plain.regs[17], 0u);
      EXPECT_FALSE(plain.logs.empty());
    }
  }
}

uint32_t end_scene_skip(VmContext& vm) {
  vm.run.bSceneSkip = 0;
  return 1;
}

TEST_F(InterpreterTest, SceneSkipProfilerReportsAfterTheSkip) {
  constexpr uint32_t kEndSkip = 0x070003;
  install(kEndSkip, end_scene_skip);
  // Each instruction is timed until the next one starts; the report comes with the first
  // instruction after the skip, one line per instruction key: 1, the opcode, and the low bytes
  // of the command id's two halves (call 0x070002 -> 0x01170702).
  load(
      "  call 0x070002\n"
      "  call 0x070002\n"
      "  call 0x070003\n"
      "  call 0x070002\n"
      "  call 0x070002\n"
      "  end\n");
  vm().run.bSceneSkip = 1;
  run();
  std::vector<std::string> report;
  for (const auto& [key, line] : logs_) {
    if (key == engine::kLogMain && line.rfind("cmd=", 0) == 0) report.push_back(line);
  }
  ASSERT_EQ(report.size(), 1u);  // the ending call itself is not timed
  EXPECT_EQ(report[0].rfind("cmd=01170702 / count=2 / time=", 0), 0u) << report[0];
  EXPECT_NE(report[0].find("percent=100.00000"), std::string::npos) << report[0];

  // Without a scene skip nothing is timed or reported.
  logs_.clear();
  load("  call 0x070002\n  call 0x070002\n  end\n");
  run();
  EXPECT_EQ(log_count(engine::kLogMain), 0u);
}

}  // namespace
}  // namespace enginetest
