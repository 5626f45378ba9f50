// The layer image commands (group 0x03, layer_command_list.h) and their asynchronous loader.
//
// Loads go through sprite_load_by_name with graphic.dat's defaults; every visible change is
// queued for the next commit (display_ops.h). An asynchronous load (sp_load mode 0) reads and
// decodes on the platform work thread without the render lock; it hands its sprite over under
// the lock, and only while the layer still waits for that very request (a release in between
// makes it give the sprite back).
#pragma once

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace layers {

extern const engine::CommandList layer_commands;

// The end of a history skip: a black cover of the screen on layer 65, committed at once.
void history_skip_cover_image(engine::VmContext& vm);

}  // namespace layers
