// The slot queries' reads of a save file: the head and a UserMemory word are read only from
// inside the bytes, and the thumbnail they hand out lies inside them too.
#include <cstdint>
#include <cstdlib>

#include "save/save_head.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  save::SaveHead head;
  if (save::save_head_read(data, size, &head)) {
    const size_t bytes = size_t{head.dwThumbWidth} * head.dwThumbHeight * 4;
    if (head.lpThumbPixels < data || head.lpThumbPixels + bytes > data + size) std::abort();
    if (head.text.size() > 4095) std::abort();
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < bytes; ++i) sink = sink + head.lpThumbPixels[i];
  }
  for (int32_t index : {-1, 0, 1, 1023, 1024}) {
    uint32_t word = 0;
    const bool ok = save::save_head_user_word(data, size, index, &word);
    if (ok && (index < 0 || index > 1023)) std::abort();
  }
  return 0;
}
