// The history window: where the page's lines go (positions worked out by hand from the fake
// font's 24-pixel lines), what fits, the hover and the voice replay, the face image names,
// and the commands that read and clear the backlog.
#include <cstring>
#include <memory>
#include <string>

#include "engine/neighbours.h"
#include "program/text/sound/fake_sound.h"
#include "program/text/window/ani_on_load.h"
#include "program/text/window/text_window_fixture.h"
#include "text/history/backlog_buttons.h"
#include "text/history/backlog_window.h"
#include "text/history/history_write.h"

namespace textwindowtest {
namespace {

constexpr uint32_t kInit = 0x020000;
constexpr uint32_t kHistoryInit = 0x0E0000, kBegin = 0x0E0001, kEnd = 0x0E0002, kSetPos = 0x0E0004,
                   kGetHeight = 0x0E0005, kUpdate = 0x0E0006, kGetMaxPos = 0x0E0008,
                   kGetPageCount = 0x0E0009, kSetRect = 0x0E000A, kClear = 0x0E000B,
                   kGetText = 0x0E0014, kGetHistNo = 0x0E0015;
constexpr uint32_t kSlot = 0x10000000;
constexpr uint32_t kLeftButton = 0x800000;

OrvHandle g_under = 0;

class BacklogTest : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    sound_ = std::make_unique<soundtest::FakeSoundScope>(&sounds);
    orv.OrvInputGetMouseX = [] { return int32_t{0}; };
    orv.OrvInputGetMouseY = [] { return int32_t{0}; };
    orv.OrvSpriteGetForeground = [](int32_t, int32_t, int32_t) { return g_under; };
    g_under = 0;
    // char size 24 in a 304 x 100 area, no ruby: a one-line text or name is 24 pixels high.
    ASSERT_EQ(call(kInit, {24, 10, 500, 304, 100, 5, 460, 0}), 1u);
    // name at (0, 0), text at (10, 30), mark at (300, 0), 8 pixels between lines.
    ASSERT_EQ(call(kHistoryInit, {0, 0, 10, 30, 300, 0, 8, 0x112233, 0x445566}), 1u);
  }
  void TearDown() override {
    backlog::history_end(vm());
    sound_.reset();
    TextWindowTest::TearDown();
  }

  engine::HistoryLog& log() { return vm().history; }
  void line(const char* name, const char* text, const char* voice) {
    engine::history_write_line(vm(), name, text, voice, false);
  }
  uint32_t result(uint32_t id, std::vector<uint32_t> args) {
    vm().dwResultReg = 0;
    vm().reg[0] = 0xDEAD;
    call(id, std::move(args));
    return vm().reg[0];
  }
  layerstest::FakeSprite* at(OrvHandle s) { return s ? fake().at(s) : nullptr; }

  soundtest::FakeSound sounds;

 private:
  std::unique_ptr<soundtest::FakeSoundScope> sound_;
};

TEST_F(BacklogTest, ThePageStacksLinesUpFromTheBottomAndEndsWhereALineNoLongerFits) {
  line("\x88\xa2", "oldest", "VO01_003");
  line("\x88\xa2", "middle", nullptr);
  line(nullptr, "newest", nullptr);  // no speaker
  call(kSetRect, {0, 0, 1280, 200});
  call(kBegin, {});
  EXPECT_EQ(log().bWindowOpen, 1u);
  EXPECT_EQ(result(kGetPageCount, {}), 3u);
  // Measured from the oldest: (24 + 24) + 8 + (24 + 24) + 8 + 24 = 136; nothing overflows.
  EXPECT_EQ(result(kGetHeight, {}), 136u);
  EXPECT_EQ(result(kGetMaxPos, {}), 0u);

  // Newest at the bottom: its text at y = 200 - 24, no name.
  layerstest::FakeSprite* t0 = at(log().hText[0]);
  ASSERT_NE(t0, nullptr);
  EXPECT_EQ(t0->x, 10);
  EXPECT_EQ(t0->y, 176);
  EXPECT_EQ(t0->visible, 1);
  EXPECT_EQ(at(log().hName[0])->visible, 0);
  // Then 8 pixels up, text and name: origin 168 - 48 = 120.
  EXPECT_EQ(at(log().hName[1])->y, 120);
  EXPECT_EQ(at(log().hName[1])->visible, 1);
  EXPECT_EQ(at(log().hText[1])->y, 150);
  EXPECT_EQ(at(log().hText[2])->y, 94);  // origin 112 - 48 = 64

  // A top at 100 leaves no room for the oldest line: it is released and the page holds two.
  const OrvHandle oldest = log().hText[2];
  call(kEnd, {});
  EXPECT_EQ(at(oldest), nullptr);
  call(kSetRect, {0, 100, 1280, 200});
  call(kBegin, {});
  EXPECT_EQ(result(kGetPageCount, {}), 2u);
  EXPECT_EQ(log().hText[2], 0u);
  EXPECT_EQ(result(kGetMaxPos, {}), 2u);  // 100 + 48 + 8 + 48 reaches 200 at entry 1
  EXPECT_EQ(result(kGetHeight, {}), 100u);

  // Scrolled to start 1, the middle line is at the bottom; past the count nothing is laid out.
  call(kSetPos, {1});
  EXPECT_EQ(log().nPos, 1);
  EXPECT_EQ(at(log().hText[0])->y, 200 - 48 + 30);
  call(kSetPos, {4});
  EXPECT_EQ(log().nPos, 1);
  EXPECT_EQ(result(kGetPageCount, {}), 0u);
  EXPECT_EQ(log().hText[0], 0u);
}

TEST_F(BacklogTest, AClickOnAVoicedLineReplaysItsVoiceAndHoverShowsTheBox) {
  sounds.files = {"VO01_003.ogg"};
  line("\x88\xa2", "voiced", "VO01_003");
  line(nullptr, "plain", nullptr);
  call(kSetRect, {0, 0, 1280, 200});
  call(kBegin, {});
  int resumed = 0;
  static int* s_resumed = nullptr;
  s_resumed = &resumed;
  engine::neighbours.text.bgv_voice_resume = [](engine::VmContext&) { ++*s_resumed; };

  // Over the plain line: normal colours, no box, no voice.
  g_under = log().hText[0];
  input.push = kLeftButton;
  call(kUpdate, {});
  EXPECT_EQ(at(log().hText[0])->color, 0xFF112233u);
  EXPECT_EQ(at(log().hHighlight)->visible, 0);
  EXPECT_TRUE(sounds.with("Load").empty());

  // Over the voiced line: hover colours on text and name, the box shown, the voice replayed.
  g_under = log().hText[1];
  call(kUpdate, {});
  EXPECT_EQ(at(log().hText[1])->color, 0xFF445566u);
  EXPECT_EQ(at(log().hName[1])->color, 0xFF445566u);
  EXPECT_EQ(at(log().hHighlight)->visible, 1);
  EXPECT_EQ(resumed, 1);
  EXPECT_FALSE(sounds.with("Load VO01_003").empty());
  engine::neighbours.text.bgv_voice_resume = nullptr;
}

TEST_F(BacklogTest, FaceImagesComeFromTheVoiceName) {
  const struct {
    const char* voice;
    const char* face;
  } cases[] = {
      {"VO12_001", "IC12"}, {"vo12_001", "IC12"}, {"VOA1_001", "IC99"}, {"XO12_001", ""}, {"", ""},
      {"VO", "IC99"}};
  for (const auto& c : cases) EXPECT_EQ(backlog::face_image_name(c.voice), c.face) << c.voice;
}

// A history button's picture runs its .ani program from the moment it is made.
TEST_F(BacklogTest, AButtonStartsItsAniProgram) {
  AniOnLoad glow(vm(), "FACE");
  fake().files = {{"FACE.png", {64, 64}}};
  orv.OrvButtonEntryEx = [](OrvHandle, OrvHandle, uint32_t) { return OrvBool{1}; };
  orv.OrvButtonDelete = [](OrvHandle, OrvHandle) { return OrvBool{1}; };
  vm().buttons.groups[3].bInit = 1;
  const layers::ImageRecord* image = backlog::history_button_create(vm(), 3, 0, "FACE", 0, 0, 0, 0);
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->dwAnimeNo, 0u);
  EXPECT_EQ(animations::AdvAnimGetStatus(image->dwAnimeNo), animations::kAnimWaiting);
  backlog::history_button_delete(vm(), 3, 0);
  layers::display_ops_commit(vm());
  vm().buttons.groups[3] = engine::ButtonGroup{};
}

TEST_F(BacklogTest, GetTextHistNoInitAndClear) {
  log().bSnapshotsOn = 1;
  vm().sysMem[509] = 7;
  vm().dwCurrentPc = 0x640;
  line("\x88\xa2", "text", "VO01");
  std::strcpy(vm().strings.slots[0], "old");
  EXPECT_EQ(result(kGetText, {0, kSlot | 0, kSlot | 1, kSlot | 2}), 0x640u);
  EXPECT_STREQ(vm().strings.slots[0], "\x88\xa2");
  EXPECT_STREQ(vm().strings.slots[1], "VO01");
  EXPECT_STREQ(vm().strings.slots[2], "text");
  EXPECT_EQ(result(kGetHistNo, {0}), 7u);
  // A variable that is no string slot refuses; an index past the table is refused too.
  EXPECT_EQ(result(kGetText, {0, 5, kSlot | 1, kSlot | 2}), 0u);
  EXPECT_EQ(result(kGetText, {128, kSlot | 0, kSlot | 1, kSlot | 2}), 0u);
  EXPECT_EQ(result(kGetHistNo, {200}), 0xFFFFFFFFu);

  // history_init blanks the entries and keeps the count; history_clear empties all.
  call(kHistoryInit, {0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(log().nEntryCount, 1u);
  EXPECT_STREQ(log().entries[0].text, "");
  log().bDisabled = 1;
  call(kClear, {});
  EXPECT_EQ(log().nEntryCount, 0u);
  EXPECT_EQ(log().bDisabled, 0u);
}

}  // namespace
}  // namespace textwindowtest
