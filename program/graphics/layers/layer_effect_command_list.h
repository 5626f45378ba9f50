// Sprite effects, drawing options and questions on layers (group 0x03) that record nothing:
// one-shot pixel effects between layers, how a layer's sprite is drawn (rotation unit, 3D
// tilt, perspective, texture address mode, separate x and y scale) and questions about text
// size, visibility, source rectangle, child offset and scale.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define LAYER_EFFECT_COMMANDS(X)                                                           \
  X(0x030042, "sp_text_get_size", 1, cmd_sp_text_get_size,                                 \
    "the size of a text in the current font: height x 65536 + width")                      \
  X(0x030045, "sp_get_show", 1, cmd_sp_get_show, "1 when the layer's picture is shown")    \
  X(0x030049, "sp_get_rect", 2, cmd_sp_get_rect,                                           \
    "writes the image's source rectangle into four TempMemory cells from var")             \
  X(0x03004a, "sp_set_address_uv", 2, cmd_sp_set_address_uv,                               \
    "how the layer's texture repeats in 3D drawing: 1 wrap, else clamp")                   \
  X(0x030055, "sp_set_rotate_3d", 3, cmd_sp_set_rotate_3d,                                 \
    "tilts the layer's sprite by two angles in 3D drawing")                                \
  X(0x030057, "sp_set_scale_xy", 3, cmd_sp_set_scale_xy,                                   \
    "scales the layer's picture by x and y percent")                                       \
  X(0x030058, "sp_get_scale_x", 1, cmd_sp_get_scale_x, "the image's x scale in percent")   \
  X(0x030059, "sp_get_scale_y", 1, cmd_sp_get_scale_y, "the image's y scale in percent")   \
  X(0x03005a, "sp_set_perspective", 2, cmd_sp_set_perspective,                             \
    "draws the layer's sprite in perspective (3D drawing)")                                \
  X(0x03005f, "sp_stretchblt", 12, cmd_sp_stretchblt,                                      \
    "stretches a source layer's rectangle onto the layer's rectangle (nearest neighbour)") \
  X(0x030062, "sp_apply_alpha_mask", 10, cmd_sp_apply_alpha_mask,                          \
    "multiplies the layer's alpha by a mask layer, tiled and stretched by the divisors")   \
  X(0x030063, "sp_displacement_map", 15, cmd_sp_displacement_map,                          \
    "draws a source layer displaced by a map layer's first two channels")                  \
  X(0x030068, "sp_get_child_pos", 2, cmd_sp_get_child_pos,                                 \
    "writes the image's offset from its parent into two TempMemory cells from var")        \
  X(0x03006a, "sp_swirl_blur", 8, cmd_sp_swirl_blur,                                       \
    "swirls a source layer into a rectangle of the layer (angle, strength in 1/10000)")    \
  X(0x03006b, "sp_set_rotate_resolution", 2, cmd_sp_set_rotate_resolution,                 \
    "units per turn of the layer's rotation (512 or 360)")                                 \
  X(0x03006c, "sp_wall_sprite_effect", 6, cmd_sp_wall_sprite_effect,                       \
    "springs a source layer into the layer like a wall: centre x, y, power and a 4th value")
