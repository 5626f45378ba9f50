// Writing the backlog: the one writer of HistoryLog entries. A line is written as kinds 4
// (new line), 1 (name), 2 (text), 3 (voice) and then 5 (closed at the text command) or 6
// (closed at the snapshot); history_write_line does the whole sequence.
//
// Texts are cut to their field (63, 383 and 31 bytes) and then lose an incomplete two-byte
// character at their end, by the backlog's own reading of Shift-JIS (lead 0x80-0x9F or
// 0xE0-0xEF, trail 0x40-0x7E or 0x80-0xFC): stored games hold entries cut so.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"
#include "shared/byte_codec.h"

namespace engine {

enum HistoryField : int32_t {
  kHistoryName = 1,  // text null: a line without speaker
  kHistoryText = 2,
  kHistoryVoice = 3,
  kHistoryNewLine = 4,          // entries move down one (entry 127 is lost); entry 0 is cleared
  kHistoryCloseAtCommand = 5,   // script point = the running instruction's pc
  kHistoryCloseAtSnapshot = 6,  // script point = the snapshot's resume point
};

// Writes one field of the newest entry. Nothing while history is disabled or for another kind.
// Closing a line stores its history number (system memory word 509 while history snapshots
// are on, else -1) and counts it (at most 128).
void history_write_field(VmContext& vm, const char* text, int32_t kind);

// A whole line: name (null: no speaker), text, voice (null or empty: none), closed at the
// command or at the snapshot.
void history_write_line(VmContext& vm, const char* name, const char* text, const char* voice,
                        bool at_snapshot);

// Empties the backlog: entries, count and the disabled word (reset of the script machine).
void history_reset(VmContext& vm);

// One entry in its stored layout (492 bytes).
void history_entry_store(const HistoryEntry& e, codec::ByteWriter& out);
// One entry from stored bytes; each text is read within its field (a field without
// terminator is cut at its last byte). False when the bytes end early (the entry is then zero).
bool history_entry_load(HistoryEntry& e, codec::ByteReader& in);

// Installs the backlog's commands and its reset hook.
void history_attach();

}  // namespace engine
