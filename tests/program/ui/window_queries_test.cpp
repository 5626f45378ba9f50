// The window and screen questions of group 0x09 against a fake window (position, client size,
// monitors, aspect mode), the TempMemory variables they fill, the settings they switch, and the
// search folders that set_system_path replaces from a hand-written archive.dat.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/formats/startup_info.h"
#include "program/ui/ui_fixture.h"

namespace uitest {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

// The fake window: a 640 x 360 client at (2000, 100), on a second monitor right of the first.
struct FakeWindow {
  int32_t x = 2000, y = 100, w = 640, h = 360;
  int32_t asked_x = 0, asked_y = 0;  // the point the monitor was asked for
  std::vector<int32_t> aspect_calls;
  int32_t aspect = 1;
  int32_t change_enabled = 1;
};
FakeWindow* g_window = nullptr;

class WindowQueries : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    window_ = FakeWindow{};
    g_window = &window_;
    orv.OrvWindowGetPos = [](int32_t* x, int32_t* y) {
      *x = g_window->x;
      *y = g_window->y;
      return int32_t{1};
    };
    orv.OrvGetWindowSize = [](int32_t* w, int32_t* h) {
      *w = g_window->w;
      *h = g_window->h;
      return int32_t{1};
    };
    orv.OrvGetMonitorRect = [](int32_t x, int32_t y, OrvRect* r) {
      g_window->asked_x = x;
      g_window->asked_y = y;
      *r = x >= 1920 ? OrvRect{1920, 0, 1920 + 2560, 1440} : OrvRect{0, 0, 1920, 1080};
      return int32_t{1};
    };
    orv.OrvGetDesktopRect = [](OrvRect* r) {
      *r = OrvRect{0, 0, 1280, 720};
      return int32_t{1};
    };
    orv.OrvChangeAspectMode = [](int32_t mode) {
      g_window->aspect_calls.push_back(mode);
      return int32_t{1};
    };
    orv.OrvCheckAspectMode = [] { return g_window->aspect; };
    orv.OrvWindowChangeEnable = [](int32_t on) {
      g_window->change_enabled = on;
      return int32_t{1};
    };
    orv.OrvWindowChangeEnableIs = [] { return g_window->change_enabled; };
    orv.IsActive = [] { return int32_t{1}; };
  }
  void TearDown() override {
    engine::startup_settings().bWindowModeLock = 0;
    engine::startup_settings().nRunMode = 0;
    UiTest::TearDown();
  }
  uint32_t cmd(uint32_t id, std::initializer_list<uint32_t> args = {}) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) engine::vm_push(vm(), *it);
    vm().dwResultReg = 0;
    return engine::command_lookup(id)(vm());
  }
  void fill_temp(uint32_t value) {
    for (uint32_t& w : vm().tempMem) w = value;
  }

  FakeWindow window_;
};

TEST_F(WindowQueries, VariablesTakeTheWordsTheyNameAndNothingElse) {
  struct Case {
    const char* what;
    uint32_t command, a, b;
    uint32_t want_a, want_b;  // at the two indexes, when stored
    bool stored;
  } cases[] = {
      {"window position", 0x09002A, 3, 5, 2000, 100, true},
      {"x skipped: only word 5", 0x09002A, kNone, 5, 0, 100, true},
      {"y skipped", 0x09002A, 4095, kNone, 2000, 0, true},
      {"an index past TempMemory", 0x09002A, 4096, 5, 0, 0, false},
      {"monitor of the window's centre", 0x090029, 7, 8, 2560, 1440, true},
      {"monitor, a bad height index", 0x090029, 7, 0x80000000u, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fill_temp(0xABCD);
    logs_.clear();
    EXPECT_EQ(cmd(c.command, {c.a, c.b}), 1u);
    uint32_t changed = 0;
    for (uint32_t w : vm().tempMem) changed += w != 0xABCD;
    const uint32_t expected = c.stored ? (c.a != kNone) + (c.b != kNone) : 0;
    EXPECT_EQ(changed, expected);
    if (c.stored && c.a != kNone) {
      EXPECT_EQ(vm().tempMem[c.a], c.want_a);
    }
    if (c.stored && c.b != kNone) {
      EXPECT_EQ(vm().tempMem[c.b], c.want_b);
    }
    EXPECT_EQ(logged(0, "a variable outside 0-4095"), !c.stored);
  }
  EXPECT_EQ(window_.asked_x, 2000 + 320);
  EXPECT_EQ(window_.asked_y, 100 + 180);
}

TEST_F(WindowQueries, ALockedWindowModeSeesTheFixedDesktop) {
  engine::startup_settings().bWindowModeLock = 1;
  cmd(0x090029, {1, 2});
  EXPECT_EQ(vm().tempMem[1], 1280u);
  EXPECT_EQ(vm().tempMem[2], 720u);
  EXPECT_TRUE(logged(10, "get_monitor_size 1280, 720"));
}

TEST_F(WindowQueries, SystemMetricsAnswerTheScreenSizeAndZeroElse) {
  struct Case {
    uint32_t index, value;
  } cases[] = {{0, 1920}, {1, 1080}, {2, 0}, {0xFFFFFFFF, 0}, {80, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    vm().reg[0] = 99;
    cmd(0x09002B, {c.index});
    EXPECT_EQ(r(0), c.value);
  }
  EXPECT_EQ(window_.asked_x, 0) << "the primary screen";
  // No window, no monitor: nothing to measure.
  orv.OrvGetMonitorRect = [](int32_t, int32_t, OrvRect*) { return int32_t{0}; };
  cmd(0x09002B, {0});
  EXPECT_EQ(r(0), 0u);
  fill_temp(9);
  cmd(0x090029, {1, 2});
  EXPECT_EQ(vm().tempMem[1], 0u);
  EXPECT_EQ(vm().tempMem[2], 0u);
}

TEST_F(WindowQueries, AspectModesOutsideTheTableAreRefused) {
  for (uint32_t mode : {0u, 3u, 4u, 0xFFFFFFFFu, 2u}) cmd(0x090025, {mode});
  EXPECT_EQ(window_.aspect_calls, (std::vector<int32_t>{0, 3, 2}));
  EXPECT_TRUE(logged(0, "change_aspect_mode 4: the mode is 0-3"));
  EXPECT_TRUE(logged(0, "change_aspect_mode -1: the mode is 0-3"));
  cmd(0x090028);
  EXPECT_EQ(r(0), 1u);
}

TEST_F(WindowQueries, SettingsAndRunState) {
  cmd(0x090026, {0});
  EXPECT_EQ(gs().settings.bAspectPos, 0u);
  cmd(0x090027);
  EXPECT_EQ(r(0), 0u);
  cmd(0x090026, {1});
  cmd(0x090027);
  EXPECT_EQ(r(0), 1u);
  cmd(0x09002D, {1});
  EXPECT_EQ(gs().settings.bAllMosaicThumbnail, 1u);
  cmd(0x09002E, {0});
  cmd(0x09002F);
  EXPECT_EQ(r(0), 0u);
  EXPECT_TRUE(logged(10, "[0]is_enable_window_change"));
  cmd(0x09003F);
  EXPECT_EQ(r(0), 1u);
  engine::startup_settings().nRunMode = 3;
  cmd(0x090040);
  EXPECT_EQ(r(0), 3u);
  EXPECT_TRUE(logged(10, "get_exe_run_mode 3"));
}

// archive.dat names the folders of each field; a file is found only through the folders of the
// field set last, and a field the file does not have keeps the folders as they were.
TEST_F(WindowQueries, TheSearchFoldersFollowAFieldOfArchiveDat) {
  const std::filesystem::path game = dir / "game";
  std::filesystem::create_directories(game / "data");
  testsupport::write_file((game / "data/archive.dat").string(), "one,\r\ntwo | three\r\n");
  for (const char* folder : {"one", "two", "three"}) {
    std::filesystem::create_directories(game / folder);
    std::string upper(folder);
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    testsupport::write_file((game / folder / (upper + ".TXT")).string(), "x");
  }
  auto found = [](const char* name) {
    char path[520];
    return orv.OrvFileGetFullPath(path, sizeof path, name) == 1;
  };
  EXPECT_EQ(cmd(0x09002C, {0}), 1u);
  EXPECT_TRUE(found("ONE.TXT"));
  EXPECT_FALSE(found("TWO.TXT"));
  EXPECT_EQ(cmd(0x09002C, {1}), 1u);
  EXPECT_FALSE(found("ONE.TXT"));
  EXPECT_TRUE(found("TWO.TXT"));
  EXPECT_TRUE(found("THREE.TXT"));
  EXPECT_TRUE(found("ARCHIVE.DAT")) << "the data folder is searched too";
  EXPECT_EQ(cmd(0x09002C, {7}), 0u);
  EXPECT_TRUE(logged(engine::kLogError, "has no field 7"));
  EXPECT_TRUE(found("TWO.TXT")) << "a bad field keeps the folders";
  EXPECT_TRUE(logged(10, "set_system_path 7"));
}

}  // namespace
}  // namespace uitest
