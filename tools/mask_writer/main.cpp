// mask_writer: writes the demo game's transition masks as grey PNG pictures.
//   mask_writer OUTDIR [WIDTH HEIGHT]
// Writes OUTDIR/Mask00.png (left to right), Mask01.png (from the centre), Mask02.png (blinds),
// 800 x 600 unless a size is given.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "mask_pictures.h"
#include "platform/image_codec.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fputs("usage: mask_writer OUTDIR [WIDTH HEIGHT]\n", stderr);
    return 2;
  }
  const int32_t w = argc == 4 ? std::atoi(argv[2]) : 800;
  const int32_t h = argc == 4 ? std::atoi(argv[3]) : 600;
  for (int n = 0; n < 3; ++n) {
    std::vector<uint32_t> px = maskwriter::mask_picture(n, w, h);
    std::vector<uint8_t> png;
    if (px.empty() || !platform::png_encode(px.data(), w, h, false, &png)) {
      std::fprintf(stderr, "mask_writer: cannot make mask %d at %d x %d\n", n, w, h);
      return 1;
    }
    const std::string path = std::string(argv[1]) + "/Mask0" + std::to_string(n) + ".png";
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) {
      std::fprintf(stderr, "mask_writer: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
