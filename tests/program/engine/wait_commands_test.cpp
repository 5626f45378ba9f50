// The wait commands: timed waits, sync waits, cancelling, skip and the thread-call refusal.
#include "engine/operand.h"
#include "support/frame_fixture.h"

namespace enginetest {
namespace {

class WaitTest : public FrameTest {};

TEST_F(WaitTest, WaitZeroLastsOneFrame) {
  load("  call wait(0, 0)\n  mov r1, 1\n");
  frame();  // armed with length 1
  EXPECT_EQ(vm().wait.dwLength, 1u);
  EXPECT_EQ(vm().runner.dwPc, 28u);  // back on the call
  frame();                           // over; yields after the call
  EXPECT_EQ(vm().wait.dwLength, 0u);
  EXPECT_EQ(vm().reg[1], 0u);
  frame();
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_TRUE(logged(10, "wait 1, 0"));
  EXPECT_TRUE(logged(10, "wait: is over 1, 0"));
}

TEST_F(WaitTest, EndlessWaitEndsOnlyThroughWaitClear) {
  // The script thread cancels the main script's endless wait in its third call.
  load(
      "  call create_thread(@th)\n"
      "  call wait(-1, 0)\n"
      "  mov r1, 1\n"
      "  call wait_frame\n"
      "  call wait_is_clear -> r6\n"
      "idle:\n"
      "  call wait_frame\n"
      "  jmp idle\n"
      "th:\n"
      "  add r2, 1\n"
      "  mov r4, r2\n"
      "  eq r4, 3\n"
      "  jz done, r4\n"
      "  call wait_is_clear -> r5\n"
      "  call wait_clear\n"
      "done:\n"
      "  ret\n");
  frames(3, 1000000);
  EXPECT_EQ(vm().reg[2], 2u);
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().wait.dwLength, 0xFFFFFFFFu);
  frame();  // the thread clears; the wait's next call consumes the flag and returns
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().wait.dwLength, 0u);
  frames(2);
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[5], 0u);
  EXPECT_EQ(vm().reg[6], 0u);  // consumed
  EXPECT_TRUE(logged(10, "wait is clear 0, 0"));
}

TEST_F(WaitTest, SyncWaitCountsFromItsBeginNotFromTheWaitBefore) {
  load(
      "  call wait_sync_begin\n"
      "  call wait(300, 0)\n"
      "  call wait_sync(500)\n"
      "  mov r1, 1\n"
      "  call wait_sync_get_time -> r2\n");
  const uint32_t begin = g_fake_now;
  while (g_fake_now - begin < 500 && vm().reg[1] == 0) frame(100);
  EXPECT_EQ(vm().reg[1], 0u);
  frame(100);
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(vm().reg[2], 500u);
  EXPECT_TRUE(logged(10, "wait_sync_release 500"));
}

TEST_F(WaitTest, SyncWaitWithoutBeginEndsOnItsSecondCall) {
  load("  call wait_sync(1000)\n  mov r1, 1\n");
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  run();
  EXPECT_EQ(vm().reg[1], 1u);
}

TEST_F(WaitTest, EveryWaitGivesWayAtOnceUnderSkipWithoutAScriptPoint) {
  const char* script =
      "  call wait(1000, 0)\n"
      "  call wait_click(-1)\n"
      "  call wait_click(200)\n"
      "  call wait_click_no_anim(100)\n"
      "  call wait_sync(100)\n"
      "  mov r1, 1\n";
  for (int history = 0; history < 2; ++history) {
    SCOPED_TRACE(history);
    TearDown();
    SetUp();
    load(script);
    (history ? vm().run.bHistorySkip : vm().run.bSceneSkip) = 1;
    vm().run.dwHistorySkipPc = 0xFFFFFF00u;
    run();
    EXPECT_EQ(vm().reg[1], 1u);
    EXPECT_EQ(vm().runner.dwPointCount, 0u);
    EXPECT_EQ(vm().wait.dwLength, 0u);
  }
}

TEST_F(WaitTest, ClickWaitParksOnAScriptPointAndPendingAdvanceSkipsTheIcon) {
  load("  call wait_click(-1)\n  mov r1, 1\n");
  run();
  EXPECT_EQ(vm().runner.dwPointCount, 1u);
  EXPECT_EQ(vm().text.dwMode & 0xFFFF, 2u);  // the click icon
  run();
  EXPECT_EQ(vm().reg[1], 0u);  // parked until the text window pops the point
  engine::script_point_pop(vm());
  run();
  EXPECT_EQ(vm().reg[1], 1u);

  load("  call wait_click(-1)\n");
  vm().runner.dwPointCount = 0;
  vm().text.dwMode = 0;
  vm().text.bClickAdvance = 1;
  vm().run.dwBeginSkipMode = 1;  // makes the advance input visible to the skip state
  vm().run.dwBeginSkipKeys = 8;
  run();
  EXPECT_EQ(vm().text.dwMode, 0x10u);  // no icon: the wait ends on the pending advance
  EXPECT_EQ(vm().runner.dwPointCount, 1u);
}

TEST_F(WaitTest, WaitFromAThreadCallIsRefused) {
  load(
      "  call create_thread(@th)\n"
      "idle:\n"
      "  call wait_frame\n"
      "  jmp idle\n"
      "th:\n"
      "  call wait(100, 0)\n"
      "  mov r5, 1\n"
      "  ret\n");
  frames(2);
  EXPECT_TRUE(logged(0, "** error wait method from thread call 100, 0"));
  EXPECT_EQ(vm().wait.dwLength, 0u);
  EXPECT_EQ(vm().reg[5], 1u);  // the thread went on in the same frame
  EXPECT_EQ(vm().thread.nRunning, 0u);
}

TEST_F(WaitTest, TimePushAndPopLetAnotherWaitRunInBetween) {
  load(
      "  call wait(1000, 0)\n"
      "  mov r1, 1\n"
      "other:\n"
      "  call wait_time_push\n"
      "  call wait(50, 0)\n"
      "  call wait_time_pop\n"
      "  call wait_get_time -> r2\n"
      "  ret\n");
  run();  // the long wait is armed
  // Another flow (an event) runs its own wait and restores the first one.
  engine::data_entry_push(vm(), engine::kChannelReturns, vm().runner.dwPc, 1);
  uint32_t target;
  ASSERT_TRUE(engine::label_target(vm(), 1, &target));
  vm().runner.dwPc = target;
  for (int i = 0; i < 6 && vm().reg[2] == 0; ++i) {
    run();
    g_fake_now += 20;
  }
  EXPECT_EQ(vm().reg[2], 1000u);
  EXPECT_EQ(vm().wait.dwLength, 1000u);
  EXPECT_EQ(vm().reg[1], 0u);
}

}  // namespace
}  // namespace enginetest
