// The edit control's text: typing within a byte limit without splitting a character, line
// breaks by kind of control, and the editing keys over two-byte characters and CR LF.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
