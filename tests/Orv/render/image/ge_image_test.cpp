#include "Orv/render/image/ge_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Orv/render/image/row_filter.h"
#include "Orv/render/image/vkx_image.h"
#include "ge_writer/ge_writer.h"

namespace {

std::vector<uint32_t> test_picture(int w, int h) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>((x * 37 + y * 11) & 255) << 24 |
                                          static_cast<uint32_t>((x * 5) & 255) << 16 |
                                          static_cast<uint32_t>((y * 9 + x) & 255) << 8 |
                                          static_cast<uint32_t>((x ^ y) & 255);
  return p;
}

bool decode(const std::string& file, ImageBuffer* out, std::string* error = nullptr) {
  std::string e;
  return ge_decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), out,
                   error ? error : &e);
}

gewriter::GeOptions gopt(int type, std::vector<uint8_t> filters = {}) {
  gewriter::GeOptions o;
  o.type = type;
  o.filters = std::move(filters);
  return o;
}

gewriter::VkxOptions vopt(uint16_t x, uint16_t y, int bits = 32, const char* magic = "VKX2",
                          std::vector<uint8_t> filters = {}, std::string name = "") {
  gewriter::VkxOptions o;
  o.magic = magic;
  o.x = x;
  o.y = y;
  o.bits = bits;
  o.filters = std::move(filters);
  o.base_name = std::move(name);
  return o;
}

std::vector<uint32_t> opaque(std::vector<uint32_t> p) {
  for (uint32_t& v : p) v |= 0xFF000000u;
  return p;
}

TEST(GeImage, LosslessTypesDecodeToTheirPixels) {
  struct Case {
    const char* name;
    gewriter::GeOptions o;
    int w, h;
    bool opaque;
  };
  auto opt = [](int type, int bits, std::vector<uint8_t> filters, uint16_t stored = 0xFFFF) {
    gewriter::GeOptions o;
    o.type = type;
    o.bits = bits;
    o.filters = std::move(filters);
    o.stored_type = stored;
    return o;
  };
  const std::vector<Case> cases = {
      {"raw", opt(0, 32, {}), 7, 5, false},
      {"type 5 reads as raw", opt(0, 32, {}, 5), 7, 5, false},
      {"planes", opt(1, 32, {}), 13, 9, false},
      {"rows 32, every filter", opt(3, 32, {0, 1, 2, 4}), 13, 9, false},
      {"rows 24, every filter", opt(3, 24, {0, 1, 2, 4}), 13, 9, true},
      {"rows: bits tested from bit 0 (3 is left, 6 is up, 8 is none)", opt(3, 32, {0, 3, 6, 8}), 6,
       8, false},
      {"rows of width 1, left and average", opt(3, 32, {1, 4}), 1, 6, false},
      {"rows with inner bits 16 decode as 32", opt(3, 16, {1, 2}), 5, 4, false},
      {"rows of a wide picture (long references)", opt(3, 32, {2}), 700, 3, false},
  };
  for (const Case& c : cases) {
    const auto pixels = test_picture(c.w, c.h);
    ImageBuffer img;
    std::string error;
    ASSERT_TRUE(decode(gewriter::ge_write(c.w, c.h, pixels, c.o), &img, &error))
        << c.name << ": " << error;
    ASSERT_EQ(img.width, c.w) << c.name;
    EXPECT_EQ(img.to_vector(), c.opaque ? opaque(pixels) : pixels) << c.name;
  }
}

TEST(GeImage, LumaChromaFollowsTheFormula) {
  // 5 x 3: two blocks in the first pair of rows; the odd last column and row stay empty.
  const int w = 5, h = 3;
  std::string planes(3 * 2 + 15, '\0');
  planes[0] = static_cast<char>(-40);   // Cb of block 0
  planes[1] = static_cast<char>(100);   // Cb of block 1
  planes[3] = static_cast<char>(-100);  // Cr of block 0
  planes[4] = static_cast<char>(20);    // Cr of block 1
  for (int i = 0; i < 15; ++i) planes[6 + i] = static_cast<char>(100 + i);
  ImageBuffer img;
  img.reset(w, h);
  GeYccToArgb(img.pixels.data(), w, reinterpret_cast<const uint8_t*>(planes.data()), w, h);
  auto expect = [](int y, int cb, int cr) {
    auto c = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    const int r = y + (179 * cr >> 7), g = y + ((-43 * cb - 89 * cr) >> 7), b = y + (226 * cb >> 7);
    return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
  };
  EXPECT_EQ(img.pixels[0], expect(100, -40, -100));
  EXPECT_EQ(img.pixels[1 * w + 1], expect(106, -40, -100));
  EXPECT_EQ(img.pixels[3], expect(103, 100, 20));
  EXPECT_EQ(img.pixels[1 * w + 2], expect(107, 100, 20));
  EXPECT_EQ(img.pixels[4], 0u);          // odd last column
  EXPECT_EQ(img.pixels[2 * w + 0], 0u);  // odd last row
  // -43 * 1 - 89 * 0 = -43: the floor of -43/128 is -1, not 0.
  EXPECT_EQ((expect(50, 1, 0) >> 8) & 255, 49u);

  // The whole path through a file, and pictures too small for a block.
  for (auto [pw, ph] : {std::pair{4, 4}, {1, 5}, {9, 1}}) {
    ImageBuffer out;
    ASSERT_TRUE(decode(gewriter::ge_write(pw, ph, test_picture(pw, ph), gopt(2)), &out));
    if (pw < 2 || ph < 2) {
      for (uint32_t v : out.pixels) EXPECT_EQ(v, 0u);
    } else {
      EXPECT_EQ(out.pixels[0] >> 24, 255u);
    }
  }
}

TEST(GeImage, CorruptFilesAreRefused) {
  const auto pixels = test_picture(8, 8);
  const std::string good = gewriter::ge_write(8, 8, pixels, gopt(3, {2}));
  auto with = [&](size_t at, std::vector<uint8_t> bytes) {
    std::string f = good;
    for (size_t i = 0; i < bytes.size(); ++i) f[at + i] = static_cast<char>(bytes[i]);
    return f;
  };
  std::string inner_too_big = gewriter::ge_write(8, 8, pixels, gopt(3));
  {
    // Rewrite the inner width of an unpacked copy: pack a body whose inner header says 9.
    std::string body;
    body += std::string("\0\0\x20\0\x09\0\x08\0", 8);
    body += std::string(8 + 9 * 8 * 4, '\0');
    const std::string packed = gewriter::lz_pack(body);
    inner_too_big = inner_too_big.substr(0, 30);
    for (uint32_t v : {static_cast<uint32_t>(body.size()), static_cast<uint32_t>(packed.size())})
      for (int k = 0; k < 4; ++k) inner_too_big += static_cast<char>(v >> (8 * k));
    inner_too_big += packed;
  }
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"header cut short", good.substr(0, 29)},
      {"data offset beyond the file", with(2, {0xF0, 0xFF})},
      {"raw rows cut short", gewriter::ge_write(8, 8, pixels, gopt(0)).substr(0, 30 + 8 + 100)},
      {"packed stream cut short", good.substr(0, good.size() - 5)},
      {"unpacked size above the scratch", with(30, {0, 0, 0, 0x10})},
      {"unpacked size below the rows", with(30, {0x10, 0, 0, 0})},
      {"negative width", with(12, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"huge picture", with(12, {0, 0, 1, 0})},
      {"inner size above the header's", inner_too_big},
  };
  for (const auto& c : cases) {
    ImageBuffer img;
    std::string error;
    EXPECT_FALSE(decode(c.file, &img, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_TRUE(img.pixels.empty()) << c.name;
  }
}

// A declared unpacked size that the packed bytes cannot reach is refused before anything is
// sized from it (not after a 60 MiB allocation).
TEST(GeImage, UnpackedSizeIsCheckedAgainstTheStreamFirst) {
  const std::string good = gewriter::ge_write(8, 8, test_picture(8, 8), gopt(3, {2}));
  std::string f = good;
  const uint32_t huge = 60u << 20;
  for (int k = 0; k < 4; ++k) f[30 + k] = static_cast<char>(huge >> (8 * k));
  ImageBuffer img;
  std::string error;
  EXPECT_FALSE(decode(f, &img, &error));
  EXPECT_EQ(error, "GE packed stream is too short for its unpacked size");
}

TEST(GeImage, PlanesBeyondThePictureAreIgnored) {
  // Unpacked data for 3 pixels only, picture of 2 x 2: the fourth pixel stays empty, and a
  // stream for more pixels than the picture writes only the picture.
  std::vector<uint8_t> planes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  std::vector<uint32_t> dst(4, 0);
  GePlanesToArgb(dst.data(), planes.data(), 12, 2, 2, 2);
  EXPECT_EQ(dst, (std::vector<uint32_t>{0x0104070Au, 0x0205080Bu, 0x0306090Cu, 0u}));
  std::vector<uint8_t> many(4 * 10, 7);
  std::vector<uint32_t> small(5, 0);
  GePlanesToArgb(small.data(), many.data(), 40, 2, 2, 2);
  EXPECT_EQ(small[4], 0u);
}

TEST(RowFilter, EncoderTablesInvertTheDecoder) {
  for (int bpp : {3, 4}) {
    const RowEncoderEntry* table = bpp == 3 ? kRowEncoders24 : kRowEncoders32;
    const int w = 6, h = 3, len = w * bpp;
    std::vector<uint8_t> rows(static_cast<size_t>(len) * h);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i * 53 + 17);
    int entries = 0;
    for (const RowEncoderEntry* e = table; e->filter != -1; ++e, ++entries) {
      std::vector<uint8_t> out(len, 0xEE);
      const int no_prev = e->encode(out.data(), rows.data(), len, 0);
      EXPECT_EQ(no_prev, e->filter == kRowFilterLeft ? 0 : -1);
      if (no_prev) {
        EXPECT_EQ(out, std::vector<uint8_t>(len, 0xEE));
      }
      // Encode rows 1 and 2 with this filter, row 0 as none, and decode them.
      std::vector<uint8_t> body(rows.begin(), rows.begin() + len);
      for (int y = 1; y < h; ++y) {
        ASSERT_EQ(e->encode(out.data(), rows.data() + y * len, len, 1), 0);
        body.insert(body.end(), out.begin(), out.end());
      }
      const uint8_t filters[3] = {0, static_cast<uint8_t>(e->filter),
                                  static_cast<uint8_t>(e->filter)};
      std::vector<uint32_t> dst(static_cast<size_t>(w) * h);
      if (bpp == 4) {
        GeRowFilterDecode32(dst.data(), filters, body.data(), w, h, w);
        EXPECT_EQ(std::memcmp(dst.data(), rows.data(), rows.size()), 0) << e->filter;
      } else {
        std::vector<uint8_t> packed(rows.size());
        VkxRowFilterDecode24(packed.data(), filters, body.data(), w, h);
        EXPECT_EQ(packed, rows) << e->filter;
      }
    }
    EXPECT_EQ(entries, 3);
  }
}

// ---- VKX ----

std::string vkx(uint16_t w, uint16_t h, const std::vector<uint32_t>& diff, gewriter::VkxOptions o) {
  return gewriter::vkx_write(w, h, diff, o);
}

bool apply_vkx(const std::string& file, ImageBuffer* base) {
  std::string error;
  return vkx_apply(reinterpret_cast<const uint8_t*>(file.data()), file.size(), base, &error);
}

TEST(VkxImage, AppliesTheDifference) {
  ImageBuffer base;
  base.reset(8, 6);
  for (size_t i = 0; i < base.pixels.size(); ++i) base.pixels[i] = 0x80000000u | uint32_t(i);
  const auto diff = test_picture(3, 2);
  for (int bits : {24, 32}) {
    ImageBuffer a = base, b = base;
    ASSERT_TRUE(apply_vkx(vkx(3, 2, diff, vopt(4, 3, bits, "VKX2", {1, 4})), &a));
    ASSERT_TRUE(apply_vkx(vkx(3, 2, diff, vopt(4, 3, bits, "VKX3", {1, 4})), &b));
    EXPECT_EQ(a.to_vector(), b.to_vector()) << "VKX2 and VKX3 alike";
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        uint32_t want = base.pixels[y * 8 + x];
        if (x >= 4 && x < 7 && y >= 3 && y < 5) {
          const uint32_t d = diff[(y - 3) * 3 + (x - 4)];
          want ^= bits == 24 ? (d & 0xFFFFFF) : d;
        }
        EXPECT_EQ(a.pixels[y * 8 + x], want) << bits << " bits at " << x << "," << y;
      }
  }
}

TEST(VkxImage, RectangleOverTheBaseIsClipped) {
  ImageBuffer base;
  base.reset(4, 4);
  const std::vector<uint32_t> diff(6 * 6, 0x01010101u);
  ASSERT_TRUE(apply_vkx(vkx(6, 6, diff, vopt(2, 3)), &base));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(base.pixels[y * 4 + x], (x >= 2 && y >= 3) ? 0x01010101u : 0u) << x << "," << y;
  ImageBuffer far = base;
  ASSERT_TRUE(apply_vkx(vkx(2, 2, std::vector<uint32_t>(4, 5), vopt(60000, 0)), &far));
  EXPECT_EQ(far.to_vector(), base.to_vector());
}

TEST(VkxImage, HeaderAndCorruptFiles) {
  std::string file = vkx(2, 2, std::vector<uint32_t>(4, 1), vopt(0, 0, 32, "VKX2", {}, "BASE.GE"));
  VkxHeader h;
  ASSERT_TRUE(vkx_read_header(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &h));
  EXPECT_STREQ(h.base_name, "BASE.GE");
  // A name field with no terminator is cut at its 34 bytes.
  std::string full = file;
  for (int i = 14; i < 48; ++i) full[i] = 'N';
  ASSERT_TRUE(vkx_read_header(reinterpret_cast<const uint8_t*>(full.data()), full.size(), &h));
  EXPECT_EQ(std::string(h.base_name), std::string(34, 'N'));

  ImageBuffer base;
  base.reset(2, 2);
  std::string small_unpacked = file;
  small_unpacked[48] = 3;
  EXPECT_FALSE(apply_vkx(file.substr(0, 50), &base));
  EXPECT_FALSE(apply_vkx(file.substr(0, file.size() - 2), &base));
  EXPECT_FALSE(apply_vkx(small_unpacked, &base));
  EXPECT_EQ(base.to_vector(), std::vector<uint32_t>(4, 0u));
}

}  // namespace
