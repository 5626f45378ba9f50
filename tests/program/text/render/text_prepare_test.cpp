// text_expand, save_text_wrap and the page-buffer append, as tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/program/text/render/fake_font.h"
#include "text/render/text_render.h"

namespace {

using textrendertest::FakeFontTest;

#define A "\x82\xA0"
#define NAME "\x91\xBE\x98\x59"  // a two-character player name
#define FW(d) "\x82" d           // full-width digit: FW("\x51") is 2
#define MINUS "\x81\x7C"
#define DOTS "\x81\x63"

struct ExpandCase {
  const char* what;
  std::string src;
  size_t capacity;
  std::string want;
  bool logs;  // a key-0 line about a bad field
};

TEST_F(FakeFontTest, TextExpandTable) {
  std::memcpy(vm().playerName.szName, NAME, sizeof NAME);
  vm().userMem[3] = static_cast<uint32_t>(-25);
  vm().sysMem[1023] = 7;
  vm().tempMem[4095] = 1234567890;
  vm().tempMem[0] = 0x80000000u;
  const ExpandCase cases[] = {
      {"plain text and characters are copied", "ab" A "c", 64, "ab" A "c", false},
      {"/n becomes the player name", "x/ny", 64, "x" NAME "y", false},
      {"&m[3] holding -25: full-width minus, 2, 5", "&m[3]", 64, MINUS FW("\x51") FW("\x54"),
       false},
      {"system memory's last word", "&f[1023]!", 64, FW("\x56") "!", false},
      {"temporary memory's last word", "&t[4095]", 64,
       FW("\x50") FW("\x51") FW("\x52") FW("\x53") FW("\x54") FW("\x55") FW("\x56") FW("\x57")
           FW("\x58") FW("\x4F"),
       false},
      {"the smallest word", "&t[0]", 64,
       MINUS FW("\x51") FW("\x50") FW("\x53") FW("\x56") FW("\x53") FW("\x57") FW("\x52") FW("\x55")
           FW("\x53") FW("\x57"),
       false},
      {"an index past its memory reads 0", "&t[4096]", 64, FW("\x4F"), true},
      {"an index past user memory reads 0", "&m[1024]", 64, FW("\x4F"), true},
      {"another letter reads 0", "&x[1]", 64, FW("\x4F"), true},
      {"no digits read 0", "&m[]", 64, FW("\x4F"), true},
      {"a field not of the form reads 0 up to its ]", "&m3]z", 64, FW("\x4F") "z", true},
      {"& without ] is copied as is", "a&m[3", 64, "a&m[3", false},
      {"a ] inside a two-byte character closes no field", "&m[3\x83]", 64, "&m[3\x83]", false},
      {"a tag is copied unchanged", "<c&m[3]/n>", 64, "<c&m[3]/n>", false},
      {"an unclosed tag runs to the end", "<c/n", 64, "<c/n", false},
      {"escapes protect the next byte", "\\/n\\&m[3]", 64, "\\/n\\&m[3]", false},
      {"full capacity: a two-byte character that does not fit is left out", A A A A, 8, A A A,
       false},
      {"full capacity: single bytes up to capacity - 1", "abcdefgh", 7, "abcdef", false},
      {"full capacity: a number is written whole or not at all", "a&m[3]b", 6, "a", false},
      {"full capacity: the player name whole or not at all", "ab/n", 6, "ab", false},
      {"capacity 1 holds the terminator only", "abc", 1, "", false},
  };
  for (const ExpandCase& c : cases) {
    SCOPED_TRACE(c.what);
    lines.clear();
    std::vector<char> dst(c.capacity + 4, '#');
    const size_t n = textrender::text_expand(vm(), dst.data(), c.capacity, c.src.c_str());
    EXPECT_EQ(std::string(dst.data()), c.want);
    EXPECT_EQ(n, c.want.size());
    EXPECT_EQ(dst[c.capacity], '#');  // nothing past the capacity
    EXPECT_EQ(!lines.empty(), c.logs);
  }
}

struct WrapCase {
  const char* what;
  std::string text;
  int32_t width, height;
  size_t capacity;
  std::string want;
};

// Fake metrics at size 24: one-byte characters measure 12 + 3, others count 24; lines of 26.
TEST_F(FakeFontTest, SaveTextWrapTable) {
  const WrapCase cases[] = {
      {"short text stays one line", "ab" A, 100, 100, 4096, "ab" A},
      {"tags are dropped", "<c#FF0000>a<br>b", 100, 100, 4096, "ab"},
      {"a line feed once the next glyph would not fit", A A A A A, 100, 100, 4096, A A A A "\n" A},
      {"past the height the last character becomes the ellipsis", A A A A A A, 50, 60, 4096,
       A A "\n" A DOTS},
      {"a one-byte last character: the ellipsis replaces only it", "abc", 30, 30, 4096, "a" DOTS},
      {"a value field last: the ellipsis replaces the whole field", "%12345", 24, 20, 4096, DOTS},
      {"the first character alone already too low", A, 10, 10, 4096, DOTS},
      {"the buffer full: characters give way to the ellipsis", "abcdefghij", 10000, 10000, 8,
       "abcde" DOTS},
      {"the buffer full with two-byte characters", A A A A A, 10000, 10000, 8, A A DOTS},
  };
  for (const WrapCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<char> dst(c.capacity + 4, '#');
    EXPECT_EQ(
        textrender::save_text_wrap(dst.data(), c.capacity, c.text.c_str(), c.width, c.height, 24),
        1);
    EXPECT_EQ(std::string(dst.data()), c.want);
    EXPECT_EQ(dst[c.capacity], '#');
    for (size_t i = c.want.size(); i < c.capacity; ++i) ASSERT_EQ(dst[i], 0) << i;
  }
}

TEST_F(FakeFontTest, PageBufferTakesWholeLinesAndCutsOnlyAFirstLongOne) {
  char buffer[8] = {};
  EXPECT_TRUE(textrender::page_buffer_append(buffer, sizeof buffer, "ab"));
  EXPECT_TRUE(textrender::page_buffer_append(buffer, sizeof buffer, "cde"));
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_FALSE(textrender::page_buffer_append(buffer, sizeof buffer, "fgh"));
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_TRUE(lines.empty());
  buffer[0] = 0;
  EXPECT_TRUE(textrender::page_buffer_append(buffer, sizeof buffer, "a" A A A A));
  EXPECT_STREQ(buffer, "a" A A A);  // 7 bytes, no half character
  EXPECT_EQ(lines.size(), 1u);
}

}  // namespace
