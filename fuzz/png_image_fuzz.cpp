// PNG decoding through our path (the first bytes need not be a PNG: the format is chosen by
// the same dispatch the sprite loader uses), and re-encoding what decoded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Orv/render/image/image_load.h"
#include "platform/image_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> file(kSignature, kSignature + 8);
  file.insert(file.end(), data, data + size);
  ImageBuffer out;
  std::string error;
  if (image_decode(file.data(), file.size(), BmpTgaMode::kFollowHeaders, &out, &error) &&
      out.pixels.size() <= 4096) {
    std::vector<uint8_t> encoded;
    platform::png_encode(out.pixels.data(), out.width, out.height, true, &encoded);
  }
  return 0;
}
