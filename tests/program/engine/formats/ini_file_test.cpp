// INI files: the reader's rules on texts.
#include "engine/formats/ini_file.h"

#include <gtest/gtest.h>

#include <string>

namespace enginetest {
namespace {

TEST(IniReader, FindsValuesTheLooseWay) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    const char* value;  // null: not found
  } cases[] = {
      {"[A]\r\nPRODUCT_NAME=x\r\nNAME=y\r\n", "A", "NAME",
       "x\r\n"},  // first name part that holds the key
      {"[A]\r\nkey =   value  ; note\r\n", "A", "key", "value  ; note\r\n"},
      {"[A]\r\nkey=\r\nother=1\r\n", "A", "key", nullptr},      // empty value
      {"[A]\r\nx=1\r\n[B]\r\nkey=2\r\n", "A", "key", nullptr},  // behind the next header
      {"[A]\nx=[B]\nkey=3\n", "B", "key", "3\n"},               // a header inside a value counts
      {"; [A]\n[A]\nkey=4", "A", "key", "4"},                   // a comment line is skipped
      {"[a]\nkey=5\n", "A", "key", nullptr},                    // sections are case-sensitive
      {"[A]\n;key=6\nkey=7\n", "A", "key", "7\n"},
      {"[A]\rkey=8\rnext=9\r", "A", "next", "9\r"},  // lone CR line ends
      {"", "A", "key", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string out = "unchanged";
    const bool found = engine::ini_find_value(c.text, c.section, c.key, &out);
    EXPECT_EQ(found, c.value != nullptr);
    EXPECT_EQ(out, c.value ? c.value : "unchanged");
  }
  // A value that starts with a zero byte is empty, as the C text it is.
  std::string out = "unchanged";
  EXPECT_FALSE(engine::ini_find_value(std::string_view("[A]\nkey=\0x\n", 11), "A", "key", &out));
  EXPECT_EQ(out, "unchanged");
}

}  // namespace
}  // namespace enginetest
