// Command dispatch: the two-level table from a 32-bit command id to its handler.
//
// The id's upper 16 bits name a group (0x02-0x17), the lower 16 bits the command inside it. A
// handler takes the VmContext, pops its arguments itself (each pop takes the value pushed
// last), writes a result with vm_set_result when it has one, logs its name and arguments with
// key 10, follows one of the two wait protocols of interpreter.h when it must wait, and returns
// nonzero; 0 makes the interpreter log an internal error. An id without a handler (a group
// above 0x17, an index past the group's end, an empty entry) is such a 0.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

using CommandHandler = uint32_t (*)(VmContext& vm);

constexpr uint32_t kCommandGroupCount = 0x18;

// One group: its handler array (indexed by the command's low 16 bits) and its length.
struct CommandGroup {
  CommandHandler* handlers;
  uint32_t count;
};

// Groups by number; entries 0 and 1 are empty (group 1 is the core operations).
extern const CommandGroup command_group_table[kCommandGroupCount];

// The handler of id, null when there is none. Inline: the interpreter looks one up per call.
inline CommandHandler command_lookup(uint32_t id) {
  const uint32_t group = id >> 16;
  const uint32_t index = id & 0xFFFF;
  if (group >= kCommandGroupCount) return nullptr;
  const CommandGroup& g = command_group_table[group];
  if (!g.handlers || index >= g.count) return nullptr;
  return g.handlers[index];
}

// Puts handler (null: none) at id and returns the one it replaces. For tests, which drive the
// interpreter with commands of their own; ids outside the table are refused (returns null).
CommandHandler set_command_handler(uint32_t id, CommandHandler handler);

}  // namespace engine
