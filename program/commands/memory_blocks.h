// Memory blocks: byte buffers and key-to-text dictionaries that a script names by ids of its
// own choosing, filled word by word, copied, loaded from data files and saved as raw files.
//
// The store lives for the process: it is not part of the game state, so a reset or a loaded
// save leaves every block as it was. Buffers come from OrvMemoryAlloc.
// Thread: whichever thread runs the script; no lock.
#pragma once

#include <cstdint>

#include "engine/command_list.h"

namespace engine {

// Frees every block (the script's vmem_delete_all; also the end of the process).
void vmem_delete_all_blocks();

// The commands of this family, installed by library_commands_attach.
extern const CommandList memory_block_commands;

}  // namespace engine
