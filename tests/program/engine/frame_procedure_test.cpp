// The frame procedure: script messages, the script thread and the order of a frame's steps.
#include <algorithm>

#include "engine/thread_commands.h"
#include "support/frame_fixture.h"

namespace enginetest {
namespace {

constexpr uint32_t kNote = 0x020000;  // a test command that records the flow it runs in

uint32_t note_flow(engine::VmContext&) {
  g_frame_record->calls.push_back("script " + std::to_string(engine::script_thread_id.load()));
  return 1;
}

class FrameProcedureTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    install(kNote, note_flow);
  }
};

TEST_F(FrameProcedureTest, TwoMessagesInOneFrameGiveOneHandlerCall) {
  load(
      "  call create_message(@handler)\n"
      "loop:\n"
      "  add r1, 1\n"
      "  call wait_frame\n"
      "  jmp loop\n"
      "handler:\n"
      "  add r2, 1\n"
      "  call get_message -> r3\n"
      "  call get_message -> r4\n"
      "  call get_message -> r5\n"
      "  call get_message_param(2) -> r6\n"
      "  call get_message_param(9) -> r7\n"
      "  ret\n");
  vm().reg[7] = 55;
  frame();
  EXPECT_EQ(vm().reg[1], 1u);
  engine::message_post(vm(), 2, 7);
  engine::message_post(vm(), 0, 9);
  record_.calls.clear();
  frame();
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_EQ(vm().reg[4], 2u);
  EXPECT_EQ(vm().reg[5], 0xFFFFFFFFu);
  EXPECT_EQ(vm().reg[6], 7u);
  EXPECT_EQ(vm().reg[7], 0u);  // only slots 0-7 exist
  EXPECT_EQ(vm().reg[1], 1u);  // nothing else ran in the handler's frame
  EXPECT_EQ(record_.calls, std::vector<std::string>{"OrvInputGetKeyEx"});
  frame();
  EXPECT_EQ(vm().reg[1], 2u);  // the interrupted flow resumes
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_TRUE(logged(10, "get_message  0x0002"));
}

TEST_F(FrameProcedureTest, LabelZeroRemovesTheHandlerAndForgetsMessages) {
  load(
      "  call create_message(@handler)\n"
      "  call wait_frame\n"
      "  call create_message(0)\n"
      "idle:\n"
      "  call wait_frame\n"
      "  jmp idle\n"
      "handler:\n"
      "  add r2, 1\n"
      "  ret\n");
  engine::message_post(vm(), 1, 0);  // no handler yet: not dispatched, then forgotten
  frame();
  EXPECT_EQ(vm().messages.bPending, 0u);
  EXPECT_NE(vm().messages.dwHandler, 0u);
  frame();
  EXPECT_EQ(vm().messages.dwHandler, 0u);
  engine::message_post(vm(), 1, 0);
  frames(2);
  EXPECT_EQ(vm().reg[2], 0u);
}

TEST_F(FrameProcedureTest, LabelsOutsidePointDatMakeNoThreadAndNoHandler) {
  load("  call create_thread(999)\n  call create_message(999)\n");
  run();
  EXPECT_EQ(vm().thread.bExists, 0u);  // not a thread that starts at the top of the code
  EXPECT_EQ(vm().messages.dwHandler, 0u);
  EXPECT_TRUE(logged(0, "label 999 outside Point.dat"));
}

TEST_F(FrameProcedureTest, WindowModeRequestRunsTheHandlerFirst) {
  load(
      "  call create_message(@handler)\n"
      "idle:\n"
      "  call wait_frame\n"
      "  jmp idle\n"
      "handler:\n"
      "  call get_message_param(0) -> r3\n"
      "  ret\n");
  frame();
  record_.key_ex = 8;
  gs().settings.dwWindowMode = 0;
  record_.calls.clear();
  frame();
  EXPECT_EQ(vm().reg[3], 1u);
  EXPECT_EQ(record_.calls, std::vector<std::string>{"OrvInputGetKeyEx"});
}

TEST_F(FrameProcedureTest, ScriptThreadRunsEachFrameStopsAndResumes) {
  load(
      "  call create_thread(@th)\n"
      "main:\n"
      "  add r1, 1\n"
      "  call wait_frame\n"
      "  jmp main\n"
      "th:\n"
      "  add r2, 1\n"
      "  call wait_frame\n"  // the rest of the call runs in the main flow's slice
      "  add r3, 1\n"
      "  ret\n");
  frames(4);
  EXPECT_EQ(vm().reg[2], 3u);
  EXPECT_EQ(vm().reg[3], 3u);
  EXPECT_EQ(vm().thread.nRunning, 0u);
  // Each call yielded once, so its rest took the main flow's slice of those frames.
  EXPECT_EQ(vm().reg[1], 1u);
  vm().thread.bEnabled = 0;
  frames(2);
  EXPECT_EQ(vm().reg[2], 3u);
  EXPECT_EQ(vm().reg[1], 3u);  // the main script goes on
  vm().thread.bEnabled = 1;
  frame();
  EXPECT_EQ(vm().reg[2], 4u);
}

TEST_F(FrameProcedureTest, ExitThreadInsideItsCallLetsANewThreadRun) {
  load(
      "  call create_thread(@th)\n"
      "idle:\n"
      "  call wait_frame\n"
      "  jmp idle\n"
      "th:\n"
      "  call exit_thread\n"
      "  call create_thread(@th2)\n"
      "  ret\n"
      "th2:\n"
      "  add r2, 1\n"
      "  ret\n");
  frames(2);  // created; the first call replaces itself
  EXPECT_EQ(vm().thread.nRunning, 0u);
  frames(2);
  EXPECT_EQ(vm().reg[2], 2u);
}

TEST_F(FrameProcedureTest, StepsRunInTheirOrderEveryFrame) {
  load(
      "  call create_thread(@th)\n"
      "main:\n"
      "  call 0x020000\n"
      "  call wait_frame\n"
      "  jmp main\n"
      "th:\n"
      "  call 0x020000\n"
      "  ret\n");
  frame();
  const std::vector<std::string> expected = {"OrvInputGetKeyEx",
                                             "IsMovie",
                                             "OrvFrameRateSet 60",
                                             "image_action_blocks_clear",
                                             "action_sync_run",
                                             "screen_transition_running",
                                             "script 1",
                                             "btn_update",
                                             "system_btn_update",
                                             "script 0",
                                             "text_update",
                                             "sound_channels_update",
                                             "action_update",
                                             "anim_players_update",
                                             "layers_frame_update",
                                             "button_follow_update",
                                             "images_apply_all"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    record_.calls.clear();
    frame();
    EXPECT_EQ(record_.calls, expected);
  }
  vm().run.bSkip = 1;
  record_.calls.clear();
  frame();
  EXPECT_EQ(record_.calls[2], "OrvFrameRateSet -1");

  record_.movie = 1;  // a full-screen video: nothing after the message dispatch
  record_.calls.clear();
  frame();
  EXPECT_EQ(record_.calls, (std::vector<std::string>{"OrvInputGetKeyEx", "IsMovie"}));
}

TEST_F(FrameProcedureTest, TransitionSuspendsScriptsButNotScreenEffectJobs) {
  load(
      "  call create_thread(@th)\n"
      "main:\n"
      "  call 0x020000\n"
      "  call wait_frame\n"
      "  jmp main\n"
      "th:\n"
      "  call 0x020000\n"
      "  ret\n");
  frame();
  vm().screenEffects.dwActiveJobs = 0x5;  // shake and snow
  record_.yes = {"screen_transition_running", "effect_shake_update"};
  record_.calls.clear();
  frame();
  const std::vector<std::string> expected = {"OrvInputGetKeyEx",      "IsMovie",
                                             "OrvFrameRateSet 60",    "image_action_blocks_clear",
                                             "effect_shake_update",   "effect_snow_update",
                                             "action_sync_run",       "screen_transition_running",
                                             "sound_channels_update", "action_update",
                                             "anim_players_update",   "layers_frame_update",
                                             "button_follow_update",  "images_apply_all"};
  EXPECT_EQ(record_.calls, expected);
  EXPECT_EQ(vm().screenEffects.dwActiveJobs, 0x4u);  // the shake ended, the snow goes on
}

bool called(const std::vector<std::string>& calls, const std::string& name) {
  return std::find(calls.begin(), calls.end(), name) != calls.end();
}

TEST_F(FrameProcedureTest, FlushJobHoldsTheScriptUntilItsColourExpires) {
  load(
      "main:\n"
      "  call 0x020000\n"
      "  call wait_frame\n"
      "  jmp main\n");
  engine::ScreenEffectState& fx = vm().screenEffects;
  fx.dwActiveJobs = 0x2;  // the flush colour
  fx.dwFlushStart = g_fake_now;
  fx.dwFlushLength = 40;
  fx.dwFlushSprite = 0x7777;  // no live sprite: its release fails harmlessly
  fx.dwSyncBits = 2;
  vm().runner.dwPointStack[0] = 123;  // the script point the flush pushed
  vm().runner.dwPointCount = 1;
  record_.calls.clear();
  frame(16);  // 0 ms of 40: the colour stays, the script runs
  EXPECT_EQ(fx.dwActiveJobs, 0x2u);
  EXPECT_TRUE(called(record_.calls, "script 0"));
  frame(30);  // 16 ms
  EXPECT_EQ(fx.dwActiveJobs, 0x2u);
  record_.calls.clear();
  frame();  // 46 ms: expired; the sprite goes, the point is popped and this frame's slice waits
  EXPECT_EQ(fx.dwActiveJobs, 0u);
  EXPECT_EQ(fx.dwFlushSprite, 0u);
  EXPECT_EQ(fx.dwFlushLength, 0u);
  EXPECT_EQ(fx.dwSyncBits, 0u);
  EXPECT_EQ(vm().runner.dwPointCount, 0u);
  EXPECT_FALSE(called(record_.calls, "script 0"));
  EXPECT_FALSE(called(record_.calls, "action_sync_run"));
  EXPECT_TRUE(called(record_.calls, "sound_channels_update"));  // the frame's other steps run
  record_.calls.clear();
  frame();
  EXPECT_TRUE(called(record_.calls, "script 0"));
}

TEST_F(FrameProcedureTest, SynchronousActionsLetOnlyEventsRun) {
  load(
      "main:\n"
      "  call 0x020000\n"
      "  call wait_frame\n"
      "  jmp main\n");
  struct Case {
    const char* what;
    std::vector<std::string> yes;
    std::vector<std::string> seen, not_seen;
  };
  const Case cases[] = {
      {"nothing else",
       {"action_sync_run"},
       {"btn_update", "system_btn_update", "text_update"},
       {"script 0"}},
      {"a button", {"action_sync_run", "btn_update"}, {"script 2"}, {"script 0", "text_update"}},
      {"a system button",
       {"action_sync_run", "system_btn_update"},
       {"script 3"},
       {"script 0", "text_update"}},
      {"a transition",
       {"action_sync_run", "screen_transition_running"},
       {},
       {"btn_update", "text_update", "script 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_.yes = c.yes;
    record_.calls.clear();
    frame();
    for (const std::string& name : c.seen) EXPECT_TRUE(called(record_.calls, name)) << name;
    for (const std::string& name : c.not_seen) EXPECT_FALSE(called(record_.calls, name)) << name;
  }
  vm().buttons.bRunSkip = 1;  // a run skip: not even events
  record_.yes = {"action_sync_run", "btn_update"};
  record_.calls.clear();
  frame();
  EXPECT_FALSE(called(record_.calls, "btn_update"));
  EXPECT_FALSE(called(record_.calls, "script 2"));
}

TEST_F(FrameProcedureTest, ButtonReactionReplacesTheMainSlice) {
  load(
      "main:\n"
      "  call 0x020000\n"
      "  call wait_frame\n"
      "  jmp main\n");
  record_.yes = {"btn_update"};
  record_.calls.clear();
  frame();
  EXPECT_NE(std::find(record_.calls.begin(), record_.calls.end(), "script 2"), record_.calls.end());
  EXPECT_EQ(std::find(record_.calls.begin(), record_.calls.end(), "text_update"),
            record_.calls.end());
}

}  // namespace
}  // namespace enginetest
