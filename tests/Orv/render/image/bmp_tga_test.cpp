#include "Orv/render/image/bmp_tga.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/render/image/image_load.h"

namespace {

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>(v >> 8 & 255);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

// Pixel value at (x, y) of the test pictures: distinct colours, alpha varying.
uint32_t colour(int x, int y) {
  return static_cast<uint32_t>(0x40 + x * 16 + y) << 24 | static_cast<uint32_t>(x * 40) << 16 |
         static_cast<uint32_t>(y * 50) << 8 | static_cast<uint32_t>(x + y * 7);
}

// A BMP with a 40-byte header; 8-bit pictures use palette index = x + y * w.
std::string bmp(int w, int h, int bpp, bool top_down = false) {
  const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
  const uint32_t offset = 54 + (bpp == 8 ? 1024 : 0);
  std::string f = "BM";
  put32(f, offset + uint32_t(stride * h));
  put32(f, 0);
  put32(f, offset);
  put32(f, 40);
  put32(f, uint32_t(w));
  put32(f, uint32_t(top_down ? -h : h));
  put16(f, 1);
  put16(f, uint32_t(bpp));
  for (int i = 0; i < 6; ++i) put32(f, 0);
  if (bpp == 8)
    for (int i = 0; i < 256; ++i)
      put32(f, uint32_t(i * 3) << 16 | uint32_t(i) << 8 | uint32_t(255 - i));
  for (int r = 0; r < h; ++r) {
    const int y = top_down ? r : h - 1 - r;
    std::string row;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      if (bpp == 8) row += static_cast<char>(x + y * w);
      if (bpp == 24) row += std::string{char(c), char(c >> 8), char(c >> 16)};
      if (bpp == 32) put32(row, c);
    }
    row.resize(stride, '\0');
    f += row;
  }
  return f;
}

uint32_t bmp_expected(int x, int y, int w, int bpp, bool keep_alpha) {
  if (bpp == 8) {
    const uint32_t i = uint32_t(x + y * w);
    return 0xFF000000u | (i * 3 & 255) << 16 | i << 8 | (255 - i);
  }
  const uint32_t c = colour(x, y);
  return bpp == 32 && keep_alpha ? c : (c | 0xFF000000u);
}

// A TGA; `kind` 2 truecolour, 3 grey, 1 colour-mapped (8-bit indexes into a 24-bit map),
// +8 for run-length packets.
std::string tga(int w, int h, int kind, int bpp, int id_length = 0, bool top_down = false) {
  const bool mapped = (kind & 7) == 1;
  std::string f;
  f += static_cast<char>(id_length);
  f += static_cast<char>(mapped ? 1 : 0);
  f += static_cast<char>(kind);
  put16(f, 0);
  put16(f, mapped ? 256 : 0);
  f += static_cast<char>(mapped ? 24 : 0);
  put32(f, 0);
  put16(f, uint32_t(w));
  put16(f, uint32_t(h));
  f += static_cast<char>(bpp);
  f += static_cast<char>((bpp == 32 ? 8 : bpp == 16 ? 1 : 0) | (top_down ? 0x20 : 0));
  f += std::string(id_length, 'I');
  if (mapped)
    for (int i = 0; i < 256; ++i) f += std::string{char(255 - i), char(i), char(i * 3)};
  std::string pixels;
  std::vector<std::string> units;
  for (int r = 0; r < h; ++r) {
    const int y = top_down ? r : h - 1 - r;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      std::string u;
      if (bpp == 8) u = std::string(1, char(x + y * w));
      if (bpp == 16) put16(u, (x & 1) << 15 | (x & 31) << 10 | (y & 31) << 5 | 7);
      if (bpp == 24) u = std::string{char(c), char(c >> 8), char(c >> 16)};
      if (bpp == 32) put32(u, c);
      units.push_back(u);
    }
  }
  if (kind & 8) {
    // Runs of equal neighbours become run packets, the rest raw packets of one pixel.
    for (size_t i = 0; i < units.size();) {
      size_t run = 1;
      while (i + run < units.size() && run < 128 && units[i + run] == units[i]) ++run;
      f += static_cast<char>(run > 1 ? 0x80 | (run - 1) : 0);
      f += units[i];
      i += run;
    }
  } else {
    for (const std::string& u : units) f += u;
  }
  return f;
}

uint32_t tga_expected(int x, int y, int w, int kind, int bpp) {
  if (bpp == 8) {
    const uint32_t i = uint32_t(x + y * w);
    if ((kind & 7) == 1) return 0xFF000000u | (i * 3 & 255) << 16 | i << 8 | (255 - i);
    return 0xFF000000u | i << 16 | i << 8 | i;
  }
  if (bpp == 16) {
    auto five = [](uint32_t v) { return v << 3 | v >> 2; };
    return ((x & 1) ? 0xFF000000u : 0u) | five(x & 31) << 16 | five(y & 31) << 8 | five(7);
  }
  const uint32_t c = colour(x, y);
  return bpp == 32 ? c : (c | 0xFF000000u);
}

bool decode(const std::string& f, BmpTgaMode mode, ImageBuffer* out, std::string* error) {
  return image_decode(reinterpret_cast<const uint8_t*>(f.data()), f.size(), mode, out, error);
}

TEST(BmpTga, BmpInBothSettings) {
  struct Case {
    int w, h, bpp;
    bool top_down;
    bool dib;
  };
  const Case cases[] = {
      {5, 3, 8, false, true},  {5, 3, 8, false, false},   // 8-bit rows padded to 8 bytes
      {3, 4, 24, false, true}, {3, 4, 24, false, false},  // 9-byte rows padded to 12
      {4, 2, 32, false, true}, {4, 2, 32, false, false},
      {3, 3, 24, true, false},  // top-down, GPU setting only
  };
  for (const Case& c : cases) {
    ImageBuffer img;
    std::string error;
    const auto mode = c.dib ? BmpTgaMode::kDib : BmpTgaMode::kFollowHeaders;
    ASSERT_TRUE(decode(bmp(c.w, c.h, c.bpp, c.top_down), mode, &img, &error)) << error;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        EXPECT_EQ(img.row(y)[x], bmp_expected(x, y, c.w, c.bpp, c.dib))
            << c.bpp << " bits dib=" << c.dib << " at " << x << "," << y;
  }
}

TEST(BmpTga, TgaInBothSettings) {
  struct Case {
    int kind, bpp, id;
    bool top_down;
    const char* dib_refusal;
  };
  const Case cases[] = {
      {3, 8, 0, false, nullptr},
      {2, 24, 0, false, nullptr},  // 3 pixels of 3 bytes: rows not padded
      {2, 32, 0, false, nullptr},
      {2, 32, 5, false, nullptr},  // the image identifier is skipped in both settings
      {2, 24, 0, true, "origin"},  // /DIB does not read the origin bit: rows come out flipped
      {10, 24, 0, false, kBrokenImageMessage},
      {10, 32, 3, true, kBrokenImageMessage},
      {1, 8, 0, false, kTgaIndexColorMessage},
      {9, 8, 0, false, kTgaIndexColorMessage},
      {2, 16, 0, false, kBrokenImageMessage},
  };
  const int w = 3, h = 4;
  for (const Case& c : cases) {
    const std::string file = tga(w, h, c.kind, c.bpp, c.id, c.top_down);
    ImageBuffer img;
    std::string error;
    ASSERT_TRUE(decode(file, BmpTgaMode::kFollowHeaders, &img, &error))
        << c.kind << "/" << c.bpp << ": " << error;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(img.row(y)[x], tga_expected(x, y, w, c.kind, c.bpp))
            << "type " << c.kind << " " << c.bpp << " bits at " << x << "," << y;
    const bool dib_ok = decode(file, BmpTgaMode::kDib, &img, &error);
    if (c.dib_refusal && std::string(c.dib_refusal) != "origin") {
      EXPECT_FALSE(dib_ok);
      EXPECT_EQ(error, c.dib_refusal) << c.kind << "/" << c.bpp;
      continue;
    }
    ASSERT_TRUE(dib_ok) << error;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(img.row(c.top_down ? h - 1 - y : y)[x], tga_expected(x, y, w, c.kind, c.bpp));
  }
}

TEST(BmpTga, SizesAndOffsetsAreBoundedByTheFile) {
  auto patch32 = [](std::string f, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) f[at + k] = static_cast<char>(v >> (8 * k));
    return f;
  };
  const std::string b24 = bmp(3, 4, 24), b8 = bmp(5, 3, 8), t24 = tga(3, 4, 2, 24);
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"BMP rows cut short", b24.substr(0, b24.size() - 1)},
      {"BMP pixel offset beyond the file", patch32(b24, 10, 0x7FFFFFF0)},
      {"BMP huge height", patch32(b24, 22, 0x10000000)},
      {"BMP 8 bits without its palette", b8.substr(0, 60)},
      {"BMP header only", b24.substr(0, 30)},
      {"TGA rows cut short", t24.substr(0, t24.size() - 2)},
      {"TGA identifier beyond the file",
       [&] {
         std::string f = t24;
         f[0] = char(200);
         return f;
       }()},
      {"TGA header cut short", t24.substr(0, 17)},
      {"TGA width 0",
       [&] {
         std::string f = t24;
         f[12] = f[13] = 0;
         return f;
       }()},
      {"TGA run packets cut short", tga(3, 4, 10, 24).substr(0, 25)},
      {"TGA colour map cut short", tga(3, 4, 1, 8).substr(0, 300)},
  };
  for (const auto& c : cases)
    for (auto mode : {BmpTgaMode::kFollowHeaders, BmpTgaMode::kDib}) {
      ImageBuffer img;
      std::string error;
      const bool dib = mode == BmpTgaMode::kDib;
      // The colour-mapped and run-length files are refused by /DIB for their kind anyway.
      if (dib && (c.file[2] == 10 || c.file[2] == 1) && c.file[0] != 'B') continue;
      EXPECT_FALSE(decode(c.file, mode, &img, &error)) << c.name << " dib=" << dib;
      EXPECT_TRUE(img.pixels.empty()) << c.name;
      if (dib) {
        EXPECT_EQ(error, kBrokenImageMessage) << c.name;
      }
    }
}

}  // namespace
