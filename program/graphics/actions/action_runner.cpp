#include "graphics/actions/action_runner.h"

#include <cstring>

#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/actions/action_reset.h"
#include "graphics/layers/image_record.h"

namespace actions {
namespace {

using engine::ActionLineState;
using engine::kActionLines;
using engine::kActionSections;
using engine::kActionSlots;
using engine::VmContext;

constexpr uint32_t kEndless = 0xFFFFFFFFu;

uint32_t section_count(const ActionLine& line) {
  return line.nSections < kActionSections ? line.nSections : kActionSections;
}

// Starts the line's current section: false when its create gave no state (it did not start;
// the next frame tries again).
bool start_section(VmContext& vm, ActionLine& line, ActionLineState& st) {
  const engine::ActionSection& section = line.sections[st.nCurrent];
  const ActionKindOps& ops = action_kind_ops(section.dwKind);
  if (ops.create) {
    void* state = ops.create(vm, section);
    // The cell kinds keep no state and count as started all the same.
    if (!state && section.dwKind != 11 && section.dwKind != 12) return false;
    line.lpRuntime = state ? state : kNoStateMarker;
  }
  st.dwEndTime += section.dwDuration;
  st.bActive = 1;
  return true;
}

// Ends the running section's state record: finish(state, stop) when the kind has one.
void finish_running(VmContext& vm, ActionLine& line, uint32_t kind, uint32_t stop) {
  if (!line.lpRuntime) return;
  void* state = line.lpRuntime;
  line.lpRuntime = nullptr;
  const ActionKindOps& ops = action_kind_ops(kind);
  if (ops.finish) ops.finish(vm, state, stop);
}

void run_line(VmContext& vm, ActionLine& line, ActionLineState& st, uint32_t elapsed) {
  const uint32_t count = section_count(line);
  while (st.nCurrent < count) {
    if (st.bActive) {
      const engine::ActionSection& section = line.sections[st.nCurrent];
      if (static_cast<int32_t>(st.dwEndTime - elapsed) > 0) {
        if (line.lpRuntime) {
          const ActionKindOps& ops = action_kind_ops(section.dwKind);
          if (ops.step) ops.step(vm, line.lpRuntime);
        }
        return;
      }
      finish_running(vm, line, section.dwKind, 0);
      ++st.nCurrent;
      st.bActive = 0;
      continue;
    }
    if (!start_section(vm, line, st)) return;
    // A section of no time finishes in this frame; one that takes time waits for the next.
    if (line.sections[st.nCurrent].dwDuration != 0) return;
  }
}

bool lines_done(const ActionSlot& slot, const ActionLine* lines) {
  for (uint32_t n = 0; n < kActionLines; ++n) {
    const uint32_t count = section_count(lines[n]);
    if (count && slot.lineStates[n].nCurrent < count) return false;
  }
  return true;
}

// The steps of ending a slot, for a slot of the table or a pushed one.
void end_slot(VmContext& vm, ActionSlot& slot, ActionLine* lines, uint32_t stop) {
  if (lines) {
    for (uint32_t n = 0; n < kActionLines; ++n) {
      ActionLine& line = lines[n];
      ActionLineState& st = slot.lineStates[n];
      const uint32_t count = section_count(line);
      if (st.nCurrent >= count) continue;
      if (st.bActive) {
        ++st.nCurrent;
        finish_running(vm, line, line.sections[st.nCurrent - 1].dwKind, stop);
      }
      if (stop) continue;
      for (uint32_t i = st.nCurrent; i < count; ++i) {
        const ActionKindOps& ops = action_kind_ops(line.sections[i].dwKind);
        if (ops.apply) ops.apply(vm, line.sections[i]);
      }
    }
  }
  layers::image_commit_action_deltas();
  // Releases the main script that action_sync_run parked (the pop itself does nothing while
  // a scene or history skip runs).
  if (slot.dwMode == kModeSync) engine::script_point_pop(vm);
}

// The lines of slot s, or null while nothing was ever written into them (all zero).
ActionLine* written_lines(uint32_t s) {
  return (engine::action_slots_written & (1u << s)) ? engine::action_lines[s] : nullptr;
}

// Frees the state records of a pushed slot's running sections without committing anything.
void drop_states(PushedSlot& pushed) {
  for (ActionLine& line : pushed.lines) {
    if (!line.lpRuntime) continue;
    const uint32_t n = static_cast<uint32_t>(&line - pushed.lines);
    const uint32_t current = pushed.slot.lineStates[n].nCurrent;
    const uint32_t kind = current < kActionSections ? line.sections[current].dwKind : 0;
    // Kinds without a finish keep a marker, not a record.
    if (current < kActionSections && action_kind_ops(kind).finish) {
      orv.OrvMemoryFree(line.lpRuntime);
    }
    line.lpRuntime = nullptr;
  }
}

void debug_map(const engine::ActionSystem& a) {
  char map[kActionSlots + 1];
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    const ActionSlot& slot = a.slots[s];
    map[s] = !slot.bRunning             ? '-'
             : slot.dwMode == kModeSync ? 'S'
             : slot.dwMode == kModeLoop ? 'L'
                                        : 'R';
  }
  map[kActionSlots] = 0;
  orv.DebugSetActionList(map);
}

}  // namespace

void action_update(VmContext& vm) {
  engine::ActionSystem& a = vm.actions;
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    ActionSlot& slot = a.slots[s];
    if (!slot.bRunning) continue;
    slot.bPassEnded = 0;
    const uint32_t now = orv.OrvtimeGetTime();
    const uint32_t elapsed = now - slot.dwStartTime;
    if (slot.dwMode == kModeSync && (engine::get_skip_state(vm) != 0 || elapsed >= slot.dwLimit)) {
      action_uninit(vm, s);
      continue;
    }
    ActionLine* lines = engine::action_lines[s];
    if (written_lines(s)) {
      for (uint32_t n = 0; n < kActionLines; ++n) {
        if (lines[n].nSections) run_line(vm, lines[n], slot.lineStates[n], elapsed);
      }
    }
    if (slot.dwMode == kModeRun) {
      if (elapsed >= slot.dwLimit) action_uninit(vm, s);
    } else if (slot.dwMode == kModeLoop && (!written_lines(s) || lines_done(slot, lines))) {
      slot.dwStartTime = now;
      if (slot.dwLimit == kEndless) {
        slot.bPassEnded = 1;
      } else if (--slot.dwLimit == 0) {
        action_uninit(vm, s);
        continue;
      }
      for (ActionLineState& st : slot.lineStates) st = ActionLineState{};
    }
  }
  debug_map(a);
}

void action_start(VmContext& vm, uint32_t s) {
  ActionSlot& slot = vm.actions.slots[s];
  const ActionLine* lines = engine::action_lines[s];
  int32_t last = 0;
  for (uint32_t n = 0; n < kActionLines; ++n) {
    if (last < static_cast<int32_t>(lines[n].nSections)) last = static_cast<int32_t>(n);
  }
  slot.nLastLine = static_cast<uint32_t>(last);
  slot.bRunning = 1;
  slot.dwStartTime = orv.OrvtimeGetTime();
}

void action_slot_zero(VmContext& vm, uint32_t s) {
  vm.actions.slots[s] = ActionSlot{};
  if (ActionLine* lines = written_lines(s)) {
    std::memset(static_cast<void*>(lines), 0, sizeof engine::action_lines[s]);
    engine::action_slots_written &= ~(1u << s);
  }
}

void action_uninit(VmContext& vm, uint32_t s) {
  engine::vm_log(engine::kLogHistory, "action_uninit");
  end_slot(vm, vm.actions.slots[s], written_lines(s), vm.actions.stopFlags[s]);
  action_slot_zero(vm, s);
  vm.actions.stopFlags[s] = 0;
}

void action_uninit_pushed(VmContext& vm, PushedSlot& pushed) {
  engine::vm_log(engine::kLogHistory, "action_uninit");
  end_slot(vm, pushed.slot, pushed.lines, 0);
  std::memset(static_cast<void*>(&pushed), 0, sizeof pushed);
}

void action_clear_marked(VmContext& vm) {
  engine::ActionSystem& a = vm.actions;
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (!a.clearMarks[s]) continue;
    if (a.slots[s].bRunning) action_uninit(vm, s);
    action_slot_zero(vm, s);
    a.clearMarks[s] = 0;
    a.stopFlags[s] = 0;
  }
}

void action_end_active_and_marked(VmContext& vm) {
  const uint32_t s = vm.actions.nActive % kActionSlots;
  if (vm.actions.slots[s].bRunning) action_uninit(vm, s);
  action_slot_zero(vm, s);
  action_clear_marked(vm);
}

bool action_sync_running(VmContext& vm) {
  for (const ActionSlot& slot : vm.actions.slots) {
    if (slot.bRunning && slot.dwMode == kModeSync) return true;
  }
  return false;
}

void action_slots_system_clear(VmContext& vm) {
  for (const uint32_t s : {7u, 8u}) {
    if (vm.actions.slots[s].bRunning) action_uninit(vm, s);
    action_slot_zero(vm, s);
  }
}

void action_uninit_all(VmContext& vm) {
  engine::ActionSystem& a = vm.actions;
  if (a.lpPushBuffer) {
    drop_states(*static_cast<PushedSlot*>(a.lpPushBuffer));
    orv.OrvMemoryFree(a.lpPushBuffer);
    a.lpPushBuffer = nullptr;
  }
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    end_slot(vm, a.slots[s], written_lines(s), a.stopFlags[s]);
  }
  engine::action_system_clear(vm);
}

}  // namespace actions
