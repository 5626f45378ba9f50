#include "engine/thread_commands.h"

#include <iterator>

#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/interpreter.h"
#include "engine/operand.h"
#include "engine/thread_command_list.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {
namespace {

constexpr uint32_t kMessageSlots = std::size(MessageBlock{}.slots);

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// The code offset (from dwBase) of a label; false, with the label lookup's key-0 line, when
// the label lies outside Point.dat.
bool label_offset(VmContext& vm, uint32_t label, uint32_t* offset) {
  uint32_t pc;
  if (!label_target(vm, label, &pc)) return false;
  *offset = pc - vm.runner.dwBase;
  return true;
}

uint32_t cmd_create_message(VmContext& vm) {
  const uint32_t label = vm_pop(vm);
  vm.messages = MessageBlock{};
  uint32_t offset = 0;
  // A label outside Point.dat leaves no handler rather than one at the start of the code.
  if (label_offset(vm, label, &offset)) vm.messages.dwHandler = offset;
  vm_log(kLogHistory, "create_message  %d", as_int(label));
  return 1;
}

uint32_t cmd_get_message(VmContext& vm) {
  for (uint32_t slot = 0; slot < kMessageSlots; ++slot) {
    MessageSlot& s = vm.messages.slots[slot];
    if (!s.bPosted) continue;
    s.bPosted = 0;
    vm_set_result(vm, slot);
    vm_log(kLogHistory, "get_message  0x%04X", slot);
    return 1;
  }
  vm_set_result(vm, 0xFFFFFFFFu);
  return 1;
}

uint32_t cmd_get_message_param(VmContext& vm) {
  const uint32_t slot = vm_pop(vm);
  // Only slots 0-7 exist; any other index reads as an unposted slot.
  const uint32_t param = slot < kMessageSlots ? vm.messages.slots[slot].dwParam : 0;
  vm_set_result(vm, param);
  vm_log(kLogHistory, "get_message_param  0x%08X", param);
  return 1;
}

uint32_t cmd_create_thread(VmContext& vm) {
  const uint32_t label = vm_pop(vm);
  vm_log(kLogHistory, "create_thread %d", as_int(label));
  uint32_t offset = 0;
  // A label outside Point.dat makes no thread: it would run from the start of the code.
  if (!label_offset(vm, label, &offset)) return 1;
  ScriptThreadRecord& t = vm.thread;
  t.bExists = 1;
  t.bEnabled = 1;
  t.dwStart = offset;  // an open call goes on; the next one starts here
  t.dwLabel = label;
  return 1;
}

uint32_t cmd_exit_thread(VmContext& vm) {
  vm.thread = ScriptThreadRecord{};
  vm_log(kLogHistory, "exit_thread");
  return 1;
}

uint32_t cmd_enable_thread(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm_set_result(vm, vm.thread.bEnabled);
  vm.thread.bEnabled = flag;
  vm_log(kLogHistory, "enable_thread %d", as_int(flag));
  return 1;
}

uint32_t cmd_get_thread(VmContext& vm) {
  vm_set_result(vm, vm.thread.dwLabel);
  vm_log(kLogHistory, "[%d] get_thread", as_int(vm.thread.dwLabel));
  return 1;
}

uint32_t cmd_get_script_thread_id(VmContext& vm) {
  const uint32_t id = script_thread_id.load();
  vm_set_result(vm, id);
  vm_log(kLogHistory, "[%d] get_script_thread_id", as_int(id));
  return 1;
}

}  // namespace

void message_post(VmContext& vm, uint32_t slot, uint32_t param) {
  if (slot >= kMessageSlots) return;
  vm.messages.slots[slot].dwParam = param;
  vm.messages.slots[slot].bPosted = 1;
  vm.messages.bPending = 1;
}

namespace {
const CommandEntry kThreadCommands[] = {THREAD_COMMANDS(COMMAND_ENTRY)};
const CommandEntry kMessageCommands[] = {MESSAGE_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList thread_commands = command_list(kThreadCommands);
const CommandList message_commands = command_list(kMessageCommands);

}  // namespace engine
