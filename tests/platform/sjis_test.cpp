#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* what;
  std::string sjis;
  std::string utf8;
};

// The characters that break ports: trail bytes 0x5C and 0x7C, the CP932-only mappings, the
// NEC and IBM extension rows and half-width katakana.
const Case kRoundTrips[] = {
    {"trail byte 0x5C (so)", "\x83\x5C", "\xE3\x82\xBD"},
    {"trail byte 0x5C in a path", "a\\\x95\x5C\\b", "a\\\xE8\xA1\xA8\\b"},
    {"trail byte 0x7C", "\x83\x7C", "\xE3\x83\x9D"},
    {"backslash and tilde stay ASCII", "\\~", "\\~"},
    {"wave dash is the full-width tilde", "\x81\x60", "\xEF\xBD\x9E"},
    {"NEC row 13 circled one", "\x87\x40", "\xE2\x91\xA0"},
    {"IBM extension", "\xFA\x40", "\xE2\x85\xB0"},
    {"half-width katakana", "\xB1\xDF", "\xEF\xBD\xB1\xEF\xBE\x9F"},
};

TEST(Sjis, ConvertsBothWays) {
  for (const Case& c : kRoundTrips) {
    std::string out;
    EXPECT_TRUE(platform::sjis_to_utf8(c.sjis, out)) << c.what;
    EXPECT_EQ(out, c.utf8) << c.what;
    EXPECT_TRUE(platform::utf8_to_sjis(c.utf8, out)) << c.what;
    EXPECT_EQ(out, c.sjis) << c.what;
  }
}

TEST(Sjis, BadInputIsAnErrorNotACrash) {
  const struct {
    const char* what;
    std::string sjis;
    std::string converted_before;
  } kBad[] = {
      {"lone lead byte at the end", "ab\x82", "ab"},
      {"unassigned code", "a\x85\x40", "a"},
      {"single byte 0x80", "\x80", ""},
      {"single byte 0xFD", "x\xFD", "x"},
  };
  for (const auto& c : kBad) {
    std::string out;
    EXPECT_FALSE(platform::sjis_to_utf8(c.sjis, out)) << c.what;
    EXPECT_EQ(out, c.converted_before) << c.what;
  }
  EXPECT_EQ(platform::sjis_to_utf8_lossy("a\x80z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(platform::utf8_to_sjis_lossy("a\xE2\x82\xAC"
                                         "b"),
            "a?b");  // the euro sign
  std::string out;
  EXPECT_FALSE(platform::utf8_to_sjis("\xC3", out));  // truncated UTF-8
}

TEST(Sjis, PathsKeepCharactersWithoutAShiftJisForm) {
  const struct {
    const char* what;
    std::string utf8;
  } kPaths[] = {
      {"Latin-1", "/home/jos\xC3\xA9/game"},
      {"emoji", "/tmp/\xF0\x9F\x8E\xAE/save"},
      {"both beside kana", "/\xE3\x81\x82\xC3\xA9\xF0\x9F\x8E\xAE\xE3\x81\x82/x"},
      {"a user-defined character", "/\xEE\x80\x80/"},  // U+E000 would look like an escape
      {"the highest code point", "/\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : kPaths) {
    const std::string sjis = platform::utf8_to_sjis_path(c.utf8);
    // Inside the system: no '?', and no ASCII byte that was not in the path (no separator).
    EXPECT_EQ(sjis.find('?'), std::string::npos) << c.what;
    size_t ascii_in = 0, ascii_out = 0;
    for (char ch : c.utf8) ascii_in += static_cast<uint8_t>(ch) < 0x80;
    for (char ch : sjis) ascii_out += static_cast<uint8_t>(ch) < 0x80;
    EXPECT_EQ(ascii_out, ascii_in) << c.what;
    std::string back;
    EXPECT_TRUE(platform::sjis_to_utf8(sjis, back)) << c.what;
    EXPECT_EQ(back, c.utf8) << c.what;
    EXPECT_EQ(platform::sjis_to_utf8_lossy(sjis), c.utf8) << c.what;
  }
  // Characters with a CP932 form keep it; invalid UTF-8 is a '?'.
  EXPECT_EQ(platform::utf8_to_sjis_path("a\xE3\x81\x82\\b"), "a\x82\xA0\\b");
  EXPECT_EQ(platform::utf8_to_sjis_path("a\xC3(b"), "a?(b");
  // An escape is three units: its first unit alone is an ordinary character.
  const std::string sjis = platform::utf8_to_sjis_path("\xC3\xA9");
  ASSERT_EQ(sjis.size(), 6u);
  std::string cut;
  platform::sjis_to_utf8(sjis.substr(0, 4) + "x", cut);
  EXPECT_EQ(cut.find("\xC3\xA9"), std::string::npos);
}

TEST(Sjis, LeadBytes) {
  EXPECT_TRUE(platform::sjis_is_lead(0x81));
  EXPECT_TRUE(platform::sjis_is_lead(0x9F));
  EXPECT_TRUE(platform::sjis_is_lead(0xE0));
  EXPECT_TRUE(platform::sjis_is_lead(0xFC));
  EXPECT_FALSE(platform::sjis_is_lead(0x80));
  EXPECT_FALSE(platform::sjis_is_lead(0xA0));
  EXPECT_FALSE(platform::sjis_is_lead(0xB1));  // half-width katakana are one byte
  EXPECT_FALSE(platform::sjis_is_lead(0xFD));
}

}  // namespace
