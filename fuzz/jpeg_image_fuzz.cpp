// JPEG decoding through our path and the header size search of sprite records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Orv/render/image/image_header.h"
#include "Orv/render/image/image_load.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file = {0xFF, 0xD8};
  file.insert(file.end(), data, data + size);
  ImageBuffer out;
  std::string error;
  image_decode(file.data(), file.size(), BmpTgaMode::kFollowHeaders, &out, &error);
  ImageHeaderInfo info;
  image_read_header(file.data(), file.size(), &info);
  return 0;
}
