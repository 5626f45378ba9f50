// System queries and script-machine controls from assembled scripts.
#include "commands/system_commands.h"

#include <cstring>

#include "engine/neighbours.h"
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

class SystemCommands : public VmTest {
 protected:
  void TearDown() override {
    engine::set_seam_debug_is(-1);
    VmTest::TearDown();
  }
};

TEST_F(SystemCommands, QueriesAndTheirBounds) {
  load(
      "call get_memory_status(1, -1) -> r1\n"
      "call get_memory_status(1, 5) -> r2\n"
      "call get_memory_status(0, -1) -> r3\n"
      "call get_memory_status(1, 4096) -> r4\n"  // outside TempMemory: not written
      "call get_os_version(1) -> r5\n"
      "call get_os_version(5) -> r6\n"
      "call get_display_mode(4, 0) -> r7\n"
      "call get_disk_free(1, -1) -> r8\n"
      "call get_gesture_info(0) -> r9\n"
      "call get_gesture_info(3) -> r10\n"
      "call gesture_call_set(2, 0) -> r11\n"
      "call gesture_call_reset(8) -> r12\n"
      "call set_script_flag(5)\n"
      "call get_script_flag -> r13\n");
  vm().tempMem[5] = 99;
  run();
  EXPECT_GT(vm().reg[1], 0u);
  EXPECT_EQ(vm().reg[2], vm().reg[1]);
  EXPECT_EQ(vm().tempMem[5], 0u);  // the high word of a size below 4 PiB
  EXPECT_EQ(vm().reg[3], 0u);      // a percentage shifted by 20 bits
  EXPECT_TRUE(logged(0, "get_memory_status: index 4096 outside TempMemory"));
  EXPECT_EQ(vm().reg[5], vm().reg[6]);
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_GT(vm().reg[8], 0u);
  EXPECT_EQ(vm().reg[9], 0u);
  EXPECT_EQ(vm().reg[10], 0u);
  EXPECT_EQ(vm().reg[11], 0u);
  EXPECT_TRUE(logged(0, "gesture_call_set : 未定義コード[2]"));
  EXPECT_EQ(vm().reg[12], 0u);
  EXPECT_TRUE(logged(0, "gesture_call_reset : 未定義コード[8]"));
  EXPECT_EQ(vm().reg[13], 1u);
}

TEST_F(SystemCommands, GestureCallsItsTargetAndReturns) {
  load(
      "  call gesture_call_set(3, r1) -> r2\n"
      "  mov r3, 1\n"
      "  end\n"
      "zoom:\n"
      "  mov r4, 7\n"
      "  ret\n");
  // The target is a code offset from the base, as the label table holds them: 'zoom' is the
  // fourth instruction.
  vm().reg[1] = 7 * 4 + 3 * 4 + 4;
  vm().runner.bRunning = 1;
  run();
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[3], 1u);
  const uint32_t interrupted = vm().runner.dwPc;
  engine::GestureRecord g{};
  g.dwId = 3;
  g.dwSequence = 9;
  engine::gesture_callback(g);
  EXPECT_EQ(vm().runner.dwPc, vm().runner.dwBase + vm().reg[1]);
  engine::DataEntry back{};
  ASSERT_TRUE(engine::data_entry_pop(vm(), engine::kChannelReturns, &back));  // where ret goes
  EXPECT_EQ(back.dwValue, interrupted);
  EXPECT_EQ(back.dwKind, 0u);
  engine::GestureRecord stray{};
  stray.dwId = 1000;  // never read past the eight routing slots
  engine::gesture_callback(stray);
  EXPECT_EQ(engine::last_gesture().dwId, 1000u);
  EXPECT_EQ(vm().runner.dwPc, vm().runner.dwBase + vm().reg[1]);
}

TEST_F(SystemCommands, ControlsSetTheirWords) {
  load(
      "call begin_skip\n"
      "call get_begin_skip_keystate -> r1\n"
      "call end_skip\n"
      "call get_begin_skip_keystate -> r2\n"
      "call set_save_point\n"
      "call set_last_process(0)\n"
      "call set_vm_value(1234)\n"
      "call work_thread_start\n"
      "call set_window_title(r9)\n"
      "mov r3, 1\n");
  vm().run.dwBeginSkipKeys = 8;
  vm().runner.dwLastProcess = 0x40;
  vm().run.bSkip = 1;  // skipping: the work thread is not used
  vm().reg[9] = 0x0FFFFFFF;
  run();
  EXPECT_EQ(vm().reg[1], 0u);  // begin_skip clears the key bits
  EXPECT_EQ(vm().reg[2], 0u);
  EXPECT_EQ(vm().run.dwBeginSkipMode, 0u);
  EXPECT_EQ(vm().run.dwSavePointMark, 12u + 5 * 12);  // after the fifth call of three words
  EXPECT_EQ(vm().save.dwResumePc, vm().run.dwSavePointMark);
  EXPECT_EQ(vm().runner.dwLastProcess, 0u);
  EXPECT_EQ(vm().run.dwVmValue, 1234u);
  EXPECT_EQ(vm().runner.bAsync.load(), 0u);
  EXPECT_EQ(vm().reg[3], 0u);  // the title command ended the slice
}

// Closing a choice menu gives the buttons their cooldown, so the click that closed the menu
// presses nothing beneath it; the script's own run wait is not touched.
TEST_F(SystemCommands, LeavingASubSceneStartsTheButtonCooldown) {
  const engine::Neighbours saved = engine::neighbours;
  static int enabled;
  enabled = 0;
  engine::neighbours.interaction.select_close = [](engine::VmContext&) { return true; };
  engine::neighbours.interaction.system_buttons_enable = [](engine::VmContext&) { ++enabled; };
  load("call leave_sub_scene\n");
  run();
  engine::neighbours = saved;
  EXPECT_EQ(vm().buttons.dwWaitStart, orv.OrvtimeGetTime());  // the frame time stamp
  EXPECT_EQ(vm().buttons.dwInvalidTime, 100u);
  EXPECT_EQ(vm().dwRunWaitLength, 0u);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(vm().messages.slots[2].bPosted, 1u);
  EXPECT_EQ(vm().messages.slots[2].dwParam, 1u);
}

TEST_F(SystemCommands, DebugOutputFormatsOnlyInDebugMode) {
  const std::string call =
      "call debug_output(text\"a=%d b=%04d c=%x %s!\", 5, 7, 255, 0, 0, 0, 0)\n"
      "call debug_output_info(text\"%t|%f|%q.\", text\"hi\", file\"x.png\", 0, 0, 0, 0, 0)\n";
  engine::set_seam_debug_is(0);
  load(call);
  vm().nArgCount = 0;
  run();
  EXPECT_FALSE(logged(0, "a=5"));
  EXPECT_EQ(vm().nArgCount, 0);  // all eight popped anyway
  engine::set_seam_debug_is(1);
  load(call);
  run();
  EXPECT_TRUE(logged(0, "a=5 b=0007 c=000000FF !"));
  EXPECT_TRUE(logged(10, "hi|X.PNG|."));
}

TEST_F(SystemCommands, DebugOutputStopsBeforeTheLineOverflows) {
  engine::set_seam_debug_is(1);
  // Literal text alone would carry the line past 2,047 bytes: four 515-byte formats.
  const std::string chunk(500, 'z');
  load("call debug_output(text\"" + chunk + "%t%t%t%t\", r1, r1, r1, r1, 0, 0, 0)\n");
  std::string slot(600, 'y');
  std::strcpy(vm().strings.slots[0], slot.c_str());
  vm().reg[1] = 0x10000000;
  run();
  EXPECT_TRUE(logged(0, "Error AdvDebugOutputCore szOut over size"));
  for (const auto& [key, line] : logs_) EXPECT_LT(line.size(), 2048u);
}

}  // namespace
}  // namespace enginetest
