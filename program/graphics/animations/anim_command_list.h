// The layer animation commands (group 0x03): attach an .ani animation to a layer's picture,
// start it now or at the next commit, or remove it.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define ANIM_LAYER_COMMANDS(X)                                                                 \
  X(0x030021, "sp_anime_clear", 1, cmd_sp_anime_clear,                                         \
    "ends the animation of the layer's picture (its end state stays only after op 19)")        \
  X(0x030039, "sp_set_anime", 3, cmd_sp_set_anime,                                             \
    "replaces the animation of the layer's picture with file.ani; start later 1: at the next " \
    "run")                                                                                     \
  X(0x03005c, "sp_set_anime_ex", 11, cmd_sp_set_anime_ex,                                      \
    "sp_set_anime with eight further values that are not used")
