#include "text/history/history_write.h"

#include <cstring>

#include "engine/neighbours.h"
#include "shared/sjis_units.h"

namespace engine {
namespace {

constexpr uint32_t kSysMemHistoryNo = 509;

template <class IO>
constexpr void sync(IO& io, HistoryEntry& e) {
  io.bytes(e.name);
  io.bytes(e.text);
  io.bytes(e.voice);
  io.u32(e.scriptPoint);
  io.i32(e.historyNo);
  io.u32(e.faceFlag);
}
static_assert(codec::stored_size<HistoryEntry>([](auto& io, auto& r) { sync(io, r); }) ==
              kHistoryEntryBytes);

// Copies at most N - 1 bytes of text, terminates, and drops an incomplete last character.
template <size_t N>
void put_text(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  const size_t kept = strnlen(text, N - 1);
  const size_t n = sjis_cut_incomplete_tail(kSjisBacklogUnits, text, kept);
  std::memcpy(field, text, n);
}

void close_line(VmContext& vm, uint32_t point) {
  HistoryLog& h = vm.history;
  HistoryEntry& e = h.entries[0];
  e.scriptPoint = point;
  e.historyNo = h.bSnapshotsOn ? static_cast<int32_t>(vm.sysMem[kSysMemHistoryNo]) : -1;
  if (h.nEntryCount < kHistoryEntries) ++h.nEntryCount;
}

}  // namespace

void history_write_field(VmContext& vm, const char* text, int32_t kind) {
  HistoryLog& h = vm.history;
  if (h.bDisabled) return;
  HistoryEntry& e = h.entries[0];
  switch (kind) {
    case kHistoryName:
      if (!text) {
        std::memset(e.name, 0, sizeof e.name);
        e.name[1] = static_cast<char>(0x81);
      } else {
        put_text(e.name, text);
      }
      break;
    case kHistoryText:
      put_text(e.text, text ? text : "");
      break;
    case kHistoryVoice:
      put_text(e.voice, text ? text : "");
      break;
    case kHistoryNewLine:
      std::memmove(&h.entries[1], &h.entries[0], sizeof(HistoryEntry) * (kHistoryEntries - 1));
      e = HistoryEntry{};
      e.faceFlag = h.bFaceForNew;
      break;
    case kHistoryCloseAtCommand:
      close_line(vm, vm.dwCurrentPc);
      break;
    case kHistoryCloseAtSnapshot:
      close_line(vm, vm.save.dwResumePc);
      break;
    default:
      break;
  }
}

void history_write_line(VmContext& vm, const char* name, const char* text, const char* voice,
                        bool at_snapshot) {
  history_write_field(vm, nullptr, kHistoryNewLine);
  history_write_field(vm, name, kHistoryName);
  history_write_field(vm, text, kHistoryText);
  history_write_field(vm, voice, kHistoryVoice);
  history_write_field(vm, nullptr, at_snapshot ? kHistoryCloseAtSnapshot : kHistoryCloseAtCommand);
}

void history_reset(VmContext& vm) {
  HistoryLog& h = vm.history;
  for (HistoryEntry& e : h.entries) e = HistoryEntry{};
  h.nEntryCount = 0;
  h.bDisabled = 0;
}

void history_entry_store(const HistoryEntry& e, codec::ByteWriter& out) {
  HistoryEntry stored = e;
  sync(out, stored);
}

bool history_entry_load(HistoryEntry& e, codec::ByteReader& in) {
  HistoryEntry read{};
  sync(in, read);
  if (in.failed()) {
    e = HistoryEntry{};
    return false;
  }
  read.name[sizeof read.name - 1] = 0;
  read.text[sizeof read.text - 1] = 0;
  read.voice[sizeof read.voice - 1] = 0;
  e = read;
  return true;
}

}  // namespace engine
