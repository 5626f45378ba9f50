#include "ui/buttons/system_buttons.h"

#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "ui/buttons/buttons.h"
#include "ui/buttons/system_button_command_list.h"

namespace ui {

using engine::SystemButton;
using engine::VmContext;

namespace {

constexpr uint32_t kArrowKeys = 0x780;
constexpr uint32_t kAllHooks = 65535;
constexpr uint32_t kSystemPause = 50;

// The key bits of hooks 0 and 3-20; 0 for the wheel hooks and the hooks without input.
uint32_t hook_keys(uint32_t hook) {
  if (hook == 0) return 1u << 24;
  if (hook == 3) return (1u << 23) | (1u << 30);
  if (hook >= 4 && hook <= 15) return 1u << (hook + 7);
  if (hook == 16) return 1u;
  if (hook >= 17 && hook <= 20) return 1u << (hook - 10);
  return 0;
}

bool fires(const VmContext& vm, uint32_t hook, const SystemButton& b, uint32_t push, uint32_t pull,
           uint32_t repeat, int32_t wheel) {
  if (hook == 1) return wheel < 0;
  if (hook == 2) return wheel > 0;
  if (hook >= 21) return true;
  const uint32_t keys = (vm.buttons.bKeyRelease && (hook == 0 || hook == 3)) ? pull : push;
  const uint32_t held = repeat & b.dwHoldMask;
  return ((keys | held) & hook_keys(hook)) != 0;
}

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// Hook numbers 0-31, and 65535 for all where allowed; others are refused.
bool hook_ok(const char* name, uint32_t hook, bool all_allowed) {
  if (hook < engine::kSystemButtons || (all_allowed && hook == kAllHooks)) return true;
  engine::vm_log(engine::kLogMain, "%s  %d: hook outside 0-31", name, as_int(hook));
  return false;
}

uint32_t cmd_system_btn_set(VmContext& vm) {
  const uint32_t hook = engine::vm_pop(vm);
  const uint32_t label = engine::vm_pop(vm);
  const uint32_t hold = engine::vm_pop(vm);
  if (!hook_ok("system_btn_set", hook, false)) return 1;
  uint32_t offset = 0;
  if (label) {
    uint32_t pc = 0;
    if (engine::label_target(vm, label, &pc)) offset = pc - vm.runner.dwBase;
  }
  vm.systemButtons[hook] = SystemButton{1, 1, as_int(hold) > 0 ? 0xFFFFFFFFu : 0, offset};
  engine::vm_log(engine::kLogHistory, "system_btn_set  %d, %d, %d", as_int(hook), as_int(label),
                 as_int(hold));
  return 1;
}

uint32_t cmd_system_btn_release(VmContext& vm) {
  const uint32_t hook = engine::vm_pop(vm);
  engine::vm_log(engine::kLogHistory, "system_btn_release  %d", as_int(hook));
  if (!hook_ok("system_btn_release", hook, true)) return 1;
  for (uint32_t i = 0; i < engine::kSystemButtons; ++i) {
    if (hook != kAllHooks && hook != i) continue;
    SystemButton& b = vm.systemButtons[i];
    b.bInit = b.bEnable = b.dwLabel = 0;  // the hold mask stays
  }
  return 1;
}

uint32_t cmd_system_btn_enable(VmContext& vm) {
  const uint32_t hook = engine::vm_pop(vm);
  const uint32_t on = engine::vm_pop(vm);
  engine::vm_log(engine::kLogHistory, "system_btn_enable %d, %d", as_int(hook), as_int(on));
  if (!hook_ok("system_btn_enable", hook, true)) return 1;
  for (uint32_t i = 0; i < engine::kSystemButtons; ++i) {
    if (hook == kAllHooks || hook == i) vm.systemButtons[i].bEnable = on;
  }
  return 1;
}

}  // namespace

bool system_btn_update(VmContext& vm) {
  if (vm.buttons.dwInvalidTime) return false;
  if (engine::orv_input_key_on() & ~kArrowKeys) return false;
  const uint32_t push = engine::orv_input_key_push();
  const uint32_t pull = engine::orv_input_key_pull();
  const uint32_t repeat = orv.OrvInputGetKeyOnEx ? orv.OrvInputGetKeyOnEx() : 0;
  const int32_t wheel = engine::orv_input_wheel();
  for (uint32_t hook = 0; hook < engine::kSystemButtons; ++hook) {
    const SystemButton& b = vm.systemButtons[hook];
    if (!b.bInit || !b.bEnable) continue;
    if (!fires(vm, hook, b, push, pull, repeat, wheel)) continue;
    if (b.dwLabel == 0) return false;
    engine::vm_log(engine::kLogHistory, "system btn[%d][%d] ret / %d", as_int(hook),
                   as_int(b.dwLabel), as_int(vm.runner.dwPc));
    engine::data_entry_push(vm, engine::kChannelReturns, vm.runner.dwPc, 1);
    vm.runner.dwPc = vm.runner.dwBase + b.dwLabel;
    if (engine::get_skip_state(vm) == 0) button_pause(vm, kSystemPause);
    vm.text.bAdvanceRequest = 0;
    return true;
  }
  return false;
}

void system_buttons_choice_enable(VmContext& vm, bool on) {
  for (uint32_t hook : {3u, 17u, 18u}) vm.systemButtons[hook].bEnable = on ? 1 : 0;
}

const engine::CommandEntry system_button_command_entries[] = {
    SYSTEM_BUTTON_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList system_button_commands =
    engine::command_list(system_button_command_entries);

}  // namespace ui
