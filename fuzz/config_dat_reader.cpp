// config.dat bytes in: a file of 36 bytes or more gives the nine words, which write back to
// its first 36 bytes; a shorter one leaves the parameters untouched.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/formats/system_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartParams p{};
  p.frame_rate = 60;
  if (!engine::config_dat_decode(data, size, &p)) {
    if (size >= engine::kConfigDatBytes || p.window_x != 0 || p.frame_rate != 60) std::abort();
    return 0;
  }
  uint8_t back[engine::kConfigDatBytes];
  engine::config_dat_encode(p, back);
  if (std::memcmp(back, data, sizeof back) != 0 || p.frame_rate != 60) std::abort();
  return 0;
}
