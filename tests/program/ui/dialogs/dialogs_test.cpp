// The entry dialogs' text rules and the dialog commands, with a host that plays the player:
// the counter of the text-entry dialog, the markup of the name-and-line dialog (both ways),
// the refusals it shows, and the commands' string slots and failures.
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/message_box.h"
#include "platform/sjis.h"
#include "support/vm_fixture.h"
#include "ui/dialogs/dialog_text.h"
#include "ui/dialogs/dialogs.h"

namespace {

using engine::kStringHandleBit;
using ui::MarkupResult;

std::string sjis(const std::string& utf8) {
  return platform::utf8_to_sjis_lossy(utf8);
}
std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::string kKanji = sjis("字");
const std::string kBreak = "<br>";

TEST(DialogText, EditCounterCountsTwoForWideCharactersAndNothingForCarriageReturns) {
  EXPECT_EQ(ui::edit_count(repeat(kKanji, 12)), 24);
  EXPECT_EQ(ui::edit_count("abc\r\nde"), 6);
  // A half-width kana is a byte of 0x80 or above too: it counts 2 and takes the next byte with it.
  EXPECT_EQ(ui::edit_count(sjis("ｱ") + "a"), 2);
  EXPECT_EQ(ui::edit_counter_text(24, 10), "24/10(over 14)");
  EXPECT_EQ(ui::edit_counter_text(6, 10), "6/10");
  EXPECT_FALSE(ui::edit_ok_enabled(24, 10));
  EXPECT_FALSE(ui::edit_ok_enabled(0, 10));
  EXPECT_TRUE(ui::edit_ok_enabled(10, 10));
  EXPECT_EQ(ui::edit_initial_text("one\\ntwo\\t"), "one\r\ntwo\\t");
}

TEST(DialogText, MarkupFitsLinesOfTheGivenWidth) {
  struct Case {
    std::string input;
    int32_t width, lines, half;
    MarkupResult result;
    std::string markup;  // checked when the result is kOk
  };
  const std::string k4 = repeat(kKanji, 4), k5 = repeat(kKanji, 5), k10 = repeat(kKanji, 10);
  for (const Case& c : std::initializer_list<Case>{
           {k4, 8, 1, 2, MarkupResult::kOk, k4},
           {k5, 8, 1, 2, MarkupResult::kTooLong, ""},
           {kKanji + "%", 8, 1, 2, MarkupResult::kForbidden, ""},
           {kKanji + "<", 8, 1, 2, MarkupResult::kForbidden, ""},
           {"a\\", 8, 1, 2, MarkupResult::kForbidden, ""},
           {"a\tb", 8, 1, 2, MarkupResult::kControl, ""},
           // Twenty characters in two lines of ten: the first line ends without a break.
           {k10 + k10, 20, 2, 2, MarkupResult::kOk, k10 + k10},
           {k10 + k10 + kKanji, 20, 2, 2, MarkupResult::kTooLong, ""},
           {k5 + "\r\n" + k10, 20, 2, 2, MarkupResult::kOk, k5 + kBreak + k10},
           {k5 + "\n" + k10 + kKanji, 20, 2, 2, MarkupResult::kTooLong, ""},
           {"a\rb", 20, 1, 2, MarkupResult::kTooLong, ""},
           // A wide character that does not fit the rest of a line starts the next one.
           {"abc" + kKanji, 4, 2, 1, MarkupResult::kOk, "abc" + kBreak + kKanji},
           {repeat("a", 20), 20, 1, 1, MarkupResult::kOk, repeat("a", 20)},
           {repeat("a", 21), 20, 1, 1, MarkupResult::kTooLong, ""},
           {repeat("a", 10), 20, 1, 2, MarkupResult::kOk, repeat("a", 10)},
           {repeat("a", 11), 20, 1, 2, MarkupResult::kTooLong, ""},
       }) {
    std::string out;
    EXPECT_EQ(ui::markup_from_input(c.input, c.width, c.lines, c.half, &out), c.result) << c.input;
    if (c.result == MarkupResult::kOk) {
      EXPECT_EQ(out, c.markup) << c.input;
    }
  }
}

TEST(DialogText, MarkupTurnsBackIntoEditableText) {
  EXPECT_EQ(ui::markup_to_input("ab" + kBreak + kKanji), "ab\r\n" + kKanji);
  EXPECT_EQ(ui::markup_to_input("ab<c>d"), "ab");
  EXPECT_EQ(ui::markup_to_input("a%b"), "a");
  EXPECT_EQ(ui::markup_to_input("a\x01z"), "a");
  // The second byte of 表 is a backslash: it stays part of the character.
  EXPECT_EQ(ui::markup_to_input("\x95\x5c!"), "\x95\x5c!");
}

// The player, as the host of the dialogs sees them.
struct Player {
  std::function<int32_t(ui::EditDialog&)> edit;
  std::function<int32_t(ui::StandEditDialog&)> stand_edit;
  std::function<int32_t(ui::FileDialog&)> file;
};
Player* g_player = nullptr;

class Dialogs : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    saved_ = ui::dialog_host;
    g_player = &player_;
    ui::dialog_host = ui::DialogHost{[](ui::EditDialog& d) { return g_player->edit(d); },
                                     [](ui::StandEditDialog& d) { return g_player->stand_edit(d); },
                                     [](ui::FileDialog& d) { return g_player->file(d); }};
    ui::stand_edit_state() = ui::StandEditState{};
    platform::message_box_answers_restart();
  }
  void TearDown() override {
    ui::dialog_host = saved_;
    ui::stand_edit_state() = ui::StandEditState{};
    VmTest::TearDown();
  }
  uint32_t cmd(uint32_t id, std::initializer_list<uint32_t> args = {}) {
    vm().reg[0] = 0xEEEE;  // a result left alone shows
    return command(id, args);
  }
  uint32_t result() { return vm().reg[0]; }
  void slot(uint32_t n, const std::string& text) {
    std::strcpy(vm().strings.slots[n], text.c_str());
  }
  std::string slot(uint32_t n) { return vm().strings.slots[n]; }

  Player player_;
  ui::DialogHost saved_{};
};

TEST_F(Dialogs, EditOpensWithTheInitialTextAndCutsTheEntryAtTheMaximum) {
  slot(1, "line\\nnext");
  slot(2, "caption");
  ui::EditDialog seen;
  player_.edit = [&](ui::EditDialog& d) {
    seen = d;
    d.text = repeat(kKanji, 6);  // 12 bytes
    ui::edit_dialog_changed(d);
    EXPECT_FALSE(d.ok_enabled);
    EXPECT_EQ(d.counter, "12/10(over 2)");
    d.text = repeat(kKanji, 5);
    ui::edit_dialog_changed(d);
    EXPECT_TRUE(d.ok_enabled);
    return 0;
  };
  cmd(0x12002C, {kStringHandleBit | 3, kStringHandleBit | 2, kStringHandleBit | 1, 10});
  EXPECT_EQ(seen.text, "line\r\nnext");
  EXPECT_EQ(seen.caption, "caption");
  EXPECT_EQ(seen.counter, "9/10");  // the carriage return counts nothing
  EXPECT_EQ(result(), 1u);
  EXPECT_EQ(slot(3), repeat(kKanji, 5));

  player_.edit = [](ui::EditDialog&) { return -1; };
  slot(3, "kept");
  cmd(0x12002C, {kStringHandleBit | 3, kStringHandleBit | 2, kStringHandleBit | 1, 10});
  EXPECT_EQ(result(), 0u);
  EXPECT_EQ(slot(3), "kept");
  EXPECT_TRUE(logged(10, "cansel edit"));
}

TEST_F(Dialogs, EditRefusesADestinationThatIsNoStringSlot) {
  player_.edit = [](ui::EditDialog&) -> int32_t {
    ADD_FAILURE() << "no dialog for a bad slot";
    return 0;
  };
  for (uint32_t bad : {3u, kStringHandleBit | 16}) {
    cmd(0x12002C, {bad, 0x0FFFFFFF, 0x0FFFFFFF, 10});
    EXPECT_EQ(result(), 0u);
  }
  EXPECT_TRUE(logged(0, "edit : string型以外の型を指定しました。"));
}

TEST_F(Dialogs, StandEditRefusesUntilTheEntriesFitThenKeepsThemForTheNextTime) {
  int oks = 0;
  player_.stand_edit = [&](ui::StandEditDialog& d) {
    EXPECT_EQ(d.limits, sjis("名前 4 文字以内 / 台詞 10x2 文字以内"));
    d.name = repeat(kKanji, 5);
    d.line = "hi";
    EXPECT_FALSE(ui::stand_edit_dialog_ok(d));  // the name is too long
    d.name = kKanji + "%";
    EXPECT_FALSE(ui::stand_edit_dialog_ok(d));
    d.name = repeat(kKanji, 4);
    d.line = repeat(kKanji, 21);
    EXPECT_FALSE(ui::stand_edit_dialog_ok(d));
    d.line = repeat(kKanji, 5) + "\r\n" + repeat(kKanji, 10);
    EXPECT_TRUE(ui::stand_edit_dialog_ok(d));
    ++oks;
    return 0;
  };
  testing::internal::CaptureStderr();
  cmd(0x12008B, {4, 10, 2});
  const std::string boxes = testing::internal::GetCapturedStderr();
  EXPECT_EQ(oks, 1);
  EXPECT_EQ(result(), 1u);
  EXPECT_TRUE(logged(0, "STAND EDIT OK"));
  for (const char* refusal :
       {"名前が最大文字数を超えています", "名前に使用出来ない半角文字が入っています",
        "台詞が最大文字数を超えています"}) {
    EXPECT_NE(boxes.find(refusal), std::string::npos) << refusal;
  }

  cmd(0x12008C, {kStringHandleBit | 4});
  EXPECT_EQ(slot(4), repeat(kKanji, 4));
  cmd(0x12008D, {kStringHandleBit | 5});
  EXPECT_EQ(slot(5), repeat(kKanji, 5) + kBreak + repeat(kKanji, 10));

  // The next dialog opens with both, the line as editable text again.
  player_.stand_edit = [&](ui::StandEditDialog& d) {
    EXPECT_EQ(d.name, repeat(kKanji, 4));
    EXPECT_EQ(d.line, repeat(kKanji, 5) + "\r\n" + repeat(kKanji, 10));
    return -1;
  };
  cmd(0x12008B, {4, 10, 2});
  EXPECT_EQ(result(), 0u);
  EXPECT_TRUE(logged(0, "STAND EDIT CANCEL"));
}

TEST_F(Dialogs, ConvertedLineLongerThanItsStoreIsRefused) {
  // 400 half-width letters at one unit each fill 20 lines of 20 without a break: they fit the
  // window but are one byte more than the converted line holds.
  ui::StandEditState& st = ui::stand_edit_state();
  st.nNameWidth = 4;
  st.nLineWidth = 10;
  st.nLineCount = 40;
  st.nHalfWidth = 1;
  ui::StandEditDialog d;
  d.name = kKanji;
  d.line = repeat("a", 400);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(ui::stand_edit_dialog_ok(d));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("台詞が最大文字数を超えています"),
            std::string::npos);
  EXPECT_TRUE(st.szLine.empty());
  d.line = repeat("a", 399);
  EXPECT_TRUE(ui::stand_edit_dialog_ok(d));
  EXPECT_EQ(st.szLine.size(), 399u);
}

TEST_F(Dialogs, HalfWidthSwitchAnswersTheOldSetting) {
  cmd(0x120090, {1});
  EXPECT_EQ(result(), 0u);
  EXPECT_EQ(ui::stand_edit_state().nHalfWidth, 1);
  cmd(0x120090, {0});
  EXPECT_EQ(result(), 1u);
  EXPECT_EQ(ui::stand_edit_state().nHalfWidth, 2);
}

TEST_F(Dialogs, StringSlotCommandsRefuseOtherReferences) {
  slot(0, "untouched");
  EXPECT_EQ(cmd(0x12008C, {5}), 0u);
  EXPECT_TRUE(logged(0, "文字変数ではありません 5"));
  EXPECT_EQ(cmd(0x12008D, {kStringHandleBit | 16}), 0u);
  EXPECT_TRUE(logged(0, "文字変数の番号が異常です 268435472"));
  EXPECT_EQ(cmd(0x12008A, {kStringHandleBit | 16}), 0u);
  EXPECT_TRUE(logged(0, "文字列の番号が異常です 268435472"));
  EXPECT_EQ(slot(0), "untouched");
}

TEST_F(Dialogs, FileDialogsOfferTheExtensionAndKeepTheChosenPath) {
  slot(0, "sav");
  slot(1, "Open");
  ui::FileDialog seen;
  player_.file = [&](ui::FileDialog& d) {
    seen = d;
    d.file_name = "/home/player/one.sav";
    return 1;
  };
  cmd(0x120088, {kStringHandleBit, kStringHandleBit | 1, 0x0FFFFFFF, 0x1000, 5});
  EXPECT_EQ(result(), 1u);
  EXPECT_FALSE(seen.save);
  EXPECT_EQ(seen.flags, 0x1008u);
  EXPECT_EQ(seen.folder_id, 5);
  EXPECT_EQ(seen.filter, (std::vector<std::string>{sjis("savファイル(*.sav)"), "*.sav",
                                                   sjis("全てのファイル(*.*)"), "*.*"}));
  cmd(0x12008A, {kStringHandleBit | 2});
  EXPECT_EQ(slot(2), "/home/player/one.sav");

  player_.file = [](ui::FileDialog&) { return 0; };
  cmd(0x120089, {kStringHandleBit, kStringHandleBit | 1, 0x0FFFFFFF, 0, 5});
  EXPECT_EQ(result(), 0u);
  cmd(0x12008A, {kStringHandleBit | 2});
  EXPECT_EQ(slot(2), "");  // a cancelled dialog leaves no path
}

TEST_F(Dialogs, MessageBoxAnswersWithTheButtonChosen) {
  slot(0, "Quit?");
  setenv("VELMORA_MSGBOX_ANSWERS", "7", 1);
  platform::message_box_answers_restart();
  cmd(0x120085, {kStringHandleBit, 0x0FFFFFFF, platform::kMbYesNo});
  unsetenv("VELMORA_MSGBOX_ANSWERS");
  EXPECT_EQ(result(), 7u);
}

TEST_F(Dialogs, PostingCommandsAreRefused) {
  struct Case {
    uint32_t id;
    int args;
    uint32_t result;
    const char* line;
  };
  for (const Case& c : std::initializer_list<Case>{
           {0x120029, 0, 0, "is_tweet : NOT SUPPORT"},
           {0x12004A, 0, 0xFFFFFFFF, "result_tweet : NOT SUPPORT"},
           {0x12002A, 2, 0xEEEE, "twitter : NOT SUPPORT"},
           {0x12004B, 2, 0xEEEE, "get_tweet_key : NOT SUPPORT"},
           {0x12004C, 2, 0xEEEE, "set_tweet_key : NOT SUPPORT"},
           {0x12004E, 0, 0xEEEE, "tweet_authorize : NOT SUPPORT"},
       }) {
    vm().nArgCount = 0;
    for (int i = 0; i < c.args; ++i) engine::vm_push(vm(), 1);
    vm().dwResultReg = 0;
    vm().reg[0] = 0xEEEE;
    EXPECT_EQ(engine::command_lookup(c.id)(vm()), 0u) << c.line;
    EXPECT_EQ(vm().nArgCount, 0) << c.line;
    EXPECT_EQ(result(), c.result) << c.line;
    EXPECT_TRUE(logged(0, c.line));
  }
}

}  // namespace
