// BMP and TGA files written by an independent writer (ImageMagick's convert, from Debian's
// imagemagick package) in every depth and compression it writes: the full decoder reads each
// as ImageMagick itself reads it back, and the "/DIB" decoder reads the kinds it knows the
// same way and refuses the others with its messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Orv/render/image/bmp_tga.h"
#include "Orv/render/image/image_load.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kConvert = "/usr/bin/convert";
constexpr int kW = 6, kH = 4;

// The source picture: 24 different colours; the right half half-transparent.
std::string source_pam() {
  std::string pam = "P7\nWIDTH 6\nHEIGHT 4\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const int i = x + y * kW;
      pam += static_cast<char>(i * 10);
      pam += static_cast<char>(255 - i * 7);
      pam += static_cast<char>((i * 37) & 255);
      pam += static_cast<char>(x < 3 ? 255 : 100);
    }
  }
  return pam;
}

bool run(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

// The pixels as ImageMagick reads the file back, as ARGB words (alpha 255 without alpha), in
// the order they are shown: ImageMagick keeps a TGA's origin as a tag until told to apply it.
std::vector<uint32_t> reference(const std::string& file, const testsupport::TempDir& dir) {
  const std::string raw = dir / "reference.rgba";
  EXPECT_TRUE(
      run(std::string(kConvert) + " '" + file + "' -auto-orient -depth 8 RGBA:'" + raw + "'"));
  const std::string bytes = testsupport::read_file(raw);
  std::vector<uint32_t> argb;
  for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
    auto b = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + k])); };
    argb.push_back(b(3) << 24 | b(0) << 16 | b(1) << 8 | b(2));
  }
  return argb;
}

// Channels within one step: a 5- or 6-bit channel is widened by rounding, which writers may do
// either way.
bool near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255);
    if (d > 1 || d < -1) return false;
  }
  return true;
}

TEST(BmpTgaFromImageMagick, EveryDepthAndCompression) {
  testsupport::TempDir dir;
  ASSERT_EQ(std::system((std::string(kConvert) + " -version >/dev/null").c_str()), 0)
      << "ImageMagick's convert is needed (scripts/setup.sh installs it)";
  testsupport::write_file(dir / "source.pam", source_pam());
  struct Case {
    const char* what;
    const char* options;  // convert's options and output format
    const char* dib;      // nullptr: /DIB reads it as well; else its refusal
  };
  const Case cases[] = {
      {"BMP 24-bit", "-alpha off -type TrueColor BMP3", nullptr},
      {"BMP 32-bit with an alpha bit field", "-type TrueColorAlpha BMP", nullptr},
      {"BMP 8-bit palette", "-alpha off -type Palette -compress None BMP3", nullptr},
      {"BMP 8-bit palette after a large header", "-alpha off -type Palette -compress None BMP",
       nullptr},
      {"BMP 8-bit run-length", "-alpha off -type Palette -compress RLE BMP3", kBrokenImageMessage},
      {"BMP 4-bit palette", "-alpha off -colors 8 -type Palette -compress None BMP3",
       kBrokenImageMessage},
      {"BMP 4-bit run-length", "-alpha off -colors 8 -type Palette -compress RLE BMP3",
       kBrokenImageMessage},
      {"BMP 1-bit palette", "-alpha off -monochrome BMP3", kBrokenImageMessage},
      {"BMP 16-bit 5-6-5", "-alpha off -define bmp:subtype=RGB565 BMP", kBrokenImageMessage},
      {"BMP 16-bit 5-5-5", "-alpha off -define bmp:subtype=RGB555 BMP", kBrokenImageMessage},
      {"BMP 16-bit 1-5-5-5", "-define bmp:subtype=ARGB1555 BMP", kBrokenImageMessage},
      {"BMP core header", "-alpha off -type TrueColor BMP2", kBrokenImageMessage},
      {"TGA 24-bit", "-alpha off -type TrueColor -compress None TGA", nullptr},
      {"TGA 32-bit", "-type TrueColorAlpha -compress None TGA", nullptr},
      {"TGA grey", "-alpha off -type Grayscale -compress None TGA", nullptr},
      {"TGA 24-bit run-length", "-alpha off -type TrueColor -compress RLE TGA",
       kBrokenImageMessage},
      {"TGA 32-bit run-length", "-type TrueColorAlpha -compress RLE TGA", kBrokenImageMessage},
      {"TGA grey run-length", "-alpha off -type Grayscale -compress RLE TGA", kBrokenImageMessage},
      {"TGA colour map", "-alpha off -type Palette -compress None TGA", kTgaIndexColorMessage},
      {"TGA colour map run-length", "-alpha off -type Palette -compress RLE TGA",
       kTgaIndexColorMessage},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string options = c.options;
    const size_t space = options.rfind(' ');
    const std::string format = options.substr(space + 1);
    const std::string file =
        dir / ("picture" + std::to_string(n++) + (format[0] == 'T' ? ".tga" : ".bmp"));
    ASSERT_TRUE(run(std::string(kConvert) + " '" + (dir / "source.pam") + "' " +
                    options.substr(0, space) + " " + format + ":'" + file + "'"));
    const std::string bytes = testsupport::read_file(file);
    std::vector<uint32_t> want = reference(file, dir);
    ASSERT_EQ(want.size(), size_t{kW * kH});
    if (options.find("ARGB1555") != std::string::npos) {
      // ImageMagick reads a set 1-bit alpha back as 128; the bit says opaque (the source's
      // left half) or clear.
      for (int i = 0; i < kW * kH; ++i)
        want[i] = (want[i] & 0xFFFFFFu) | (i % kW < 3 ? 0xFF000000u : 0u);
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());

    ImageBuffer full;
    std::string error;
    ASSERT_TRUE(image_decode(data, bytes.size(), BmpTgaMode::kFollowHeaders, &full, &error))
        << error;
    ASSERT_EQ(full.width * 100 + full.height, kW * 100 + kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        EXPECT_PRED2(near, full.row(y)[x], want[y * kW + x]) << "full decoder at " << x << "," << y;

    ImageBuffer dib;
    const bool dib_ok = image_decode(data, bytes.size(), BmpTgaMode::kDib, &dib, &error);
    if (c.dib) {
      EXPECT_FALSE(dib_ok);
      EXPECT_EQ(error, c.dib);
      EXPECT_TRUE(dib.pixels.empty());
      continue;
    }
    ASSERT_TRUE(dib_ok) << error;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        EXPECT_EQ(dib.row(y)[x], want[y * kW + x]) << "/DIB at " << x << "," << y;
  }
}

}  // namespace
