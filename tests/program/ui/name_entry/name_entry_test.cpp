// Player-name entry with a fake box: the check's rules, the name kept or given back, the box
// placed for the window, and the name block's own commands.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "support/vm_fixture.h"
#include "ui/name_entry/name_entry.h"

namespace {

using engine::kStringHandleBit;

std::string sjis(const std::string& utf8) {
  return platform::utf8_to_sjis_lossy(utf8);
}

struct FakeBox {
  bool can_create = true;
  uint32_t box = 0;
  std::string text;
  std::vector<ui::NameBoxPlace> places;  // created and moved to
  int beeps = 0;
  int destroyed = 0;
  bool shown = false;
  int32_t width = 1280, height = 720, mode = 0, origin_x = 0, origin_y = 0;
};
FakeBox* g_box = nullptr;

class NameEntry : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    box_ = FakeBox{};
    g_box = &box_;
    saved_ = ui::name_box_host;
    ui::name_box_host = ui::NameBoxHost{
        [](const ui::NameBoxPlace& p, int32_t) -> uint32_t {
          if (!g_box->can_create) return 0;
          g_box->places.push_back(p);
          return g_box->box = 77;
        },
        [](uint32_t box) {
          EXPECT_EQ(box, 77u);
          ++g_box->destroyed;
        },
        [](uint32_t, const ui::NameBoxPlace& p, int32_t) { g_box->places.push_back(p); },
        [](uint32_t, const std::string& text) { g_box->text = text; },
        [](uint32_t, size_t max) { return g_box->text.substr(0, max); },
        [](uint32_t) { g_box->shown = true; },
        [] { ++g_box->beeps; }};
    orv.OrvAttachProcess = [](void (*f)(void*), void* arg) {
      f(arg);
      return int32_t{0};
    };
    orv.OrvGetWindowSize = [](int32_t* w, int32_t* h) {
      *w = g_box->width;
      *h = g_box->height;
      return int32_t{1};
    };
    orv.OrvCheckWindowMode = [] { return g_box->mode; };
    orv.OrvWindowGetPos = [](int32_t* x, int32_t* y) {
      *x = g_box->origin_x;
      *y = g_box->origin_y;
      return int32_t{1};
    };
  }
  void TearDown() override {
    ui::player_name_window_destroy(vm());
    ui::name_box_host = saved_;
    VmTest::TearDown();
  }
  uint32_t cmd(uint32_t id, std::initializer_list<uint32_t> args = {}) {
    vm().reg[0] = 0xEEEE;  // a result left alone shows
    return command(id, args);
  }
  uint32_t result() { return vm().reg[0]; }
  void name(const std::string& sjis_name) {
    std::memset(vm().playerName.szName, 0, 32);
    std::memcpy(vm().playerName.szName, sjis_name.data(), sjis_name.size());
    vm().playerName.dwNameLength = static_cast<uint32_t>(sjis_name.size());
  }
  std::string name() {
    return std::string(vm().playerName.szName, strnlen(vm().playerName.szName, 32));
  }
  // Opens the box with the name in string slot 0.
  void begin(const std::string& default_name, uint32_t max_chars = 8) {
    std::strcpy(vm().strings.slots[0], default_name.c_str());
    cmd(0x120016, {kStringHandleBit, max_chars, 100, 200, 300, 40, 24});
  }

  FakeBox box_;
  ui::NameBoxHost saved_{};
};

TEST_F(NameEntry, CheckAcceptsFullWidthNamesOnly) {
  const std::string old_name = sjis("太郎");
  struct Case {
    std::string typed;
    uint32_t accepted;
    uint32_t changed;
  };
  for (const Case& c : std::initializer_list<Case>{
           {sjis("花子"), 1, 1},
           {old_name, 1, 0},
           {sjis("花子") + "a", 0, 0},
           {sjis("花子ｱ"), 0, 0},
           {sjis("　　"), 0, 0},
           {"", 0, 0},
           {sjis("一二三四五六七八九十壱弐参四五六七"), 0,
            0},  // 34 bytes: more than the name holds
       }) {
    name(old_name);
    vm().playerName.bChanged = 0;
    begin(old_name);
    box_.text = c.typed;
    const int beeps = box_.beeps;
    cmd(0x120018);
    EXPECT_EQ(result(), c.accepted) << c.typed;
    EXPECT_EQ(vm().playerName.bChanged, c.changed) << c.typed;
    if (!c.accepted) {
      EXPECT_EQ(box_.text, old_name);  // the old name is put back
      EXPECT_EQ(box_.beeps, beeps + 1);
    }
    cmd(0x120017);
    EXPECT_EQ(name(), c.accepted ? c.typed : old_name) << c.typed;
    EXPECT_EQ(vm().playerName.dwNameLength, (c.accepted ? c.typed : old_name).size());
    EXPECT_EQ(vm().playerName.bWindow, 0u);
  }
  EXPECT_TRUE(logged(10, "[1]player_name_set_check"));
  EXPECT_TRUE(logged(10, "[0]player_name_set_check"));
}

TEST_F(NameEntry, BeginShowsTheDefaultNameAndKeepsAtMostTwiceTheCharacters) {
  name(sjis("前の名前"));
  begin(sjis("一二三四五"), 2);
  EXPECT_TRUE(box_.shown);
  EXPECT_EQ(box_.text, sjis("一二三四五"));
  EXPECT_EQ(name(), sjis("一二"));
  EXPECT_EQ(vm().playerName.dwNameLength, sjis("前の名前").size());  // not changed here
  EXPECT_TRUE(logged(10, "player_name_set_begin"));
  // Ending without an accepted check is a cancel.
  cmd(0x120017);
  EXPECT_EQ(name(), sjis("一二"));
  EXPECT_EQ(box_.destroyed, 1);
  cmd(0x120017);
  EXPECT_TRUE(logged(10, "player_name_set_end not run"));
}

TEST_F(NameEntry, TooLongDefaultNameIsRefused) {
  testing::internal::CaptureStderr();
  begin(std::string(33, 'a'));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("バッファオーバー"), std::string::npos);
  EXPECT_EQ(vm().playerName.bWindow, 0u);
  EXPECT_TRUE(box_.places.empty());
}

TEST_F(NameEntry, ABoxThatCannotBeMadeLeavesNoneOpen) {
  box_.can_create = false;
  testing::internal::CaptureStderr();
  begin(sjis("太郎"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("名前変更に失敗"), std::string::npos);
  EXPECT_EQ(vm().playerName.bWindow, 0u);
  cmd(0x120018);
  EXPECT_EQ(result(), 0u);
  EXPECT_TRUE(logged(10, "player_name_set_check not run"));
}

TEST_F(NameEntry, BoxFollowsTheWindowSizeAndMode) {
  begin(sjis("太郎"));
  ASSERT_EQ(box_.places.size(), 1u);
  EXPECT_EQ(box_.places[0].x, 100);
  EXPECT_EQ(box_.places[0].font_size, 24);
  cmd(0x120019);  // same size and mode: nothing moves
  EXPECT_EQ(box_.places.size(), 1u);
  box_.width = 1920;
  box_.height = 1080;
  box_.mode = 1;
  box_.origin_x = 10;
  box_.origin_y = 20;
  cmd(0x120019);
  ASSERT_EQ(box_.places.size(), 2u);
  const ui::NameBoxPlace& p = box_.places[1];
  EXPECT_EQ(p.x, 150 + 10);
  EXPECT_EQ(p.y, 300 + 20);
  EXPECT_EQ(p.width, 450);
  EXPECT_EQ(p.height, 60);
  EXPECT_EQ(p.font_size, 36);
}

TEST_F(NameEntry, ResetPutsTheNameBackWhileTheBoxIsOpen) {
  name(sjis("太郎"));
  cmd(0x12001A);
  EXPECT_TRUE(logged(10, "player_name_reset not run"));
  begin(sjis("太郎"));
  box_.text = "typed";
  cmd(0x12001A);
  EXPECT_EQ(box_.text, sjis("太郎"));
  EXPECT_TRUE(logged(10, "player_name_reset"));
}

TEST_F(NameEntry, DirectNameReplacesTheWholeField) {
  name("longer name");
  std::strcpy(vm().strings.slots[1], "Ann");
  cmd(0x12001B, {kStringHandleBit | 1});
  EXPECT_EQ(std::string(vm().playerName.szName, 32), std::string("Ann") + std::string(29, '\0'));
  EXPECT_EQ(vm().playerName.dwNameLength, 3u);
  std::strcpy(vm().strings.slots[1], std::string(33, 'b').c_str());
  testing::internal::CaptureStderr();
  EXPECT_EQ(cmd(0x12001B, {kStringHandleBit | 1}), 0u);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(name(), "Ann");
}

TEST_F(NameEntry, NameIntoAStringSlot) {
  name(std::string(32, 'z'));  // a full name has no terminator in the block
  std::strcpy(vm().strings.slots[2], std::string(40, 'q').c_str());
  cmd(0x1200A4, {kStringHandleBit | 2});
  EXPECT_EQ(result(), 0u);
  EXPECT_EQ(std::string(vm().strings.slots[2]), std::string(32, 'z'));
  cmd(0x1200A4, {0});  // a text of Text.dat
  EXPECT_EQ(result(), 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "player_name_get_str : string型以外の型を指定しました。"));
  vm().playerName.bChanged = 1;
  cmd(0x120002);
  EXPECT_EQ(result(), 1u);
  EXPECT_TRUE(logged(10, "[1]is_playername"));
}

TEST_F(NameEntry, ScriptResetClosesAnOpenBox) {
  begin(sjis("太郎"));
  ASSERT_EQ(vm().playerName.bWindow, 1u);
  engine::vm_reset(vm());
  EXPECT_EQ(box_.destroyed, 1);
  EXPECT_EQ(vm().playerName.bWindow, 0u);
}

}  // namespace
