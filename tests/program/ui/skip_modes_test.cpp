// The skip and auto switches against a real text window and button group (icons, button rows,
// the refusal on unread text), the skip bits as a script reads them, and the scene and history
// skips from an assembled script: they run through waits in the slice that starts them, and
// their cancel reloads a snapshot of where they got to.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "engine/neighbours.h"
#include "ge_writer/ge_writer.h"
#include "program/ui/ui_fixture.h"
#include "text/window/text_window_ops.h"

namespace uitest {
namespace {

// A text window with its three icons, and button group 0 with a skip button (0) and an auto
// button (1); button 2 is named as the skip button of group 1 without any image.
constexpr const char* kWindow =
    "  call text_init(24, 100, 500, 800, 150, 100, 460, 10)\n"
    "  call text_set_icon(0, file\"ICON\", 0, 0)\n"
    "  call text_set_icon(1, file\"ICON\", 0, 0)\n"
    "  call text_set_icon(2, file\"ICON\", 0, 0)\n"
    "  call btn_init(0, 0x0FFFFFFF, file\"CLICK\")\n"
    "  call btn_set(0, 0, file\"#FFFFFFFF\", 0, 0, 0, 1)\n"
    "  call btn_set(0, 1, file\"#FFFFFFFF\", 0, 0, 0, 1)\n"
    "  call btn_expansion(0, 0, 1)\n"
    "  call btn_expansion(0, 1, 3)\n"
    "  call btn_init(1, 0x0FFFFFFF, file\"CLICK\")\n"
    "  call btn_expansion(1, 2, 1)\n"
    "  call run_no_wait\n";

constexpr const char* kIdle = "idle:\n  call wait_frame\n  jmp idle\n";

constexpr uint32_t kSkipSet = 0x090000, kSkipIs = 0x090001, kAutoSet = 0x090002;
constexpr uint32_t kAutoIs = 0x090003, kCancelSceneSkip = 0x090034;
constexpr uint32_t kIsHistorySkip = 0x09003B, kAdvSkipSet = 0x09003E;

// The save subsystem's reload, counted.
engine::NeighbourStep g_real_reload = nullptr;
int g_reloads = 0;

class SkipModes : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    // The waiting icons: one 16 x 16 picture.
    const std::vector<uint32_t> pixels(16 * 16, 0xFF808080u);
    testsupport::write_file(dir / "game/ICON.TGA", gewriter::ge_write(16, 16, pixels, {}));
    const std::vector<uint32_t> red(16 * 16, 0xFFFF0000u);
    testsupport::write_file(dir / "game/PICT.TGA", gewriter::ge_write(16, 16, red, {}));
    vm().save.nLoadAfterLabel = -1;  // as the script reset leaves it
    saved_ = engine::neighbours;
    g_real_reload = saved_.interaction.save_snapshot_reload;
    g_reloads = 0;
    engine::neighbours.interaction.save_snapshot_reload = [](engine::VmContext& vm) {
      ++g_reloads;
      if (g_real_reload) g_real_reload(vm);
    };
  }
  void TearDown() override {
    engine::neighbours = saved_;
    if (vm().text.bInit) textwindow::text_window_uninit(vm());
    UiTest::TearDown();
  }
  void open(const std::string& body = "") {
    load(std::string(kWindow) + body + kIdle);
    run();
    vm().text.dwButtonGroup = 0;
    frame(0, 1000, 700);  // the commit shows the window's pictures
  }
  // Runs a command with its arguments in pop order; returns the handler's result.
  uint32_t cmd(uint32_t id, std::initializer_list<uint32_t> args = {}) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) engine::vm_push(vm(), *it);
    vm().dwResultReg = 0;
    return engine::command_lookup(id)(vm());
  }
  int32_t row(uint32_t group, int no) {
    const engine::ButtonGroup& g = vm().buttons.groups[group];
    return OrvButtonGetPos(g.hGroup, g.entries[no].lpImage->hSprite);
  }

  engine::Neighbours saved_{};
};

TEST_F(SkipModes, SkipIsRefusedOnUnreadTextUnlessThePlayerAllowsIt) {
  struct Case {
    const char* what;
    uint32_t read, skip_unread, on;
    uint32_t toggle, icon, posted;
    int32_t button_row;
  } cases[] = {
      {"unread line: refused, message 1", 0, 0, 1, 0, engine::kIconClick, 1, 0},
      {"read line: skip with its icon", 1, 0, 1, 1, engine::kIconSkip, 0, 3},
      {"unread, skip-unread allowed", 0, 1, 1, 1, engine::kIconSkip, 0, 3},
      {"switching off is never refused", 0, 0, 0, 0, engine::kIconClick, 0, 0},
  };
  open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vm().run.bSkip = 0;
    vm().text.dwIcon = engine::kIconClick;
    vm().messages = engine::MessageBlock{};
    ui::btn_set_base_row(vm(), 0, 0, 0);
    vm().text.bRead = c.read;
    gs().settings.bSkipUnread = c.skip_unread;
    logs_.clear();
    EXPECT_EQ(cmd(kSkipSet, {c.on}), 1u);
    EXPECT_EQ(vm().run.bSkip, c.toggle);
    EXPECT_EQ(vm().text.dwIcon, c.icon);
    EXPECT_EQ(vm().messages.slots[1].bPosted, c.posted);
    EXPECT_EQ(vm().messages.bPending, c.posted);
    EXPECT_EQ(vm().messages.slots[1].dwParam, 0u);
    EXPECT_EQ(logged(10, "cancel skip_set"), c.posted == 1);
    EXPECT_EQ(logged(10, "skip_set " + std::to_string(c.on)), c.posted == 0);
    EXPECT_EQ(row(0, 0), c.button_row);
    cmd(kSkipIs);
    EXPECT_EQ(r(0), c.toggle);
  }
}

TEST_F(SkipModes, AutoShowsItsIconAndLightsItsButton) {
  open();
  vm().text.bRead = 0;  // auto mode does not care
  cmd(kAutoSet, {1});
  EXPECT_EQ(vm().run.bAuto, 1u);
  EXPECT_EQ(vm().text.dwIcon, engine::kIconAuto);
  EXPECT_EQ(row(0, 1), 3);
  EXPECT_EQ(row(0, 0), 0) << "the skip button stays as it was";
  cmd(kAutoIs);
  EXPECT_EQ(r(0), 1u);
  cmd(kAutoSet, {0});
  EXPECT_EQ(vm().run.bAuto, 0u);
  EXPECT_EQ(vm().text.dwIcon, engine::kIconClick);
  EXPECT_EQ(row(0, 1), 0);
  EXPECT_TRUE(logged(10, "auto_set 0"));
}

TEST_F(SkipModes, TheSwitchesGoOnWithoutAButtonGroupOrButtonImage) {
  struct Case {
    const char* what;
    uint32_t group;
    const char* line;  // expected besides the switch itself
    int key;
    bool set_logged;
  } cases[] = {
      {"no group", engine::kNoButtonGroup, "not skip button", 10, false},
      {"a skip button without image", 1, "*Warnning skip_set SpriteIcon is NULL !!", 16, true},
      {"a group without skip button", 2, "skip_set 1", 10, true},
  };
  open();
  vm().text.bRead = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vm().run.bSkip = 0;
    vm().text.dwButtonGroup = c.group;
    logs_.clear();
    EXPECT_EQ(cmd(kSkipSet, {1}), 1u);
    EXPECT_EQ(vm().run.bSkip, 1u);
    EXPECT_EQ(vm().text.dwIcon, engine::kIconSkip);
    EXPECT_TRUE(logged(c.key, c.line));
    EXPECT_EQ(logged(10, "skip_set 1"), c.set_logged);
  }
}

TEST_F(SkipModes, TheSkipBitsAsTheScriptReadsThem) {
  open();
  sample(kKeyCtrl, 0, 0);
  sample(kKeyCtrl, 0, 0);  // held: down in two frames
  cmd(kAdvSkipSet);
  EXPECT_EQ(r(0) & 4u, 4u) << "Ctrl held";
  EXPECT_TRUE(logged(10, "adv_skip_set "));
  sample(0, 0, 0);
  vm().run.bSkip = 1;
  cmd(kAdvSkipSet);
  EXPECT_EQ(r(0), 1u);
  vm().run.bSceneSkip = 1;
  cmd(kAdvSkipSet);
  EXPECT_EQ(static_cast<int32_t>(r(0)), -33);
  vm().run.bSceneSkip = 0;
  vm().run.bHistorySkip = 1;
  cmd(kAdvSkipSet);
  EXPECT_EQ(static_cast<int32_t>(r(0)), -17);
  cmd(kIsHistorySkip);
  EXPECT_EQ(r(0), 1u);
  vm().run.bHistorySkip = 0;
}

TEST_F(SkipModes, CancelWithoutASkipDoesNothing) {
  open();
  for (uint32_t id : {kCancelSceneSkip, 0x09003Au}) {
    SCOPED_TRACE(id);
    const uint32_t pc = vm().runner.dwPc;
    logs_.clear();
    EXPECT_EQ(cmd(id), 1u);
    EXPECT_EQ(g_reloads, 0);
    EXPECT_EQ(vm().runner.dwPc, pc);
    EXPECT_TRUE(logs_.empty());
  }
}

// The skip passes two waits and a picture in the slice that starts it; its cancel reloads the
// snapshot it takes, so the picture is built for real and the script resumes after the cancel
// on the next frame.
TEST_F(SkipModes, ASceneSkipRunsAtOnceAndItsCancelReloadsWhereItGotTo) {
  load(std::string(kWindow) +
       "  mov u[r9], 1\n"
       "  call scene_skip(1)\n"
       "  call wait(1000, 0)\n"
       "  call sp_set_ex(file\"PICT\", 1, 40, 30, 0)\n"
       "  call run_no_wait\n"
       "  call wait(1000, 0)\n"
       "  mov u[r9], 2\n"
       "  call cancel_scene_skip\n"
       "  mov u[r9], 3\n" +
       kIdle);
  vm().runner.dwPointStack[0] = 4;  // a point left over from before: the skip clears it
  vm().runner.dwPointCount = 1;
  run();
  EXPECT_EQ(vm().run.bSceneSkip, 0u);
  EXPECT_EQ(vm().runner.dwPointCount, 0u);
  EXPECT_EQ(g_reloads, 1);
  EXPECT_FALSE(logged(0, "snapshot reload: no valid snapshot"));
  EXPECT_TRUE(logged(10, "scene_skip 1"));
  EXPECT_TRUE(logged(10, "cancel scene skip"));
  EXPECT_TRUE(logged(0, "  scene skip time = 0 ms"));
  EXPECT_EQ(vm().userMem[0], 2u) << "the reload stops the slice after the cancel";
  frame(0, 1000, 700);
  EXPECT_EQ(vm().userMem[0], 3u);
  const layers::ImageRecord* image = vm().layers[1].lpImage;
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(OrvGetPixel(image->hSprite, 3, 3) & 0xFFFFFF, 0xFF0000u) << "decoded after the skip";
}

TEST_F(SkipModes, AHistorySkipEndsByItsCancelThroughASnapshot) {
  load(std::string(kWindow) +
       "  call history_skip(0xFFFFF0)\n"
       "  call is_history_skip -> r10\n"
       "  mov u[r9], r10\n"
       "  call wait(1000, 0)\n"
       "  call cancel_history_skip\n"
       "  call is_history_skip -> r11\n"
       "  mov r8, 1\n"
       "  mov u[r8], r11\n" +
       kIdle);
  vm().userMem[1] = 7;
  run();
  EXPECT_EQ(vm().userMem[0], 1u);
  EXPECT_EQ(vm().run.bHistorySkip, 0u);
  EXPECT_EQ(g_reloads, 1);
  EXPECT_TRUE(logged(10, "history_skip fffff0"));
  EXPECT_TRUE(logged(10, "cancel history skip"));
  EXPECT_EQ(vm().userMem[1], 7u) << "resumes on the next frame";
  frame(0, 1000, 700);
  EXPECT_EQ(vm().userMem[1], 0u);
}

TEST_F(SkipModes, ALockedSavePointReloadsTheHeldSnapshot) {
  open();
  vm().run.bSceneSkip = 1;
  vm().save.bSavePointLock = 1;
  const uint32_t resume = vm().save.dwResumePc;
  cmd(kCancelSceneSkip);
  EXPECT_EQ(g_reloads, 1);
  EXPECT_EQ(vm().save.dwResumePc, resume) << "no snapshot taken here";
  vm().save.bSavePointLock = 0;
}

}  // namespace
}  // namespace uitest
