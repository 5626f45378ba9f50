// The per-frame wait of a line with the fake clock: reveal time and auto delay, the reveal
// phases, the click wait and what ends it (click, auto, skip, Ctrl, a button, the latch), and
// wait_click through the script.
#include "text/window/text_wait.h"
#include "engine/frame_procedure.h"
#include "program/text/window/fake_animations.h"
#include "program/text/window/text_window_fixture.h"
#include "text/window/reveal.h"

namespace textwindowtest {
namespace {

using enginetest::g_fake_now;
using textwindow::text_update;

constexpr uint32_t kClick = 0x800000;  // left mouse button, an advance input

class WaitTest : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    ASSERT_EQ(call(0x020000, {24, 0, 0, 480, 100, 0, 0, 0}), 1u);
    std::strcpy(vm().strings.slots[0], "ICON0");
    fake().files = {{"ICON0.png", {32, 32}}};
    animations.install();
    ASSERT_EQ(call(0x020001, {0, 0x10000000, 0, 0}), 1u);
    textwindow::text_window_show(vm(), tw(), true);
  }

  // A line of 480 pixels, captured by the line wipe, in the reveal phase of `kind`, with a
  // script point to pop at its end.
  void line(uint32_t kind, int32_t time, bool capture = true) {
    load("  mov r1, 1\n");
    engine::script_point_push(vm());
    points_ = vm().runner.dwPointCount;
    layerstest::FakeSprite* m = sprite(tw().lpMessage);
    for (int32_t x = 0; x < 480; ++x) m->pixels[x] = 0xFF00FF00u;
    tw().nRenderedLength = 480;
    tw().nTime = time;
    tw().dwMode = kind | engine::kModeReveal;
    tw().reveal.bReady = 0;
    if (capture) {
      textwindow::reveal_capture(tw().lpMessage->hSprite, tw().reveal,
                                 textwindow::RevealOrdering::kLineWipe, 0, false);
    }
    textwindow::text_set_reveal_time(vm(), tw(), time);
  }
  bool frame(uint32_t ms, uint32_t push = 0) {
    g_fake_now += ms;
    input.push = push;
    const bool changed = text_update(vm());
    input.push = 0;
    return changed;
  }
  uint32_t alpha_at(int32_t x) { return sprite(tw().lpMessage)->pixels[x] >> 24; }
  bool popped() const { return vm_ptr()->runner.dwPointCount + 1 == points_; }
  const engine::VmContext* vm_ptr() const { return &const_cast<WaitTest*>(this)->vm(); }
  bool icon_shown() { return sprite(tw().icons[0].lpImage)->visible == 1; }

  uint32_t points_ = 0;
  FakeAnimations animations;  // the click icon's is handle 1
};

TEST_F(WaitTest, RevealTimeAndAutoDelayFormulas) {
  const struct {
    int32_t char_size, pitch, time, length;
    int32_t reveal, auto_delay;
  } cases[] = {
      {24, 0, 0, 480, 1000, 1500},   // (480 / 24) x 50; 20 x 50 + 500
      {24, 0, 700, 480, 700, 1500},  // a given time is the time
      {24, 6, 0, 480, 1000, 16 * 50 + 500},
      {0, 0, 0, 480, 480 * 50, 480 * 50 + 500},  // a divisor of 0 counts as 1
      {24, -30, 0, 480, 1000, 480 * 50 + 500},   // char size + pitch below 0 too
      {24, 0, -5, 480, -5, 1500},                // negative: at once
  };
  for (const auto& c : cases) {
    tw().nCharSize = c.char_size;
    engine::text_settings.render.nPitch = c.pitch;
    tw().nRenderedLength = c.length;
    tw().dwMode = 0x10001;
    textwindow::text_set_reveal_time(vm(), tw(), c.time);
    EXPECT_EQ(tw().nTotalTime, c.reveal) << c.char_size << " " << c.pitch << " " << c.time;
    EXPECT_EQ((tw().dwMode & engine::kModeRevealAtOnce) != 0, c.time < 0);
    textwindow::text_click_wait_start(vm());
    EXPECT_EQ(tw().nTotalTime, c.auto_delay) << c.char_size << " " << c.pitch;
    EXPECT_EQ(tw().dwMode, 0x10002u | (c.time < 0 ? engine::kModeRevealAtOnce : 0));
  }
}

TEST_F(WaitTest, ALineRevealsOverItsTimeThenWaitsForAClick) {
  line(engine::kModeNormalLine, 0);
  EXPECT_EQ(tw().nTotalTime, 1000);
  EXPECT_EQ(alpha_at(0), 0u);
  EXPECT_TRUE(frame(500));
  // d = 544 x 0.5 = 272, m = 208: whole below 208, ((272 - x) x 255) >> 6 up to 271.
  EXPECT_EQ(alpha_at(200), 255u);
  EXPECT_EQ(alpha_at(250), (22u * 255u) >> 6);
  EXPECT_EQ(alpha_at(271), 255u >> 6);
  EXPECT_EQ(alpha_at(272), 0u);
  EXPECT_EQ(tw().dwMode, 0x10001u);
  EXPECT_FALSE(icon_shown());
  frame(500);  // elapsed 1000: not yet over
  EXPECT_EQ(tw().dwMode, 0x10001u);
  frame(1);
  EXPECT_EQ(tw().dwMode, 0x10002u);
  EXPECT_EQ(alpha_at(479), 255u);
  EXPECT_TRUE(icon_shown());
  EXPECT_EQ(animations.at(1).resets, 0);  // the reveal ran out: the icon goes on as it was
  EXPECT_EQ(tw().nTotalTime, 1500);
  EXPECT_FALSE(frame(5000));  // no auto mode: only input ends it
  EXPECT_FALSE(popped());
  EXPECT_TRUE(frame(16, kClick));
  EXPECT_EQ(tw().dwMode, 0u);
  EXPECT_TRUE(popped());
  EXPECT_FALSE(icon_shown());
  EXPECT_TRUE(logged(10, "*action_clear_reserve()"));
}

TEST_F(WaitTest, AClickCompletesTheRevealAndAutoModeEndsTheWaitAfterItsDelay) {
  line(engine::kModeNormalLine, 0);
  frame(100, kClick);
  EXPECT_EQ(tw().dwMode, 0x10002u);
  EXPECT_EQ(alpha_at(479), 255u);
  EXPECT_EQ(animations.at(1).resets, 1);  // the click starts the icon from its first cell
  vm().run.bAuto = 1;
  frame(1499);
  EXPECT_FALSE(popped());
  frame(1);
  EXPECT_TRUE(popped());
}

TEST_F(WaitTest, SpeedZeroAndNegativeTimeCompleteAtTheFirstUpdate) {
  gs().settings.dwMessageSpeed = 0;
  line(engine::kModeNormalLine, 0, false);  // not captured: shown as drawn
  EXPECT_EQ(alpha_at(10), 255u);
  frame(0);
  EXPECT_EQ(tw().dwMode, 0x10002u);
  frame(0, kClick);
  EXPECT_TRUE(popped());

  gs().settings.dwMessageSpeed = 50;
  line(engine::kModeNormalLine, -1);
  EXPECT_EQ(tw().dwMode & engine::kModeRevealAtOnce, engine::kModeRevealAtOnce);
  EXPECT_EQ(alpha_at(10), 0u);
  frame(0);
  EXPECT_EQ(alpha_at(479), 255u);
  EXPECT_EQ(tw().dwMode & 0xFFFF, 2u);  // then it waits for the click
}

TEST_F(WaitTest, SkipStopsAtUnreadTextButCtrlDoesNot) {
  const struct {
    uint32_t read, skip_unread, ctrl;
    bool ends;
  } cases[] = {{0, 0, 0, false}, {1, 0, 0, true}, {0, 1, 0, true}, {0, 0, 1, true}};
  for (const auto& c : cases) {
    line(engine::kModeNormalLine, 0);
    frame(2000);
    ASSERT_EQ(tw().dwMode & 0xFFFF, 2u);
    vm().run.bSkip = 1;
    tw().bRead = c.read;
    gs().settings.bSkipUnread = c.skip_unread;
    input.on = c.ctrl ? 8 : 0;
    frame(16);
    EXPECT_EQ(popped(), c.ends) << c.read << c.skip_unread << c.ctrl;
    vm().run.bSkip = 0;
    input.on = 0;
    tw().dwMode = 0;
  }
}

TEST_F(WaitTest, AClickOnAButtonDoesNotAdvanceTheText) {
  textwindow::text_window_seams.button_hit = [](engine::VmContext&) { return true; };
  line(engine::kModeNormalLine, 0);
  frame(2000);
  frame(16, kClick);
  EXPECT_FALSE(popped());
  frame(16, 0x4);  // a key is no click on a button
  EXPECT_TRUE(popped());
}

TEST_F(WaitTest, NoWaitAndNoClickLinesEndWithTheirReveal) {
  // A no-wait line ignores input; its finished reveal without a click sets the end-of-text
  // flags and pops nothing (the script never stopped for it).
  line(engine::kModeNoWaitLine, 0);
  EXPECT_FALSE(frame(100, kClick));
  EXPECT_EQ(alpha_at(479), 0u);
  frame(1000);
  EXPECT_EQ(tw().dwMode, 0u);
  EXPECT_EQ(tw().bEndOfText[0] & tw().bEndOfText[1], 1u);
  EXPECT_FALSE(popped());

  line(engine::kModeNoClickLine, 0);
  frame(1001);
  EXPECT_EQ(tw().dwMode, 0u);
  EXPECT_TRUE(popped());
}

// wait_click through the script and the frame procedure's script update.
class WaitClickTest : public WaitTest {
 protected:
  void update(uint32_t ms, uint32_t push = 0) {
    g_fake_now += ms;
    input.push = push;
    engine::script_update(vm());
    input.push = 0;
  }
};

TEST_F(WaitClickTest, AClickLatchedAfterANoWaitLineEndsTheNextWaitClick) {
  for (const bool click : {false, true}) {
    load("  call wait(50, 0)\n  call wait_click(-1)\n  mov r1, 1\n");
    vm().reg[1] = 0;
    // What a no-wait line leaves: the latch on and, its reveal done, the end-of-text flags.
    engine::g_advance_latch = engine::AdvanceLatch{1, 0, 1};
    textwindow::text_w_reveal_done_set(tw());
    update(0);                       // wait begins
    update(20, click ? kClick : 0);  // latched by the wait's skip-state reads
    update(40);                      // the wait is over
    update(16);                      // wait_click
    update(16);
    update(16);
    EXPECT_EQ(vm().reg[1], click ? 1u : 0u) << click;
    EXPECT_EQ(engine::g_advance_latch.bEnabled, 0u);
    tw().dwMode = 0;
    vm().runner.dwPointCount = 0;  // the unclicked wait stays parked
  }
}

TEST_F(WaitClickTest, ATimedWaitClickEndsOnInputOrAfterItsTime) {
  load("  call wait_click(2000)\n  mov r1, 1\n");
  update(0);
  EXPECT_EQ(tw().dwMode & (engine::kModeClickWait | engine::kModeTimedWait), 6u);
  EXPECT_TRUE(icon_shown());
  update(1000);  // the auto delay (500) is over, the minimum wait is not
  update(16);
  EXPECT_EQ(vm().reg[1], 0u);
  update(1000);
  update(16);
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_EQ(tw().dwWaitTime, 0u);

  load("  call wait_click(2000)\n  mov r1, 2\n");
  update(0);
  update(300, kClick);
  update(16);
  EXPECT_EQ(vm().reg[1], 2u);
}

}  // namespace
}  // namespace textwindowtest
