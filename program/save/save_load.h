// Loading: a save slot, PrevData or a history file is checked whole, then the script machine is
// reset and restored from it, and the script resumes where the snapshot was taken.
//
// A refused image (damaged, cut short, from another script) leaves the game, the held snapshot
// and PrevData exactly as they were and logs one key-0 line naming the file and the field.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/vm_context.h"
#include "save/save_block.h"

namespace save {

// Checks the image, sizes the thumbnail buffer to its thumbnail, resets the machine and reads
// the image; the pc is then the resume pc. False (nothing changed) when refused; `name` is what
// the refusal line names.
bool save_image_load(engine::VmContext& vm, const uint8_t* data, size_t size,
                     const std::string& name, const LoadMode& mode);

// load (0x0a0001): slot 0-999 or 1000 (PrevData).
uint32_t cmd_load(engine::VmContext& vm);
// history_load (0x0a0026): result -1 when loaded, 0 when the file is missing or refused.
uint32_t cmd_history_load(engine::VmContext& vm);

// The neighbour entry: resets the machine and restores it from the snapshot just made, so that
// the script starts again from a clean state at its resume pc. An invalid snapshot is not read:
// the pc only goes to the resume pc.
void save_snapshot_reload(engine::VmContext& vm);

}  // namespace save
