#include "shared/utility.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Utility, ParseColor) {
  const struct {
    const char* text;
    uint32_t value;
    int32_t consumed;
  } kCases[] = {
      {"FFfF", 0xFFFF, 4}, {"0xff>", 255, 4}, {"1a2B", 0x1A2B, 4}, {"12x34", 0x34, 5},
      {"zz", 0, 0},        {"#ff", 0, 0},     {"", 0, 0},
  };
  for (const auto& c : kCases) {
    int32_t consumed = -1;
    EXPECT_EQ(parse_color(c.text, &consumed), c.value) << c.text;
    EXPECT_EQ(consumed, c.consumed) << c.text;
  }
}

TEST(Utility, StrToInt) {
  const struct {
    const char* text;
    int32_t value;
    int32_t digits;
  } kCases[] = {
      {"-12ab", -12, 2}, {"+", 0, 0}, {"", 0, 0}, {"+7", 7, 1}, {"4294967297", 1, 10},  // wraps
  };
  for (const auto& c : kCases) {
    int32_t digits = -1;
    EXPECT_EQ(str_to_int(c.text, &digits), c.value) << c.text;
    EXPECT_EQ(digits, c.digits) << c.text;
  }
}

TEST(Utility, LineLength) {
  EXPECT_EQ(line_length("ab\r\ncd"), 4u);
  EXPECT_EQ(line_length("ab\rcd"), 3u);
  EXPECT_EQ(line_length("ab\ncd"), 3u);
  EXPECT_EQ(line_length("abc"), 3u);
  EXPECT_EQ(line_length(""), 0u);
}

TEST(Utility, StrRemoveChars) {
  char buf[260];
  std::memset(buf, 'z', sizeof buf);
  std::strcpy(buf, "a | b\r\n");
  EXPECT_EQ(str_remove_chars(buf, "\r\n \t", 7, 4), 3u);
  EXPECT_STREQ(buf, "a|b");
  EXPECT_EQ(buf[259], 0);  // the rest is cleared
  EXPECT_EQ(str_remove_chars(buf, "x", 0, 1), 0u);
  EXPECT_STREQ(buf, "");
  // A length past what the buffer can hold keeps the zero inside it.
  std::memset(buf, 'k', sizeof buf);
  EXPECT_EQ(str_remove_chars(buf, "x", 100000, 1), 259u);
  EXPECT_EQ(buf[259], 0);
}

TEST(Utility, StrSplitCopy) {
  const struct {
    const char* src;
    const char* seps;
    int32_t maximum;
    const char* copied;
    int32_t result;
  } kCases[] = {
      {"ab;cd", ",;", 100, "ab", 3},
      {"abcdef", ",", 2, "abc", 4},  // cut after passing the maximum
      {"", ",", 10, "", 1},
      {"\x83\x5C;x", "\\;", 10, "\x83\x5C", 3},  // a trail byte is never a separator
      {"\xB1,b", ",", 10, "\xB1,b", 4},          // rule A: a one-byte kana takes the comma along
      {"ab\x82", ",", 10, "ab", 3},              // a lead byte at the end ends the text
  };
  for (const auto& c : kCases) {
    char dest[32];
    std::memset(dest, 'z', sizeof dest);
    EXPECT_EQ(str_split_copy(dest, c.src, c.seps, c.maximum), c.result) << c.src;
    EXPECT_STREQ(dest, c.copied) << c.src;
  }
}

TEST(Utility, StrGetField) {
  const struct {
    const char* src;
    int32_t n;
    const char* field;  // null: no such field
    int32_t result;
  } kCases[] = {
      {"a,b", 0, "a", 2},
      {"a,b", 1, "b", 2},
      {"a,b", 2, nullptr, 0},
      {"a,b,", 2, "", 1},
      {"", 0, "", 1},
      {"", 1, nullptr, 0},
      {"\xB1,b", 1, nullptr, 0},           // the comma is the kana's second byte
      {"x,\x95\x2C,y", 1, "\x95\x2C", 3},  // a two-byte unit is copied whole
  };
  for (const auto& c : kCases) {
    char dest[8] = "keep";
    EXPECT_EQ(str_get_field(dest, sizeof dest, c.src, c.n, ','), c.result) << c.src << " " << c.n;
    EXPECT_STREQ(dest, c.field ? c.field : "keep") << c.src << " " << c.n;
  }
  // A field longer than the destination (it came from a file) is cut, not written past dest;
  // the result still tells its full length.
  char small[4];
  EXPECT_EQ(str_get_field(small, sizeof small, "x,abcdefgh", 1, ','), 9);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(str_get_field(small, sizeof small, "ab\x82\xA0", 0, ','), 5);
  EXPECT_STREQ(small, "ab");  // the two-byte character is not split
}

TEST(Utility, MonitorEnumProc) {
  const MonitorRect rects[3] = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}, {-800, 0, 0, 600}};
  // Find by handle: the second of three monitors.
  MonitorSearch by_handle{12, -1, {}, kMonitorFindByHandle};
  int visited = 0;
  for (uint32_t i = 0; i < 3; ++i) {
    ++visited;
    if (!monitor_enum_proc(11 + i, rects[i], &by_handle)) break;
  }
  EXPECT_EQ(visited, 2);
  EXPECT_EQ(by_handle.counter, 1);
  EXPECT_EQ(by_handle.rect.left, 1920);
  // Find by index 2; the mode word's low 16 bits end up in the counter.
  MonitorSearch by_index{0, 2, {}, 0x00050002};
  for (uint32_t i = 0; i < 3; ++i) {
    if (!monitor_enum_proc(11 + i, rects[i], &by_index)) break;
  }
  EXPECT_EQ(by_index.monitor, 13u);
  EXPECT_EQ(by_index.rect.left, -800);
  EXPECT_EQ(by_index.counter, 2);
}

}  // namespace
