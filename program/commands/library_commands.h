// The script command library: strings, files, INI profiles, data files, access flags, system
// queries and controls, math, memory blocks and debug commands, with the script machine's own
// wait, thread and message commands.
#pragma once

#include "engine/command_list.h"

namespace engine {

// Installs every command list of the library in the command table. Called once at start-up
// from the attach list (program/subsystems.cpp), before any script runs; installing again
// changes nothing.
void library_commands_attach();

// The lists whose families have no header of their own.
extern const CommandList access_flag_commands;
extern const CommandList debug_commands;

}  // namespace engine
