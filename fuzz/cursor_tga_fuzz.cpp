// The cursor image reader over arbitrary bytes: it must refuse or decode, never read past the
// data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/core/window/cursor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CursorImage image;
  std::string why;
  if (cursor_tga_decode(data, size, &image, &why)) {
    if (image.pixels.size() != static_cast<size_t>(image.width) * image.height) __builtin_trap();
  }
  return 0;
}
