#include "ui/input/key_input.h"

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "ui/input/async_keys.h"
#include "ui/input/input_command_list.h"
#include "ui/ui_variables.h"

namespace ui {

using engine::VmContext;

namespace {

constexpr uint32_t kCtrlKey = 0x8;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// A key word as the result, logged as "[%d] name".
uint32_t key_word_result(VmContext& vm, uint32_t word, const char* name) {
  engine::vm_set_result(vm, word);
  engine::vm_log(engine::kLogHistory, "[%d] %s", as_int(word), name);
  return 1;
}

}  // namespace

uint32_t cmd_get_mouse_pos(VmContext& vm) {
  const uint32_t x_var = engine::vm_pop(vm);
  const uint32_t y_var = engine::vm_pop(vm);
  if (!variables_ok("get_mouse_pos", x_var, y_var)) return 1;
  if (x_var != kNoVariable) variable_store(vm, x_var, orv.OrvInputGetMouseX());
  if (y_var != kNoVariable) variable_store(vm, y_var, orv.OrvInputGetMouseY());
  return 1;
}

uint32_t cmd_key_canncel(VmContext& vm) {
  const uint32_t keys = engine::vm_pop(vm);
  const uint32_t events = engine::vm_pop(vm);
  vm.run.dwKeyCancel[0] = keys;
  vm.run.dwKeyCancel[1] = events;
  orv.OrvInputKeyCancel(keys, events);
  engine::vm_log(engine::kLogHistory, "key_canncel %d", as_int(keys));
  if ((keys & kCtrlKey) && engine::orv_debug_on()) {
    // "CTRLキーの制御がキャンセルされました"
    engine::vm_log(engine::kLogHistory,
                   "CTRL\x83\x4c\x81\x5b\x82\xcc\x90\xa7\x8c\xe4\x82\xaa\x83\x4c\x83\x83\x83\x93"
                   "\x83\x5a\x83\x8b\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd");
  }
  return 1;
}

uint32_t cmd_clear_push_key_log(VmContext& vm) {
  vm.run.dwKeyPushLog = 0;
  return 1;
}

uint32_t cmd_get_push_key_log(VmContext& vm) {
  engine::vm_set_result(vm, vm.run.dwKeyPushLog);
  return 1;
}

uint32_t cmd_get_pull_key(VmContext& vm) {
  return key_word_result(vm, orv.OrvInputGetKeyPull(), "get_pull_key");
}

uint32_t cmd_get_on_key(VmContext& vm) {
  return key_word_result(vm, orv.OrvInputGetKeyOn(), "get_on_key");
}

uint32_t cmd_get_push_key(VmContext& vm) {
  return key_word_result(vm, orv.OrvInputGetKeyPush(), "get_push_key");
}

uint32_t cmd_input_clear(VmContext& vm) {
  orv.OrvInputClear();
  orv.OrvInputKeyRepeatClear();
  vm.text.bAdvanceRequest = 0;
  engine::vm_log(engine::kLogHistory, "input_clear");
  return 1;
}

uint32_t cmd_get_async_key(VmContext& vm) {
  const uint32_t vk = engine::vm_pop(vm);
  if (!orv.IsActive()) {
    engine::vm_set_result(vm, 0);
    return 1;
  }
  const uint32_t down = get_async_key_state(vk) != 0 ? 1 : 0;
  engine::vm_set_result(vm, down);
  engine::vm_log(engine::kLogHistory, "[%d] get_async_key %d", as_int(down), as_int(vk));
  return 1;
}

uint32_t cmd_set_cursor_pos(VmContext& vm) {
  const int32_t x = as_int(engine::vm_pop(vm));
  const int32_t y = as_int(engine::vm_pop(vm));
  orv.OrvCursorSetPos(x, y);
  return 1;
}

uint32_t cmd_get_on_pad(VmContext& vm) {
  return key_word_result(vm, orv.OrvInputGetJoyOn(), "get_on_pad");
}

const engine::CommandEntry key_input_command_entries[] = {KEY_INPUT_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList key_input_commands = engine::command_list(key_input_command_entries);

}  // namespace ui
