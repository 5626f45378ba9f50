// The layer animation commands (anim_command_list.h). An animation is attached through the
// picture's own graphic.dat record (its animation flag and name), so that what the layer save
// block keeps of the picture brings the animation back too.
#pragma once

#include "engine/command_list.h"

namespace animations {

extern const engine::CommandList anim_layer_commands;

}  // namespace animations
