#include "engine/dispatch.h"

#include "engine/interpreter.h"
#include "engine/operand.h"

namespace engine {

CommandHandler set_command_handler(uint32_t id, CommandHandler handler) {
  const uint32_t group = id >> 16;
  const uint32_t index = id & 0xFFFF;
  if (group >= kCommandGroupCount) return nullptr;
  const CommandGroup& g = command_group_table[group];
  if (!g.handlers || index >= g.count) return nullptr;
  CommandHandler old = g.handlers[index];
  g.handlers[index] = handler;
  return old;
}

uint32_t op_call(VmContext& vm) {
  const uint32_t id = fetch_word(vm);
  const uint32_t result_reg = fetch_word(vm);
  if (vm.runner.bFetchFault) return 1;  // the runner reports the pc that left the code
  vm.dwResultReg = result_reg;
  vm.runner.dwCommand = id;
  CommandHandler handler = command_lookup(id);
  return handler ? handler(vm) : 0;
}

}  // namespace engine
