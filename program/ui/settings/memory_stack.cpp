#include "ui/settings/memory_stack.h"

#include <cstring>

#include "engine/operand.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "ui/settings/settings_command_list.h"

namespace ui {

using engine::VmContext;

static_assert(sizeof(engine::MemoryStack::frames) ==
              sizeof(uint32_t) * kMemoryStackDepth * kMemoryStackWords);

uint32_t cmd_push_memory_stack(VmContext& vm) {
  engine::MemoryStack& s = vm.memStack;
  if (s.nDepth >= kMemoryStackDepth) {
    engine::vm_log(engine::kLogMain, "push memory stack over");
    return 1;
  }
  std::memcpy(s.frames[s.nDepth], vm.tempMem, sizeof s.frames[0]);
  ++s.nDepth;
  return 1;
}

uint32_t cmd_pop_memory_stack(VmContext& vm) {
  engine::MemoryStack& s = vm.memStack;
  if (s.nDepth == 0) {
    engine::vm_log(engine::kLogMain, "pop memory stack none");
    return 1;
  }
  // A depth beyond the stack (a damaged save) is read as a full stack.
  const uint32_t top = (s.nDepth > kMemoryStackDepth ? kMemoryStackDepth : s.nDepth) - 1;
  std::memcpy(vm.tempMem, s.frames[top], sizeof s.frames[0]);
  std::memset(s.frames[top], 0, sizeof s.frames[0]);
  s.nDepth = top;
  return 1;
}

uint32_t cmd_lpush(VmContext& vm) {
  const uint32_t label = engine::vm_pop(vm);
  uint32_t address = 0;
  if (!engine::label_target(vm, label, &address)) return 1;
  engine::data_entry_push(vm, engine::kChannelReturns, address, 0);
  engine::vm_log(engine::kLogHistory, "lpush %d", static_cast<int32_t>(address));
  return 1;
}

uint32_t cmd_lpop(VmContext& vm) {
  const uint32_t count = engine::vm_pop(vm);
  const uint32_t n = count == 0 ? 1 : count;
  vm.run.nRetPairs = n - 1;
  for (uint32_t i = 0; i < n; ++i) {
    engine::DataEntry entry{};
    if (!engine::data_entry_pop(vm, engine::kChannelReturns, &entry)) {
      engine::vm_log(engine::kLogMain, "error : lpop non stack");
      break;
    }
    engine::vm_log(engine::kLogHistory, "lpop [%d]", static_cast<int32_t>(entry.dwValue));
  }
  return 1;
}

uint32_t cmd_lsize(VmContext& vm) {
  const uint32_t count = engine::orv_list_count(vm.hReturnStack, engine::kChannelReturns);
  engine::vm_set_result(vm, count);
  engine::vm_log(engine::kLogHistory, "[%d]lsize", static_cast<int32_t>(count));
  return 1;
}

const engine::CommandEntry memory_stack_command_entries[] = {MEMORY_STACK_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList memory_stack_commands =
    engine::command_list(memory_stack_command_entries);

}  // namespace ui
