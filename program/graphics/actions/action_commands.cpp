// The action commands: section commands (action_sections.h) and the slot commands.
#include "graphics/actions/action_commands.h"

#include <cstring>
#include <utility>

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/actions/action_command_list.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/actions/action_reset.h"
#include "graphics/actions/action_runner.h"
#include "graphics/actions/action_sections.h"
#include "graphics/actions/easing.h"
#include "graphics/layers/image_record.h"
#include "platform/message_box.h"

namespace actions {
namespace {

using engine::kActionSlots;
using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kActiveSlot = 0xFFFFFFFFu;
constexpr uint32_t kSkipScene = 0x10;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// ---- section commands ----

#define SECTION_COMMAND(name, ...)                        \
  uint32_t cmd_##name(VmContext& vm) {                    \
    static constexpr SectionCommand command{__VA_ARGS__}; \
    return add_section(vm, command);                      \
  }

//              name                     kind values image  window timing
SECTION_COMMAND(action_straight, 0, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_shake, 1, 3, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_alpha, 2, 2, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_wait, 3, 0, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_rotate, 4, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_scale, 5, 2, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_movepos, 6, 3, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_decele, 7, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_accele, 8, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_se_play, 9, 3, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_shake2, 10, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_animation, 11, 3, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_animation_ex, 12, 5, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_scale_ex, 13, 3, true, true, Timing::kPopped, 0)
SECTION_COMMAND(action_rotate_ex, 14, 5, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_straight2, 15, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_move_rect, 16, 6, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_color, 17, 4, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_circle, 18, 9, true, false, Timing::kCircle, 1)
SECTION_COMMAND(action_circle_return, 19, 9, true, false, Timing::kCircle, 0)
SECTION_COMMAND(action_set_mask, 20, 3, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_set_mask_reverse, 21, 3, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_graph_show, 22, 1, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_graph_hide, 23, 1, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_set_alpha, 24, 2, false, false, Timing::kPopped, 0)
SECTION_COMMAND(action_straight_decele, 25, 9, true, false, Timing::kTwoPhase, 0)
SECTION_COMMAND(action_ease_move, 26, 5, true, true, Timing::kEaseMove, 0)
SECTION_COMMAND(action_alpha_ease, 27, 3, true, false, Timing::kPopped, 0)
SECTION_COMMAND(action_wait_random, 3, 0, false, false, Timing::kRandom, 0)
SECTION_COMMAND(action_scale_xy, 28, 4, true, true, Timing::kPopped, 0)

#undef SECTION_COMMAND

// ---- slot commands ----

// The slot a script names (-1: the active one) into *slot; false with "<name> count over [%d]"
// for anything else outside 0-15.
bool slot_arg(VmContext& vm, uint32_t arg, const char* name, uint32_t* slot) {
  if (arg == kActiveSlot) arg = vm.actions.nActive;
  if (arg >= kActionSlots) {
    vm_log(kLogMain, "%s count over [%d]", name, as_int(arg));
    return false;
  }
  *slot = arg;
  return true;
}

bool effects_on() {
  const auto enabled = engine::neighbours.transitions.effect_enable_is;
  return enabled ? enabled() != 0 : true;
}

void ease_window_reset() {
  engine::action_ease_start = 0;
  engine::action_ease_end = 1000;
}

void start_slot(VmContext& vm, uint32_t s, uint32_t limit, uint32_t mode) {
  engine::ActionSlot& slot = vm.actions.slots[s];
  slot.dwLimit = limit;
  slot.dwMode = mode;
  action_start(vm, s);
}

uint32_t cmd_action_run(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  const uint32_t time = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "action_run", &s)) return 0;
  if (vm.actions.slots[s].bRunning) return 1;
  orv.OrvUpdateTime();
  start_slot(vm, s, time, kModeRun);
  // Without effects, and in a scene skip, every line jumps to its end state at once.
  if (!effects_on() || (engine::get_skip_state(vm) & kSkipScene)) action_uninit(vm, s);
  vm_log(kLogHistory, "action_run %d, %d", as_int(s), as_int(time));
  return 1;
}

uint32_t cmd_action_sync_run(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  uint32_t time = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "action_sync_run", &s)) return 0;
  // The script thread must never be held: its slot plays out at once.
  if (engine::is_thread_call(vm)) {
    vm_log(kLogMain, "** error action_sync_run method from thread call %d, %d", as_int(s),
           as_int(time));
    time = 0;
  }
  if (vm.actions.slots[s].bRunning) return 1;
  orv.OrvUpdateTime();
  start_slot(vm, s, time, kModeSync);
  engine::script_point_push(vm);
  // The slot's end pops the point again, also when it ends here.
  if (!effects_on() || engine::get_skip_state(vm) != 0 || time == 0) action_uninit(vm, s);
  vm.runner.bYield = 1;
  vm_log(kLogHistory, "action_sync_run %d, %d", as_int(s), as_int(time));
  return 1;
}

uint32_t cmd_action_loop_run(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  const uint32_t passes = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "action_loop_run", &s)) return 0;
  if (vm.actions.slots[s].bRunning) return 1;
  start_slot(vm, s, passes, kModeLoop);
  vm_log(kLogHistory, "action_loop_run %d, %d", as_int(s), as_int(passes));
  return 1;
}

uint32_t cmd_action_clear(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "action_clear", &s)) return 0;
  vm_log(kLogHistory, "action_clear %d", as_int(s));
  if (vm.actions.slots[s].bRunning) action_uninit(vm, s);
  action_slot_zero(vm, s);
  ease_window_reset();
  return 1;
}

uint32_t cmd_action_sync_wait(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "action_sync_wait", &s)) return 0;
  engine::ActionSystem& a = vm.actions;
  a.nSyncWaitSlot = s;
  a.bSyncWaitBusy = 1;
  if (engine::get_skip_state(vm)) {
    a.bSyncWaitBusy = 0;
    return 1;
  }
  const engine::ActionSlot& slot = a.slots[s];
  if (engine::is_thread_call(vm) && slot.bRunning && !slot.bPassEnded) {
    vm_log(kLogMain, "** error action_sync_wait(%d) method from thread call", as_int(s));
    action_uninit(vm, s);
  }
  a.bSyncWaitBusy = 0;
  vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_action_push(VmContext& vm) {
  engine::ActionSystem& a = vm.actions;
  const uint32_t s = a.nActive % kActionSlots;
  if (!a.slots[s].bRunning) return 1;
  auto* pushed = static_cast<PushedSlot*>(a.lpPushBuffer);
  if (pushed) {
    // One slot can be set aside: the earlier one plays out to its end in the buffer, and its
    // index keeps what runs there now.
    action_uninit_pushed(vm, *pushed);
  } else {
    pushed = static_cast<PushedSlot*>(orv.OrvMemoryAlloc(sizeof(PushedSlot), 0));
    if (!pushed) {
      // "メモリ不足の可能性があります。" / "警告": memory may have run out.
      platform::message_box(
          "\x83\x81\x83\x82\x83\x8A\x95\x73\x91\xAB\x82\xCC\x89\xC2\x94\x5C\x90\xAB\x82\xAA\x82"
          "\xA0\x82\xE8\x82\xDC\x82\xB7\x81\x42",
          "\x8C\x78\x8D\x90", platform::kMbIconExclamation | platform::kMbTopMost);
      return 0;
    }
    a.lpPushBuffer = pushed;
  }
  a.nPushSlot = s;
  pushed->slot = a.slots[s];
  if (engine::action_slots_written & (1u << s)) {
    std::memcpy(static_cast<void*>(pushed->lines), engine::action_lines[s], sizeof pushed->lines);
  } else {
    std::memset(static_cast<void*>(pushed->lines), 0, sizeof pushed->lines);
  }
  // The running sections' records now belong to the copy: the slot is emptied, not ended.
  action_slot_zero(vm, s);
  vm_log(kLogHistory, "action_push");
  return 1;
}

uint32_t cmd_action_pop(VmContext& vm) {
  engine::ActionSystem& a = vm.actions;
  auto* pushed = static_cast<PushedSlot*>(a.lpPushBuffer);
  if (!pushed) return 1;
  const uint32_t s = a.nPushSlot % kActionSlots;
  action_uninit(vm, s);
  a.slots[s] = pushed->slot;
  engine::action_slots_written |= 1u << s;
  std::memcpy(static_cast<void*>(engine::action_lines[s]), pushed->lines, sizeof pushed->lines);
  orv.OrvMemoryFree(pushed);
  a.lpPushBuffer = nullptr;
  a.nPushSlot = 0;
  vm_log(kLogHistory, "action_pop");
  return 1;
}

uint32_t cmd_set_active_action(VmContext& vm) {
  const uint32_t s = vm_pop(vm);
  engine::ActionSystem& a = vm.actions;
  if (s >= kActionSlots) {
    vm_log(kLogMain, "action count over [%d][old=%d]", as_int(s), as_int(a.nActive));
    return 0;
  }
  vm_log(kLogHistory, "set_active_action %d", as_int(s));
  engine::vm_set_result(vm, a.nActive);
  a.nActive = s;
  return 1;
}

uint32_t cmd_get_active_action(VmContext& vm) {
  vm_log(kLogHistory, "[%d]get_active_action", as_int(vm.actions.nActive));
  engine::vm_set_result(vm, vm.actions.nActive);
  return 1;
}

uint32_t cmd_action_run_all(VmContext& vm) {
  const uint32_t time = vm_pop(vm);
  orv.OrvUpdateTime();
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (vm.actions.slots[s].bRunning) continue;
    start_slot(vm, s, time, kModeRun);
    if (!effects_on() || (engine::get_skip_state(vm) & engine::kSkipAny)) action_uninit(vm, s);
  }
  vm_log(kLogHistory, "action_run_all %d", as_int(time));
  return 1;
}

uint32_t cmd_action_sync_run_all(VmContext& vm) {
  uint32_t time = vm_pop(vm);
  if (engine::is_thread_call(vm)) {
    vm_log(kLogMain, "** error action_sync_run_all(%d) method from thread call", as_int(time));
    time = 0;
  }
  // Every idle slot takes part, also one without sections, which waits out the time; each
  // holds a script point, so the script goes on when the last has ended.
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (vm.actions.slots[s].bRunning) continue;
    start_slot(vm, s, time, kModeSync);
    engine::script_point_push(vm);
    if (!effects_on() || engine::get_skip_state(vm) != 0 || time == 0) action_uninit(vm, s);
  }
  vm.runner.bYield = 1;
  vm_log(kLogHistory, "action_sync_run_all %d", as_int(time));
  return 1;
}

uint32_t cmd_action_loop_run_all(VmContext& vm) {
  const uint32_t passes = vm_pop(vm);
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (!vm.actions.slots[s].bRunning) start_slot(vm, s, passes, kModeLoop);
  }
  vm_log(kLogHistory, "action_loop_run_all %d", as_int(passes));
  return 1;
}

uint32_t cmd_action_clear_all(VmContext& vm) {
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (vm.actions.slots[s].bRunning) action_uninit(vm, s);
    action_slot_zero(vm, s);
  }
  ease_window_reset();
  vm_log(kLogHistory, "action_clear_all");
  return 1;
}

uint32_t cmd_set_action_clear(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "set_action_clear", &s)) return 0;
  vm.actions.clearMarks[s] = 1;
  vm_log(kLogHistory, "set_action_clear %d", as_int(s));
  return 1;
}

uint32_t cmd_is_action_run(VmContext& vm) {
  uint32_t s = vm_pop(vm);
  if (s == kActiveSlot) s = vm.actions.nActive;
  if (s >= kActionSlots) {
    vm_log(kLogMain, "is_action_run [%d]", as_int(s));
    engine::vm_set_result(vm, 0);
    return 1;
  }
  engine::vm_set_result(vm, vm.actions.slots[s].bRunning ? 1 : 0);
  return 1;
}

uint32_t cmd_set_action_stop(VmContext& vm) {
  const uint32_t arg = vm_pop(vm);
  const uint32_t flag = vm_pop(vm);
  uint32_t s;
  if (!slot_arg(vm, arg, "set_action_stop", &s)) return 0;
  vm.actions.stopFlags[s] = flag != 0;
  vm_log(kLogHistory, "set_action_stop %d %d", as_int(s), as_int(flag));
  return 1;
}

// The kinds that move an image: straight moves, shakes, the layout move and the circles.
bool moves_image(uint32_t kind) {
  switch (kind) {
    case 0:
    case 1:
    case 6:
    case 7:
    case 8:
    case 10:
    case 15:
    case 18:
    case 19:
      return true;
    default:
      return false;
  }
}

// Whether a running slot holds, among all its sections (finished ones too), one that moves the
// image at that table index.
bool image_moved(const VmContext& vm, uint32_t index) {
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (!vm.actions.slots[s].bRunning || !(engine::action_slots_written & (1u << s))) continue;
    for (const engine::ActionLine& line : engine::action_lines[s]) {
      const uint32_t count =
          line.nSections < engine::kActionSections ? line.nSections : engine::kActionSections;
      for (uint32_t i = 0; i < count; ++i) {
        const engine::ActionSection& section = line.sections[i];
        if (moves_image(section.dwKind) && section.params[0] == index) return true;
      }
    }
  }
  return false;
}

uint32_t cmd_is_action_move(VmContext& vm) {
  const int32_t index = layers::decode_image_no(vm_pop(vm));
  // A number that does not decode names no image (and so not the sections whose number failed).
  const bool moved = index >= 0 && image_moved(vm, static_cast<uint32_t>(index));
  engine::vm_set_result(vm, moved ? 1 : 0);
  return 1;
}

uint32_t cmd_set_action_ease_window(VmContext& vm) {
  uint32_t start = vm_pop(vm);
  uint32_t end = vm_pop(vm);
  if (start > 1000) start = 0;
  if (end > 1000) end = 1000;
  if (start > end) std::swap(start, end);
  engine::action_ease_start = start;
  engine::action_ease_end = end;
  return 1;
}

const engine::CommandEntry kEntries[] = {ACTION_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList action_commands = engine::command_list(kEntries);

void actions_attach() {
  engine::command_list_install(action_commands);
  engine::LayerServices& l = engine::neighbours.layers;
  l.action_update = action_update;
  l.action_sync_run = [](VmContext& vm) { return action_sync_running(vm); };
  l.action_clear_marked = action_clear_marked;
  l.action_end_active_and_marked = action_end_active_and_marked;
  l.action_uninit_all = action_uninit_all;
  l.action_slots_system_clear = action_slots_system_clear;
  l.easing_rate = easing_rate;
}

}  // namespace actions
