// Script buttons from assembled scripts, driven frame by frame with injected mouse and keys:
// hover, leave and click labels, the click sound, locks, pauses, key-release mode, sliders and
// the argument checks of the getters.
#include <cstdio>
#include <initializer_list>

#include "graphic_dat/graphic_dat_writer.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/graphic_dat.h"
#include "program/ui/ui_fixture.h"
#include "support/ani_bytes.h"
#include "text/window/text_window_seams.h"
#include "ui/buttons/text_window_buttons.h"

namespace uitest {
namespace {

// Every label appends its digit to r10: click A 1, hover A 2, leave A 3, click B 4, hover B 5,
// leave B 6. Button A is at (0, 0), B at (200, 0), C (click label 0) at (400, 0); 100 x 100.
constexpr const char* kTwoButtons =
    "  call btn_init(0, 0x0FFFFFFF, file\"CLICK\")\n"
    "  call btn_set(0, 0, file\"#FFFF0000\", @clickA, @hoverA, @leaveA, 1)\n"
    "  call btn_set_rect(0, 0, 100, 100, 100, 100)\n"
    "  call btn_set(0, 1, file\"#FF00FF00\", @clickB, @hoverB, @leaveB, 1)\n"
    "  call btn_set_rect(0, 1, 100, 100, 100, 100)\n"
    "  call btn_set_pos(0, 1, 200, 0)\n"
    "  call btn_set(0, 2, file\"#FF0000FF\", 0, 0, 0, 1)\n"
    "  call btn_set_rect(0, 2, 100, 100, 100, 100)\n"
    "  call btn_set_pos(0, 2, 400, 0)\n"
    "  call run_no_wait\n"
    "loop:\n"
    "  call wait_frame\n"
    "  jmp loop\n"
    "clickA:\n  mul r10, 10\n  add r10, 1\n  ret\n"
    "hoverA:\n  mul r10, 10\n  add r10, 2\n  ret\n"
    "leaveA:\n  mul r10, 10\n  add r10, 3\n  ret\n"
    "clickB:\n  mul r10, 10\n  add r10, 4\n  ret\n"
    "hoverB:\n  mul r10, 10\n  add r10, 5\n  ret\n"
    "leaveB:\n  mul r10, 10\n  add r10, 6\n  ret\n";

class Buttons : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    load(kTwoButtons);
    run();
    frame(0, 1000, 600);  // the commit shows the buttons
  }
  // Runs a command with its arguments given in pop order; returns the handler's result.
  uint32_t cmd(uint32_t id, std::initializer_list<int32_t> args) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) {
      engine::vm_push(vm(), static_cast<uint32_t>(*it));
    }
    vm().dwResultReg = 0;
    return engine::command_lookup(id)(vm());
  }
  uint32_t result() { return vm().reg[0]; }
  // Every button shown, switched on, at row 1.
  void btn_ctrl_set_pos_all_on() {
    for (int32_t no = 0; no < 3; ++no) {
      ui::btn_ctrl_set_pos(vm(), 0, no, 1, 1);
      ui::btn_view_ctrl(vm(), 0, no, 1);
    }
  }
};

TEST_F(Buttons, FromAToBRunsLeaveOfAThenHoverOfBNextFrame) {
  frame(0, 50, 50);
  EXPECT_EQ(r(10), 2u);  // hover A
  frames(4, 0, 50, 50);  // the 50 ms pause after a hover passes; nothing new
  EXPECT_EQ(r(10), 2u);
  frame(0, 250, 50);
  EXPECT_EQ(r(10), 23u);  // A's leave label in this frame
  frame(0, 250, 50);
  EXPECT_EQ(r(10), 235u);  // B's hover label in the next
  frames(4, 0, 1000, 600);
  EXPECT_EQ(r(10), 2356u);  // off every button: B's leave
}

TEST_F(Buttons, ClickRunsItsLabelOnceTheClickSoundHasEnded) {
  frame(0, 250, 50);
  frames(4, 0, 250, 50);
  ASSERT_EQ(r(10), 5u);
  frame(kLeft, 250, 50);  // the push: the click sound starts, nothing runs yet
  EXPECT_EQ(r(10), 5u);
  EXPECT_EQ(OrvInputGetKeyPush(), 0u) << "the frames of a pending click clear the input";
  frame(kLeft, 250, 50);
  EXPECT_EQ(r(10), 5u);
  frames(3, 0, 250, 50);  // 40 ms of sound have played by now
  EXPECT_EQ(r(10), 564u) << "leave runs first, then the click label";
  cmd(0x080011, {0});  // btn_get_push
  EXPECT_EQ(result(), 1u);
  frames(10, 0, 250, 50);
  EXPECT_EQ(r(10), 5645u) << "reported once; the hover starts again after the pause";
}

TEST_F(Buttons, ClickLabelZeroIsStillAReaction) {
  frame(kLeft, 450, 50);
  frames(4, 0, 450, 50);
  EXPECT_EQ(r(10), 0u);
  cmd(0x080011, {0});
  EXPECT_EQ(result(), 0u) << "a dropped click is not recorded as the last click";
}

TEST_F(Buttons, ClickStartsA100MsPauseAndHoverA50MsPause) {
  frame(kLeft, 50, 50);  // no hover first: the push on A clicks it
  frames(4, 0, 50, 50);
  ASSERT_EQ(r(10), 1u);
  // Straight to B: nothing for 100 ms after the click.
  const uint32_t clicked_at = vm().buttons.dwWaitStart;
  EXPECT_EQ(vm().buttons.dwInvalidTime, 100u);
  while (enginetest::g_fake_now + 16 - clicked_at < 100) {
    frame(0, 250, 50);
    EXPECT_EQ(r(10), 1u);
  }
  frames(2, 0, 250, 50);
  EXPECT_EQ(r(10), 15u);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 50u);
}

TEST_F(Buttons, LockWithoutTimeWaitsForUnlockAndATimedLockExpires) {
  cmd(0x080013, {0, 0});  // btn_lock 0, 0
  frames(40, 0, 50, 50);
  EXPECT_EQ(r(10), 0u);
  EXPECT_EQ(vm().buttons.groups[0].bLocked, 1u);
  cmd(0x080014, {0});  // btn_unlock
  frame(0, 50, 50);
  EXPECT_EQ(r(10), 2u);
  frames(4, 0, 1000, 600);
  ASSERT_EQ(r(10), 23u);

  vm().reg[10] = 0;
  cmd(0x080013, {0, 500});
  const uint32_t locked_at = enginetest::g_fake_now;
  while (enginetest::g_fake_now + 16 - locked_at < 500) {
    frame(0, 50, 50);
    EXPECT_EQ(r(10), 0u);
  }
  frame(0, 50, 50);  // the frame that notices the time unlocks but does not react
  EXPECT_EQ(r(10), 0u);
  EXPECT_EQ(vm().buttons.groups[0].bLocked, 0u);
  frame(0, 50, 50);
  EXPECT_EQ(r(10), 2u);
}

TEST_F(Buttons, KeyReleaseModeClicksOnTheRelease) {
  cmd(0x080024, {1});  // btn_mode 1
  frame(kLeft, 250, 50);
  frames(4, kLeft, 250, 50);
  EXPECT_EQ(r(10), 5u);  // only the hover while held
  frame(0, 250, 50);     // released over B
  frames(4, 0, 250, 50);
  EXPECT_EQ(r(10), 564u);
}

TEST_F(Buttons, SetHitClicksFromTheScript) {
  cmd(0x080016, {0, 1});  // btn_set_hit 0, 1
  frames(5, 0, 1000, 600);
  EXPECT_EQ(r(10), 4u);
}

TEST_F(Buttons, SliderFollowsTheMouseWithinItsRange) {
  struct Case {
    int32_t mouse_x;
    uint32_t offset;
  } cases[] = {{100, 50}, {0, 0}, {500, 200}, {-5, 0}};
  for (const Case& c : cases) {
    frame(kLeft, c.mouse_x, 650);
    cmd(0x080009, {0, 0, 200, 0, 0});  // btn_slide_get: knob 100 wide at x 0
    EXPECT_EQ(result(), c.offset) << c.mouse_x;
  }
  cmd(0x08000a, {0, 0, 200, 0, 50});  // btn_slide_set 50 % of 200
  EXPECT_EQ(vm().buttons.groups[0].entries[0].lpImage->base.posOfs.x, 100);
  // A drag ends with the release.
  frame(kLeft, 10, 650);
  cmd(0x08000b, {0, 0});
  frame(kLeft, 10, 650);
  cmd(0x08000c, {0, 0});
  EXPECT_EQ(result(), 0u);
  frame(0, 10, 650);
  cmd(0x08000c, {0, 0});
  EXPECT_EQ(result(), 0xFFFFFFFFu);
}

TEST_F(Buttons, GettersRefuseOutOfRangeVariablesAndNumbers) {
  struct Case {
    int32_t first;
    uint32_t result;
  } cases[] = {{121, 0}, {-1, 0}, {-100, 0}, {120, 1}, {0, 1}};
  for (const Case& c : cases) {
    std::memset(vm().tempMem, 0xAB, sizeof vm().tempMem);
    cmd(0x080028, {0, 1, c.first});  // btn_get_info
    EXPECT_EQ(result(), c.result) << c.first;
    if (c.result) {
      EXPECT_EQ(vm().tempMem[c.first], 200u);      // image x
      EXPECT_EQ(vm().tempMem[c.first + 2], 100u);  // cell width
    } else {
      for (uint32_t v : vm().tempMem) ASSERT_EQ(v, 0xABABABABu) << c.first;
    }
  }
  std::memset(vm().tempMem, 0xAB, sizeof vm().tempMem);
  cmd(0x08000e, {0, 1, -1, 4096});  // btn_get_pos: -1 stores nothing, 4096 is refused
  for (uint32_t v : vm().tempMem) ASSERT_EQ(v, 0xABABABABu);
  cmd(0x08000e, {0, 1, 3, 4});
  EXPECT_EQ(vm().tempMem[3], 200u);
  EXPECT_EQ(vm().tempMem[4], 0u);

  cmd(0x080008, {0, 200});  // btn_release 0, 200: nothing
  for (int no = 0; no < 3; ++no) EXPECT_NE(vm().buttons.groups[0].entries[no].lpImage, nullptr);
  EXPECT_EQ(cmd(0x080003, {16, 0, 0, 0, 0, 0, 1}), 0u) << "btn_set refuses group 16";
  EXPECT_EQ(cmd(0x080003, {0, 128, 0, 0, 0, 0, 1}), 0u) << "and button 128";
}

TEST_F(Buttons, AnyHitAndStylesForTheTextWindow) {
  sample(kLeft, 250, 50);
  EXPECT_TRUE(ui::btn_any_hit(vm()));
  sample(0, 250, 50);
  sample(kLeft, 1000, 600);
  EXPECT_FALSE(ui::btn_any_hit(vm()));
  cmd(0x080012, {0, 1, 3});  // btn_expansion: button 1 is the auto button
  EXPECT_EQ(ui::btn_style_get(vm(), 0, 3), 1);
  EXPECT_EQ(ui::btn_style_get(vm(), 0, 1), -1);
  EXPECT_EQ(ui::btn_style_get(vm(), 0, 7), -1);
  EXPECT_EQ(ui::btn_view_ctrl(vm(), 16, 0, 0), 0);
  EXPECT_EQ(ui::btn_view_ctrl(vm(), 0, -1, 0), 1);
  EXPECT_EQ(OrvSpriteViewIs(vm().buttons.groups[0].entries[1].lpImage->hSprite), 0);
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

TEST_F(Buttons, ChildFollowsItsParentAtItsOffset) {
  cmd(0x08002d, {0, 1, 2, 10, 20});  // btn_set_child: C follows B at (10, 20)
  frame(0, 1000, 600);
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(vm().buttons.groups[0].entries[2].lpImage->hSprite, &info);
  EXPECT_EQ(info.x, 210.0f);
  EXPECT_EQ(info.y, 20.0f);
  cmd(0x080006, {0, 1, 300, 50});  // the parent moves; the child goes with it
  frame(0, 1000, 600);
  OrvSpriteGetInfo(vm().buttons.groups[0].entries[2].lpImage->hSprite, &info);
  EXPECT_EQ(info.x, 310.0f);
  EXPECT_EQ(info.y, 70.0f);
  cmd(0x08002d, {0, -1, 2, 0, 0});  // parent -1: no longer follows
  EXPECT_EQ(ui::button_follow_table[2].lpChild, nullptr);
  EXPECT_EQ(cmd(0x08002d, {0, 128, 2, 0, 0}), 1u);
  EXPECT_TRUE(logged(0, "ArgumentOutOfRange"));
}

TEST_F(Buttons, StatusBitsTellWhyAButtonDoesNotReact) {
  struct Case {
    const char* what;
    int32_t no;
    uint32_t bits;
  } cases[] = {{"a ready button", 1, 0},
               {"no image", 5, 16},
               {"disabled", 0, 8 | 64},
               {"hidden", 2, 32},
               {"locked group and pause", 1, 4 | 1}};
  cmd(0x08000f, {0, 0, 0});  // btn_enable 0, 0, 0
  cmd(0x080004, {0, 2});     // btn_hide, committed by the next run
  layers::display_ops_commit(vm());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.bits & 4) {
      cmd(0x080013, {0, 0});
      cmd(0x08002a, {100});  // btn_set_invalid_time
    }
    cmd(0x080030, {0, c.no});
    EXPECT_EQ(result(), c.bits);
  }
  cmd(0x080030, {0, 128});
  EXPECT_EQ(result(), 0xFFFFFFFFu);
}

using ButtonBlt = UiTest;

TEST_F(ButtonBlt, MakesAButtonFromALayerPicture) {
  load(
      "  call btn_init(0, 0x0FFFFFFF, 0x0FFFFFFF)\n"
      "  call sp_create(1, file\"#FFFF0000\", 40, 30, 16, 16)\n"
      "  call run_no_wait\n"
      "  call btn_blt(0, 5, 1, @hit, 0, 0, 1, 0, 0, 16, 16)\n"
      "loop:\n  call wait_frame\n  jmp loop\n"
      "hit:\n  mov r10, 7\n  ret\n");
  run();
  const layers::ImageRecord* image = vm().buttons.groups[0].entries[5].lpImage;
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(OrvSpriteViewIs(image->hSprite), 1);
  EXPECT_EQ(OrvGetPixel(image->hSprite, 3, 3) & 0xFFFFFF, 0xFF0000u);
  frame(0, 1000, 600);
  frame(kLeft, 45, 35);
  frames(3, 0, 45, 35);
  EXPECT_EQ(r(10), 7u);
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

TEST_F(Buttons, TheTextWindowShowsTheButtonsOfItsOwnGroup) {
  vm().text.dwButtonGroup = 0;
  std::snprintf(engine::AdvGetVarString(vm(), 0), 32, "#FFFFFFFF");
  cmd(0x080003, {0, 3, static_cast<int32_t>(engine::kStringHandleBit), 0, 0, 0, 1});
  layers::display_ops_commit(vm());
  const OrvHandle sprite = vm().buttons.groups[0].entries[3].lpImage->hSprite;
  EXPECT_EQ(OrvSpriteViewIs(sprite), 0) << "left to the window";
  textwindow::text_button_group_view(vm(), vm().text, true);
  EXPECT_EQ(OrvSpriteViewIs(sprite), 1);
  sample(kLeft, 50, 50);
  EXPECT_TRUE(textwindow::text_button_hit(vm()));
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

TEST_F(Buttons, StyleButtonsFollowTheLinesNameAndVoice) {
  cmd(0x080012, {0, 0, 4});  // button 0: name
  cmd(0x080012, {0, 1, 2});  // button 1: style 2
  cmd(0x080012, {0, 2, 8});  // button 2: record
  struct Case {
    const char* what;
    const char* name;
    const char* voice;
    uint32_t flags;
    int32_t name_visible, two_visible;
    int32_t two_on, two_row;
  } cases[] = {
      {"a named line with its voice", "Aya", "V001", 3, 1, 1, 1, 0},
      {"a named line without voice", "Aya", "", 1, 1, 1, 0, 3},
      {"a voice not flagged", "Aya", "V001", 1, 1, 1, 0, 3},
      {"no name: the voice buttons hide", "", "V001", 2, 0, 0, 1, 0},
  };
  engine::TextWindow& tw = vm().text;
  tw.dwButtonGroup = 0;
  const engine::ButtonGroup& g = vm().buttons.groups[0];
  auto sprite = [&](int no) { return g.entries[no].lpImage->hSprite; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::snprintf(tw.szName, sizeof tw.szName, "%s", c.name);
    std::snprintf(tw.szVoice, sizeof tw.szVoice, "%s", c.voice);
    tw.dwLineFlags = c.flags;
    btn_ctrl_set_pos_all_on();
    ui::text_window_style_buttons(vm(), tw);
    EXPECT_EQ(OrvSpriteViewIs(sprite(0)), c.name_visible);
    EXPECT_EQ(OrvSpriteViewIs(sprite(1)), c.two_visible);
    if (c.two_visible) {
      EXPECT_EQ(OrvButtonGetCtrl(g.hGroup, sprite(1)), c.two_on);
      EXPECT_EQ(OrvButtonGetPos(g.hGroup, sprite(1)), c.two_row);
      EXPECT_EQ(OrvButtonGetPos(g.hGroup, sprite(2)), c.two_row);
    }
  }
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

// The .ani animation of a button's image. GLOW moves the image 10 to the right and then waits
// for ever; KEEP does the same but keeps its end state (op 19) when it is unloaded.
class ButtonAnims : public Buttons {
 protected:
  void SetUp() override {
    Buttons::SetUp();
    testsupport::AniBytes glow;
    glow.op(7, {10, 0, 0});
    glow.op(1, {-1});
    testsupport::write_file(dir / "game/GLOW.ani", glow.file(0));
    testsupport::AniBytes keep;
    keep.op(7, {10, 0, 0});
    keep.op(19);
    keep.op(1, {-1});
    testsupport::write_file(dir / "game/KEEP.ani", keep.file(0));
  }
  void TearDown() override {
    layers::graphic_dat.clear();
    Buttons::TearDown();
  }
  // btn_set_anim with the name given through string slot 0.
  uint32_t set_anim(int32_t group, int32_t no, const char* name, int32_t later) {
    std::snprintf(engine::AdvGetVarString(vm(), 0), 32, "%s", name);
    return cmd(0x080015, {group, no, static_cast<int32_t>(engine::kStringHandleBit), later});
  }
  layers::ImageRecord& image(int32_t no) { return *vm().buttons.groups[0].entries[no].lpImage; }
  uint32_t ask(uint32_t id, int32_t no) {
    cmd(id, {0, no});
    return result();
  }
};

constexpr uint32_t kAnimeIs = 0x080021, kAnimeStatus = 0x080022, kAnimeFinish = 0x080023;
constexpr uint32_t kAnimClear = 0x080018;

TEST_F(ButtonAnims, StartsNowOrWaitsForTheNextCommit) {
  EXPECT_EQ(set_anim(0, 0, "GLOW", 0), 1u);
  EXPECT_EQ(ask(kAnimeIs, 0), 1u);
  EXPECT_EQ(ask(kAnimeStatus, 0), 3u) << "running, held by its endless wait";
  EXPECT_EQ(image(0).animSet.pos.x, 10);
  EXPECT_TRUE(logged(10, "btn_set_anim 0, 0, GLOW, 0"));

  set_anim(0, 1, "GLOW", 1);
  EXPECT_EQ(ask(kAnimeIs, 1), 1u);
  EXPECT_EQ(ask(kAnimeStatus, 1), 4u) << "loaded, waiting for its start";
  frames(2, 0, 1000, 600);
  EXPECT_EQ(image(1).animSet.pos.x, 0) << "an unstarted animation does not run";
  layers::display_ops_commit(vm());
  EXPECT_EQ(ask(kAnimeStatus, 1), 3u);
  EXPECT_EQ(image(1).animSet.pos.x, 10);
}

// A start queued for the next commit belongs to the animation that queued it: when that one is
// cleared and its slot taken by another picture's animation before the commit, the newcomer
// keeps waiting for its own start.
TEST_F(ButtonAnims, AQueuedStartDoesNotStartTheNextAnimationInItsSlot) {
  set_anim(0, 0, "GLOW", 1);
  const uint32_t slot = image(0).dwAnimeNo;
  cmd(kAnimClear, {0, 0});
  ASSERT_EQ(animations::anim_load(vm(), "GLOW", &image(1)), 1u);
  ASSERT_EQ(image(1).dwAnimeNo, slot);
  layers::display_ops_commit(vm());
  EXPECT_EQ(ask(kAnimeStatus, 1), 4u) << "still waiting for its own start";
  EXPECT_EQ(image(1).animSet.pos.x, 0);
  // A start queued by the newcomer itself still runs.
  layers::display_op_queue_anim_start(vm(), slot);
  layers::display_ops_commit(vm());
  EXPECT_EQ(ask(kAnimeStatus, 1), 3u);
}

TEST_F(ButtonAnims, ReplacingFreesTheOldSlotAndAMissingFileLeavesNone) {
  set_anim(0, 0, "GLOW", 0);
  const uint32_t first = image(0).dwAnimeNo;
  set_anim(0, 0, "GLOW", 0);
  EXPECT_EQ(image(0).dwAnimeNo, first) << "the old slot was freed before the new load";
  EXPECT_EQ(image(0).animSet.pos.x, 10) << "the old animation's end state was dropped";
  set_anim(0, 0, "NOSUCH", 1);
  EXPECT_EQ(image(0).dwAnimeNo, 0u);
  EXPECT_EQ(ask(kAnimeIs, 0), 0u);
  EXPECT_EQ(animations::IsAnim(first), 0u);
}

// Clearing unloads (the end state stays after op 19); finishing always drops it.
TEST_F(ButtonAnims, ClearKeepsAKeptEndStateAndFinishDropsIt) {
  struct Case {
    const char* file;
    uint32_t command;
    int32_t kept;
  } cases[] = {
      {"GLOW", kAnimClear, 0},
      {"KEEP", kAnimClear, 10},
      {"KEEP", kAnimeFinish, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.command == kAnimClear ? " clear" : " finish"));
    image(2).base.posOfs.x = 0;
    set_anim(0, 2, c.file, 0);
    EXPECT_EQ(cmd(c.command, {0, 2}), 1u);
    EXPECT_EQ(image(2).dwAnimeNo, 0u);
    EXPECT_EQ(ask(kAnimeIs, 2), 0u);
    EXPECT_EQ(ask(kAnimeStatus, 2), 0u);
    EXPECT_EQ(image(2).base.posOfs.x, c.kept);
    EXPECT_EQ(image(2).animSet.pos.x, 0);
  }
}

// The queries and the finish refuse bad numbers with handler result 0; setting and clearing log
// and go on. A place without a button has no animation.
TEST_F(ButtonAnims, RefusalsAndPlacesWithoutAButton) {
  struct Case {
    uint32_t id;
    int32_t group, no;
    uint32_t handler;
    const char* line;
  } cases[] = {
      {kAnimeIs, 16, 0, 0, "btn group over error : 16"},
      {kAnimeStatus, 0, 128, 0, "btn count over error : 128"},
      {kAnimeFinish, -1, 0, 0, "btn group over error : -1"},
      {kAnimClear, 0, 128, 1, "btn_anim_clear  0, 128 over NO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(cmd(c.id, {c.group, c.no}), c.handler);
    EXPECT_TRUE(logged(0, c.line));
  }
  EXPECT_EQ(set_anim(16, 0, "GLOW", 0), 1u);
  EXPECT_TRUE(logged(0, "btn_set_anim  16, 0 over ID"));
  EXPECT_EQ(set_anim(0, 5, "GLOW", 0), 1u);
  EXPECT_EQ(animations::IsAnim(1), 0u) << "nothing loads for a place without a button";
  EXPECT_EQ(ask(kAnimeIs, 5), 0u);
  EXPECT_EQ(ask(kAnimeStatus, 5), 0u);
  EXPECT_EQ(cmd(kAnimeFinish, {0, 5}), 1u);
  EXPECT_EQ(cmd(kAnimClear, {0, 5}), 1u);
}

// A releasing button takes its animation with it; a new button's graphic.dat animation starts
// with the commit that shows it.
TEST_F(ButtonAnims, ReleaseEndsTheAnimationAndGraphicDatOnesStartWithTheButton) {
  set_anim(0, 1, "GLOW", 0);
  const uint32_t slot = image(1).dwAnimeNo;
  cmd(0x080008, {0, 1});  // btn_release
  EXPECT_EQ(animations::IsAnim(slot), 0u);

  std::vector<layers::GraphicInfo> records;
  std::string error;
  ASSERT_TRUE(graphicdat::parse_list("SHINE load=#FFFFFFFF ani=GLOW\n", &records, &error)) << error;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(graphicdat::build(records, false, &bytes, &error)) << error;
  ASSERT_TRUE(layers::graphic_dat.load(bytes, &error)) << error;
  std::snprintf(engine::AdvGetVarString(vm(), 0), 32, "SHINE");
  cmd(0x080003, {0, 6, static_cast<int32_t>(engine::kStringHandleBit), 0, 0, 0, 1});
  EXPECT_EQ(ask(kAnimeStatus, 6), 4u);
  layers::display_ops_commit(vm());
  EXPECT_EQ(ask(kAnimeStatus, 6), 3u);
  EXPECT_EQ(image(6).animSet.pos.x, 10);
}

}  // namespace
}  // namespace uitest
