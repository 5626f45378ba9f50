// Script messages (command group 0x17) and the script thread (group 0x15).
//
// Messages: engine code posts a numbered message into one of the 8 slots of
// VmContext::messages; when the script has set a handler label, the frame procedure calls it
// first in the frame, and the handler reads the posted slots with get_message. The script
// thread: one label that the scheduler calls once per frame, before the events and the main
// script, while VmContext::thread exists and is enabled. Game thread.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace engine {

// The commands of this family, installed by library_commands_attach.
extern const CommandList thread_commands;
extern const CommandList message_commands;

// Posts message slot (0-7; others are ignored) with its parameter and marks a message pending.
void message_post(VmContext& vm, uint32_t slot, uint32_t param);

}  // namespace engine
