// The script's data-file commands: open a data file (its text read whole into cells and a
// string pool, engine/formats/data_file_format.h), read cells in turn, move the read position,
// fetch a string cell, close. The script holds an open file by a small nonzero id that every
// command checks against the open list, so a stale or made-up id finds nothing.
//
// Thread: whichever thread runs the script.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace engine {

// Closes every open data file of the machine (at engine shutdown).
void data_files_close_all(VmContext& vm);

// The commands of this family, installed by library_commands_attach.
extern const CommandList data_file_commands;

}  // namespace engine
