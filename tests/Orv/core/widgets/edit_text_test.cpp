// The edit control's text: typing within a byte limit without splitting a character, line
// breaks by kind of control, the editing keys over two-byte characters and CR LF, the
// selection, cut, copy and paste within the limit, and the one level of undo.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/core/widgets/edit_text.h"

namespace {

// "山田" and "太郎" in Shift-JIS.
const std::string kYamada = "\x8eR\x93\x63";
const std::string kTaro = "\x91\xbe\x98Y";

TEST(EditText, TypingStopsAtTheLimitOnACharacterBoundary) {
  struct Case {
    size_t limit;
    std::string before, typed, after;
  } cases[] = {
      {0, "", kYamada + kTaro, kYamada + kTaro}, {4, "", kYamada + kTaro, kYamada},
      {5, "", kYamada + kTaro, kYamada},  // the third character would need 6 bytes
      {5, "a", kYamada + kTaro, "a" + kYamada},  {3, "abc", "d", "abc"},
  };
  for (const Case& c : cases) {
    EditText e;
    e.limit = c.limit;
    edit_set_text(e, c.before);
    edit_type(e, c.typed);
    EXPECT_EQ(e.text, c.after) << "limit " << c.limit;
    EXPECT_EQ(e.caret, e.text.size());
  }
}

TEST(EditText, LineBreaksAreCrLfInMultiLineTextAndDroppedFromASingleLine) {
  for (const char* typed : {"ab\r\ncd", "ab\ncd", "ab\rcd"}) {
    EditText multi;
    multi.multi_line = true;
    edit_type(multi, typed);
    EXPECT_EQ(multi.text, "ab\r\ncd") << typed;
    EditText single;
    edit_type(single, typed);
    EXPECT_EQ(single.text, "abcd") << typed;
  }
  EditText e;
  edit_type(e, std::string("a\x01\x7F"
                           "b\x82",
                           5));  // control bytes, a lone lead byte
  EXPECT_EQ(e.text, "ab");
}

TEST(EditText, TypedUtf8IsConvertedAndUnconvertibleCharactersDropped) {
  EditText e;
  EXPECT_TRUE(edit_type_utf8(e, "山\xF0\x9F\x98\x80田~"));  // an emoji has no Shift-JIS form
  EXPECT_EQ(e.text, kYamada + "~");
}

TEST(EditText, KeysStepOverWholeCharactersAndLineBreaks) {
  EditText e;
  e.multi_line = true;
  edit_set_text(e, "a" + kYamada + "\r\nb");
  bool changed = false;
  edit_key(e, 0x25, &changed);  // Left over "b"
  edit_key(e, 0x25, &changed);  // Left over CR LF as one
  EXPECT_EQ(e.caret, 5u);
  edit_key(e, 0x08, &changed);  // Backspace removes all of "田"
  EXPECT_TRUE(changed);
  EXPECT_EQ(e.text, "a\x8eR\r\nb");
  edit_key(e, 0x2E, &changed);  // Delete removes the whole line break
  EXPECT_EQ(e.text, "a\x8eRb");
  edit_key(e, 0x24, &changed);  // Home
  EXPECT_EQ(e.caret, 0u);
  edit_key(e, 0x27, &changed);  // Right
  edit_key(e, 0x27, &changed);
  EXPECT_EQ(e.caret, 3u);
  EXPECT_FALSE(edit_key(e, 0x41, &changed));  // not an editing key
}

TEST(EditText, UpAndDownKeepTheColumnBetweenLines) {
  EditText e;
  e.multi_line = true;
  edit_set_text(e, "abcd\r\nxy\r\n1234");
  bool changed = false;
  edit_key(e, 0x26, &changed);  // from the end of "1234" (column 4) to the end of "xy"
  EXPECT_EQ(e.caret, 8u);
  edit_key(e, 0x26, &changed);  // and up to column 2 of "abcd"
  EXPECT_EQ(e.caret, 2u);
  edit_key(e, 0x28, &changed);
  edit_key(e, 0x28, &changed);
  EXPECT_EQ(e.caret, 12u);
}

// ---- selection, clipboard and undo ----

constexpr uint32_t kShift = kEditShift, kCtrl = kEditCtrl;
constexpr uint32_t kLeft = 0x25, kRight = 0x27, kUp = 0x26, kDown = 0x28, kHome = 0x24, kEnd = 0x23,
                   kBack = 0x08, kDelete = 0x2E;

struct Key {
  uint32_t vk, mods;
};

void press(EditText& e, std::initializer_list<Key> keys) {
  bool changed = false;
  for (const Key& k : keys) edit_key(e, k.vk, &changed, k.mods);
}

TEST(EditText, ShiftedKeysExtendTheSelectionOverWholeCharacters) {
  struct Case {
    const char* what;
    std::string text;
    bool multi;
    size_t caret;
    std::vector<Key> keys;
    std::string selected;
    size_t caret_after;
  } cases[] = {
      {"Shift+Left over a two-byte character",
       "a" + kYamada,
       false,
       5,
       {{kLeft, kShift}},
       "\x93\x63",
       3},
      {"Shift+Home from the end", "ab" + kTaro, false, 6, {{kHome, kShift}}, "ab" + kTaro, 0},
      {"Shift+End then back by one",
       kYamada + "x",
       false,
       0,
       {{kEnd, kShift}, {kLeft, kShift}},
       kYamada,
       4},
      {"Shift+Right over CR LF as one", "a\r\nb", true, 1, {{kRight, kShift}}, "\r\n", 3},
      {"Shift+Down keeps the column", "abcd\r\nxyz", true, 1, {{kDown, kShift}}, "bcd\r\nx", 7},
      {"Shift+Up back over the selection", "abcd\r\nxyz", true, 7, {{kUp, kShift}}, "bcd\r\nx", 1},
      {"Shift+Down on a single line is Shift+Right",
       kYamada,
       false,
       0,
       {{kDown, kShift}},
       "\x8eR",
       2},
      {"Ctrl+Shift+Right takes a word and its spaces",
       "ab cd",
       false,
       0,
       {{kRight, kShift | kCtrl}},
       "ab ",
       3},
      {"Ctrl+Shift+Left stops where kana become kanji",
       kYamada + "\x82\xa0\x82\xa2",
       false,
       8,
       {{kLeft, kShift | kCtrl}},
       "\x82\xa0\x82\xa2",
       4},
      {"a plain Left collapses to the start",
       "abcd",
       false,
       1,
       {{kRight, kShift}, {kRight, kShift}, {kLeft, 0}},
       "",
       1},
      {"a plain Right collapses to the end",
       "abcd",
       false,
       3,
       {{kLeft, kShift}, {kLeft, kShift}, {kRight, 0}},
       "",
       3},
  };
  for (const Case& c : cases) {
    EditText e;
    e.multi_line = c.multi;
    edit_set_text(e, c.text);
    edit_set_caret(e, c.caret);
    bool changed = false;
    for (const Key& k : c.keys) EXPECT_TRUE(edit_key(e, k.vk, &changed, k.mods)) << c.what;
    EXPECT_FALSE(changed) << c.what;
    EXPECT_EQ(edit_selected_text(e), c.selected) << c.what;
    EXPECT_EQ(e.caret, c.caret_after) << c.what;
  }
}

TEST(EditText, TypingPastingAndDeletingReplaceTheSelectionWithinTheLimit) {
  struct Case {
    const char* what;
    size_t limit;
    bool multi;
    std::string text;
    size_t anchor, caret;
    std::string paste;  // pasted; empty: Backspace
    std::string after;
    size_t caret_after;
  } cases[] = {
      {"a paste replaces the selection", 0, false, "abcdef", 1, 4, kYamada, "a" + kYamada + "ef",
       5},
      {"the selected bytes make room under the limit", 6, false, "a" + kYamada + "b", 1, 3, kTaro,
       "a" + kTaro.substr(0, 2) + "\x93\x63" + "b", 3},
      {"a two-byte character that would pass the limit is cut whole", 5, false, "abc", 3, 3,
       kYamada, "abc\x8eR", 5},
      {"nothing fits a text the program made longer", 4, false, "abcd" + kYamada, 0, 0, "x",
       "abcd" + kYamada, 0},
      {"a single line takes the paste up to its first break", 0, false, "<>", 1, 1, "one\r\ntwo",
       "<one>", 4},
      {"a lone LF ends it too", 0, false, "", 0, 0, "one\ntwo", "one", 3},
      {"a multi-line paste keeps its breaks as CR LF", 0, true, "", 0, 0, "a\nb\rc", "a\r\nb\r\nc",
       7},
      {"a break is never split at the limit", 3, true, "", 0, 0, "ab\r\ncd", "ab", 2},
      {"control bytes and a lone lead byte are dropped", 0, false, "", 0, 0,
       std::string("a\tb\x1b") + "c\x82", "abc", 3},
      {"Backspace deletes the selection alone", 0, false, "a" + kYamada + kTaro, 5, 1, "",
       "a" + kTaro, 1},
  };
  for (const Case& c : cases) {
    EditText e;
    e.limit = c.limit;
    e.multi_line = c.multi;
    edit_set_text(e, c.text);
    edit_select(e, c.anchor, c.caret);
    if (c.paste.empty()) {
      bool changed = false;
      edit_key(e, kBack, &changed);
    } else {
      edit_paste(e, c.paste);
    }
    EXPECT_EQ(e.text, c.after) << c.what;
    EXPECT_EQ(e.caret, c.caret_after) << c.what;
    EXPECT_EQ(e.anchor, e.caret) << c.what;
  }
  EditText typed;
  typed.limit = 4;
  edit_set_text(typed, "ab" + kTaro.substr(0, 2));
  edit_select(typed, 2, 4);
  EXPECT_TRUE(edit_type(typed, kYamada));  // typing replaces the selection as a paste does
  EXPECT_EQ(typed.text, "ab\x8eR");
  edit_set_text(typed, "abcde");
  edit_select(typed, 0, 1);
  EXPECT_FALSE(edit_type(typed, "x"));  // nothing fits: the selection stays
  EXPECT_EQ(edit_selected_text(typed), "a");
}

TEST(EditText, NoPasteGoesPastTheDefaultLimitOfAControlWithoutOne) {
  EditText e;
  e.multi_line = true;
  edit_paste(e, std::string(kEditDefaultLimit - 1, 'a') + kYamada);
  EXPECT_EQ(e.text.size(), kEditDefaultLimit - 1);  // the two-byte character does not fit
  edit_set_text(e, std::string(kEditDefaultLimit + 10, 'b'));  // the program's text stays whole
  EXPECT_EQ(e.text.size(), kEditDefaultLimit + 10);
}

TEST(EditText, CutTakesTheSelectionAndCopyLeavesIt) {
  EditText e;
  edit_set_text(e, "x" + kYamada + "y");
  edit_select(e, 6, 1);  // from the end backwards
  EXPECT_EQ(edit_selected_text(e), kYamada + "y");
  std::string cut;
  EXPECT_TRUE(edit_cut(e, &cut));
  EXPECT_EQ(cut, kYamada + "y");
  EXPECT_EQ(e.text, "x");
  EXPECT_FALSE(edit_cut(e, &cut));  // nothing selected
  EXPECT_EQ(cut, "");
  edit_select(e, 0, 3);  // past the end is the end
  EXPECT_EQ(edit_selected_text(e), "x");
  edit_set_text(e, kYamada);
  edit_select(e, 1, 3);  // inside characters: on their boundaries
  EXPECT_EQ(edit_selected_text(e), "\x8eR");
}

TEST(EditText, UndoTakesBackTheLastChangeAndASecondUndoRedoesIt) {
  EditText e;
  e.multi_line = true;
  edit_set_text(e, "ab");
  EXPECT_FALSE(edit_undo(e));  // text set by the program is not undone
  edit_type(e, "c");
  edit_type(e, kYamada);  // typing on is one change
  EXPECT_TRUE(edit_undo(e));
  EXPECT_EQ(e.text, "ab");
  EXPECT_TRUE(edit_undo(e));
  EXPECT_EQ(e.text, "abc" + kYamada);
  press(e, {{kBack, 0}, {kDelete, 0}, {kBack, 0}});  // deletions in a row are one change
  EXPECT_EQ(e.text, "abc");
  edit_undo(e);
  EXPECT_EQ(e.text, "abc" + kYamada);
  EXPECT_EQ(e.caret, 7u);

  edit_type(e, "d");
  press(e, {{kLeft, 0}, {kRight, 0}});  // the caret moved: a new change begins
  edit_type(e, "e");
  edit_undo(e);
  EXPECT_EQ(e.text, "abc" + kYamada + "d");

  edit_select_all(e);
  std::string cut;
  edit_cut(e, &cut);
  edit_paste(e, "x");  // a paste after typing is a change of its own
  edit_paste(e, "y");
  edit_undo(e);
  EXPECT_EQ(e.text, "x");
  edit_undo(e);
  EXPECT_EQ(e.text, "xy");

  EditText cut_back;
  edit_set_text(cut_back, "one two");
  edit_select(cut_back, 3, 7);
  edit_cut(cut_back, &cut);
  EXPECT_TRUE(edit_undo(cut_back));  // the cut text and its selection come back
  EXPECT_EQ(cut_back.text, "one two");
  EXPECT_EQ(edit_selected_text(cut_back), " two");
}

TEST(EditText, ADoubleClickSelectsTheWordAndTheSpacesAfterIt) {
  const std::string hiragana = "\x82\xa0\x82\xa2";  // "あい"
  const std::string text = "ab  cd," + kYamada + hiragana + "\r\nz";
  struct Case {
    size_t at;
    std::string selected;
  } cases[] = {
      {1, "ab  "},  {2, "  "},      {4, "cd"},      {6, ","},
      {7, kYamada}, {12, hiragana}, {15, hiragana},  // at the end of a line: the word before it
      {17, "z"},    {18, "z"},
  };
  for (const Case& c : cases) {
    EditText e;
    e.multi_line = true;
    edit_set_text(e, text);
    edit_select_word(e, c.at);
    EXPECT_EQ(edit_selected_text(e), c.selected) << "at " << c.at;
  }
}

}  // namespace
