// Lines of dialogue on the text window: the eight commands as one table, the backlog bytes a
// line writes, read marks, the voice, text_a, text_h -2, text_cat and the scene skip's stop at
// unread text.
#include <cstring>
#include <memory>
#include <string>

#include "engine/neighbours.h"
#include "program/text/sound/fake_sound.h"
#include "program/text/window/text_window_fixture.h"
#include "text/lines/text_line.h"
#include "text/window/text_wait.h"

namespace textwindowtest {
namespace {

constexpr uint32_t kNone = 0x0FFFFFFF;
constexpr uint32_t kSlot = 0x10000000;

inline int g_snapshots = 0;
inline int g_reloads = 0;

class LineTest : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    saved_ = engine::neighbours;
    g_snapshots = 0;
    g_reloads = 0;
    engine::neighbours.interaction.save_snapshot_make = [](engine::VmContext&) { ++g_snapshots; };
    engine::neighbours.interaction.save_snapshot_reload = [](engine::VmContext&) { ++g_reloads; };
    sound_ = std::make_unique<soundtest::FakeSoundScope>(&sound);
    ASSERT_EQ(call(0x020000, {24, 0, 0, 480, 100, 0, 0, 0}), 1u);
    vm().runner.dwPc = 200;
    vm().dwCurrentPc = 188;
  }
  void TearDown() override {
    sound_.reset();
    engine::neighbours = saved_;
    TextWindowTest::TearDown();
  }
  uint32_t slot(uint32_t n, const std::string& text) {
    std::snprintf(vm().strings.slots[n], engine::kVarStringBytes, "%s", text.c_str());
    return kSlot | n;
  }
  // The Text.dat offset of an entry the script source added with ".text".
  uint32_t text_offset(const std::string& text) {
    const size_t at = files_.text.find(text);
    EXPECT_NE(at, std::string::npos);
    return static_cast<uint32_t>(at - 4);
  }
  const engine::HistoryEntry& entry(int i) { return vm().history.entries[i]; }

  soundtest::FakeSound sound;

 private:
  engine::Neighbours saved_;
  std::unique_ptr<soundtest::FakeSoundScope> sound_;
};

TEST_F(LineTest, TheEightCommandsAsOneTable) {
  struct Case {
    uint32_t id;
    const char* log;
    uint32_t mode;
    bool timed;
    bool snapshot;
    bool backlog;
    bool save_text;
    bool parks;
    uint32_t latch;
  } cases[] = {
      {0x020002, "text  A", 0x10001, true, true, true, true, true, 0},
      {0x02000F, "text_w  A", 0x20001, true, true, true, true, false, 1},
      {0x020010, "text_a  A", 0x40001, false, true, true, true, true, 0},
      {0x020011, "text_wa  A", 0x60001, false, true, true, true, false, 1},
      {0x020012, "text_n  A", 0x80001, true, true, false, false, true, 1},
      {0x02003E, "text_h  A", 0x10001, true, true, false, false, true, 0},
      {0x02003F, "text_wh  A", 0x20001, true, true, false, false, false, 1},
      {0x020013, "text_cat  ", 0x10001, true, false, false, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    std::memset(vm().save.szSaveText, 0, sizeof vm().save.szSaveText);
    engine::g_advance_latch.bEnabled = 7;
    const int snapshots = g_snapshots;
    const uint32_t count = vm().history.nEntryCount;
    const uint32_t points = vm().runner.dwPointCount;
    std::vector<uint32_t> args = {kNone, kNone, slot(0, "A")};
    if (c.timed) args.push_back(100);
    vm().runner.bYield = 0;
    ASSERT_EQ(call(c.id, args), 1u);
    EXPECT_EQ(vm().nArgCount, 0);
    EXPECT_EQ(tw().dwMode & 0xFFFF0000u, c.mode & 0xFFFF0000u);
    EXPECT_EQ(g_snapshots - snapshots, c.snapshot ? 1 : 0);
    EXPECT_EQ(vm().history.nEntryCount - count, c.backlog ? 1u : 0u);
    EXPECT_EQ(vm().history.bDisabled, 0u);
    EXPECT_EQ(std::string(vm().save.szSaveText), c.save_text ? "A" : "");
    EXPECT_EQ(vm().runner.dwPointCount - points, c.parks ? 1u : 0u);
    EXPECT_EQ(engine::g_advance_latch.bEnabled, c.latch);
    EXPECT_EQ(vm().runner.bYield, 1u);
    EXPECT_TRUE(logged(10, c.log));
    if (c.snapshot) {
      EXPECT_EQ(vm().save.dwResumePc, 188u);
    }
  }
  // Before text_init every line command refuses.
  textwindow::text_window_free(vm());
  EXPECT_EQ(call(0x020002, {kNone, kNone, slot(0, "A"), 0}), 0u);
  EXPECT_TRUE(logged(0, "text initialize error : text"));
}

TEST_F(LineTest, PageModeAppendsTheLinesThatBelongOnThePage) {
  tw().dwTextMode = 1;
  tw().nPageHeight = 10000;
  const struct {
    uint32_t id;
    int32_t time;
    bool appended;
  } cases[] = {{0x020002, 0, true}, {0x02000F, 0, true},   {0x020012, 0, false},
               {0x02003E, 0, true}, {0x02003E, -2, false}, {0x02003F, 0, true},
               {0x020013, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    std::memset(tw().szPage, 0, sizeof tw().szPage);
    call(c.id, {kNone, kNone, slot(0, "paged"), static_cast<uint32_t>(c.time)});
    EXPECT_EQ(std::string(tw().szPage).find("paged") != std::string::npos, c.appended);
  }
}

TEST_F(LineTest, BacklogBytesOfALine) {
  // No speaker: 0x00 0x81 and no name flag.
  call(0x020002, {kNone, kNone, slot(0, "plain"), 0});
  EXPECT_EQ(entry(0).name[0], 0);
  EXPECT_EQ(static_cast<uint8_t>(entry(0).name[1]), 0x81);
  EXPECT_EQ(tw().dwLineFlags & engine::kLineHasName, 0u);
  EXPECT_EQ(entry(0).scriptPoint, 188u);
  EXPECT_EQ(entry(0).historyNo, -1);
  // A speaker and a message of 400 bytes: the backlog keeps 383.
  call(0x020002, {kNone, slot(1, "\x88\xa2"), slot(0, std::string(400, 'x')), 0});
  EXPECT_STREQ(entry(0).name, "\x88\xa2");
  EXPECT_EQ(std::strlen(entry(0).text), 383u);
  EXPECT_EQ(std::strlen(tw().szMessage), 400u);
  EXPECT_NE(tw().dwLineFlags & engine::kLineHasName, 0u);
  EXPECT_EQ(vm().history.nEntryCount, 2u);
}

TEST_F(LineTest, SpeakerNamesColoursAndThePlayerName) {
  engine::NameColor& c = gs().settings.nameColors[3];
  c = {1, 0x112233, 0x445566, 2, "/n"};
  engine::NameColor& long_entry = gs().settings.nameColors[1];
  long_entry = {1, 0x778899, 0, 40, "/n"};  // a stored length beyond the name never matches
  std::snprintf(vm().playerName.szName, sizeof vm().playerName.szName, "Rin");
  const std::string name = textlines::speaker_name_resolve(vm(), tw(), slot(1, "/n"));
  EXPECT_EQ(name, "Rin");
  EXPECT_EQ(tw().dwColor, 0x112233u);
  EXPECT_EQ(textlines::speaker_name_resolve(vm(), tw(), slot(1, "")), "");
  EXPECT_EQ(textlines::speaker_name_resolve(vm(), tw(), kNone), "");
}

TEST_F(LineTest, TheReadFlagOnASecondShowing) {
  load(".text 3 \"seen\"\n  mov r1, 1\n");
  const uint32_t text = text_offset("seen");
  EXPECT_EQ(textlines::text_id_of(vm(), text), 3u);
  call(0x020002, {kNone, kNone, text, 0});
  EXPECT_EQ(tw().bRead, 0u);
  EXPECT_TRUE(engine::text_read_get(vm(), 3));
  call(0x020002, {kNone, kNone, text, 0});
  EXPECT_EQ(tw().bRead, 1u);
  // An id beyond the read bits counts as unread and is never written.
  textlines::text_mark_read(vm(), tw(), 1u << 30);
  EXPECT_EQ(tw().bRead, 0u);
  EXPECT_FALSE(engine::text_read_get(vm(), 1u << 30));
}

TEST_F(LineTest, AVoicedLineNamesItsVoiceInWindowAndBacklog) {
  sound.files = {"VO01_001.ogg"};
  vm().sound.defaultVoiceInfo = {1, 1, 100, ""};
  call(0x020002, {slot(2, "vo01_001"), kNone, slot(0, "spoken"), 0});
  EXPECT_STREQ(tw().szVoice, "VO01_001");
  EXPECT_STREQ(entry(0).voice, "VO01_001");
  EXPECT_NE(tw().dwLineFlags & engine::kLineHasVoice, 0u);
  EXPECT_NE(vm().sound.voice[0].sound, 0u);
  EXPECT_TRUE(logged(10, "text : voice VO01_001"));
  // A line without voice, voice cut on: the voice before stops.
  vm().sound.bVoiceCut = 1;
  call(0x020002, {kNone, kNone, slot(0, "quiet"), 0});
  EXPECT_EQ(vm().sound.voice[0].sound, 0u);
  EXPECT_EQ(tw().szVoice[0], 0);
  EXPECT_EQ(entry(0).voice[0], 0);
}

TEST_F(LineTest, AVoiceCallRunsInsideTheLineThatStartsItsVoice) {
  sound.files = {"VO01_001.ogg"};
  vm().sound.defaultVoiceInfo = {1, 1, 100, ""};
  load(
      "  call voice_call(2, file\"vo01\", @on_begin, 0)\n"
      "  call text(file\"vo01_001\", 0x0FFFFFFF, text\"spoken\", 0)\n"
      "  mov r1, 1\n"
      "on_begin:\n"
      "  add r2, 1\n"
      "  ret\n");
  run();
  EXPECT_EQ(vm().reg[2], 1u);  // the start label ran within the text command
  EXPECT_EQ(vm().reg[1], 0u);  // and the line holds the script
  EXPECT_EQ(vm().sound.voiceCalls[2].armed, 1u);
  EXPECT_STREQ(tw().szVoice, "VO01_001");
}

TEST_F(LineTest, TextAKeepsTheTimeAndTextHMinusTwoEndsWithoutAClick) {
  call(0x020002, {kNone, kNone, slot(0, "first"), 5000});
  call(0x020010, {kNone, kNone, slot(0, "second")});
  EXPECT_EQ(tw().nTime, 5000);
  EXPECT_EQ(tw().dwMode, 0x40001u);
  call(0x02003E, {kNone, kNone, slot(0, "whole"), static_cast<uint32_t>(-2)});
  EXPECT_EQ(tw().dwMode, 0x40009u);
  EXPECT_EQ(tw().nTime, -1);
  EXPECT_EQ(tw().nTotalTime, -1);
  // The next update shows it whole and lets the script go on.
  const uint32_t points = vm().runner.dwPointCount;
  textwindow::text_update(vm());
  EXPECT_EQ(tw().dwMode, 0u);
  EXPECT_EQ(vm().runner.dwPointCount + 1, points);
}

TEST_F(LineTest, TextNAfterHistoryOffIsNotRecordedAndTurnsHistoryOn) {
  vm().history.bDisabled = 1;
  call(0x020012, {kNone, kNone, slot(0, "aside"), 0});
  EXPECT_EQ(vm().history.nEntryCount, 0u);
  EXPECT_EQ(vm().history.bDisabled, 0u);
}

TEST_F(LineTest, TextCatContinuesTheLine) {
  call(0x020002, {kNone, kNone, slot(0, "ab"), 0});
  const int32_t first = tw().nRenderedLength;
  const uint32_t glyphs = tw().reveal.lineRects.nCount;
  ASSERT_GT(glyphs, 0u);
  const int32_t end_x = tw().nEndX;
  call(0x020013, {kNone, kNone, slot(0, "cd"), 0});
  EXPECT_STREQ(tw().szMessage, "abcd");
  EXPECT_EQ(tw().reveal.keptRects.nCount, glyphs);  // the first part stays revealed
  EXPECT_GT(tw().nRenderedLength, first);
  EXPECT_GT(tw().nEndX, end_x);
  EXPECT_EQ(tw().dwRevealOffset, 0u);  // time 0: no resumed offset
  // With a time the line wipe resumes where the old text ended.
  const int32_t before = tw().nRenderedLength;
  call(0x020013, {kNone, kNone, slot(0, "ef"), 1000});
  EXPECT_EQ(tw().dwRevealOffset,
            static_cast<uint32_t>(static_cast<float>(before) /
                                  static_cast<float>(tw().nRenderedLength) * 1000.0f));
  // The message field stops at 4,095 bytes, on a character.
  std::memset(tw().szMessage, 'm', 4094);
  tw().szMessage[4094] = 0;
  call(0x020013, {kNone, kNone, slot(0, "\x88\xa2z"), 0});
  EXPECT_EQ(std::strlen(tw().szMessage), 4094u);
  call(0x020013, {kNone, kNone, slot(0, "z\x88\xa2"), 0});
  EXPECT_EQ(std::strlen(tw().szMessage), 4095u);
}

TEST_F(LineTest, SceneSkipStopsAtUnreadTextAndPutsTheOperandsBack) {
  load(".text 4 \"new\"\n.text 5 \"old\"\n  mov r1, 1\n");
  engine::text_read_set(vm(), 5);
  vm().run.bSceneSkip = 1;
  vm().run.dwSceneSkipArg = 0;
  // Read text: the skip goes on.
  call(0x020002, {kNone, kNone, text_offset("old"), 300});
  EXPECT_EQ(vm().run.bSceneSkip, 1u);
  EXPECT_EQ(g_reloads, 0);
  const int snapshots = g_snapshots;
  const uint32_t text = text_offset("new");
  ASSERT_EQ(call(0x020002, {7, kNone, text, 300}), 1u);
  EXPECT_EQ(vm().run.bSceneSkip, 0u);
  EXPECT_EQ(g_reloads, 1);
  EXPECT_EQ(g_snapshots - snapshots, 2);  // the line's own and the one the reload reads
  EXPECT_TRUE(logged(10, "cancel scene skip text"));
  // The operands are back, in the order the command pops them.
  ASSERT_EQ(vm().nArgCount, 4);
  EXPECT_EQ(engine::vm_pop(vm()), 7u);
  EXPECT_EQ(engine::vm_pop(vm()), kNone);
  EXPECT_EQ(engine::vm_pop(vm()), text);
  EXPECT_EQ(engine::vm_pop(vm()), 300u);
  EXPECT_FALSE(engine::text_read_get(vm(), 4));  // not drawn, not marked
}

}  // namespace
}  // namespace textwindowtest
