// PNG and JPEG decoding, header sizes and the writers, with fixtures made by libpng and
// libjpeg directly.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "Orv/render/image/image_header.h"
#include "Orv/render/image/image_load.h"
#include "Orv/render/image/image_save.h"
#include "support/temp_dir.h"

namespace {

void collect(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), n);
}

// A 4 x 2 palette PNG whose entry 1 is half transparent and entry 2 fully transparent.
std::string palette_png() {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) return "";
  png_set_write_fn(png, &out, collect, nullptr);
  png_set_IHDR(png, info, 4, 2, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[3] = {{10, 20, 30}, {200, 100, 50}, {1, 2, 3}};
  png_set_PLTE(png, info, palette, 3);
  png_byte alpha[3] = {255, 128, 0};
  png_set_tRNS(png, info, alpha, 3, nullptr);
  png_write_info(png, info);
  png_byte rows[2][4] = {{0, 1, 2, 0}, {2, 1, 0, 1}};
  for (auto& r : rows) png_write_row(png, r);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A 4 x 4 JPEG of one colour in another colour space: grey (value 200) or CMYK (Adobe
// inverted, cyan only: red 0 at full ink).
std::string other_space_jpeg(bool cmyk) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&c, &buffer, &length);
  c.image_width = 4;
  c.image_height = 4;
  c.input_components = cmyk ? 4 : 1;
  c.in_color_space = cmyk ? JCS_CMYK : JCS_GRAYSCALE;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(16, 200);
  if (cmyk)
    for (int x = 0; x < 4; ++x)
      row[x * 4] = 0, row[x * 4 + 1] = row[x * 4 + 2] = row[x * 4 + 3] = 255;
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::string out(reinterpret_cast<char*>(buffer), length);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

// A w x h JPEG of flat grey 128 (which every quality keeps exact) with options: progressive,
// and an application segment of `padding` bytes before the frame header.
std::string grey_jpeg(int w, int h, bool progressive, int padding = 0) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&c, &buffer, &length);
  c.image_width = w;
  c.image_height = h;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  if (padding)
    jpeg_write_marker(&c, JPEG_APP0 + 1, std::vector<JOCTET>(padding, 7).data(), padding);
  std::vector<JSAMPLE> row(size_t(w) * 3, 128);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::string out(reinterpret_cast<char*>(buffer), length);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

bool decode(const std::string& f, ImageBuffer* out, std::string* error = nullptr) {
  std::string e;
  return image_decode(reinterpret_cast<const uint8_t*>(f.data()), f.size(),
                      BmpTgaMode::kFollowHeaders, out, error ? error : &e);
}

bool header(const std::string& f, ImageHeaderInfo* info) {
  return image_read_header(reinterpret_cast<const uint8_t*>(f.data()), f.size(), info);
}

TEST(PngJpeg, PaletteWithTransparency) {
  ImageBuffer img;
  ASSERT_TRUE(decode(palette_png(), &img));
  ASSERT_EQ(img.width, 4);
  ASSERT_EQ(img.height, 2);
  const uint32_t p0 = 0xFF0A141E, p1 = 0x80C86432, p2 = 0x00010203;
  EXPECT_EQ(img.to_vector(), (std::vector<uint32_t>{p0, p1, p2, p0, p2, p1, p0, p1}));
}

TEST(PngJpeg, JpegBaselineAndProgressive) {
  for (bool progressive : {false, true}) {
    ImageBuffer img;
    std::string error;
    ASSERT_TRUE(decode(grey_jpeg(17, 9, progressive), &img, &error)) << error;
    EXPECT_EQ(img.width, 17);
    EXPECT_EQ(img.height, 9);
    for (uint32_t v : img.pixels) ASSERT_EQ(v, 0xFF808080u) << "progressive=" << progressive;
    ImageHeaderInfo info;
    ASSERT_TRUE(header(grey_jpeg(17, 9, progressive), &info));
    EXPECT_EQ(info.width, 17);
    EXPECT_EQ(info.height, 9);
  }
}

TEST(PngJpeg, JpegGreyAndCmyk) {
  ImageBuffer img;
  std::string error;
  ASSERT_TRUE(decode(other_space_jpeg(false), &img, &error)) << error;
  EXPECT_EQ(img.pixels[5], 0xFFC8C8C8u);
  ASSERT_TRUE(decode(other_space_jpeg(true), &img, &error)) << error;
  EXPECT_EQ(img.pixels[5], 0xFF00FFFFu);
}

TEST(PngJpeg, CorruptFilesAreRefused) {
  const std::string png = palette_png(), jpeg = grey_jpeg(16, 16, false);
  for (const std::string& f : {png.substr(0, png.size() - 20), png.substr(0, 40),
                               jpeg.substr(0, 200), std::string("\xFF\xD8\xFF", 3)}) {
    ImageBuffer img;
    std::string error;
    EXPECT_FALSE(decode(f, &img, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(img.pixels.empty());
  }
  // A header claiming a picture too large to decode is refused before anything is allocated.
  std::string huge = png;
  huge[16] = huge[17] = 0x7F;
  ImageBuffer img;
  EXPECT_FALSE(decode(huge, &img));
}

TEST(ImageHeader, SizesFromTheFirstBytes) {
  ImageHeaderInfo info;
  ASSERT_TRUE(header(palette_png(), &info));
  EXPECT_EQ(info.width, 4);
  EXPECT_EQ(info.height, 2);
  EXPECT_EQ(info.cell_width, 4);

  // A frame header that starts within the 2,052 scanned bytes is found; one beyond is not.
  ASSERT_TRUE(header(grey_jpeg(8, 8, false, 1700), &info));
  EXPECT_EQ(info.width, 8);
  EXPECT_FALSE(header(grey_jpeg(8, 8, false, 2100), &info));

  std::string vkx = "VKX3" + std::string(10, '\0') + "BASE.GE" + std::string(27, '\0');
  ASSERT_TRUE(header(vkx, &info));
  EXPECT_EQ(info.vkx_base_name, "BASE.GE");

  std::string tga(18, '\0');
  tga[12] = 3, tga[14] = 2;
  ASSERT_TRUE(header(tga, &info));
  EXPECT_EQ(info.width * 10 + info.height, 32);
  EXPECT_FALSE(header(tga.substr(0, 17), &info));
}

TEST(ImageSave, WrittenFilesReadBack) {
  testsupport::TempDir dir;
  // 3 x 2 picture with a row pitch of 4.
  const std::vector<uint32_t> src = {0xFF102030, 0x80FF8040, 0x00FFFFFF, 0xDEADBEEF,
                                     0x01020304, 0xFF808080, 0x7F000000, 0xDEADBEEF};
  const std::string png = dir / "a.png", png24 = dir / "b.png", jpg = dir / "c.jpg";
  ASSERT_EQ(image_save_png(png.c_str(), src.data(), 3, 2, 4), 1);
  ASSERT_EQ(image_save_png24(png24.c_str(), src.data(), 3, 2, 4), 1);
  ASSERT_EQ(image_save_jpeg(jpg.c_str(), src.data(), 3, 2, 4), 1);

  ImageBuffer img;
  ASSERT_TRUE(decode(testsupport::read_file(png), &img));
  EXPECT_EQ(img.to_vector(), (std::vector<uint32_t>{0xFF102030, 0x80FF8040, 0x00FFFFFF, 0x01020304,
                                                    0xFF808080, 0x7F000000}));
  ASSERT_TRUE(decode(testsupport::read_file(png24), &img));
  // Alpha 128 on colour 255 writes 255 * 128 / 255 = 128; alpha 0 writes black.
  EXPECT_EQ(img.to_vector(), (std::vector<uint32_t>{0xFF102030, 0xFF804020, 0xFF000000, 0xFF000000,
                                                    0xFF808080, 0xFF000000}));
  ASSERT_TRUE(decode(testsupport::read_file(jpg), &img));
  EXPECT_EQ(img.width, 3);
  EXPECT_EQ(img.height, 2);

  // A path that cannot be written reports failure and leaves nothing behind.
  const std::string bad = dir / "missing/folder/x.png";
  EXPECT_EQ(image_save_png(bad.c_str(), src.data(), 3, 2, 4), 0);
  EXPECT_EQ(image_save_jpeg(nullptr, src.data(), 3, 2, 4), 0);
}

}  // namespace
