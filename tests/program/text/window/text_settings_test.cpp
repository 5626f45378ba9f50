// The text settings commands: stored values and their limits, read marks, backlog lines written
// by the script, page mode, the current line into string slots, and the sample text of the
// time check run on a recording task tree.
#include <cstdlib>
#include <cstring>

#include "engine/game_state.h"
#include "program/text/window/text_window_fixture.h"
#include "shared/byte_codec.h"
#include "text/history/history_write.h"

namespace textwindowtest {
namespace {

constexpr uint32_t kInit = 0x020000, kHide = 0x020003, kShow = 0x020004, kSetBtn = 0x020005,
                   kSetTime = 0x020009, kGetTime = 0x02000A, kSetHistory = 0x020014,
                   kSetColor = 0x02001C, kRedraw = 0x02001D, kSetTextMode = 0x02001E,
                   kEnableHistory = 0x020022, kGetCurrent = 0x020023, kSetPaintColor = 0x020031,
                   kSetLineInterval = 0x020032, kSetHistoryEx = 0x020034, kIsRead = 0x020035,
                   kSetRead = 0x020036, kSetExternal = 0x020037, kSetPitch = 0x02003C,
                   kInitEx = 0x020043;
constexpr uint32_t kTimeCheckCreate = 0x020019, kTimeCheckRelease = 0x02001A,
                   kTimeCheckClear = 0x02001B;
constexpr uint32_t kSlot = 0x10000000;
constexpr uint32_t kNone = 0x0FFFFFFF;

class SettingsTest : public TextWindowTest {
 protected:
  uint32_t result(uint32_t id, std::vector<uint32_t> args, uint32_t* verdict = nullptr) {
    vm().dwResultReg = 0;
    vm().reg[0] = 0xDEAD;
    const uint32_t v = call(id, std::move(args));
    if (verdict) *verdict = v;
    return vm().reg[0];
  }
  void init() { ASSERT_EQ(call(kInit, {24, 10, 500, 304, 100, 5, 460, 0}), 1u); }
  uint32_t slot(uint32_t n, const char* text) {
    std::strcpy(vm().strings.slots[n], text);
    return kSlot | n;
  }
};

TEST_F(SettingsTest, MessageSpeedIsHeldTo100AndReadMarksAnswerWithTheirBit) {
  const struct {
    uint32_t given, kept;
  } speeds[] = {{40, 40}, {100, 100}, {250, 100}, {0xFFFFFFFFu, 100}};
  for (const auto& s : speeds) {
    call(kSetTime, {s.given});
    EXPECT_EQ(result(kGetTime, {}), s.kept) << s.given;
  }

  // Text.dat laid out by hand: the header, then an entry whose read id is 10.
  auto* text = static_cast<uint8_t*>(orv.OrvMemoryAlloc(32, 1));
  codec::store_u32(text + 16, 10);
  std::memcpy(text + 20, "abc", 4);
  vm().files.pTextDat = text;
  vm().files.dwTextDatSize = 32;
  vm().seen.lpTextRead = static_cast<uint8_t*>(orv.OrvMemoryAlloc(8, 1));
  vm().seen.dwTextReadBytes = 8;
  EXPECT_EQ(result(kIsRead, {16}), 0u);
  call(kSetRead, {16});
  EXPECT_EQ(result(kIsRead, {16}), 4u);  // bit 10 is bit 2 of its byte
  EXPECT_EQ(vm().seen.lpTextRead[1], 4u);
}

TEST_F(SettingsTest, InitExRoundsTheWidthAndSwappedSettingsAnswerWithTheOldValue) {
  init();
  call(kInitEx, {20, 301, 80, 6});
  EXPECT_EQ(tw().nWidth, 304);
  EXPECT_EQ(tw().nCharSize, 20);
  EXPECT_EQ(input.size, 20);
  call(kInitEx, {20, 300, 80, 6});
  EXPECT_EQ(tw().nWidth, 300);
  EXPECT_EQ(call(kInitEx, {20, u(-4), 80, 6}), 0u);
  EXPECT_EQ(tw().nWidth, 300);

  EXPECT_EQ(result(kSetPaintColor, {0x80FF0000}), 0u);
  EXPECT_EQ(result(kSetPaintColor, {0}), 0x80FF0000u);
  EXPECT_EQ(result(kSetPitch, {3}), 0u);
  EXPECT_EQ(result(kSetPitch, {0}), 3u);
  EXPECT_EQ(result(kSetExternal, {1}), 0u);
  EXPECT_EQ(tw().bExternal, 1u);
  // The line interval answers with the old interval and moves the window's line pitch:
  // char size 20 + interval 4 + ruby band 6 + 1.
  EXPECT_EQ(result(kSetLineInterval, {4, 2, 1}), 0u);
  EXPECT_EQ(tw().reveal.nBaseLinePitch, 31);
  EXPECT_EQ(result(kSetLineInterval, {0, 0, 0}), 4u);
}

TEST_F(SettingsTest, SetHistoryWritesALineThatRedrawLeavesRecording) {
  init();
  vm().dwCurrentPc = 0x300;
  vm().save.dwResumePc = 0x2F4;
  vm().history.bSnapshotsOn = 1;
  vm().sysMem[509] = 4;
  call(kSetHistory, {slot(0, "VO02_010"), slot(1, "\x88\xa2"), slot(2, "said<br>so")});
  const engine::HistoryEntry& e = vm().history.entries[0];
  EXPECT_EQ(vm().history.nEntryCount, 1u);
  EXPECT_STREQ(e.name, "\x88\xa2");
  EXPECT_STREQ(e.text, "said<br>so");
  EXPECT_STREQ(e.voice, "VO02_010");
  EXPECT_EQ(e.scriptPoint, 0x300u);
  EXPECT_EQ(e.historyNo, 4);
  EXPECT_STREQ(tw().szVoice, "VO02_010");
  EXPECT_STREQ(vm().save.szSaveText, "said<br>so");

  call(kSetHistoryEx, {kNone, kNone, slot(2, "aside")});
  EXPECT_EQ(vm().history.entries[0].scriptPoint, 0x2F4u);
  EXPECT_EQ(vm().history.entries[0].name[1], static_cast<char>(0x81));  // no speaker
  EXPECT_EQ(vm().history.nEntryCount, 2u);

  // enable_history(0) stops the lines; a redraw leaves recording on again.
  call(kEnableHistory, {0});
  call(kSetHistory, {kNone, kNone, slot(2, "lost")});
  EXPECT_EQ(vm().history.nEntryCount, 2u);
  call(kRedraw, {});
  EXPECT_EQ(vm().history.bDisabled, 0u);
}

TEST_F(SettingsTest, NameColoursPageModeAndTheCurrentLine) {
  uint32_t verdict = 1;
  result(kSetColor, {16, slot(0, "a"), 1, 2}, &verdict);
  EXPECT_EQ(verdict, 0u);
  EXPECT_TRUE(logged(0, "over : text_set_color 16"));
  call(kSetColor, {3, slot(0, "\x88\xa2"), 0xFF0000, 0x00FF00});
  const engine::NameColor& c = gs().settings.nameColors[3];
  EXPECT_EQ(c.bUsed, 1u);
  EXPECT_EQ(c.dwNameLength, 2u);
  EXPECT_STREQ(c.szName, "\x88\xa2");
  // A name longer than the field keeps its whole length, so it never matches a shorter one.
  call(kSetColor, {4, slot(0, std::string(40, 'n').c_str()), 1, 2});
  EXPECT_EQ(gs().settings.nameColors[4].dwNameLength, 40u);
  EXPECT_EQ(std::strlen(gs().settings.nameColors[4].szName), 31u);

  // Before init: hide does nothing and succeeds, show refuses.
  EXPECT_EQ(call(kHide, {0}), 1u);
  EXPECT_EQ(call(kShow, {0}), 0u);
  init();
  EXPECT_EQ(call(kSetBtn, {16}), 0u);
  EXPECT_EQ(call(kSetBtn, {3}), 1u);
  EXPECT_EQ(tw().dwButtonGroup, 3u);
  EXPECT_EQ(call(kSetBtn, {0xFFFFFFFFu}), 1u);
  EXPECT_EQ(tw().dwButtonGroup, 0xFFFFu);

  // Page mode makes a screen-sized page sprite; normal mode releases it.
  call(kSetTextMode, {1});
  ASSERT_NE(tw().lpPage, nullptr);
  EXPECT_EQ(sprite(tw().lpPage)->w, 1280);
  EXPECT_EQ(sprite(tw().lpPage)->h, 720);
  call(kSetTextMode, {0});
  EXPECT_EQ(tw().lpPage, nullptr);

  std::strcpy(tw().szName, "who");
  std::strcpy(tw().szVoice, "VO1");
  std::strcpy(tw().szMessage, "what");
  EXPECT_EQ(result(kGetCurrent, {kSlot | 0, kSlot | 1, kSlot | 2}), 1u);
  EXPECT_STREQ(vm().strings.slots[0], "who");
  EXPECT_STREQ(vm().strings.slots[1], "VO1");
  EXPECT_STREQ(vm().strings.slots[2], "what");
  EXPECT_EQ(result(kGetCurrent, {kSlot | 0, 7, kSlot | 2}, &verdict), 0u);
  EXPECT_EQ(verdict, 0u);
}

// ---- the time check on a recording task tree ----

struct FakeTasks {
  OrvTaskProc step = nullptr, end = nullptr;
  void* data = nullptr;
  bool freed = false;
  uint32_t now = 5000;
};
FakeTasks* g_tasks = nullptr;

class TimeCheckTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    g_tasks = &tasks;
    orv.OrvTaskCreate = [](OrvTaskProc step, OrvTaskProc end, uint32_t size, void** data, uint32_t,
                           OrvHandle, const char*) -> OrvHandle {
      g_tasks->step = step;
      g_tasks->end = end;
      g_tasks->data = std::calloc(1, size);
      *data = g_tasks->data;
      return 77;
    };
    orv.OrvTaskGetTaskData = [](OrvHandle) { return g_tasks->data; };
    orv.OrvTaskChangeNext = [](OrvTaskProc p) {
      g_tasks->step = p;
      return p;
    };
    orv.OrvTaskChangeNextImm = [](OrvTaskProc p) { g_tasks->step = p; };
    orv.OrvTaskFree = [](OrvHandle) -> OrvBool {
      g_tasks->freed = true;
      return 1;
    };
    orv.OrvTaskReProcess = [](OrvHandle) {
      if (!g_tasks->freed || !g_tasks->data) return;
      g_tasks->end(g_tasks->data);
      std::free(g_tasks->data);
      g_tasks->data = nullptr;
    };
    orv.OrvtimeGetTime = [] { return g_tasks->now; };
  }
  void TearDown() override {
    call(kTimeCheckRelease, {});
    std::free(tasks.data);
    SettingsTest::TearDown();
  }
  void frame(uint32_t ms) {
    tasks.now += ms;
    tasks.step(tasks.data);
  }
  // The sample sprite: the only sprite the time check made.
  layerstest::FakeSprite* sample() {
    for (auto& [id, s] : fake().sprites) {
      if (s.name == "created" && !s.released) return &s;
    }
    return nullptr;
  }
  int alpha_pixels() {
    int n = 0;
    for (uint32_t p : sample()->pixels) n += (p >> 24) != 0;
    return n;
  }
  FakeTasks tasks;
};

TEST_F(TimeCheckTest, TheSampleRevealsAtTheMessageSpeedThenPausesForTheAutoDelay) {
  gs().settings.dwMessageSpeed = 50;
  gs().settings.dwAutoSpeed = 50;
  call(kTimeCheckCreate, {slot(0, "abcdefghij"), 100, 200, 300, 48});
  EXPECT_EQ(tw().hTimeCheckTask, 77u);
  ASSERT_NE(sample(), nullptr);
  EXPECT_EQ(sample()->x, 100);
  EXPECT_EQ(sample()->visible, 1);
  const int drawn = alpha_pixels();
  ASSERT_GT(drawn, 0);

  frame(0);  // first step
  frame(0);  // pause of 0: the sample is captured (hidden) and the reveal begins
  frame(0);
  EXPECT_EQ(alpha_pixels(), 0);
  // Ten 12-pixel glyphs: (rendered length / 24) x 50 ms; later frames show more of it.
  frame(100);
  const int early = alpha_pixels();
  frame(100);
  EXPECT_GT(alpha_pixels(), early);
  frame(2000);
  EXPECT_EQ(alpha_pixels(), drawn);
  // Now the pause: clear does nothing, and the sample stays whole until the pause ends.
  call(kTimeCheckClear, {});
  EXPECT_EQ(alpha_pixels(), drawn);
  frame(100);
  EXPECT_EQ(alpha_pixels(), drawn);

  // Release ends the task in the same call: its sprite is released.
  call(kTimeCheckRelease, {});
  EXPECT_EQ(tw().hTimeCheckTask, 0u);
  EXPECT_EQ(sample(), nullptr);
}

TEST_F(TimeCheckTest, SpeedZeroShowsTheWholeSampleAndStays) {
  gs().settings.dwMessageSpeed = 0;
  call(kTimeCheckCreate, {slot(0, "abcdef"), 0, 0, 300, 48});
  const int drawn = alpha_pixels();
  frame(0);
  frame(0);
  frame(0);
  EXPECT_EQ(alpha_pixels(), drawn);
  const OrvTaskProc reveal = tasks.step;
  frame(5000);
  EXPECT_EQ(tasks.step, reveal);
}

}  // namespace
}  // namespace textwindowtest
