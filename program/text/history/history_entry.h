// One backlog line, HistoryEntry: the speaker, the message, the voice, where the line stands
// in the script and the history snapshot it belongs to. Save data stores the entries as they
// are, so the layout is fixed: 492 bytes, little-endian.
//
//   offset 0    64 bytes  name: Shift-JIS, terminated, at most 63 bytes; the bytes 0x00 0x81
//                         at its start mean a line without speaker
//   offset 64  384 bytes  text: the expanded message, terminated, at most 383 bytes
//   offset 448  32 bytes  voice: the voice file name, terminated, at most 31 bytes; empty: none
//   offset 480   u32      script point: pc of the text command or resume point of the snapshot
//   offset 484   i32      history number: the line's history snapshot, -1 none
//   offset 488   u32      face flag: nonzero when the line may show a face button
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

struct HistoryEntry {
  char name[64];
  char text[384];
  char voice[32];
  uint32_t scriptPoint;
  int32_t historyNo;
  uint32_t faceFlag;
};
static_assert(sizeof(HistoryEntry) == 492);

constexpr size_t kHistoryEntryBytes = 492;
constexpr uint32_t kHistoryEntries = 128;

// The backlog's part of the script machine's record (VmContext::history).
struct HistoryLog {
  uint32_t dwJumpLabel;                   // 0 none
  uint32_t nEntryCount;                   // valid entries, 0..128
  uint32_t bDisabled;                     // enable_history(0): no new entries while set
  uint32_t bFaceForNew;                   // copied into each new entry's face flag
  uint32_t bSnapshotsOn;                  // history snapshots are written: lines carry their number
  HistoryEntry entries[kHistoryEntries];  // entry 0 the newest
};

}  // namespace engine
