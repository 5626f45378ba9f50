// The tips-word commands (tips_command_list.h) and the commands of the tips dictionary and the
// favourites (group 0x12), with the attach function that installs them.
#pragma once

#include "engine/command_list.h"

namespace tips {

extern const engine::CommandList tips_commands;
extern const engine::CommandList tips_dictionary_commands;
extern const engine::CommandList favourite_commands;

// Installs the three lists. Start-up, before any script runs.
void tips_attach();

}  // namespace tips
