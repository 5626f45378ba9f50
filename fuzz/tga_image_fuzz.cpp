// TGA pictures in both renderer settings.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/bmp_tga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (BmpTgaMode mode : {BmpTgaMode::kFollowHeaders, BmpTgaMode::kDib}) {
    ImageBuffer out;
    std::string error;
    tga_decode(data, size, mode, &out, &error);
  }
  return 0;
}
