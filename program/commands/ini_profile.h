// The script's INI profile commands: read a string or a number from an INI file (the save
// folder's copy shadows the program folder's), write a string or a number to the save folder's
// copy. The file format is engine/formats/ini_file.h.
//
// Thread: whichever thread runs the script.
#pragma once

#include <string>

#include "engine/command_list.h"

namespace engine {

// Where a script's INI file is read from: the save folder when it has the file, else the
// program folder when it has it, else the bare name (searched along the search folders).
std::string ini_resolve_path(const std::string& name);

// The commands of this family, installed by library_commands_attach.
extern const CommandList ini_commands;

}  // namespace engine
