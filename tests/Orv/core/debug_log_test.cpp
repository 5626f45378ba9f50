// Routing of the debug log by key, the history cap, report files, setting.ini and the error
// log, which is written in debug mode only but always reaches stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Orv/core/debug_log.h"
#include "Orv/core/window/process.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "support/temp_dir.h"

namespace {

class DebugLogTest : public ::testing::Test {
 protected:
  // Debug mode as the system init leaves it, without a window.
  void start(bool debug) {
    orv_core().alive = true;
    orv_process().params.debug = debug ? 1 : 0;
    if (!debug) return;
    ASSERT_TRUE(debug_log_open(dir_.path()));
    debug_dialog_create();
    ASSERT_EQ(OrvDebugWindowCreate(0, "system", kLogText), 1);
  }
  void TearDown() override {
    debug_dialog_destroy();
    debug_log_close();
    orv_process().params.debug = 0;
    orv_debug().state_word = 0;
    orv_core().alive = false;
  }
  std::string report(const std::string& name) {
    return testsupport::read_file(dir_ / ("_ORV_DEBUG_REPORT_/" + name));
  }

  testsupport::TempDir dir_;
};

TEST_F(DebugLogTest, LinesGoToTheWindowOfTheirKey) {
  start(true);
  ASSERT_EQ(OrvDebugWindowCreate(16, "output", kLogText), 1);
  ASSERT_EQ(OrvDebugWindowCreate(20, "labels", kLogLabel), 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvDebugPrintf(0, nullptr, "err %d", 1), 1);
  EXPECT_EQ(OrvDebugPrintf(16, nullptr, "out %s", "a"), 1);
  EXPECT_EQ(OrvDebugPrintf(20, "name", "value"), 1);
  EXPECT_EQ(OrvDebugPrintf(99, nullptr, "nowhere"), 0);
  // State bit 0 keeps only key 0.
  OrvDebugWindowSetState(1);
  EXPECT_EQ(OrvDebugPrintf(16, nullptr, "dropped"), 1);
  EXPECT_EQ(OrvDebugPrintf(0, nullptr, "err 2"), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "err 1\nerr 2\n");  // only key 0 reaches stderr

  ASSERT_EQ(debug_window_rows(0).size(), 2u);
  EXPECT_EQ(debug_window_rows(16).size(), 1u);
  EXPECT_EQ(debug_window_rows(20)[0].label, "name");
  EXPECT_EQ(debug_window_rows(20)[0].text, "value");
  EXPECT_EQ(report("system.txt"), "err 1\r\nerr 2\r\n");
  EXPECT_EQ(report("output.txt"), "out a\r\n");
  EXPECT_NE(debug_window_dump(20).find("name\tvalue"), std::string::npos);
}

TEST_F(DebugLogTest, HistoryIsCappedAndOtherWindowsAreNot) {
  start(true);
  ASSERT_EQ(OrvDebugWindowCreate(kHistoryKey, "history", kLogText), 1);
  ASSERT_EQ(OrvDebugWindowCreate(16, "output", kLogText), 1);
  for (int i = 0; i <= 2000; ++i) {
    OrvDebugPrintf(kHistoryKey, nullptr, "%d", i);
    OrvDebugPrintf(16, nullptr, "%d", i);
  }
  std::vector<LogRow> history = debug_window_rows(kHistoryKey);
  ASSERT_EQ(history.size(), 2000u);
  EXPECT_EQ(history.front().text, "1");  // the 2001st row removed row 0
  EXPECT_EQ(history.back().text, "2000");
  EXPECT_EQ(debug_window_rows(16).size(), 2001u);
}

TEST_F(DebugLogTest, HiddenWindowWritesNothingAndKeysAreUnique) {
  start(true);
  ASSERT_EQ(OrvDebugWindowCreate(16, "output", kLogText), 1);
  EXPECT_EQ(OrvDebugWindowCreate(16, "other", kLogText), 0);  // the first one stays
  EXPECT_EQ(OrvDebugWindowToggleControl(16), 1);
  EXPECT_EQ(OrvDebugPrintf(16, nullptr, "hidden"), 1);
  EXPECT_TRUE(debug_window_rows(16).empty());
  EXPECT_EQ(report("output.txt"), "");
  EXPECT_EQ(OrvDebugWindowDeleteLog(16), 1);
  EXPECT_EQ(OrvDebugWindowDelete(16), 1);
  EXPECT_EQ(OrvDebugWindowDelete(16), 0);
}

TEST_F(DebugLogTest, SettingsPlaceWindowsAndAreWrittenBack) {
  testsupport::write_file(dir_ / "setting.ini", "[hidden]\r\nview=0\r\nx=40\r\n");
  start(true);
  ASSERT_EQ(OrvDebugWindowCreate(17, "hidden", kLogText), 1);
  EXPECT_EQ(OrvDebugPrintf(17, nullptr, "x"), 1);
  EXPECT_TRUE(debug_window_rows(17).empty());
  debug_dialog_destroy();
  std::string ini = dir_ / "setting.ini";
  EXPECT_EQ(settings_read_int(ini, "hidden", "view", 1), 0);
  EXPECT_EQ(settings_read_int(ini, "hidden", "x", 0), 40);
  EXPECT_EQ(settings_read_int(ini, "system", "view", 0), 1);
  EXPECT_EQ(settings_read_int(ini, "DebugWindow", "w", 0), 300);
}

TEST_F(DebugLogTest, OverlongTextIsCutAndReported) {
  start(true);
  std::string big(3000, 'x');
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvDebugPrintf(0, nullptr, "%s", big.c_str()), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("print string count over"), std::string::npos);
  EXPECT_EQ(debug_window_rows(0)[0].text.size(), kDebugTextMax);
}

TEST_F(DebugLogTest, ErrorLogInDebugModeOnlyButAlwaysOnStderr) {
  start(false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvErrorLogPrintf("lost %d", 3), 1);
  EXPECT_EQ(OrvDebugPrintf(0, nullptr, "internal"), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "lost 3\ninternal\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "_ORV_DEBUG_REPORT_"));

  TearDown();
  start(true);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OrvErrorLogPrintf("lost %d", 4), 1);
  EXPECT_EQ(OrvErrorLogPrintfBasic("%s", std::string(1100, 'y').c_str()), 1);
  testing::internal::GetCapturedStderr();
  debug_log_close();
  std::string log = report("log.txt");
  EXPECT_EQ(log, "lost 4\r\n" + std::string(1043, 'y') + "\r\n");
  EXPECT_EQ(OrvErrorLogPrintf("no file"), 0);  // debug mode without the file
}

}  // namespace
