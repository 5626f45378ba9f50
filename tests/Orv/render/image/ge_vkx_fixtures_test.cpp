// GE files of every type and VKX files laid out byte by byte from the format's layout tables
// (not made by our writer, which shares the decoder's reading of the layout), with the pixels
// worked out by hand from the formulas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/vkx_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

void le16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void le32(Bytes& b, uint32_t v) {
  le16(b, v & 0xFFFF);
  le16(b, v >> 16);
}
void append(Bytes& b, const Bytes& more) {
  b.insert(b.end(), more.begin(), more.end());
}

// Header fields at their offsets; the data block at D = 32 (bytes 30 and 31 are not read);
// then U, the packed size and the payload.
Bytes ge_file(uint16_t type, int32_t w, int32_t h, uint32_t unpacked, const Bytes& payload) {
  Bytes f = {'G', 'E'};
  le16(f, 32);            // D
  le32(f, uint32_t(-7));  // x
  le32(f, 5);             // y
  le32(f, uint32_t(w));   // width
  le32(f, uint32_t(h));   // height
  le32(f, uint32_t(w));   // cell width
  le32(f, uint32_t(h));   // cell height
  le16(f, type);          // type
  f.push_back(0xEE);      // not read
  f.push_back(0xEE);
  le32(f, unpacked);  // U
  le32(f, uint32_t(payload.size()));
  append(f, payload);
  return f;
}

std::vector<uint32_t> decode(const Bytes& file) {
  ImageBuffer img;
  std::string error;
  EXPECT_TRUE(ge_decode(file.data(), file.size(), &img, &error)) << error;
  return std::vector<uint32_t>(img.pixels.begin(), img.pixels.end());
}

TEST(GeFixtures, EveryType) {
  // Types 0 and 5 (any unknown type): raw B, G, R, A rows, top row first.
  const Bytes raw = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const std::vector<uint32_t> raw_pixels = {0x04030201, 0x08070605, 0x0C0B0A09, 0x100F0E0D};
  EXPECT_EQ(decode(ge_file(0, 2, 2, 0, raw)), raw_pixels);
  EXPECT_EQ(decode(ge_file(5, 2, 2, 0, raw)), raw_pixels);

  // Type 1, planes A, R, G, B of four bytes. LZ: control 0b010 = literal [FF], a short
  // reference (distance 1, 4 bytes: w = 1 << 4 | 8 | 0), literal of the other 11 bytes.
  const Bytes planes = {0x02, 1,    0xFF, 0x18, 0x00, 11, 0x10, 0x20, 0x30,
                        0x40, 0x50, 0x60, 0x70, 1,    2,  3,    4};
  EXPECT_EQ(decode(ge_file(1, 2, 2, 16, planes)),
            (std::vector<uint32_t>{0xFFFF4001, 0xFF105002, 0xFF206003, 0xFF307004}));

  // Type 2, one 2x2 block: Cb = -20, Cr = 30, Y = 10, 100, 200, 250.
  // R = Y + floor(179 * 30 / 128) = Y + 41, G = Y + floor((860 - 2670) / 128) = Y - 15,
  // B = Y + floor(-4520 / 128) = Y - 36, each clamped to 0..255.
  const Bytes ycc = {0x00, 6, 0xEC, 30, 10, 100, 200, 250};
  EXPECT_EQ(decode(ge_file(2, 2, 2, 6, ycc)),
            (std::vector<uint32_t>{0xFF330000, 0xFF8D5540, 0xFFF1B9A4, 0xFFFFEBD6}));

  // Type 3, 24 bits, 3 x 2: row 0 filter left, row 1 filter average. Pixels (B, G, R):
  // row 0 (10,20,30) (15,25,35) (200,100,50); row 1 (1,2,3) (250,4,9) (7,8,9).
  // Left stores left - value: 10-15 = 251, ..., 15-200 = 71, 25-100 = 181, 35-50 = 241.
  // Average stores floor((left + above) / 2) - value: (1+15)/2-250 = 14, (2+25)/2-4 = 9,
  // (3+35)/2-9 = 10; (250+200)/2-7 = 218, (4+100)/2-8 = 44, (9+50)/2-9 = 20.
  Bytes rows24 = {0x00, 28};
  for (uint32_t v : {0u, 24u, 3u, 2u}) le16(rows24, v);
  append(rows24, {1, 4, 10, 20, 30, 251, 251, 251, 71, 181, 241, 1, 2, 3, 14, 9, 10, 218, 44, 20});
  EXPECT_EQ(decode(ge_file(3, 3, 2, 28, rows24)),
            (std::vector<uint32_t>{0xFF1E140A, 0xFF23190F, 0xFF3264C8, 0xFF030201, 0xFF0904FA,
                                   0xFF090807}));

  // Type 3, 32 bits (inner bits 16 read as 32), 2 x 2: row 0 filter none, row 1 filter up,
  // which stores above - value: 1-9 = 248 ..., 5-255 = 6, 6-0 = 6, 7-128 = 135, 8-64 = 200.
  Bytes rows32 = {0x00, 26};
  for (uint32_t v : {0u, 16u, 2u, 2u}) le16(rows32, v);
  append(rows32, {0, 2, 1, 2, 3, 4, 5, 6, 7, 8, 248, 248, 248, 248, 6, 6, 135, 200});
  EXPECT_EQ(decode(ge_file(3, 2, 2, 26, rows32)),
            (std::vector<uint32_t>{0x04030201, 0x08070605, 0x0C0B0A09, 0x408000FF}));

  // The header as a size query reads it.
  GeHeader header;
  const Bytes file = ge_file(1, 2, 2, 16, planes);
  ASSERT_TRUE(ge_read_header(file.data(), 28, &header));
  EXPECT_EQ(header.x, -7);
  EXPECT_EQ(header.y, 5);
  EXPECT_EQ(header.cell_width * 10 + header.cell_height, 22);
}

// A VKX file: header at its offsets, the base name in 34 bytes, U at 48, the packed size at
// 52, the LZ stream at 56.
Bytes vkx_file(const char* magic, uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint16_t bits,
               uint32_t unpacked, const Bytes& stream) {
  Bytes f(magic, magic + 4);
  for (uint16_t v : {x, y, w, h, bits}) le16(f, v);
  const std::string name = "BASE.GE";
  f.insert(f.end(), name.begin(), name.end());
  f.resize(48, 0);
  le32(f, unpacked);
  le32(f, uint32_t(stream.size()));
  append(f, stream);
  return f;
}

TEST(VkxFixtures, DifferencesXorOntoTheBase) {
  for (const char* magic : {"VKX2", "VKX3"}) {
    SCOPED_TRACE(magic);
    ImageBuffer base;
    ASSERT_TRUE(base.reset(3, 2));
    for (uint32_t& p : base.pixels) p = 0x80112233;
    std::string error;

    // 24 bits at (1, 0), 2 x 2: row 0 filter none with (1,2,3) (4,5,6); row 1 filter left
    // with values (7,8,9) (10,11,12), stored as (7,8,9) and 7-10 = 253 in each byte.
    const Bytes d24 = {0x00, 14, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 253, 253, 253};
    const Bytes v24 = vkx_file(magic, 1, 0, 2, 2, 24, 14, d24);
    VkxHeader header;
    ASSERT_TRUE(vkx_read_header(v24.data(), v24.size(), &header));
    EXPECT_STREQ(header.base_name, "BASE.GE");
    EXPECT_EQ(header.bytes_per_pixel, 3);
    ASSERT_TRUE(vkx_apply(v24.data(), v24.size(), &base, &error)) << error;
    // B ^ 1, G ^ 2, R ^ 3 and so on; the base alpha 0x80 stays.
    EXPECT_EQ(std::vector<uint32_t>(base.pixels.begin(), base.pixels.end()),
              (std::vector<uint32_t>{0x80112233, 0x80122032, 0x80172737, 0x80112233, 0x80182A34,
                                     0x801D2939}));

    // 32 bits at (0, 1), 1 x 1: (B, G, R, A) = (0xFF, 0, 0, 0x7F) changes the alpha too.
    const Bytes d32 = {0x00, 5, 0, 0xFF, 0, 0, 0x7F};
    const Bytes v32 = vkx_file(magic, 0, 1, 1, 1, 32, 5, d32);
    ASSERT_TRUE(vkx_apply(v32.data(), v32.size(), &base, &error)) << error;
    EXPECT_EQ(base.row(1)[0], 0xFF1122CCu);
  }
}

}  // namespace
