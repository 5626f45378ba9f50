// Command group 0x0f: debug output, the window title with its scene-start work, and the
// machine's stack and frame registers.
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "commands/platform_calls.h"
#include "engine/formats/startup_info.h"
#include "orv/orv.h"
#include "platform/window.h"
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

class DebugCommandsTest : public VmTest {
 protected:
  // Loads and runs one more script in the same machine (the last one ended the program).
  void run_script(const std::string& source) {
    load(source);
    vm().runner.bEndRequested.store(0);
    run();
  }
  void TearDown() override {
    engine::set_seam_debug_is(0);
    engine::startup_info().szProduct[0] = 0;
    VmTest::TearDown();
  }
};

TEST_F(DebugCommandsTest, StackDepthAndFrameBase) {
  load(
      "  push 7\n  push 8\n  push 9\n"
      "  call get_stack_point -> r1\n"
      "  call get_stack_depth -> r2\n"
      "  call set_stack_point(0)\n"  // the operand itself is popped first
      "  call get_stack_point -> r3\n"
      "  push 1\n"
      "  call set_stack_point(65)\n"  // outside the stack: refused
      "  call get_stack_point -> r4\n"
      "  call set_ebp(0x1234)\n"
      "  call get_ebp -> r5\n"
      "  end\n");
  run();
  EXPECT_EQ(vm().reg[1], 3u);
  EXPECT_EQ(vm().reg[2], 3u);
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_EQ(vm().reg[4], 1u);
  EXPECT_EQ(vm().reg[5], 0x1234u);
}

TEST_F(DebugCommandsTest, DebugBreakDumpsTheMachine) {
  load("  call debug_break\n  end\n");
  run();
  EXPECT_EQ(log_count(engine::kLogHistory), 5u + 32u + 1u);  // empty stacks
  EXPECT_TRUE(logged(engine::kLogHistory, "btn [31] bInit=0 / bEnable=0"));
  EXPECT_TRUE(logged(engine::kLogHistory, "-----------------"));

  run_script("  push 5\n  call debug_break\n  end\n");
  EXPECT_TRUE(logged(engine::kLogHistory, "stack -- 0[5 (0x00000005)] --"));
}

TEST_F(DebugCommandsTest, DebugPrintOnlyInDebugModeButAlwaysPops) {
  load("  call debug_print(text\"100%d\")\n  call get_stack_point -> r1\n  end\n");
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(log_count(16), 0u);
  engine::set_seam_debug_is(1);
  run_script("  call debug_print(text\"100%d\")\n  end\n");
  EXPECT_TRUE(logged(16, "100%d"));  // printed as it is
}

TEST_F(DebugCommandsTest, SetWindowTextTitlesAndMarksTheSceneStart) {
  // A real window (SDL's dummy driver), whose title the command changes.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  StartParams params;
  OrvDefaultCreate(&params);
  params.client_width = 320;
  params.client_height = 180;
  params.title = "Start";
  params.start_func = [] { return int32_t{0}; };
  ASSERT_EQ(OrvInit(&params), 1);
  // The library's start moves into the program's folder and the test replaces a call: both
  // go back afterwards, so the tests that run after this one in the same process see neither.
  struct Uninit {
    decltype(orv) calls = orv;
    std::filesystem::path folder = std::filesystem::current_path();
    ~Uninit() {
      OrvUninit();
      orv = calls;
      std::filesystem::current_path(folder);
    }
  } uninit;
  orv.OrvEnd = [] {};  // the script's end must leave the window for the title check
  std::strcpy(engine::startup_info().szProduct, "Game");
  struct Case {
    bool debug;
    const char* operand;
    int mode;
    bool locked;
    const char* title;  // nullptr: no title set
  };
  const Case cases[] = {
      {false, "text\"Scene\"", 0, false, nullptr},
      {true, "text\"Scene\"", 1, false, "set_window_text Scene"},
      {true, "text\"Scene\"", 2, false, "set_window_text Game - Scene"},
      {true, "0x0FFFFFFF", 1, false, "set_window_text Game"},
      {true, "text\"Scene\"", 0, true, "set_window_text Game - Scene"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.operand) + " mode " + std::to_string(c.mode));
    engine::set_seam_debug_is(c.debug ? 1 : 0);
    logs_.clear();
    load(std::string("  call set_window_text(") + c.operand + ", " + std::to_string(c.mode) +
         ")\n  end\n");
    vm().runner.bEndRequested.store(0);
    vm().run.dwBeginSkipMode = 2;
    vm().run.dwBeginSkipKeys = 5;
    vm().save.bSavePointLock = c.locked ? 1 : 0;
    vm().save.dwResumePc = 0xDEAD;
    run();
    EXPECT_EQ(vm().run.dwBeginSkipMode, 0u);
    EXPECT_EQ(vm().run.dwBeginSkipKeys, 0u);
    if (c.locked) {
      EXPECT_EQ(vm().save.dwResumePc, 0xDEADu);
    } else {
      EXPECT_NE(vm().save.dwResumePc, 0xDEADu);  // resumes after the command
    }
    const std::string shown = platform::window_title_sjis(OrvGetWindowHandle());
    if (c.title) {
      EXPECT_TRUE(logged(engine::kLogHistory, c.title));
      EXPECT_EQ("set_window_text " + shown, c.title);
    } else {
      EXPECT_EQ(log_count(engine::kLogHistory), 0u);
      EXPECT_EQ(shown, "Start");
    }
  }
}

TEST_F(DebugCommandsTest, EntryAccessAllMarksEveryFile) {
  load(".file \"A.PNG\"\n.file \"B.PNG\"\n  call entry_access_all\n  end\n");
  run();
  ASSERT_GE(vm().seen.dwFileSeenBytes, 1u);
  for (uint32_t i = 0; i < vm().seen.dwFileSeenBytes; ++i) EXPECT_EQ(vm().seen.lpFileSeen[i], 0xFF);
}

}  // namespace
}  // namespace enginetest
