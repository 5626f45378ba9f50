// VKX difference pictures applied to a base picture whose size the first two bytes choose.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/vkx_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  ImageBuffer base;
  base.reset(1 + data[0] % 64, 1 + data[1] % 64);
  std::string error;
  vkx_apply(data + 2, size - 2, &base, &error);
  return 0;
}
