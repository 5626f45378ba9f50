// bitmap_font_writer: writes a bitmap font in the platform's font file layout.
//   bitmap_font_writer OUT.fnt [SIZE]   (size in pixels, 8 to 256; default 24)
// The glyphs are box outlines (bitmap_font_file.h), enough to try text layout with.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bitmap_font_file.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fputs("usage: bitmap_font_writer OUT.fnt [SIZE]\n", stderr);
    return 2;
  }
  const int size = argc == 3 ? std::atoi(argv[2]) : 24;
  if (size < 8 || size > 256) {
    std::fputs("bitmap_font_writer: SIZE must be 8 to 256\n", stderr);
    return 2;
  }
  const int ascent = size * 7 / 8;
  const std::string file =
      bitmapfont::bitmap_font_file(size, ascent, bitmapfont::outline_glyphs(size, ascent));
  std::ofstream out(argv[1], std::ios::binary);
  out.write(file.data(), static_cast<std::streamsize>(file.size()));
  if (!out) {
    std::fprintf(stderr, "bitmap_font_writer: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
