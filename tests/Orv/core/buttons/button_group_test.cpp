// Button groups on real sprites of the software renderer, with the frame's input sampled from
// injected window state and the sounds played by the mixer, which the test pulls itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/core/buttons/button_group.h"
#include "Orv/core/handle_table.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "support/render_fixture.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

using rendertest::RenderTest;

class ButtonGroups : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    ASSERT_TRUE(sound_system_start(SoundStartOptions{false, false}));
    orv_process().input.reset();
    OrvButtonMode(0);
  }
  void TearDown() override {
    for (OrvHandle g : groups_) OrvButtonRelease(g);
    OrvButtonMode(0);
    orv_process().input.reset();
    sound_system_destroy();
    RenderTest::TearDown();
  }

  // A silent stereo WAV of the given frames (44,100 a second) in the test folder.
  std::string wav(const std::string& name, uint32_t frames) {
    testsupport::WavLayout layout;
    layout.samples.assign(size_t(frames) * 4, '\0');
    const std::string path = dir_ / name;
    testsupport::write_file(path, testsupport::make_wav(layout));
    return path;
  }
  // A group whose click sound lasts 10 ms and whose hover sound lasts a second.
  OrvHandle group_with_sounds() {
    const OrvHandle g =
        OrvButtonCreate(wav("hover.wav", 44100).c_str(), wav("click.wav", 441).c_str());
    groups_.push_back(g);
    return g;
  }
  OrvHandle silent_group() {
    const OrvHandle g = OrvButtonCreateEx(0, 0);
    groups_.push_back(g);
    return g;
  }
  // A 10 x 30 button of three 10 x 10 cells at (x, y).
  OrvHandle button(float x, float y, int32_t priority) {
    OrvHandle s = solid(10, 30, 0xFF00FF00u, x, y, priority);
    OrvSpriteSetOffsetRect(s, 10, 10);
    OrvSpriteRectSetPos(s, 0, 0);
    return s;
  }
  int32_t row(OrvHandle sprite) {
    OrvRect r{};
    OrvSpriteGetRect(sprite, &r);
    return r.top / 10;
  }

  // One frame of input: the keys held and the cursor (the client shows the screen 1:1).
  void input(uint32_t held, int32_t x, int32_t y) {
    InputState& in = orv_process().input;
    in.keys_down = held;
    in.cursor_x = x;
    in.cursor_y = y;
    InputFrame f;
    f.client_width = f.screen_width = kW;
    f.client_height = f.screen_height = kH;
    f.frame_time = now_ += 16;
    input_update(in, f);
  }
  OrvHandle react(OrvHandle g, OrvButtonReaction* out = nullptr) {
    return OrvButtonGetReaction(g, out);
  }
  // Plays the mixer on for ms milliseconds.
  void play_ms(uint32_t ms) {
    std::vector<int16_t> out(size_t(441) * 2);
    for (uint32_t i = 0; i < ms / 10; ++i) sound_mixer()->mix(out.data(), 441);
  }
  int hover_sounds_playing(OrvHandle g) {
    const OrvButtonGroup* group = orv_handles().get_as<OrvButtonGroup>(g, HandleKind::kButton);
    int n = 0;
    for (OrvSoundHandle h : group->hover_sounds) n += OrvSoundPlayIs(h);
    return n;
  }
  OrvSoundHandle click_sound(OrvHandle g) {
    return orv_handles().get_as<OrvButtonGroup>(g, HandleKind::kButton)->click_sound;
  }

  testsupport::TempDir dir_;
  std::vector<OrvHandle> groups_;
  uint32_t now_ = 0;
};

TEST_F(ButtonGroups, HitTestTakesPriorityThenInsertionOrder) {
  struct Case {
    const char* what;
    int32_t priority_a, priority_b;
    bool enabled_a, enabled_b;
    int32_t x, y;
    char expect;  // 'a', 'b' or '-'
  } cases[] = {
      {"smaller priority wins", 5, 10, true, true, 5, 5, 'a'},
      {"smaller priority wins the other way", 10, 5, true, true, 5, 5, 'b'},
      {"equal priority: the later entry", 7, 7, true, true, 5, 5, 'b'},
      {"a disabled button on top hides the one below", 5, 10, false, true, 5, 5, '-'},
      {"a disabled button below is passed", 10, 5, false, true, 5, 5, 'b'},
      {"only A under the point", 7, 7, true, true, 1, 1, 'a'},
      {"nothing under the point", 7, 7, true, true, 40, 40, '-'},
      {"a negative point", 7, 7, true, true, -1, 5, '-'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const OrvHandle g = silent_group();
    const OrvHandle a = button(0, 0, c.priority_a), b = button(3, 3, c.priority_b);
    ASSERT_TRUE(OrvButtonEntry(g, a));
    ASSERT_TRUE(OrvButtonEntry(g, b));
    OrvButtonCtrl(g, a, c.enabled_a);
    OrvButtonCtrl(g, b, c.enabled_b);
    const OrvHandle want = c.expect == 'a' ? a : c.expect == 'b' ? b : 0;
    EXPECT_EQ(OrvButtonGetHitSprite(g, c.x, c.y), want);
    EXPECT_EQ(OrvButtonHitTest(g, c.x, c.y), want ? 1 : 0);
    OrvSpriteRelease(list, a);
    OrvSpriteRelease(list, b);
  }
}

TEST_F(ButtonGroups, MovingFromAToBPlaysOneHoverSound) {
  const OrvHandle g = group_with_sounds();
  const OrvHandle a = button(0, 0, 5), b = button(20, 0, 5);
  OrvButtonEntry(g, a);
  OrvButtonEntry(g, b);
  struct Step {
    int32_t x;
    int hover_sounds;
    int32_t row_a, row_b;
  } steps[] = {
      {40, 0, 0, 0},  // nowhere
      {5, 1, 1, 0},   // on A: its hover cell and a sound
      {5, 1, 1, 0},   // staying: no further sound
      {25, 2, 0, 1},  // on B: a second, overlapping sound; A back to normal
      {25, 2, 0, 1}, {40, 2, 0, 0},
  };
  for (const Step& s : steps) {
    input(0, s.x, 5);
    OrvButtonReaction r{};
    EXPECT_EQ(react(g, &r), 0u);
    EXPECT_EQ(hover_sounds_playing(g), s.hover_sounds) << "x " << s.x;
    EXPECT_EQ(row(a), s.row_a) << "x " << s.x;
    EXPECT_EQ(row(b), s.row_b) << "x " << s.x;
  }
}

TEST_F(ButtonGroups, ClickShowsPressedCellAtOnceAndReportsOnceAfterItsSound) {
  const OrvHandle g = group_with_sounds();
  const OrvHandle a = button(0, 0, 5);
  OrvButtonEntry(g, a);
  input(0, 5, 5);
  react(g);
  input(kKeyMouseL, 5, 5);  // the push
  OrvButtonReaction r{};
  EXPECT_EQ(react(g, &r), 0u);
  EXPECT_EQ(row(a), 2);
  EXPECT_EQ(r.pending, a);
  EXPECT_EQ(OrvButtonIsProcessing(g), 1);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 1);
  // While the click sound plays nothing is decided, whatever the input.
  for (int i = 0; i < 3; ++i) {
    input(i == 1 ? kKeyMouseL : 0, 30, 30);
    EXPECT_EQ(react(g, &r), 0u);
    EXPECT_EQ(r.pending, a);
  }
  play_ms(20);
  input(0, 5, 5);
  EXPECT_EQ(react(g, &r), a);
  EXPECT_EQ(r.decided, a);
  EXPECT_EQ(r.pending, 0u);
  EXPECT_EQ(OrvButtonIsProcessing(g), 0);
  input(0, 5, 5);
  EXPECT_EQ(react(g, &r), 0u);  // once only
  EXPECT_EQ(r.hovered, a);
}

TEST_F(ButtonGroups, EntryFlagsDecideWhatClicks) {
  struct Case {
    const char* what;
    uint32_t flags;
    uint32_t second_frame_keys;  // held on the frame after a first push frame
    uint32_t repeat_after_ms;
    bool clicks;
    int32_t row_after;
  } cases[] = {
      {"push clicks with flag 1", kOrvButtonClickOnPush, 0, 0, true, 2},
      {"no click flag: hover only", 0, 0, 0, false, 1},
      {"repeat flag: a push clicks too", kOrvButtonClickOnRepeat, 0, 0, true, 2},
      {"keep cells: clicked but the cell stays", kOrvButtonClickOnPush | kOrvButtonKeepCells, 0, 0,
       true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const OrvHandle g = silent_group();
    const OrvHandle a = button(0, 0, 5);
    OrvButtonEntryEx(g, a, c.flags);
    input(0, 5, 5);
    react(g);
    input(kKeyMouseL, 5, 5);
    OrvButtonReaction r{};
    react(g, &r);
    EXPECT_EQ(r.pending, c.clicks ? a : 0u);
    EXPECT_EQ(row(a), c.row_after);
    input(0, 5, 5);
    EXPECT_EQ(react(g), c.clicks ? a : 0u);  // no sound: decided on the next call
    OrvSpriteRelease(list, a);
    input(0, 40, 40);
  }
}

TEST_F(ButtonGroups, RepeatFlagClicksOnHeldRepeat) {
  const OrvHandle g = silent_group();
  const OrvHandle a = button(0, 0, 5);
  OrvButtonEntryEx(g, a, kOrvButtonClickOnRepeat);
  input(kKeyMouseL, 40, 40);  // the push happens elsewhere
  react(g);
  OrvButtonReaction r{};
  for (int i = 0; i < 40 && !r.pending; ++i) {  // held on A until the repeat starts
    input(kKeyMouseL, 5, 5);
    react(g, &r);
  }
  EXPECT_EQ(r.pending, a);
  EXPECT_NE(orv_process().input.repeat & kKeyMouseL, 0u);
}

TEST_F(ButtonGroups, ButtonModePressOnAReleaseOnBClicksB) {
  for (bool b_first : {false, true}) {
    SCOPED_TRACE(b_first ? "B entered first" : "A entered first");
    const OrvHandle g = silent_group();
    const OrvHandle a = button(0, 0, 5), b = button(20, 0, 5);
    OrvButtonEntry(g, b_first ? b : a);
    OrvButtonEntry(g, b_first ? a : b);
    OrvButtonMode(1);
    OrvButtonReaction r{};
    input(kKeyMouseL, 5, 5);  // the push frame: "on" counts from the next frame
    react(g, &r);
    input(kKeyMouseL, 5, 5);  // held on A: pressed cell, no click yet
    react(g, &r);
    EXPECT_EQ(row(a), 2);
    EXPECT_EQ(r.pending, 0u);
    input(kKeyMouseL, 25, 5);  // still held, over B
    react(g, &r);
    EXPECT_EQ(row(b), 2);
    EXPECT_EQ(r.pending, 0u);
    input(0, 25, 5);  // released over B
    react(g, &r);
    EXPECT_EQ(r.pending, b);
    input(0, 25, 5);
    EXPECT_EQ(react(g), b);
    OrvButtonMode(0);
    OrvSpriteRelease(list, a);
    OrvSpriteRelease(list, b);
  }
}

TEST_F(ButtonGroups, ButtonModeReleaseAwayFromTheButtonClicksNothing) {
  const OrvHandle g = silent_group();
  const OrvHandle a = button(0, 0, 5);
  OrvButtonEntry(g, a);
  OrvButtonMode(1);
  OrvButtonReaction r{};
  input(kKeyMouseL, 5, 5);
  react(g, &r);
  input(kKeyMouseL, 40, 40);
  react(g, &r);
  input(0, 40, 40);
  react(g, &r);
  input(0, 5, 5);  // back over A without the button: a hover
  react(g, &r);
  EXPECT_EQ(r.pending, 0u);
  EXPECT_EQ(r.hovered, a);
  EXPECT_EQ(row(a), 1);
}

TEST_F(ButtonGroups, SetReactionStartsTheClickSoundAtTheNextCallAndNotWhilePending) {
  const OrvHandle g = group_with_sounds();
  const OrvHandle a = button(0, 0, 5), b = button(20, 0, 5);
  OrvButtonEntry(g, a);
  OrvButtonEntry(g, b);
  EXPECT_EQ(OrvButtonSetReaction(g, a), 0);
  EXPECT_EQ(OrvButtonIsProcessing(g), 1);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 0);
  OrvButtonSetReaction(g, b);  // a click is pending: nothing changes
  input(0, 40, 40);
  OrvButtonReaction r{};
  EXPECT_EQ(react(g, &r), 0u);
  EXPECT_EQ(r.pending, a);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 1);
  play_ms(20);
  input(0, 40, 40);
  EXPECT_EQ(react(g), a);
}

TEST_F(ButtonGroups, PendingSpriteWithoutEntryCountsAsNoFlags) {
  const OrvHandle g = group_with_sounds();
  const OrvHandle a = button(0, 0, 5), stray = button(20, 0, 5);
  OrvButtonEntryEx(g, a, kOrvButtonClickOnPush | kOrvButtonSilent);
  OrvButtonSetReaction(g, stray);  // never entered
  input(0, 40, 40);
  react(g);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 1);
  play_ms(20);
  input(0, 40, 40);
  EXPECT_EQ(react(g), stray);
  // A silent entry deleted while its forced click waits: played as without flags.
  OrvButtonSetReaction(g, a);
  OrvButtonDelete(g, a);
  input(0, 40, 40);
  react(g);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 1);
}

TEST_F(ButtonGroups, SilentEntryPlaysNoSoundsButStillClicks) {
  const OrvHandle g = group_with_sounds();
  const OrvHandle a = button(0, 0, 5);
  OrvButtonEntryEx(g, a, kOrvButtonClickOnPush | kOrvButtonSilent);
  input(0, 5, 5);
  react(g);
  EXPECT_EQ(hover_sounds_playing(g), 0);
  input(kKeyMouseL, 5, 5);
  OrvButtonReaction r{};
  react(g, &r);
  EXPECT_EQ(r.pending, a);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 0);
  input(0, 5, 5);
  EXPECT_EQ(react(g), a);
}

TEST_F(ButtonGroups, ExplicitPointIgnoresFlagsModeAndNegativeBounds) {
  const OrvHandle g = group_with_sounds();
  const OrvHandle a = button(-5, -5, 5);
  OrvButtonEntryEx(g, a, kOrvButtonSilent);  // no click flag, silent: both ignored here
  OrvButtonMode(1);
  OrvButtonReaction r{};
  EXPECT_EQ(OrvButtonGetReactionEx(g, -2, -2, 0, &r), 0u);
  EXPECT_EQ(r.hovered, a);
  EXPECT_EQ(row(a), 1);
  EXPECT_EQ(hover_sounds_playing(g), 1);
  EXPECT_EQ(OrvButtonGetReactionEx(g, -2, -2, 1, &r), 0u);
  EXPECT_EQ(r.pending, a);
  EXPECT_EQ(row(a), 2);
  EXPECT_EQ(OrvSoundPlayIs(click_sound(g)), 1);
  play_ms(20);
  EXPECT_EQ(OrvButtonGetReactionEx(g, 30, 30, 0, &r), a);
  EXPECT_EQ(OrvButtonGetReactionEx(g, 30, 30, 0, &r), 0u);
  EXPECT_EQ(row(a), 0);
}

TEST_F(ButtonGroups, EntriesRowsResetAndNullGroups) {
  const OrvHandle g = silent_group();
  const OrvHandle a = button(0, 0, 5);
  EXPECT_EQ(OrvButtonGetPos(g, a), -1);
  OrvButtonEntry(g, a);
  EXPECT_EQ(OrvButtonGetCtrl(g, a), 1);
  EXPECT_TRUE(OrvButtonSetPos(g, a, 1));
  EXPECT_EQ(OrvButtonGetPos(g, a), 1);
  EXPECT_EQ(row(a), 1);
  input(0, 5, 5);
  react(g);
  EXPECT_EQ(row(a), 2);  // hover is base + 1
  input(kKeyMouseL, 5, 5);
  react(g);
  EXPECT_EQ(OrvButtonIsProcessing(g), 1);
  EXPECT_EQ(OrvButtonReset(g, a), 1);
  EXPECT_EQ(OrvButtonIsProcessing(g), 0);
  EXPECT_EQ(OrvButtonGetCtrl(g, a), 0);
  EXPECT_EQ(OrvButtonReset(g, 0), 0);
  EXPECT_TRUE(OrvButtonDelete(g, a));
  EXPECT_FALSE(OrvButtonDelete(g, a));
  EXPECT_FALSE(OrvButtonCtrl(g, a, 1));

  OrvButtonReaction r{1, 2, 3};
  EXPECT_EQ(OrvButtonGetReaction(0, &r), 0u);
  EXPECT_EQ(r.decided + r.hovered + r.pending, 0u);
  EXPECT_FALSE(OrvButtonEntry(0, a));
  EXPECT_FALSE(OrvButtonRelease(0));
  EXPECT_EQ(OrvButtonGetPos(0, a), -1);
  const OrvHandle gone = OrvButtonCreateEx(0, 0);
  EXPECT_TRUE(OrvButtonRelease(gone));
  EXPECT_FALSE(OrvButtonRelease(gone));  // a stale id finds nothing
}

TEST_F(ButtonGroups, HoverSoundPickTakesTheFirstFreeCopy) {
  const OrvHandle g = group_with_sounds();
  OrvButtonGroup* group = orv_handles().get_as<OrvButtonGroup>(g, HandleKind::kButton);
  for (OrvSoundHandle h : group->hover_sounds) EXPECT_NE(h, 0u);
  EXPECT_EQ(button_hover_sound_pick(*group), group->hover_sounds[0]);
  OrvSoundPlay(group->hover_sounds[0], 0);
  OrvSoundPlay(group->hover_sounds[1], 0);
  EXPECT_EQ(button_hover_sound_pick(*group), group->hover_sounds[2]);
  for (OrvSoundHandle h : group->hover_sounds) OrvSoundPlay(h, 0);
  EXPECT_EQ(button_hover_sound_pick(*group), group->hover_sounds[0]);
  // Releasing the group releases all six sounds.
  const int32_t free_before = OrvSoundGetChannelCount(5);
  OrvButtonRelease(g);
  groups_.clear();
  sound_pass();  // the releases are carried out by the sound thread's pass
  EXPECT_EQ(OrvSoundGetChannelCount(5), free_before + 6);
}

}  // namespace
