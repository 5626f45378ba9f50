// The backlog's block of save data: the entry count, then all 128 entries in their stored
// layout (history_entry.h), newest first; 4 + 128 x 492 bytes whatever the count.
#include <cstring>

#include "save/save_blocks.h"
#include "text/history/history_write.h"

namespace save {

using engine::HistoryEntry;
using engine::kHistoryEntries;
using engine::kHistoryEntryBytes;

void backlog_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  out.u32(vm.history.nEntryCount);
  for (const HistoryEntry& e : vm.history.entries) engine::history_entry_store(e, out);
}

bool backlog_save_check(codec::ByteReader& in, SaveCheck& check) {
  const uint32_t count = in.u32();
  if (!check.whole(in, "backlog count")) return false;
  if (!check.range(count, 0, kHistoryEntries, "backlog count")) return false;
  // Each text is read within its field, so the entries hold no value that needs a range.
  in.skip(kHistoryEntries * kHistoryEntryBytes);
  return check.whole(in, "backlog entries");
}

void backlog_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  engine::HistoryLog& h = vm.history;
  const uint32_t count = in.u32();
  h.nEntryCount = count <= kHistoryEntries ? count : kHistoryEntries;
  for (HistoryEntry& e : h.entries) engine::history_entry_load(e, in);
}

}  // namespace save
