// Routing of the debug log by key, the history cap, report files, setting.ini and the error
// log, which is written in debug mode only but always reaches stderr.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "Orv/core/debug_log.h"
#include "Orv/core/error_report.h"
#include "Orv/core/sound/sound_record.h"
#include "Orv/core/sound/sound_system.h"
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

TEST_F(DebugLogTest, DumpsAreWrittenOnTheirClock) {
  start(true);
  // The game program's sound-effect table: 64-byte entries whose first word is the handle.
  std::vector<uint8_t> se_table(16 * 64);
  const uint32_t handle = 0x40000003u;
  std::memcpy(&se_table[64], &handle, 4);
  int32_t* se_words = reinterpret_cast<int32_t*>(se_table.data());
  std::vector<int32_t> memory = {7, -2};
  int32_t* memory_words = memory.data();
  ASSERT_EQ(OrvDebugWindowCreate(14, "se", kLogWatch), 1);
  ASSERT_EQ(OrvDebugWindowCreate(11, "memory", kLogWatch), 1);
  ASSERT_EQ(OrvDebugWindowCreate(20, "labels", kLogLabel), 1);
  OrvDebugSetData(14, &se_words, 16);
  OrvDebugSetData(11, &memory_words, 2);
  OrvDebugPrintf(20, "name", "value");
  // Channel 1 of the sound-effect group (group 4) holds a sound.
  SoundChannel& c = sound_record().channels[kSoundGroupTable[4].first + 1];
  c.loaded = 1;
  c.loop = 1;
  c.start = 4;
  c.end = 400;
  c.volume = 9000;
  std::strcpy(c.file_name, "click.wav");

  debug_dumps_tick(5000);
  const std::string status = report("status.txt");
  EXPECT_EQ(status.rfind("mouse\t( ", 0), 0u) << status;
  EXPECT_NE(status.find("\nmem_cnt\t"), std::string::npos);
  EXPECT_EQ(report("memory.txt"), "memory\n0\t7\n1\t-2\n");
  EXPECT_EQ(report("labels.txt"), "labels\nname\tvalue\n");
  const std::string se = report("se.txt");
  EXPECT_NE(se.find("\nse(0) ch=&H00000000\nse(1) ch=&H40000003\n"), std::string::npos) << se;
  EXPECT_NE(se.find("\n[1] init=1 / play=0 / reserved=0 / loop=1 / ogg=0 / single=0 / pause=0\n"
                    "    hFile=00000000h / filename=click.wav\n"
                    "    start=4 / end=400 / loop=0 / now=0\n"
                    "    mode=0 / type=0 / fadetype=0 / fadetime=0 / vol=9000\n"),
            std::string::npos)
      << se;
  EXPECT_NE(se.find("\n[15] init=0"), std::string::npos);  // all 16 channels of the group

  // Status every 200 ms, the windows every 1000 ms.
  memory[0] = 8;
  std::filesystem::remove(dir_ / "_ORV_DEBUG_REPORT_/status.txt");
  debug_dumps_tick(5199);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "_ORV_DEBUG_REPORT_/status.txt"));
  debug_dumps_tick(5200);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "_ORV_DEBUG_REPORT_/status.txt"));
  EXPECT_EQ(report("memory.txt"), "memory\n0\t7\n1\t-2\n");
  debug_dumps_tick(6000);
  EXPECT_EQ(report("memory.txt"), "memory\n0\t8\n1\t-2\n");
  c.loaded = c.loop = 0;
  c.start = c.end = 0;
  c.volume = 0;
  c.file_name[0] = 0;
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

// Every error line takes one path: Shift-JIS names reach stderr as UTF-8, once; the lines of
// the error log reach log.txt once, in Shift-JIS, and the others do not.
TEST_F(DebugLogTest, ErrorLinesReachStderrInUtf8AndTheErrorLogOnce) {
  start(true);
  const std::string sjis_name = "\x89\xe6\x91\x9c.png";  // 画像.png
  testing::internal::CaptureStderr();
  EXPECT_FALSE(error_reportf(ErrorLog::kSkip, "%s: bad header", sjis_name.c_str()));
  EXPECT_TRUE(error_reportf(ErrorLog::kWrite, "%s: lost", sjis_name.c_str()));
  EXPECT_EQ(OrvErrorLogPrintfBasic("%s: cut", sjis_name.c_str()), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\u753b\u50cf.png: bad header\n\u753b\u50cf.png: lost\n\u753b\u50cf.png: cut\n");
  debug_log_close();
  EXPECT_EQ(report("log.txt"), sjis_name + ": lost\r\n" + sjis_name + ": cut\r\n");
}

}  // namespace
