// The text walk of the fonts: any bytes as a text (tags, escapes, "%" extra glyphs, CR/LF,
// half a double-byte character at the end) measured and drawn into a small buffer with a
// system face, at a size and effect the first bytes choose.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "orv/orv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);  // NUL-terminated
  OrvFontSetType(data[0] % 4);
  OrvFontSetFontSize(data[1] & 1 ? 12 : 16);  // two sizes: each new size opens the face again
  OrvFontSetEffect((data[0] >> 2) % 5);
  if (!OrvFontBegin()) return 0;
  int32_t measured[2] = {};
  OrvFontGetSize(text.c_str(), measured);
  std::vector<uint32_t> pixels(64 * 32);
  OrvFontDrawText(pixels.data(), text.c_str(), (data[1] >> 5) - 2, 0, 64, 32);
  int32_t rect[5];
  if (OrvFontHasDrawTextRect()) OrvFontGetDrawTextRect(rect);
  OrvFontEnd();
  return 0;
}
