// Bitmap font files: every glyph record the first bytes point at, at scale 1 and scaled.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/font/bitmap_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  BitmapFont font;
  std::string error;
  if (!bitmap_font_parse(data + 3, size - 3, &font.size_key, &error)) return 0;
  font.data.assign(data + 3, data + size);
  const uint16_t code = static_cast<uint16_t>(data[0] << 8 | data[1]);
  const float scales[] = {1.0f, 0.5f, 0.75f, 1.25f, 3.0f, 0.01f};
  Glyph g;
  for (uint16_t c : {code, static_cast<uint16_t>(data[1]), uint16_t{'A'}})
    bitmap_font_glyph(font, c, scales[data[2] % 6], &g);
  bitmap_font_metrics(font);
  return 0;
}
