#include "Orv/core/name_routines.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

TEST(NameRoutines, ExtensionIs) {
  const struct {
    const char* name;
    const char* ext;
    int32_t result;
  } kCases[] = {
      {"OP.WMV", ".wmv", 1}, {"a.b.mpg", ".mpg", 1},      {".wmv", ".wmv", 0},
      {"a.b.mpg", ".b", 0},  {"movie", ".wmv", 0},        {"x.wmvx", ".wmv", 0},
      {"x.wm", ".wmv", 0},   {"\x95\x5C.Ogg", ".ogg", 1},
  };
  for (const auto& c : kCases) EXPECT_EQ(ExtensionIs(c.name, c.ext), c.result) << c.name;
}

TEST(NameRoutines, CopyTagName) {
  const struct {
    const char* text;
    uint32_t out_size;
    const char* name;
    int32_t result;
  } kCases[] = {
      {"font>more", 32, "font", 5},
      {">x", 32, "", 1},
      {"\x83\x3E>", 32, "\x83\x3E", 3},  // a second byte 0x3E ('>') does not end the name
      {"color>", 4, "col", 6},           // cut to fit, but the caller still steps over the tag
      {"\x82\xA0\x82\xA2>", 4, "\x82\xA0", 5},  // cut between characters, not inside one
      {"font", 32, "font", 4},                  // no '>': stops on the zero
      {"ab\x82", 32, "ab\x82", 3},              // a lead byte before the zero does not swallow it
  };
  for (const auto& c : kCases) {
    char out[40];
    std::memset(out, 'z', sizeof out);
    EXPECT_EQ(CopyTagName(out, c.out_size, c.text), c.result) << c.text;
    EXPECT_STREQ(out, c.name) << c.text;
    EXPECT_EQ(out[c.out_size], 'z') << c.text;  // nothing written past out_size
  }
}

TEST(NameRoutines, Gcd) {
  EXPECT_EQ(Gcd(1280, 720), 80);
  EXPECT_EQ(Gcd(7, 0), 7);
  EXPECT_EQ(Gcd(0, 5), 5);
  EXPECT_EQ(Gcd(INT_MIN, -1), -1);  // no trap on the one remainder that overflows
}

}  // namespace
