// The action runner: plays the running slots once per frame, and ends slots.
//
// Each running slot plays its 60 lines side by side on the slot's clock (ms since its start
// time); each line plays its sections one after another, every section ending exactly its
// duration after the one before, however late the frames come. A section's step never runs in
// the frame it starts in; a section of no time is created and finished within one frame; a
// late frame moves a line on by at most one section that takes time.
//
// Modes: 1 ends when the limit (ms) has passed; 2 also ends on any skip bit and parks the main
// script until then; 3 starts over whenever every line is done, for `limit` passes (0xFFFFFFFF
// endless; 0 counts down into endless).
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace actions {

using engine::ActionLine;
using engine::ActionSlot;

// Slot modes: run, sync_run, loop_run.
constexpr uint32_t kModeRun = 1, kModeSync = 2, kModeLoop = 3;

// A pushed slot: the slot's record and its lines, taken out of the table whole.
struct PushedSlot {
  ActionSlot slot;
  ActionLine lines[engine::kActionLines];
};

// Once per frame: every running slot in order, then the debug map of the slots.
void action_update(engine::VmContext& vm);

// Marks the slot running from now; the caller has set its limit and mode. Lines start from
// their first sections (an ended slot is all zero).
void action_start(engine::VmContext& vm, uint32_t slot);

// Ends slot s: running sections finish (with the slot's stop flag: where they are; else with
// their full change), sections not started apply their change unless the stop flag is set,
// every image's actionSet is folded into its base, a mode-2 slot releases the parked script;
// then the slot and its lines are zeroed and its stop flag cleared. Logs "action_uninit".
void action_uninit(engine::VmContext& vm, uint32_t slot);
// The same for a pushed slot (no stop flag), which stays zeroed in its buffer.
void action_uninit_pushed(engine::VmContext& vm, PushedSlot& pushed);

// Zeroes slot s and its lines without ending anything.
void action_slot_zero(engine::VmContext& vm, uint32_t slot);

// The reserved clear: every slot with its clear mark is ended (when running) and zeroed; the
// marks and stop flags of those slots are cleared.
void action_clear_marked(engine::VmContext& vm);
// Ends the active slot when it runs and zeroes it, then the reserved clear (a button click).
void action_end_active_and_marked(engine::VmContext& vm);
// True when a running slot is in mode 2 (the main script waits).
bool action_sync_running(engine::VmContext& vm);
// After a load: slots 7 and 8, the system's own, are ended when running and emptied.
void action_slots_system_clear(engine::VmContext& vm);
// Reset and shutdown: drops the pushed slot unplayed, ends every slot (so a filled slot that
// never ran applies its sections), zeroes the system and resets the ease window.
void action_uninit_all(engine::VmContext& vm);

}  // namespace actions
