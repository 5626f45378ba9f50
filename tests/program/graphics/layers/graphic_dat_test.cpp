// graphic.dat lookups on files laid out by hand from the layout table, and the writer tool's
// files read back by the game's reader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphic_dat/graphic_dat_writer.h"
#include "graphics/layers/graphic_dat.h"
#include "shared/word_scrambler.h"

namespace {

using layers::GraphicDat;
using layers::GraphicInfo;

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Header, index and the records given as (name, flags, scale, load name) in the bucket of
// their first byte, bucket 'B' at offset 0 and bucket 'C' after it.
std::vector<uint8_t> hand_laid() {
  std::vector<uint8_t> b(2056 + 3 * 132, 0);
  auto index = [&](uint8_t first, uint16_t count, uint32_t offset) {
    b[16 + first * 8] = static_cast<uint8_t>(count);
    b[16 + first * 8 + 1] = static_cast<uint8_t>(count >> 8);
    put32(b, 16 + first * 8 + 4, offset);
  };
  index('B', 2, 0);
  index('C', 1, 264);
  index('D', 1, 396);  // runs past the end of the file
  auto record = [&](size_t n, const char* name, uint32_t flags, int32_t scale, const char* load) {
    const size_t at = 2056 + n * 132;
    std::memcpy(&b[at], name, std::strlen(name));
    put32(b, at + 32, flags);
    std::memcpy(&b[at + 36], load, std::strlen(load));
    put32(b, at + 100, 2);  // priority step
    put32(b, at + 116, static_cast<uint32_t>(scale));
    put32(b, at + 120, 0x80FF0000u);
  };
  record(0, "BG01", 0x100000 | 0x80000, 150, "BG01B");
  record(1, "BG02", 0, 100, "BG02");
  record(2, "CH01", 0x4000, 0, "CH01");
  return b;
}

GraphicInfo find(const GraphicDat& dat, const char* name) {
  char field[32];
  layers::graphic_name_field(name, field);
  GraphicInfo out;
  std::memset(&out, 0x55, sizeof out);
  if (!dat.find(field, &out)) {
    const GraphicInfo zero{};
    EXPECT_EQ(std::memcmp(&out, &zero, sizeof out), 0) << name << ": a miss leaves a zero record";
    return zero;
  }
  return out;
}

TEST(GraphicDat, LooksUpHandLaidRecords) {
  for (bool scrambled : {false, true}) {
    SCOPED_TRACE(scrambled ? "scrambled" : "plain");
    std::vector<uint8_t> bytes = hand_laid();
    if (scrambled) {
      bytes[0] = '$';
      scramble_words(bytes.data() + 16, bytes.size() - 16);
    }
    GraphicDat dat;
    std::string error;
    ASSERT_TRUE(dat.load(bytes, &error)) << error;

    const GraphicInfo bg01 = find(dat, "BG01");
    EXPECT_STREQ(bg01.name, "BG01");
    EXPECT_EQ(bg01.flags, 0x180000u);
    EXPECT_STREQ(bg01.loadName, "BG01B");
    EXPECT_EQ(bg01.priorityStep, 2);
    EXPECT_EQ(bg01.scalePercent, 150);
    EXPECT_EQ(bg01.color, 0x80FF0000u);
    EXPECT_EQ(find(dat, "BG02").flags, 0u);  // found, flags 0
    EXPECT_STREQ(find(dat, "BG02").name, "BG02");
    EXPECT_EQ(find(dat, "CH01").flags, 0x4000u);
    EXPECT_STREQ(find(dat, "BG0").name, "");   // a prefix is no match
    EXPECT_STREQ(find(dat, "DX01").name, "");  // bucket past the end of the file
    EXPECT_STREQ(find(dat,
                      "\xFF"
                      "A")
                     .name,
                 "");                        // byte 255 has no bucket
    EXPECT_STREQ(find(dat, "ZZ").name, "");  // empty bucket
  }

  // Bytes after the terminating zero count: a name field with padding garbage matches nothing.
  GraphicDat dat;
  std::string error;
  ASSERT_TRUE(dat.load(hand_laid(), &error));
  char field[32];
  layers::graphic_name_field("BG01", field);
  field[20] = 'x';
  GraphicInfo out;
  EXPECT_FALSE(dat.find(field, &out));
}

TEST(GraphicDat, AFileShorterThanItsIndexIsRefused) {
  GraphicDat dat;
  std::string error;
  EXPECT_FALSE(dat.load(std::vector<uint8_t>(2055, 0), &error));
  EXPECT_NE(error.find("2055"), std::string::npos) << error;
  EXPECT_FALSE(dat.loaded());
  EXPECT_STREQ(find(dat, "BG01").name, "");
  EXPECT_TRUE(dat.load(std::vector<uint8_t>(2056, 0), &error));  // an index and no records
  EXPECT_STREQ(find(dat, "BG01").name, "");
}

TEST(GraphicDatWriter, ListsBecomeFilesTheGameReads) {
  std::vector<GraphicInfo> records;
  std::string error;
  ASSERT_TRUE(
      graphicdat::parse_list("; display defaults\n"
                             "CH01 load=CH01A x=10 y=-4 scale=150 step=1\r\n"
                             "BG01 color=0x80FFFFFF mode=2\n"
                             "\n"
                             "CH02\n"
                             "CH03 ani=WALK cx=3 cy=4 flags=0x4000\n",
                             &records, &error))
      << error;
  for (bool scramble : {false, true}) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(graphicdat::build(records, scramble, &bytes, &error)) << error;
    ASSERT_EQ(bytes.size(), 2056u + 4 * 132);
    EXPECT_EQ(bytes[0], scramble ? '$' : 0);
    GraphicDat dat;
    ASSERT_TRUE(dat.load(bytes, &error)) << error;
    const GraphicInfo ch01 = find(dat, "CH01");
    EXPECT_STREQ(ch01.loadName, "CH01A");
    EXPECT_EQ(ch01.flags, 0x20000u | 0x100000u);
    EXPECT_EQ(ch01.x, 10);
    EXPECT_EQ(ch01.y, -4);
    EXPECT_EQ(ch01.scalePercent, 150);
    EXPECT_EQ(ch01.priorityStep, 1);
    EXPECT_EQ(find(dat, "BG01").flags, 0x80000u | 0x2000u);
    EXPECT_EQ(find(dat, "BG01").renderMode, 2);
    EXPECT_STREQ(find(dat, "CH02").name, "CH02");
    EXPECT_STREQ(find(dat, "BG01").loadName, "BG01") << "without load= a record loads its name";
    EXPECT_EQ(find(dat, "CH02").flags, 0u);
    EXPECT_EQ(find(dat, "CH03").flags, 0x4000u);  // flags= replaces what the keys made
    EXPECT_STREQ(find(dat, "CH03").aniName, "WALK");
  }
  std::vector<uint8_t> plain;
  ASSERT_TRUE(graphicdat::build(records, false, &plain, &error));
  // Bucket 'B' holds one record at 0, bucket 'C' three after it, in list order.
  EXPECT_EQ(plain[16 + 'B' * 8], 1);
  EXPECT_EQ(plain[16 + 'C' * 8], 3);
  EXPECT_EQ(plain[16 + 'C' * 8 + 4], 132);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&plain[2056 + 132]), 4), "CH01");

  struct Bad {
    const char* list;
    const char* error;
  };
  for (const Bad& b :
       {Bad{"A x=1\nB y\n", "line 2: expected key=value"},
        Bad{"A scale=big\n", "line 1: not a number"}, Bad{"A size=3\n", "line 1: unknown key size"},
        Bad{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456\n", "line 1: the name"}}) {
    std::vector<GraphicInfo> r;
    EXPECT_FALSE(graphicdat::parse_list(b.list, &r, &error));
    EXPECT_EQ(error.find(b.error), 0u) << error;
  }
  records.push_back(records[0]);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(graphicdat::build(records, false, &bytes, &error));
  EXPECT_NE(error.find("appears twice"), std::string::npos) << error;
}

}  // namespace
