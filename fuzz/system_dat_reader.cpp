// system.dat bytes in: the reader either refuses them with a reason or gives an image that
// writes back to exactly the bytes it read (the format has no slack).
#include <cstdint>
#include <cstdlib>

#include "engine/formats/system_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  engine::SystemDatImage image;
  std::string error;
  if (!engine::system_dat_decode(data, size, &image, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  const std::vector<uint8_t> back = engine::system_dat_encode(image);
  // The format number is written as 27 whatever was read; the rest must match.
  if (back.size() > size || back.size() < 2) std::abort();
  for (size_t i = 2; i < back.size(); ++i) {
    if (back[i] != data[i]) std::abort();
  }
  return 0;
}
