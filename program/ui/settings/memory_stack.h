// The memory stack and the script's own use of the return stack.
//
// The memory stack keeps up to 32 copies of TempMemory words 0-255, so that a called routine
// can use them freely and give them back; it is saved with the game. lpush puts a label on the
// return stack as if a call had been made from there, so that the next return jumps to it;
// lpop drops return addresses (and tells the next return how many frame pairs to drop with
// them); lsize counts them.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

constexpr uint32_t kMemoryStackDepth = 32;
constexpr uint32_t kMemoryStackWords = 256;

// push_memory_stack: at depth 32 logs "push memory stack over" (key 0) and changes nothing.
uint32_t cmd_push_memory_stack(engine::VmContext& vm);
// pop_memory_stack: at depth 0 logs "pop memory stack none" (key 0) and changes nothing; the
// popped frame is zeroed.
uint32_t cmd_pop_memory_stack(engine::VmContext& vm);
// lpush (label): a kind-0 entry at the label's address (label 0: the code base); a label
// outside the label table pushes nothing.
uint32_t cmd_lpush(engine::VmContext& vm);
// lpop (count, 0 = 1): pops that many entries, "error : lpop non stack" (key 0) when the
// channel runs empty.
uint32_t cmd_lpop(engine::VmContext& vm);
// lsize: the number of return entries.
uint32_t cmd_lsize(engine::VmContext& vm);

extern const engine::CommandList memory_stack_commands;

}  // namespace ui
