// Backlog entries in: whatever the bytes, an entry reads whole or as zeros, every text ends
// inside its field, and written again it keeps its 492 bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/history/history_write.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  engine::HistoryEntry e{};
  codec::ByteReader in(data, size);
  const bool whole = engine::history_entry_load(e, in);
  if (whole != (size >= engine::kHistoryEntryBytes)) std::abort();
  if (strnlen(e.name, sizeof e.name) == sizeof e.name) std::abort();
  if (strnlen(e.text, sizeof e.text) == sizeof e.text) std::abort();
  if (strnlen(e.voice, sizeof e.voice) == sizeof e.voice) std::abort();
  std::vector<uint8_t> out;
  codec::ByteWriter w(&out);
  engine::history_entry_store(e, w);
  if (out.size() != engine::kHistoryEntryBytes) std::abort();
  return 0;
}
