// Start parameters, OrvInit's failures, OrvRun and the ways to end it, under SDL's dummy video
// driver (no display, no GL).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "Orv/core/task.h"
#include "Orv/core/window/process.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/program_path.h"
#include "support/temp_dir.h"

namespace {

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    OrvSetDesktopRect(0, 0, 0);
    process_switches().fail_init_step = 0;
    process_switches().close_confirm_off = 0;
    OrvDefaultCreate(&params_);
    // Smaller than the dummy driver's 1024 x 768 desktop, so the game starts in a window.
    params_.client_width = 640;
    params_.client_height = 360;
    params_.start_func = &start_ends_at_once;
  }
  void TearDown() override {
    OrvUninit();
    process_switches().fail_init_step = 0;
    OrvSetDesktopRect(0, 0, 0);
  }

  static int32_t start_ends_at_once() { return 0; }

  StartParams params_{};
};

TEST_F(ProcessTest, DefaultsFillEveryField) {
  OrvSetDesktopRect(1, 1920, 1080);
  StartParams p;
  OrvDefaultCreate(&p);
  EXPECT_EQ(p.window_x, 320);
  EXPECT_EQ(p.window_y, 180);
  EXPECT_STREQ(p.title, "WindowTitle");
  EXPECT_STREQ(p.class_name, "CLASS");
  EXPECT_EQ(p.window_style, 0x02CF0000u);
  EXPECT_EQ(p.frame_rate, 60);
  EXPECT_EQ(p.client_width, 1280);
  EXPECT_EQ(p.client_height, 720);
  EXPECT_EQ(p.screen_width, 1280);
  EXPECT_EQ(p.screen_height, 720);
  EXPECT_EQ(p.texture_count, 256);
  EXPECT_EQ(p.count, 512);
  EXPECT_EQ(p.random_count, 2048);
  EXPECT_EQ(p.display_flags, 0x441Bu);
  EXPECT_EQ(p.wait_mode, 2);
  EXPECT_EQ(p.aspect_mode, 1);
  EXPECT_EQ(p.movie_format, 1);
  EXPECT_EQ(p.full_screen, 0);
  EXPECT_EQ(p.debug, 0);
  EXPECT_EQ(p.start_func, nullptr);
  EXPECT_EQ(p.end_func, nullptr);
  // A desktop smaller than the client puts the window left of and above the origin.
  OrvSetDesktopRect(1, 1024, 768);
  OrvDefaultCreate(&p);
  EXPECT_EQ(p.window_x, -128);
  EXPECT_EQ(p.window_y, 24);
}

TEST_F(ProcessTest, InitRefusesMissingParametersWithoutAWindow) {
  EXPECT_EQ(OrvInit(nullptr), 0);
  params_.client_height = 0;
  EXPECT_EQ(OrvInit(&params_), 0);
  EXPECT_EQ(OrvGetWindowHandle(), 0u);
  EXPECT_EQ(OrvUninit(), 0);  // no core was made
}

TEST_F(ProcessTest, InitMakesTheWindowWithoutGlAndClearsTheGpuBit) {
  params_.window_x = -5000;  // off the desktop: centred instead
  params_.display_flags = 0x441B;
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_NE(OrvGetWindowHandle(), 0u);
  EXPECT_EQ(Orv3DIs(), 0u);
  StartParams now;
  OrvGetSystemParameters(&now);
  EXPECT_EQ(now.display_flags, 0x4413u);
  EXPECT_EQ(now.window_x, (1024 - 640) / 2);
  EXPECT_EQ(now.window_y, (768 - 360) / 2);
  EXPECT_EQ(OrvCheckWindowMode(), 0);
  EXPECT_EQ(IsActive(), 1);
  EXPECT_EQ(OrvDebugIs(), 0);
  // Debug mode off: no error log is opened.
  EXPECT_EQ(orv_debug().log_file, platform::kInvalidFile);
  EXPECT_EQ(OrvUninit(), 1);
  EXPECT_EQ(OrvUninit(), 0);
}

TEST_F(ProcessTest, ClientThatFillsTheDesktopStartsFullScreen) {
  params_.client_width = 1280;
  params_.client_height = 720;
  OrvSetDesktopRect(1, 1280, 1024);  // not wider than the client
  ASSERT_EQ(OrvInit(&params_), 1);
  StartParams now;
  OrvGetSystemParameters(&now);
  EXPECT_EQ(now.full_screen, 1);
  EXPECT_EQ(now.window_x, 0);  // the override places the window at the origin
}

TEST_F(ProcessTest, EachFailedInitStepShowsItsNumberedBox) {
  struct Case {
    int32_t step;
    const char* text;  // UTF-8, as the box writes it to stderr
  };
  const Case cases[] = {
      {6,
       "\xe3\x83\xa1\xe3\x83\xa2\xe3\x83\xaa\xe7\xa2\xba\xe4\xbf\x9d\xe3\x81\xab\xe5\xa4\xb1\xe6"
       "\x95\x97\xe3\x80\x82\n0x00"},
      {7, "\n0x02"},
      {8, "\n0x05"},
      {9, "\n0x07"},
      {11, "\n0x06"},
      {12, "\n0x09"},
      {13, "\n0x0A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    process_switches().fail_init_step = c.step;
    testing::internal::CaptureStderr();
    EXPECT_EQ(OrvInit(&params_), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[initialize error]"), std::string::npos) << err;
    EXPECT_NE(err.find(c.text), std::string::npos) << err;
    EXPECT_EQ(OrvUninit(), 1);  // the partly built core is taken down
  }
  process_switches().fail_init_step = 0;
  params_.start_func = nullptr;
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvInit(&params_), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("first func error"), std::string::npos);
}

std::atomic<int> g_end_calls{0};
void count_end(void*) {
  ++g_end_calls;
}

TEST_F(ProcessTest, RunReturnsWhenTheStartFunctionEndsAtOnce) {
  g_end_calls = 0;
  params_.end_func = &count_end;
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_EQ(OrvRun(), 0);
  EXPECT_EQ(IsSystemEnd(), 1);
  EXPECT_EQ(g_end_calls, 0);  // the frame loop never ran
  EXPECT_EQ(OrvUninit(), 1);
  EXPECT_FALSE(orv_process().game_thread.joinable());
  EXPECT_FALSE(orv_process().work_thread.joinable());
}

// OrvEnd from each thread: the start function arranges the call and lets frames run.
enum class EndFrom { kGame, kWork, kWindow };
std::atomic<EndFrom> g_end_from{EndFrom::kGame};
std::atomic<bool> g_work_ran_on_work_thread{false};

void end_here(void*) {
  if (OrvIsWorkThreadId()) g_work_ran_on_work_thread = true;
  OrvEnd();
}

int32_t start_and_arrange_end() {
  switch (g_end_from.load()) {
    case EndFrom::kGame:
      OrvEnd();
      break;
    case EndFrom::kWork:
      OrvAttachWorkProcess(&end_here, nullptr);
      break;
    case EndFrom::kWindow:
      OrvAttachProcess(&end_here, nullptr);
      break;
  }
  return 1;
}

TEST_F(ProcessTest, EndFromAnyThreadMakesRunReturnAndLeavesNoThread) {
  for (EndFrom from : {EndFrom::kGame, EndFrom::kWork, EndFrom::kWindow}) {
    SCOPED_TRACE(static_cast<int>(from));
    g_end_from = from;
    g_end_calls = 0;
    g_work_ran_on_work_thread = false;
    params_.start_func = &start_and_arrange_end;
    params_.end_func = &count_end;
    ASSERT_EQ(OrvInit(&params_), 1);
    EXPECT_EQ(OrvRun(), 0);
    EXPECT_EQ(IsSystemEnd(), 1);
    EXPECT_EQ(g_end_calls, 1);
    if (from == EndFrom::kWork) {
      EXPECT_TRUE(g_work_ran_on_work_thread);
    }
    EXPECT_EQ(OrvUninit(), 1);
    EXPECT_FALSE(orv_process().game_thread.joinable());
    EXPECT_FALSE(orv_process().work_thread.joinable());
    // After the end nothing waits on a thread that has gone.
    EXPECT_EQ(OrvAttachWorkProcess(&end_here, nullptr), 0);
  }
}

// The main task ends the program from its third step while the window thread is busy for a
// while, so frames go on before the threads are stopped: none of them steps the task again,
// and the end function gets the task's data block.
struct MainData {
  int32_t steps;
  int32_t ends;
};
std::atomic<int> g_steps{0};
std::atomic<void*> g_end_data{nullptr};
void sleep_on_window_thread(void*) {
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
}
void hold_window_thread(void*) {
  OrvAttachProcess(&sleep_on_window_thread, nullptr);
}
void main_step(void* data) {
  auto* d = static_cast<MainData*>(data);
  g_steps = ++d->steps;
  if (d->steps == 2) OrvAttachWorkProcess(&hold_window_thread, nullptr);
  if (d->steps == 3) OrvEnd();
}
void main_end(void* data) {
  ++static_cast<MainData*>(data)->ends;
}
void remember_end_data(void* data) {
  g_end_data = data;
}
int32_t start_main_task() {
  void* data = nullptr;
  return OrvTaskCreate(&main_step, &main_end, sizeof(MainData), &data, kTaskLinkAfter, 0,
                       "StartFunc") != 0;
}

TEST_F(ProcessTest, NoTaskStepRunsAfterTheEndRequest) {
  g_steps = 0;
  g_end_data = nullptr;
  params_.start_func = &start_main_task;
  params_.end_func = &remember_end_data;
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_EQ(OrvRun(), 0);
  EXPECT_EQ(g_steps, 3);
  ASSERT_NE(g_end_data.load(), nullptr);
  EXPECT_EQ(static_cast<MainData*>(g_end_data.load())->steps, 3);
  EXPECT_EQ(OrvUninit(), 1);  // the main task's end runs here, with the tasks' teardown
  EXPECT_EQ(g_steps, 3);
}

// The monitor question goes to the window thread: asked by the start function, SDL's dummy
// display (1024 x 768 at the origin) answers for a point on it and, as the nearest one, for a
// point far off.
OrvRect g_monitor_on{}, g_monitor_off{};
std::atomic<int32_t> g_monitor_answers{0};
int32_t start_asking_monitors() {
  g_monitor_answers = OrvGetMonitorRect(10, 10, &g_monitor_on) +
                      2 * OrvGetMonitorRect(-5000, 9000, &g_monitor_off) +
                      4 * OrvGetMonitorRect(0, 0, nullptr);
  OrvEnd();
  return 1;
}

TEST_F(ProcessTest, MonitorsAreFoundOnTheWindowThread) {
  OrvRect untouched{1, 2, 3, 4};
  EXPECT_EQ(OrvGetMonitorRect(0, 0, &untouched), 0) << "no window yet";
  EXPECT_EQ(untouched.right, 3);
  params_.start_func = &start_asking_monitors;
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_EQ(OrvRun(), 0);
  EXPECT_EQ(g_monitor_answers, 3);
  for (const OrvRect& r : {g_monitor_on, g_monitor_off}) {
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.bottom, 768);
  }
  EXPECT_EQ(OrvUninit(), 1);
}

// Window requests made on the game thread are forwarded to the window thread at the end of
// the frame and carried out before the program ends.
std::atomic<int32_t> g_size_result{0};
int32_t start_with_requests() {
  g_size_result = OrvChangeWindowSize(960, 600);
  OrvChangeAspectMode(2);
  OrvWindowChangeMode(1);
  OrvEnd();
  return 1;
}

TEST_F(ProcessTest, WindowRequestsAreForwardedAndCarriedOut) {
  struct Case {
    int32_t change_enabled;
    uint32_t show_flags;
    int32_t full_screen_after;
  };
  const Case cases[] = {{1, 0, 1}, {0, 0, 0}, {1, 0x4, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change_enabled * 10 + static_cast<int>(c.show_flags));
    params_.start_func = &start_with_requests;
    params_.show_flags = c.show_flags;
    ASSERT_EQ(OrvInit(&params_), 1);
    OrvWindowChangeEnable(c.change_enabled);
    uint32_t stamp_before = OrvGetChangeWindowModeTime();
    EXPECT_EQ(OrvRun(), 0);
    EXPECT_EQ(g_size_result, 1);
    StartParams now;
    OrvGetSystemParameters(&now);
    EXPECT_EQ(now.client_width, 960);
    EXPECT_EQ(now.client_height, 540);  // the height follows the screen's ratio
    EXPECT_EQ(now.aspect_mode, 2);
    EXPECT_EQ(now.full_screen, c.full_screen_after);
    if (!c.change_enabled) {
      EXPECT_EQ(OrvGetChangeWindowModeTime(), stamp_before);
    }
    EXPECT_EQ(OrvUninit(), 1);
  }
}

// Debug mode: the report folder with log.txt and the "system" window under the base folder
// (the program's folder), and the window position kept in setting.ini at the end.
TEST_F(ProcessTest, DebugModeOpensTheLogsAndKeepsTheWindowPosition) {
  namespace fs = std::filesystem;
  fs::path base = platform::program_folder_utf8();
  fs::path reports = base / "_ORV_DEBUG_REPORT_", ini = base / "setting.ini";
  fs::remove_all(reports);
  fs::remove(ini);
  params_.debug = 1;
  params_.start_func = &start_and_arrange_end;
  g_end_from = EndFrom::kGame;
  testing::internal::CaptureStderr();
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_EQ(OrvDebugIs(), 1);
  EXPECT_EQ(OrvDebugPrintf(0, nullptr, "from the test"), 1);
  EXPECT_EQ(OrvRun(), 0);
  EXPECT_EQ(OrvUninit(), 1);
  testing::internal::GetCapturedStderr();
  std::string log = testsupport::read_file((reports / "log.txt").string());
  EXPECT_NE(log.find("->OK\r\n"), std::string::npos) << log;
  EXPECT_EQ(testsupport::read_file((reports / "system.txt").string()), "from the test\r\n");
  StartParams now;
  OrvGetSystemParameters(&now);
  EXPECT_EQ(settings_read_int(ini.string(), "MainWindow", "x", -1), now.window_x);
  fs::remove_all(reports);
  fs::remove(ini);
}

TEST_F(ProcessTest, FrameRateZeroIsRefusedAndTheRateKept) {
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_EQ(OrvFrameRateSet(30), 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvFrameRateSet(0), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("OrvFrameSkip zero div"),
            std::string::npos);
  StartParams now;
  OrvGetSystemParameters(&now);
  EXPECT_EQ(now.frame_rate, 30);
}

TEST_F(ProcessTest, RequestsNeedARunningCore) {
  EXPECT_EQ(OrvWindowChangeMode(1), 0);
  EXPECT_EQ(OrvChangeWindowSize(800, 450), 0);
  ASSERT_EQ(OrvInit(&params_), 1);
  EXPECT_EQ(OrvChangeAspectMode(0), 0);  // OrvRun has not started
}

}  // namespace
