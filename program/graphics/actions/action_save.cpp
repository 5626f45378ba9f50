// The action block of save data, all u32 little-endian:
//
//   0    active slot            4  16 clear marks          68  16 stop flags
//   132  ease start           136  ease end
//   140  per slot 0-15: running; when not 0, then pass ended, last line, reserved, start time,
//        limit, mode, then for every line with sections, in order, its index and its 9,128
//        bytes (count, a word in place of the runtime state, 120 sections of 76 bytes), and
//        the end mark 0xFFFFFFFF
//
// Idle: 204 bytes. The line states are not stored: a slot restored from a save starts every
// line again from its first section, with its mode and limit, its clock from the load.
#include <cstring>

#include "engine/orv_api.h"
#include "save/save_blocks.h"

namespace save {
namespace {

using engine::ActionLine;
using engine::ActionSection;
using engine::ActionSlot;
using engine::kActionLines;
using engine::kActionSections;
using engine::kActionSlots;

constexpr uint32_t kEndMark = 0xFFFFFFFFu;

template <class IO, class S>
constexpr void sync_section(IO& io, S& s) {
  io.u32s(s.params, 16);
  io.u32(s.dwKind);
  io.u32(s.dwDuration);
  io.u16(s.wEaseStart);
  io.u16(s.wEaseEnd);
}
static_assert(codec::stored_size<ActionSection>([](auto& io, auto& r) { sync_section(io, r); }) ==
              76);

// The runtime-state word is stored as 0 and ignored when read.
template <class IO, class L>
constexpr void sync_line(IO& io, L& l) {
  io.u32(l.nSections);
  uint32_t runtime_word = 0;
  io.u32(runtime_word);
  for (auto& s : l.sections) sync_section(io, s);
}
constexpr size_t kLineBytes = 9128;
static_assert(codec::stored_size<ActionLine>([](auto& io, auto& r) { sync_line(io, r); }) ==
              kLineBytes);

template <class IO, class S>
constexpr void sync_slot_head(IO& io, S& s) {
  io.u32(s.bPassEnded);
  io.u32(s.nLastLine);
  io.u32(s.dwReserved);
  io.u32(s.dwStartTime);
  io.u32(s.dwLimit);
  io.u32(s.dwMode);
}

struct StoredHead {
  uint32_t nActive = 0;
  uint32_t clearMarks[kActionSlots] = {};
  uint32_t stopFlags[kActionSlots] = {};
  uint32_t easeStart = 0, easeEnd = 0;
};
template <class IO, class H>
constexpr void sync_head(IO& io, H& h) {
  io.u32(h.nActive);
  io.u32s(h.clearMarks, kActionSlots);
  io.u32s(h.stopFlags, kActionSlots);
  io.u32(h.easeStart);
  io.u32(h.easeEnd);
}
static_assert(codec::stored_size<StoredHead>([](auto& io, auto& r) { sync_head(io, r); }) == 140);

// Checks one stored line in place (sections past the count are not looked at).
bool check_line(codec::ByteReader& in, SaveCheck& check) {
  const std::span<const uint8_t> bytes = in.take(kLineBytes);
  if (!check.whole(in, "action line")) return false;
  const uint32_t count = codec::load_u32(bytes.data());
  if (!check.range(count, 0, kActionSections, "action section count")) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t kind = codec::load_u32(bytes.data() + 8 + 76 * i + 64);
    if (!check.range(kind, 0, engine::kActionKinds - 1, "action kind")) return false;
  }
  return true;
}

}  // namespace

void action_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const engine::ActionSystem& a = vm.actions;
  StoredHead head;
  head.nActive = a.nActive;
  std::memcpy(head.clearMarks, a.clearMarks, sizeof head.clearMarks);
  std::memcpy(head.stopFlags, a.stopFlags, sizeof head.stopFlags);
  head.easeStart = engine::action_ease_start;
  head.easeEnd = engine::action_ease_end;
  sync_head(out, head);
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    const ActionSlot& slot = a.slots[s];
    out.u32(slot.bRunning);
    if (!slot.bRunning) continue;
    sync_slot_head(out, slot);
    for (uint32_t n = 0; n < kActionLines; ++n) {
      const ActionLine& line = engine::action_lines[s][n];
      if (line.nSections == 0) continue;
      out.u32(n);
      sync_line(out, line);
    }
    out.u32(kEndMark);
  }
}

bool action_save_check(codec::ByteReader& in, SaveCheck& check) {
  StoredHead head;
  sync_head(in, head);
  if (!check.whole(in, "actions") ||
      !check.range(head.nActive, 0, kActionSlots - 1, "action active slot")) {
    return false;
  }
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    const uint32_t running = in.u32();
    if (!check.whole(in, "action slot")) return false;
    if (!running) continue;
    ActionSlot slot{};
    sync_slot_head(in, slot);
    if (!check.whole(in, "action slot") || !check.range(slot.dwMode, 1, 3, "action mode")) {
      return false;
    }
    for (uint32_t lines = 0;; ++lines) {
      const uint32_t index = in.u32();
      if (!check.whole(in, "action line")) return false;
      if (index == kEndMark) break;
      if (lines == kActionLines || !check.range(index, 0, kActionLines - 1, "action line")) {
        return check.fail("action line");
      }
      if (!check_line(in, check)) return false;
    }
  }
  return true;
}

void action_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  engine::ActionSystem& a = vm.actions;
  StoredHead head;
  sync_head(in, head);
  a.nActive = head.nActive < kActionSlots ? head.nActive : 0;
  std::memcpy(a.clearMarks, head.clearMarks, sizeof a.clearMarks);
  std::memcpy(a.stopFlags, head.stopFlags, sizeof a.stopFlags);
  engine::action_ease_start = head.easeStart;
  engine::action_ease_end = head.easeEnd;
  const uint32_t now = orv.OrvtimeGetTime();
  for (uint32_t s = 0; s < kActionSlots && in.ok(); ++s) {
    ActionSlot& slot = a.slots[s];
    slot.bRunning = in.u32();
    if (!slot.bRunning) continue;
    sync_slot_head(in, slot);
    engine::action_slots_written |= 1u << s;
    for (ActionLine& line : engine::action_lines[s]) line = ActionLine{};
    for (uint32_t lines = 0; lines <= kActionLines && in.ok(); ++lines) {
      const uint32_t index = in.u32();
      if (index == kEndMark) break;
      ActionLine line{};
      sync_line(in, line);
      if (index < kActionLines && line.nSections <= kActionSections) {
        engine::action_lines[s][index] = line;
      }
    }
    for (engine::ActionLineState& st : slot.lineStates) st = engine::ActionLineState{};
    slot.dwStartTime = now;
  }
}

}  // namespace save
