// Choice menus from assembled blocks, driven frame by frame with injected mouse and keys: the
// block scan, item flags, the keyboard cursor, the label order, the getters, release mode, a
// hidden menu, and blocks that fail without leaving a sprite behind.
#include <string>

#include "Orv/core/handle_table.h"
#include "engine/neighbours.h"
#include "ge_writer/ge_writer.h"
#include "program/ui/ui_fixture.h"
#include "ui/choices/select.h"

namespace uitest {
namespace {

// Where the keyboard path asked the pointer to go; the test moves its injected cursor there.
int32_t g_warp_x = -1, g_warp_y = -1;

// Items 200 x 40 at x 100 and y 100, 200, 300, 400: "one", "two", "three" (shown, not
// selectable), a dropped item, "four". hover appends 1 to r10, leave 2, decide 3; an item's
// label sets r20 to its number.
constexpr const char* kMenu =
    "  call select_init(file\"ITEM\", 0xC0C0C0, 0xFFFFFF, 0x123456)\n"
    "  call select_set_process(@hover, @leave, @decide)\n"
    "  call select(1)\n"
    "  call select_item(text\"one\", @one, 100, 100, 3, 0)\n"
    "  mov r5, 200\n"  // the block may compute its arguments
    "  call select_item(text\"two\", @two, 100, r5, 3, 0)\n"
    "  call select_item(text\"three\", @three, 100, 300, 1, 0)\n"
    "  call select_item(text\"dropped\", @one, 100, 999, 2, 0)\n"
    "  call select_item(text\"four\", @four, 100, 400, 3, 0)\n"
    "  call end_select\n"
    "done:\n  call wait_frame\n  jmp done\n"
    "hover:\n  mul r10, 10\n  add r10, 1\n  ret\n"
    "leave:\n  mul r10, 10\n  add r10, 2\n  ret\n"
    "decide:\n  mul r10, 10\n  add r10, 3\n  ret\n"
    "one:\n  mov r20, 1\n  jmp done\n"
    "two:\n  mov r20, 2\n  jmp done\n"
    "three:\n  mov r20, 3\n  jmp done\n"
    "four:\n  mov r20, 4\n  jmp done\n";

class Choices : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    // The item image: three rows of 200 x 40 cells (normal, hover, third).
    gewriter::GeOptions options;
    options.cell_width = 200;
    options.cell_height = 40;
    const std::vector<uint32_t> pixels(200 * 120, 0xFF808080u);
    testsupport::write_file(dir / "game/ITEM.TGA", gewriter::ge_write(200, 120, pixels, options));
    g_warp_x = g_warp_y = -1;
    orv.OrvCursorSetPos = [](int32_t x, int32_t y) {
      g_warp_x = x;
      g_warp_y = y;
      return int32_t{1};
    };
  }
  void TearDown() override {
    ui::select_release(vm());
    UiTest::TearDown();
  }
  void open(const std::string& source = kMenu) {
    load(source);
    run();
  }
  const engine::SelectState& sel() { return vm().select; }
  uint32_t get(uint32_t id) {
    vm().dwResultReg = 0;
    engine::command_lookup(id)(vm());
    return vm().reg[0];
  }
  // A frame with a key pushed; the pointer stays where the keyboard path last put it.
  void key(uint32_t held) {
    frame(held, g_warp_x, g_warp_y);
    frame(0, g_warp_x, g_warp_y);
  }
};

TEST_F(Choices, BlockOpensWithShownItemsAndDroppedOnesConsumed) {
  open();
  ASSERT_EQ(sel().nItems, 4);
  EXPECT_EQ(sel().bVisible, 1u);
  EXPECT_EQ(sel().nCursor, -1);
  EXPECT_STREQ(sel().szItemText[3], "four");
  EXPECT_EQ(vm().nArgCount, 0) << "every item's arguments were taken, the dropped one's too";
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(sel().hImages[1], &info);
  EXPECT_EQ(info.y, 200.0f);
  EXPECT_EQ(info.color, 0xFFC0C0C0u);
  OrvSpriteGetInfo(sel().hImages[2], &info);
  EXPECT_EQ(info.color, 0x7FC0C0C0u) << "not selectable: half alpha";
  OrvSpriteGetInfo(sel().hTexts[2], &info);
  EXPECT_EQ(info.color, 0x7FFFFFFFu);
  EXPECT_EQ(vm().runner.dwCommand, 0x060003u) << "the slice ends waiting in end_select";
  frame(0, 1000, 700);
  EXPECT_EQ(vm().systemButtons[3].bEnable, 0u) << "the decide hooks are off while waiting";
}

TEST_F(Choices, LabelOrderFromHoverToHoverAndOnDecision) {
  open();
  frames(2, 0, 150, 210);  // over "two"
  EXPECT_EQ(r(10), 1u);
  EXPECT_EQ(get(0x060008), 1u);  // get_select_on_key
  frames(2, 0, 150, 410);        // straight to "four": leave first, then hover
  EXPECT_EQ(r(10), 121u);
  EXPECT_EQ(get(0x060009), 3u);  // get_select_pull_key: "four" a frame ago
  frames(2, 0, 1000, 700);       // off every item: only the leave
  EXPECT_EQ(r(10), 1212u);
  EXPECT_EQ(get(0x060008), 0xFFFFFFFFu);
  frames(2, 0, 150, 410);
  vm().reg[10] = 0;
  frame(kLeft, 150, 410);  // decide "four": leave, decide, then its label
  frames(3, 0, 150, 410);
  EXPECT_EQ(r(10), 23u);
  EXPECT_EQ(r(20), 4u);
  EXPECT_EQ(get(0x06000A), 3u);  // get_select_push_key
  EXPECT_EQ(get(0x060008), 3u);
  EXPECT_EQ(sel().hImages[3], 0u) << "the sprites go with the decision";
  EXPECT_EQ(vm().systemButtons[3].bEnable, 1u);
}

TEST_F(Choices, KeyboardCursorClampsAndStopsOnUnselectableItems) {
  open();
  frame(0, 1000, 700);
  key(kKeyUp);  // the first arrow selects item 0, whichever it is
  EXPECT_EQ(sel().nCursor, 0);
  EXPECT_EQ(g_warp_x, 200);
  EXPECT_EQ(g_warp_y, 120);
  key(kKeyUp);
  EXPECT_EQ(sel().nCursor, 0);
  key(kKeyDown);
  key(kKeyDown);
  EXPECT_EQ(sel().nCursor, 2);  // "three" cannot be picked, but the cursor stops on it
  key(kKeyEnter);
  EXPECT_EQ(r(20), 0u);
  key(kKeyDown);
  key(kKeyDown);
  EXPECT_EQ(sel().nCursor, 3);  // clamped to the last item
  key(kKeyEnter);
  frames(3, 0, g_warp_x, g_warp_y);
  EXPECT_EQ(r(20), 4u);
}

TEST_F(Choices, KeyReleaseModeDecidesOnTheRelease) {
  open();
  vm().buttons.bKeyRelease = 1;
  frames(2, 0, 150, 110);
  frames(3, kLeft, 150, 110);
  EXPECT_EQ(r(20), 0u);
  frames(3, 0, 150, 110);
  EXPECT_EQ(r(20), 1u);
}

TEST_F(Choices, HiddenMenuNeitherHoversNorDecides) {
  open();
  ui::select_show(vm(), 0);
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(sel().hImages[0], &info);
  EXPECT_EQ(info.color, 0u);
  frames(2, 0, 150, 110);
  frames(3, kLeft, 150, 110);
  frames(2, 0, 150, 110);
  EXPECT_EQ(r(10), 0u);
  EXPECT_EQ(r(20), 0u);
  ui::select_show(vm(), 1);
  OrvSpriteGetInfo(sel().hImages[2], &info);
  EXPECT_EQ(info.color, 0x7FC0C0C0u);
  frame(kLeft, 150, 110);
  frames(3, 0, 150, 110);
  EXPECT_EQ(r(20), 1u);
}

std::string items(int n) {
  std::string s = "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n";
  for (int i = 0; i < n; ++i) s += "  call select_item(text\"x\", @out, 0, 0, 3, 0)\n";
  return s + "  call end_select\nout:\n  call wait_frame\n  jmp out\n";
}

TEST_F(Choices, FailingBlocksLeaveNoSpriteAndCountZero) {
  struct Case {
    const char* what;
    std::string source;
    const char* log;  // a line of key 0 (UTF-8), or null
  } cases[] = {
      {"fifteen items open", items(15), nullptr},
      {"a sixteenth fails", items(16),
       "select\xE5\x91\xBD\xE4\xBB\xA4\xE3\x81\x8C\xE5\xA4\x9A\xE3\x81\x99\xE3\x81\x8E\xE3\x81\xBE"
       "\xE3\x81\x99"},
      {"another command in the block",
       "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n"
       "  call select_item(text\"x\", 0, 0, 0, 3, 0)\n  call wait_frame\n  call end_select\n",
       "select\xE5\x91\xBD\xE4\xBB\xA4\xE3\x81\xAE\xE5\xBD\xA2\xE5\xBC\x8F"},
      {"a block that runs past the code",
       "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n"
       "  call select_item(text\"x\", 0, 0, 0, 3, 0)\n  mov r1, 1\n",
       "select\xE5\x91\xBD\xE4\xBB\xA4\xE3\x81\xAE\xE5\xBD\xA2\xE5\xBC\x8F"},
      {"a runaway block",
       "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n"
       "  call select_item(text\"x\", 0, 0, 0, 3, 0)\nspin:\n  jmp spin\n  call end_select\n",
       "select\xE5\x91\xBD\xE4\xBB\xA4\xE3\x81\xAE\xE5\xBD\xA2\xE5\xBC\x8F"},
      {"a word that is no instruction",
       "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n"
       "  call select_item(text\"x\", 0, 0, 0, 3, 0)\n  .word 0x00020005\n  call end_select\n",
       "select\xE5\x91\xBD\xE4\xBB\xA4\xE3\x81\xAE\xE5\xBD\xA2\xE5\xBC\x8F"},
      {"an item label outside Point.dat",
       "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n"
       "  call select_item(text\"x\", 0, 0, 0, 3, 0)\n"
       "  call select_item(text\"y\", 77, 0, 0, 3, 0)\n  call end_select\n",
       "select\xE5\x91\xBD\xE4\xBB\xA4\xE3\x81\xAE\xE5\xBD\xA2\xE5\xBC\x8F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    logs_.clear();
    const uint32_t live = orv_handles().live_count();
    open(c.source);
    if (!c.log) {
      EXPECT_EQ(sel().nItems, 15);
      ui::select_release(vm());
    } else {
      EXPECT_TRUE(logged(0, c.log));
      EXPECT_EQ(sel().nItems, 0);
      for (OrvHandle h : sel().hImages) EXPECT_EQ(h, 0u);
      for (OrvHandle h : sel().hTexts) EXPECT_EQ(h, 0u);
    }
    EXPECT_EQ(orv_handles().live_count(), live);
  }
}

TEST_F(Choices, ItemTextIsCutAndTerminatedAndOffsetsAreChecked) {
  const std::string long_text(300, 'a');
  open(
      "  call select_init(file\"ITEM\", 0, 0, 0)\n  call select(0)\n"
      "  call select_item(text\"" +
      long_text + "\", 0, 0, 0, 3, 0)\n  call end_select\n");
  ASSERT_EQ(sel().nItems, 1);
  EXPECT_EQ(std::string(sel().szItemText[0]), std::string(259, 'a'));
  for (int32_t item : {16, -1}) {
    engine::vm_push(vm(), 1);
    engine::vm_push(vm(), static_cast<uint32_t>(item));
    engine::command_lookup(0x060005)(vm());  // select_set_offset: refused
  }
  engine::vm_push(vm(), 2);
  engine::vm_push(vm(), 0);
  engine::command_lookup(0x060005)(vm());
  EXPECT_EQ(sel().nItemRows[0], 6);
  EXPECT_EQ(sel().nItemRows[15], 0);
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

// The save subsystem's reload, counted.
engine::NeighbourStep g_real_reload = nullptr;
int g_reloads = 0;

TEST_F(Choices, AHistorySkipStopsAtTheMenuAndReloadsItsSnapshotFirst) {
  const engine::Neighbours saved = engine::neighbours;
  g_real_reload = saved.interaction.save_snapshot_reload;
  ASSERT_NE(g_real_reload, nullptr);
  g_reloads = 0;
  engine::neighbours.interaction.save_snapshot_reload = [](engine::VmContext& vm) {
    ++g_reloads;
    g_real_reload(vm);
  };
  vm().run.bHistorySkip = 1;
  open();
  engine::neighbours = saved;
  EXPECT_EQ(g_reloads, 1);
  EXPECT_EQ(vm().run.bHistorySkip, 0u);
  EXPECT_TRUE(logged(0, "cancel history skip select"));
  EXPECT_FALSE(logged(0, "snapshot reload: no valid snapshot"));  // the one taken at the menu
  ASSERT_EQ(sel().nItems, 4);
  EXPECT_NE(sel().hImages[0], 0u);
}

TEST_F(Choices, SkipIsSwitchedOffAndLeavingTheSubSceneClosesTheMenu) {
  vm().run.bSceneSkip = 1;
  open();
  EXPECT_EQ(vm().run.bSceneSkip, 0u);
  EXPECT_TRUE(logged(0, "  scene skip time = "));
  ASSERT_EQ(sel().nItems, 4);
  frame(0, 1000, 700);
  EXPECT_EQ(vm().systemButtons[17].bEnable, 0u);
  const OrvHandle image = sel().hImages[0], text = sel().hTexts[3];
  engine::command_lookup(0x1200A0)(vm());  // leave_sub_scene
  EXPECT_EQ(sel().hImages[0], 0u);
  EXPECT_EQ(sel().hTexts[3], 0u);
  EXPECT_EQ(sprite_from(image), nullptr);
  EXPECT_EQ(sprite_from(text), nullptr);
  EXPECT_EQ(vm().systemButtons[17].bEnable, 1u);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 100u);
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

TEST_F(Choices, TextSpriteThatCannotBeMadeFailsTheMenuWithItsImage) {
  static int calls = 0;
  calls = 0;
  orv.OrvSpriteCreateText = [](OrvHandle list, const char* text, int32_t priority,
                               uint32_t argb) -> OrvHandle {
    // The second item's text sprite is not made.
    return ++calls == 2 ? 0 : OrvSpriteCreateText(list, text, priority, argb);
  };
  const uint32_t live = orv_handles().live_count();
  open(items(3));
  EXPECT_TRUE(logged(0, "select CreateText"));
  EXPECT_EQ(sel().nItems, 0);
  for (OrvHandle h : sel().hImages) EXPECT_EQ(h, 0u);
  for (OrvHandle h : sel().hTexts) EXPECT_EQ(h, 0u);
  EXPECT_EQ(orv_handles().live_count(), live);
}

}  // namespace
}  // namespace uitest
