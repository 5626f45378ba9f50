#include "Orv/render/image/ge_lz.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ge_writer/ge_writer.h"

namespace {

struct LzCase {
  const char* name;
  std::vector<uint8_t> stream;
  uint32_t unpacked;
  int result;
  std::string expect;  // when result is 1
};

std::string unpack(const std::vector<uint8_t>& in, uint32_t size, int* result) {
  std::string out(size, '\0');
  *result = GeLzDecode(reinterpret_cast<uint8_t*>(out.data()), size, in.data(), in.size());
  return out;
}

TEST(GeLz, Tokens) {
  const std::vector<LzCase> cases = {
      // control 0b10: literal "ab", then a short reference distance 1, length 4 + 2.
      {"short distance 1 repeats the last byte", {0x02, 2, 'a', 'b', 0x1A, 0x00}, 8, 1, "abbbbbbb"},
      // literal "a", literal of count 0, then a reference: the empty literal used up bit 1.
      {"literal of count 0 uses up a control bit", {0x04, 1, 'a', 0, 0x18, 0x00}, 5, 1, "aaaaa"},
      // long form: distance 3, L = 0x0105 -> 261 + 4 bytes, overlapping its own output.
      {"long reference",
       {0x02, 3, 'a', 'b', 'c', 0x31, 0x00, 0x05},
       3 + 265,
       1,
       "abc" +
           [] {
             std::string s;
             for (int i = 0; i < 265; ++i) s += "abc"[i % 3];
             return s;
           }()},
      // Eight one-byte literals fill the output exactly; the next control byte is missing
      // from the input and reads as zero.
      {"complete after the eighth token",
       {0x00, 1, '1', 1, '2', 1, '3', 1, '4', 1, '5', 1, '6', 1, '7', 1, '8'},
       8,
       1,
       "12345678"},
      {"distance 0 is refused", {0x02, 1, 'a', 0x08, 0x00}, 5, 0, ""},
      {"distance beyond the output is refused", {0x02, 1, 'a', 0x28, 0x00}, 5, 0, ""},
      {"reference past the unpacked size is refused", {0x02, 1, 'a', 0x1F, 0x00}, 6, 0, ""},
      {"literal past the unpacked size is refused", {0x00, 3, 'a', 'b', 'c'}, 2, 0, ""},
      {"literal bytes missing", {0x00, 4, 'a', 'b'}, 4, 0, ""},
      {"reference word missing", {0x02, 1, 'a', 0x18}, 5, 0, ""},
      {"long form third byte missing", {0x02, 1, 'a', 0x10, 0x00}, 5, 0, ""},
      {"stream ends before the output is complete", {0x00, 1, 'a'}, 2, 0, ""},
  };
  for (const LzCase& c : cases) {
    int result = -1;
    const std::string out = unpack(c.stream, c.unpacked, &result);
    EXPECT_EQ(result, c.result) << c.name;
    if (c.result == 1) {
      EXPECT_EQ(out, c.expect) << c.name;
    }
  }
}

TEST(GeLz, RoundTripsTheWriter) {
  std::string raw;
  for (int i = 0; i < 20000; ++i)
    raw += static_cast<char>((i * 7 / 13) ^ (i % 251 == 0 ? 0x55 : 0));
  raw += std::string(3000, 'z');  // a run longer than one long reference
  const std::string packed = gewriter::lz_pack(raw);
  ASSERT_LT(packed.size(), raw.size());
  std::vector<uint8_t> in(packed.begin(), packed.end());
  int result = 0;
  EXPECT_EQ(unpack(in, static_cast<uint32_t>(raw.size()), &result), raw);
  EXPECT_EQ(result, 1);
}

// The bound that callers check declared sizes against holds for the densest stream there is:
// one literal, then long references of the greatest length.
TEST(GeLz, MostUnpackedBoundsTheDensestStream) {
  std::vector<uint8_t> in = {0xFE, 1, 'a'};
  for (int i = 0; i < 7; ++i) {
    in.insert(in.end(), {0x17, 0x00, 0xFF});  // distance 1, length 2051
  }
  const uint32_t produced = 1 + 7 * 2051;
  int result = 0;
  unpack(in, produced, &result);
  ASSERT_EQ(result, 1);
  EXPECT_GE(GeLzMostUnpacked(in.size()), produced);
}

}  // namespace
