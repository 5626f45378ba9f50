// The LZ unpacker: first 4 bytes (capped) are the unpacked size, the rest is the stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Orv/render/image/ge_lz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint32_t unpacked =
      (data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24) % (1 << 20);
  std::vector<uint8_t> out(unpacked);
  GeLzDecode(out.data(), unpacked, data + 4, size - 4);
  return 0;
}
