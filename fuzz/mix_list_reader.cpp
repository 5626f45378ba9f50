// Voice mix lists in: whatever the bytes, at most eight names of at most 32 bytes each, with no
// lower-case letter left outside a two-byte character.
#include <cstdint>
#include <cstdlib>

#include "text/sound/voice_mix_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto names = engine::voice_mix_list_parse(data, size);
  if (names.size() > engine::kMixMaxEntries || names.size() > size / engine::kMixEntryBytes) {
    std::abort();
  }
  for (const std::string& name : names) {
    if (name.size() > engine::kMixEntryBytes) std::abort();
    for (size_t i = 0; i < name.size(); ++i) {
      const auto c = static_cast<uint8_t>(name[i]);
      if (c >= 0x80) {
        ++i;
      } else if (c >= 'a' && c <= 'z') {
        std::abort();
      }
    }
  }
  return 0;
}
