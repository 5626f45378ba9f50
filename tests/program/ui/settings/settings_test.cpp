// The player settings, fonts, memory stack and return-stack commands of group 0x09: the stored
// settings' bytes laid out by hand, the font calls seen by a fake font library, the memory
// stack at its bounds, and the pure date, time and extension rules.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/formats/system_files.h"
#include "support/vm_fixture.h"
#include "ui/settings/memory_stack.h"
#include "ui/settings/player_settings.h"

namespace {

using engine::kStringHandleBit;

// What the fake platform was asked.
struct Calls {
  std::vector<std::string> names;
  std::vector<int32_t> values;
  int32_t font_size = 0x10018;  // a high half that the commands must drop
};
Calls* g_calls = nullptr;

class Settings : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    calls_ = Calls{};
    g_calls = &calls_;
    orv.OrvFontLoad = [](const char* name) {
      g_calls->names.push_back(std::string("load ") + name);
      return OrvBool{1};
    };
    orv.OrvExFontUnload = [] {
      g_calls->names.push_back("ex unload");
      return OrvBool{1};
    };
    orv.OrvExFontLoad = [](const char* name) {
      g_calls->names.push_back(std::string("ex load ") + name);
      return OrvBool{1};
    };
    orv.OrvFontGetFontSize = [] { return g_calls->font_size; };
    orv.OrvFontSetFontSize = [](int32_t size) {
      g_calls->font_size = size;
      return OrvBool{1};
    };
    orv.OrvFontGetColor = [](int32_t* text, int32_t* shadow) {
      *text = 0x112233;
      *shadow = 0x445566;
      return OrvBool{1};
    };
    orv.OrvSetCursor = [](const char* name, int32_t mode, int32_t x, int32_t y) {
      g_calls->names.push_back(mode == 1 ? "system cursor" : std::string("cursor ") + name);
      g_calls->values.insert(g_calls->values.end(),
                             {mode == 1 ? int32_t(reinterpret_cast<uintptr_t>(name)) : 0, x, y});
      return int32_t{1};
    };
    orv.OrvWindowChangeMode = [](int32_t mode) {
      g_calls->values.push_back(mode);
      return int32_t{1};
    };
    orv.OrvEffectEnable = [](int32_t) {};
    orv.OrvCursorSetAutoHideTime = [](uint32_t) { return int32_t{1}; };
  }

  uint32_t cmd(uint32_t id, std::initializer_list<uint32_t> args = {}) { return command(id, args); }
  uint32_t result() { return vm().reg[0]; }
  void slot(uint32_t n, const char* text) { std::strcpy(vm().strings.slots[n], text); }

  Calls calls_;
};

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

TEST_F(Settings, StoredSettingsLandAtTheirOffsetsOfSystemDat) {
  cmd(0x090006, {1});           // set_window_mode
  cmd(0x090007, {1});           // set_skip_unread
  cmd(0x090008, {0});           // set_effect_enable
  cmd(0x090004, {70});          // auto_set_time
  cmd(0x090031, {0x01020304});  // set_hide_cursor_time
  engine::SystemDatImage image;
  image.settings = gs().settings;
  const std::vector<uint8_t> bytes = engine::system_dat_encode(image);
  // The settings follow the 2-byte format number: window mode at 8, skip-unread 12, effects
  // 16, auto speed 28, cursor hide time 36.
  EXPECT_EQ(le32(bytes, 2 + 8), 1u);
  EXPECT_EQ(le32(bytes, 2 + 12), 1u);
  EXPECT_EQ(le32(bytes, 2 + 16), 0u);
  EXPECT_EQ(le32(bytes, 2 + 28), 70u);
  EXPECT_EQ(bytes[2 + 36], 0x04);
  EXPECT_EQ(bytes[2 + 39], 0x01);
  EXPECT_EQ(calls_.values, std::vector<int32_t>{1});  // the window mode reached the platform

  cmd(0x090009);
  EXPECT_EQ(result(), 1u);
  cmd(0x090032);
  EXPECT_EQ(result(), 0x01020304u);
}

TEST_F(Settings, AutoSpeedIsAtMostOneHundredComparedUnsigned) {
  for (auto [given, kept] :
       {std::pair<uint32_t, uint32_t>{40, 40}, {100, 100}, {150, 100}, {0xFFFFFFFF, 100}, {0, 0}}) {
    cmd(0x090004, {given});
    cmd(0x090005);
    EXPECT_EQ(result(), kept) << given;
  }
  EXPECT_TRUE(logged(10, "auto_get_time  [0]"));
}

TEST_F(Settings, DateAndTimeValues) {
  platform::LocalTime t{2024, 3, 7, 4, 13, 5, 9, 250};
  EXPECT_EQ(ui::date_value(t), 20240307u);
  EXPECT_EQ(ui::time_value(t), 130509250u);
  t = platform::LocalTime{1999, 12, 31, 5, 23, 59, 59, 999};
  EXPECT_EQ(ui::date_value(t), 19991231u);
  EXPECT_EQ(ui::time_value(t), 235959999u);
}

TEST_F(Settings, LocalDateRefusesVariablesOutsideTempMemory) {
  vm().tempMem[1] = vm().tempMem[2] = vm().tempMem[3] = 7;
  cmd(0x09000D, {1, 2, 0xFFFFFFFF});
  EXPECT_EQ(vm().tempMem[1], 7u);
  EXPECT_EQ(vm().tempMem[2], 7u);
  cmd(0x09000D, {1, 2, 3});
  EXPECT_GE(vm().tempMem[1], 2024u);
  EXPECT_GE(vm().tempMem[2], 1u);
  EXPECT_LE(vm().tempMem[2], 12u);
  EXPECT_GE(vm().tempMem[3], 1u);
}

TEST_F(Settings, FontFileGetsDatOnlyWithoutAnExtension) {
  struct Case {
    const char* given;
    const char* loaded;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"FONT", "FONT.dat"},
           {"FONT.FNT", "FONT.FNT"},
           {"DIR.X\\FONT", "DIR.X\\FONT.dat"},
           {"A.B C", "A.B C.dat"},
           // The second byte of 表 is 0x5C: not a separator, so ".表" is the extension.
           {"A.\x95\x5c", "A.\x95\x5c"},
       }) {
    EXPECT_EQ(ui::font_name_with_extension(c.given), c.loaded) << c.given;
  }
  slot(0, "font");
  cmd(0x09000F, {kStringHandleBit});
  slot(1, "gaiji.x");
  cmd(0x090014, {kStringHandleBit | 1});
  EXPECT_EQ(calls_.names,
            (std::vector<std::string>{"load FONT.dat", "ex unload", "ex load GAIJI.X.tga"}));
  EXPECT_TRUE(logged(10, "load_font FONT.dat"));
}

TEST_F(Settings, FontWordsAreTheirLowHalf) {
  cmd(0x09001B, {30});  // set_font_size
  EXPECT_EQ(result(), 0x18u);
  cmd(0x09001C);
  EXPECT_EQ(result(), 30u);
  EXPECT_TRUE(logged(10, "[30] get_font_size"));
  cmd(0x090037, {0});
  EXPECT_EQ(result(), 0x112233u);
  cmd(0x090037, {5});
  EXPECT_EQ(result(), 0x445566u);
}

TEST_F(Settings, CursorFromAFileOrTheStandardArrow) {
  slot(2, "hand");
  cmd(0x090030, {kStringHandleBit | 2, 3, 4});
  cmd(0x090030, {0x0FFFFFFF, 9, 9});
  EXPECT_EQ(calls_.names, (std::vector<std::string>{"cursor HAND.tga", "system cursor"}));
  EXPECT_EQ(calls_.values, (std::vector<int32_t>{0, 3, 4, 32512, 0, 0}));
  EXPECT_TRUE(logged(10, "set_cursor NULL"));
}

TEST_F(Settings, MemoryStackHoldsThirtyTwoFramesAndGivesThemBackInReverse) {
  for (uint32_t i = 0; i < 33; ++i) {
    vm().tempMem[0] = i;
    vm().tempMem[255] = i * 2;
    vm().tempMem[256] = 99;  // outside the saved words
    cmd(0x090015);
  }
  EXPECT_TRUE(logged(0, "push memory stack over"));
  EXPECT_EQ(vm().memStack.nDepth, 32u);
  for (uint32_t i = 32; i-- > 0;) {
    vm().tempMem[256] = 5;
    cmd(0x090016);
    EXPECT_EQ(vm().tempMem[0], i);
    EXPECT_EQ(vm().tempMem[255], i * 2);
    EXPECT_EQ(vm().tempMem[256], 5u);
    EXPECT_EQ(vm().memStack.frames[i][0], 0u);  // the popped frame is cleared
  }
  EXPECT_FALSE(logged(0, "pop memory stack none"));
  cmd(0x090016);
  EXPECT_TRUE(logged(0, "pop memory stack none"));
  EXPECT_EQ(vm().memStack.nDepth, 0u);
}

TEST_F(Settings, LpopStopsWhenTheReturnsRunOut) {
  cmd(0x090017, {0});  // lpush label 0: the code base
  cmd(0x090017, {0});
  cmd(0x090035);
  EXPECT_EQ(result(), 2u);
  cmd(0x090018, {3});
  EXPECT_EQ(vm().run.nRetPairs, 2u);
  size_t pops = 0;
  for (const auto& [key, line] : logs_) pops += key == 10 && line.rfind("lpop [", 0) == 0;
  EXPECT_EQ(pops, 2u);
  EXPECT_TRUE(logged(0, "error : lpop non stack"));
  cmd(0x090035);
  EXPECT_EQ(result(), 0u);
  EXPECT_TRUE(logged(10, "[0]lsize"));
}

}  // namespace
