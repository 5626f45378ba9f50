// The end of the main task: the exit label runs once as an event call, then the engine is
// released.
#include "engine/game_task.h"
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

class GameTaskTest : public VmTest {};

TEST_F(GameTaskTest, ReleaseRunsTheExitLabelAfterTheEndWithSkipsOff) {
  load(
      "  mov r1, 1\n"
      "  end\n"
      "exit:\n"  // offset 16 from the code start
      "  mov r2, 5\n"
      "  mov s[r0], 9\n"
      "  ret\n"  // takes the event-call entry: the run ends here
      "  mov r3, 1\n");
  run();  // the script ends the program
  EXPECT_EQ(vm().reg[1], 1u);
  vm().runner.dwLastProcess = 16;
  vm().run.bSceneSkip = 1;
  vm().run.bHistorySkip = 1;
  engine::game_task_release(&gs());
  EXPECT_EQ(vm().run.bSceneSkip, 0u);
  EXPECT_EQ(vm().run.bHistorySkip, 0u);
  EXPECT_EQ(vm().reg[2], 5u);
  EXPECT_EQ(vm().sysMem[0], 9u);
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_EQ(vm().runner.pCode, nullptr);  // the engine is shut down
  EXPECT_EQ(vm().seen.lpTextRead, nullptr);
}

TEST_F(GameTaskTest, ReleaseWithoutAnExitLabelRunsNothing) {
  load("  mov r1, 1\n");
  engine::game_task_release(&gs());
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().files.pTextDat, nullptr);
}

}  // namespace
}  // namespace enginetest
