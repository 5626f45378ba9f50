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
// Attributes and questions of one layer or image (layer_attr_command_list.h).
extern const engine::CommandList layer_attr_commands;
// Recorded image operations and render lists (image_op_command_list.h).
extern const engine::CommandList image_op_commands;
// Layer transitions (layer_transition_command_list.h).
extern const engine::CommandList layer_transition_commands;
// Pixel access (pixel_command_list.h).
extern const engine::CommandList pixel_commands;
// Effects, drawing options and questions (layer_effect_command_list.h).
extern const engine::CommandList layer_effect_commands;
// Image files (image_file_command_list.h).
extern const engine::CommandList image_file_commands;
// Text drawn into layers (layer_text_command_list.h).
extern const engine::CommandList layer_text_commands;

// Creates a w x h sprite in layer 0-127 from a colour name (#AARRGGBB) or a file at (x, y),
// shown at the next commit; file 0x0FFFFFFF only clears the layer. keep_links: a layer whose
// transition waits keeps its slot and child links, and drops only its image and recorded
// operations (sp_create_ex). 1, or 0 when the load failed.
uint32_t layer_create_sprite(engine::VmContext& vm, uint32_t layer, uint32_t file, int32_t x,
                             int32_t y, int32_t w, int32_t h, bool keep_links);

// The end of a history skip: a black cover of the screen on layer 65, committed at once.
void history_skip_cover_image(engine::VmContext& vm);

}  // namespace layers
