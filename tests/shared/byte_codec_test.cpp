#include "shared/byte_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A record shaped like the stored ones: words, a signed value, a fixed name and a block.
struct Sample {
  uint16_t format;
  uint32_t flags;
  int32_t offset;
  int16_t delta;
  uint8_t kind;
  char name[6];
  uint32_t cells[2];
  std::vector<uint8_t> marks;
};

template <class IO>
void sync(IO& io, Sample& s) {
  io.u16(s.format);
  io.u32(s.flags);
  io.i32(s.offset);
  io.i16(s.delta);
  io.u8(s.kind);
  io.bytes(s.name);
  io.u32s(s.cells, 2);
  io.sized_bytes(s.marks);
}

// The bytes laid out by hand, least significant byte first.
const std::vector<uint8_t> kSampleBytes = {0x1B, 0x00,                    // format 27
                                           0x78, 0x56, 0x34, 0x12,        // flags
                                           0xFE, 0xFF, 0xFF, 0xFF,        // offset -2
                                           0x00, 0x80,                    // delta -32768
                                           0xA5,                          // kind
                                           'a',  'b',  'c',  0,    0, 0,  // name
                                           0x01, 0x00, 0x00, 0x00,        // cells[0]
                                           0x00, 0x00, 0x00, 0x80,        // cells[1]
                                           0x03, 0x00, 0x00, 0x00,        // 3 marks
                                           0x10, 0x20, 0x30};

TEST(ByteCodec, OneFieldListReadsAndWritesTheSameBytes) {
  Sample s{};
  codec::ByteReader r(kSampleBytes.data(), kSampleBytes.size());
  sync(r, s);
  ASSERT_FALSE(r.failed());
  EXPECT_EQ(r.remaining(), 0u);
  EXPECT_EQ(s.format, 27);
  EXPECT_EQ(s.flags, 0x12345678u);
  EXPECT_EQ(s.offset, -2);
  EXPECT_EQ(s.delta, -32768);
  EXPECT_EQ(s.kind, 0xA5);
  EXPECT_STREQ(s.name, "abc");
  EXPECT_EQ(s.cells[0], 1u);
  EXPECT_EQ(s.cells[1], 0x80000000u);
  EXPECT_EQ(s.marks, (std::vector<uint8_t>{0x10, 0x20, 0x30}));

  std::vector<uint8_t> out = {0xEE};  // a writer appends
  codec::ByteWriter w(&out);
  sync(w, s);
  EXPECT_EQ(out.size(), 1 + kSampleBytes.size());
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 1, out.end()), kSampleBytes);

  std::string text;  // the tools build files in strings
  codec::StringByteWriter t(&text);
  sync(t, s);
  EXPECT_EQ(std::vector<uint8_t>(text.begin(), text.end()), kSampleBytes);

  Sample blank{};
  codec::ByteCounter c;
  sync(c, blank);
  EXPECT_EQ(c.size(), kSampleBytes.size() - 3);  // an empty block is its count alone
}

// Every cut of the record: the fields before the cut keep their values, the field at the cut
// and all after it read as zero, and the failure is recorded, never a read past the end.
TEST(ByteCodec, AnOverrunGivesZerosAndStaysRecorded) {
  for (size_t cut = 0; cut < kSampleBytes.size(); ++cut) {
    std::vector<uint8_t> head(kSampleBytes.begin(), kSampleBytes.begin() + cut);
    Sample s{};
    std::memset(s.name, 'x', sizeof s.name);
    s.cells[1] = 99;
    s.marks = {9};
    codec::ByteReader r(head.data(), head.size());
    sync(r, s);
    EXPECT_TRUE(r.failed()) << cut;
    EXPECT_EQ(r.remaining(), 0u) << cut;
    EXPECT_EQ(s.kind, cut >= 13 ? 0xA5 : 0) << cut;
    EXPECT_EQ(s.name[0], cut >= 19 ? 'a' : 0) << cut;
    EXPECT_EQ(s.cells[1], cut >= 27 ? 0x80000000u : 0u) << cut;
    EXPECT_TRUE(s.marks.empty()) << cut;  // a block count past the end takes nothing
  }

  const uint8_t two[] = {1, 2};
  codec::ByteReader r(two, sizeof two);
  EXPECT_EQ(r.u32(), 0u);
  EXPECT_TRUE(r.failed());
  r.seek(0);
  EXPECT_EQ(r.u16(), 0x0201);  // the data is still there, the flag still set
  EXPECT_TRUE(r.failed());

  codec::ByteReader s(two, sizeof two);
  s.seek(2);
  EXPECT_FALSE(s.failed());  // the end itself is a place
  EXPECT_TRUE(s.take(0).empty());
  s.seek(3);
  EXPECT_TRUE(s.failed());

  codec::ByteReader none(nullptr, 5);  // no bytes whatever the size says
  EXPECT_EQ(none.size(), 0u);
  EXPECT_EQ(none.u8(), 0);
  EXPECT_TRUE(none.failed());
}

TEST(ByteCodec, BigEndianWordsAndFloats) {
  const uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x80, 0x3F};
  codec::ByteReader r(bytes, sizeof bytes);
  EXPECT_EQ(r.u16be(), 0x1234);
  r.seek(0);
  EXPECT_EQ(r.u32be(), 0x12345678u);
  EXPECT_EQ(r.f32(), 1.0f);
  EXPECT_FALSE(r.failed());
  std::vector<uint8_t> out;
  codec::ByteWriter(&out).f32(1.0f);
  EXPECT_EQ(out, std::vector<uint8_t>(bytes + 4, bytes + 8));
}

}  // namespace
