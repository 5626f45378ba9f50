// ge_writer: turns a PNG picture into a GE file (for the demo game's pictures and for fixtures),
// or the difference of two PNG pictures of one size into a VKX file.
//   ge_writer IN.png OUT.ge [TYPE [X Y [CELL_W CELL_H]]]
//   ge_writer --vkx BASE.png CHANGED.png OUT.vkx BASE_NAME
// TYPE 0 raw, 1 planes, 2 luma/chroma (lossy), 3 row filters (default; 24 bits when the
// picture is opaque, else 32, with the average filter below the first row).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ge_writer.h"
#include "platform/image_codec.h"

namespace {

const char kUsage[] =
    "usage: ge_writer IN.png OUT.ge [TYPE [X Y [CELL_W CELL_H]]]\n"
    "Writes the PNG picture as a GE file. TYPE: 0 raw, 1 planes, 2 luma/chroma (lossy),\n"
    "3 row filters (default). X Y: the picture's position; CELL_W CELL_H: its cell size.\n"
    "   or: ge_writer --vkx BASE.png CHANGED.png OUT.vkx BASE_NAME\n"
    "Writes the pixels where CHANGED differs from BASE (the rectangle around them, XOR-ed) as a\n"
    "VKX difference picture whose base is loaded by BASE_NAME.\n";

bool is_number(const char* s) {
  if (*s == '-') ++s;
  if (!*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

bool read_png(const char* path, platform::DecodedPixels* picture) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "ge_writer: cannot read %s\n", path);
    return false;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  std::string error;
  if (!platform::png_decode(bytes.data(), bytes.size(), platform::ImageLimits{}, picture, &error)) {
    std::fprintf(stderr, "%s: %s\n", path, error.c_str());
    return false;
  }
  return true;
}

bool write_bytes(const char* path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out.good()) return true;
  std::fprintf(stderr, "%s: could not be written\n", path);
  return false;
}

// The rectangle around the pixels that differ, as XOR values (32 bits, so alpha changes too).
int write_vkx(char** argv) {
  platform::DecodedPixels base, changed;
  if (!read_png(argv[2], &base) || !read_png(argv[3], &changed)) return 1;
  if (base.width != changed.width || base.height != changed.height || base.width > 0xFFFF ||
      base.height > 0xFFFF) {
    std::fprintf(stderr, "ge_writer: %s and %s differ in size\n", argv[2], argv[3]);
    return 1;
  }
  int32_t x0 = base.width, y0 = base.height, x1 = -1, y1 = -1;
  for (int32_t y = 0; y < base.height; ++y) {
    for (int32_t x = 0; x < base.width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(base.width) + x;
      if (base.pixels[i] == changed.pixels[i]) continue;
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
  }
  if (x1 < 0) x0 = y0 = x1 = y1 = 0;  // the same picture: one unchanged pixel
  const int32_t w = x1 - x0 + 1, h = y1 - y0 + 1;
  std::vector<uint32_t> diff(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y0 + y) * static_cast<size_t>(base.width) + x0 + x;
      diff[static_cast<size_t>(y) * w + x] = base.pixels[i] ^ changed.pixels[i];
    }
  }
  gewriter::VkxOptions o;
  o.x = static_cast<uint16_t>(x0);
  o.y = static_cast<uint16_t>(y0);
  o.base_name = argv[5];
  o.filters = {0};
  const std::string vkx =
      gewriter::vkx_write(static_cast<uint16_t>(w), static_cast<uint16_t>(h), diff, o);
  return write_bytes(argv[4], vkx) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc > 1 && std::string(argv[1]) == "--vkx") {
    if (argc != 6) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    return write_vkx(argv);
  }
  bool numbers = true;
  for (int i = 3; i < argc; ++i) numbers = numbers && is_number(argv[i]);
  if (argc < 3 || argc == 5 || argc == 7 || argc > 8 || !numbers || argv[1][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "ge_writer: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  platform::DecodedPixels picture;
  std::string error;
  if (!platform::png_decode(bytes.data(), bytes.size(), platform::ImageLimits{}, &picture,
                            &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  gewriter::GeOptions o;
  o.type = argc > 3 ? std::atoi(argv[3]) : 3;
  if (argc > 5) o.x = std::atoi(argv[4]), o.y = std::atoi(argv[5]);
  if (argc > 7) o.cell_width = std::atoi(argv[6]), o.cell_height = std::atoi(argv[7]);
  o.bits = picture.has_alpha ? 32 : 24;
  o.filters = {0};
  for (int32_t y = 1; y < picture.height; ++y) o.filters.push_back(4);
  const std::vector<uint32_t> pixels(picture.pixels.begin(), picture.pixels.end());
  const std::string ge = gewriter::ge_write(picture.width, picture.height, pixels, o);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(ge.data(), static_cast<std::streamsize>(ge.size()));
  if (!out.good()) {
    std::fprintf(stderr, "%s: could not be written\n", argv[2]);
    return 1;
  }
  return 0;
}
