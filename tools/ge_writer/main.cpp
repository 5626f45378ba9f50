// ge_writer: turns a PNG picture into a GE file (for the demo game's pictures and for fixtures).
//   ge_writer IN.png OUT.ge [TYPE [X Y [CELL_W CELL_H]]]
// TYPE 0 raw, 1 planes, 2 luma/chroma (lossy), 3 row filters (default; 24 bits when the
// picture is opaque, else 32, with the average filter below the first row).
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
    "3 row filters (default). X Y: the picture's position; CELL_W CELL_H: its cell size.\n";

bool is_number(const char* s) {
  if (*s == '-') ++s;
  if (!*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
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
