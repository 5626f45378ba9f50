// GE pictures, and the header reader of sprite records.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/image_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ImageBuffer out;
  std::string error;
  ge_decode(data, size, &out, &error);
  ImageHeaderInfo info;
  image_read_header(data, size, &info);
  return 0;
}
