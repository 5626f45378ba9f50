// The save commands of group 0x0a (save_command_list.h) and the snapshot calls that other
// subsystems make through the neighbour table.
#pragma once

#include <cstdint>
#include <string>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace save {

// Writes the held snapshot to path: the current thumbnail (when its size is the snapshot's) and
// save text go into it first. True when the file was written; on any failure the old file
// stays as it was ("save error [file]" when the file could not be made, else the message box
// that asks the player to check the free space).
bool save_file_write(engine::VmContext& vm, const std::string& path);

// The neighbour entry: when history saving is on, the held snapshot becomes the next history
// file (SystemMemory 511 counts them, 509 names the current one).
void history_save(engine::VmContext& vm);

// The neighbour entry: packs the held snapshot as PrevData (nothing while none is valid).
void save_prev_pack(engine::VmContext& vm);

// Installs the commands and fills the snapshot entries of the interaction table.
void save_attach();

extern const engine::CommandList save_commands;

}  // namespace save
