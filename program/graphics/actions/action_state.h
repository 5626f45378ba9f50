// The action system's records: 16 action slots of 60 lines, each line up to 120 timed
// sections that play one after another.
//
// ActionSystem (in the VmContext, zero at start) holds the slots' headers and line states;
// the lines themselves, 9,128 bytes each, are a program-wide table beside it (action_lines),
// too large for the machine's record. The ease window is a process-wide pair as well.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

constexpr uint32_t kActionSlots = 16;
constexpr uint32_t kActionLines = 60;
constexpr uint32_t kActionSections = 120;
constexpr uint32_t kActionKinds = 29;  // kinds 0-28

// One section (its stored form, 76 bytes).
struct ActionSection {
  uint32_t params[16];  // params[0]: the image_table index for kinds that act on an image
  uint32_t dwKind;      // 0-28
  uint32_t dwDuration;  // ms
  uint16_t wEaseStart;  // per mille
  uint16_t wEaseEnd;
};

// One line (stored as 9,128 bytes: the count, a word in place of the runtime state, the
// sections).
struct ActionLine {
  uint32_t nSections;  // 0-120
  void* lpRuntime;     // the running section's state record, null none; not stored
  ActionSection sections[kActionSections];
};

struct ActionLineState {
  uint32_t bActive;
  uint32_t dwEndTime;  // ms after the slot's start time at which the current section ends
  uint32_t nCurrent;
};

struct ActionSlot {
  uint32_t bRunning;
  uint32_t bPassEnded;
  uint32_t nLastLine;
  uint32_t dwReserved;
  uint32_t dwStartTime;
  uint32_t dwLimit;  // modes 1, 2: ms; mode 3: passes left; 0xFFFFFFFF endless
  uint32_t dwMode;   // 1 run, 2 sync_run, 3 loop_run
  ActionLineState lineStates[kActionLines];
};

struct ActionSystem {
  uint32_t nActive;  // 0-15
  uint32_t clearMarks[kActionSlots];
  uint32_t stopFlags[kActionSlots];
  ActionSlot slots[kActionSlots];
  uint32_t nPushSlot;
  void* lpPushBuffer;
  uint32_t bSyncWaitBusy, nSyncWaitSlot;
};

// The lines of every slot, [slot][line]: 8.7 MB, zero at start.
extern ActionLine action_lines[kActionSlots][kActionLines];
// The slots whose lines may hold anything but zeros, bit s for slot s: whatever writes a slot's
// lines sets its bit first, so that a reset zeroes those slots alone instead of the whole table
// (a pass over 8.7 MB and the first touch of every page of it, on the way to the first frame).
inline uint32_t action_slots_written = 0;

// The ease window copied into the sections the commands add; reset to 0 and 1000.
inline uint32_t action_ease_start = 0;
inline uint32_t action_ease_end = 1000;

}  // namespace engine
