// The action system as the script machine sees it: its commands (group 0x11,
// action_command_list.h) and its entries of the machine's layer table (engine/neighbours.h):
// the runner, the synchronous-slot question, the reserved clear, the reset and the curves.
#pragma once

#include "engine/command_list.h"

namespace actions {

extern const engine::CommandList action_commands;

// Installs the commands and fills the table. Start-up, after the layers attach.
void actions_attach();

}  // namespace actions
