// The .ani reader against bytes laid out by hand: ops, labels and the start offset are found
// where the layout puts them, and every offset or index outside the op stream is refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/animations/ani_file.h"

namespace {

using animations::AniOp;
using animations::AniView;

// move (1, -2, 3) over 256 ms; jump label 1; end; then labels 1 and 0, the unread word and
// the start offset 0.
const std::vector<uint8_t> kFile = {
    0x00, 0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,  // 0: op 0, dx 1, dy -2
    0x03, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,        //    dz 3, time 256
    0x0A, 0x01, 0x00, 0x00, 0x00,                          // 17: op 10, label 1
    0xFF,                                                  // 22: op 255
    0x11, 0x00, 0x00, 0x00,                                // 23: label 1 -> 17
    0x16, 0x00, 0x00, 0x00,                                // 27: label 0 -> 22
    0x78, 0x56, 0x34, 0x12,                                // 31: not read
    0x00, 0x00, 0x00, 0x00,                                // 35: start offset 0
};

AniView view(const std::vector<uint8_t>& b) {
  return AniView{b.data(), static_cast<uint32_t>(b.size())};
}

TEST(AniFileTest, ReadsOpsLabelsAndStartWhereTheLayoutPutsThem) {
  uint32_t start = 99;
  ASSERT_TRUE(animations::ani_start_offset(view(kFile), &start));
  EXPECT_EQ(start, 0u);
  AniOp op;
  ASSERT_TRUE(animations::ani_read_op(view(kFile), 0, &op));
  EXPECT_EQ(op.code, 0);
  EXPECT_EQ(op.v[0], 1);
  EXPECT_EQ(op.v[1], -2);
  EXPECT_EQ(op.v[2], 3);
  EXPECT_EQ(op.v[3], 256);
  EXPECT_EQ(op.next, 17u);
  ASSERT_TRUE(animations::ani_read_op(view(kFile), 17, &op));
  EXPECT_EQ(op.code, 10);
  EXPECT_EQ(op.next, 22u);
  uint32_t at = 0;
  ASSERT_TRUE(animations::ani_label_offset(view(kFile), 0, &at));
  EXPECT_EQ(at, 22u);
  ASSERT_TRUE(animations::ani_label_offset(view(kFile), 1, &at));
  EXPECT_EQ(at, 17u);
  ASSERT_TRUE(animations::ani_read_op(view(kFile), 22, &op));
  EXPECT_EQ(op.code, 255);
  EXPECT_EQ(animations::ani_operand_count(255), -1);
  EXPECT_EQ(animations::ani_operand_count(21), 9);
  EXPECT_EQ(animations::ani_operand_count(100), -1) << "ops 23-250 end the program";
}

TEST(AniFileTest, RefusesEveryOffsetOutsideTheOpStream) {
  uint32_t v = 0;
  AniOp op;
  // Labels: negative; label 6, whose word is bytes 3-6, the last word that lies in the file
  // (found once it holds an offset inside the stream); label 7, whose word would start before
  // the file.
  std::vector<uint8_t> b = kFile;
  EXPECT_FALSE(animations::ani_label_offset(view(b), -1, &v));
  EXPECT_FALSE(animations::ani_label_offset(view(b), 6, &v)) << "0xFFFE0000 is no offset";
  b[3] = 5, b[4] = 0, b[5] = 0, b[6] = 0;
  EXPECT_TRUE(animations::ani_label_offset(view(b), 6, &v));
  EXPECT_EQ(v, 5u);
  EXPECT_FALSE(animations::ani_label_offset(view(b), 7, &v));
  EXPECT_FALSE(animations::ani_label_offset(view(b), 0x40000000, &v));
  // A label whose value lies in the trailer.
  b = kFile;
  b[27] = 31;
  EXPECT_FALSE(animations::ani_label_offset(view(b), 0, &v));
  // Start offsets at and past the end of the op stream (size - 8 = 31).
  b = kFile;
  b[35] = 31;
  EXPECT_FALSE(animations::ani_start_offset(view(b), &v));
  b[35] = 30;
  EXPECT_TRUE(animations::ani_start_offset(view(b), &v));
  b[35] = 0;
  b[38] = 0x80;
  EXPECT_FALSE(animations::ani_start_offset(view(b), &v));
  // Files too short for their trailer.
  for (size_t n : {0u, 7u, 8u}) {
    std::vector<uint8_t> s(n, 0);
    EXPECT_FALSE(animations::ani_start_offset(view(s), &v)) << n << " bytes";
  }
  // An op whose operands run past the op stream: op 0 at 27 needs 16 bytes, 4 are left.
  EXPECT_FALSE(animations::ani_read_op(view(kFile), 27, &op));
  b = kFile;
  b[30] = 0xFF;
  EXPECT_TRUE(animations::ani_read_op(view(b), 30, &op)) << "a one-byte op fits";
  EXPECT_FALSE(animations::ani_read_op(view(kFile), 31, &op));
  EXPECT_FALSE(animations::ani_read_op(AniView{nullptr, 0}, 0, &op));
}

}  // namespace
