// Extra-font strips: loading, then a glyph the first bytes choose at a size they choose.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/font/extra_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  ExtraFont font;
  std::string error;
  if (!extra_font_parse(data + 2, size - 2, &font, &error)) return 0;
  Glyph g;
  ExFontGlyph(font, data[0] % 8 - 1, 1 + data[1] % 96, &g);
  return 0;
}
