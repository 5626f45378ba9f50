// The image-operation commands (group 0x03, and stretch_image of group 0x12): each changes the
// pixels of a layer's picture and, with a slot 0-7, records the change in that slot of the
// layer so that a loaded game does it again (slot -1: once, not recorded). The render-list
// commands compose the current look of several layers into one layer's picture.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define IMAGE_OP_COMMANDS(X)                                                                     \
  X(0x03001f, "sp_mix_file_to_sprite", 9, cmd_sp_mix_file_to_sprite,                             \
    "draws file's x, y onto rectangle x, y, w, h of the layer's picture (slot 0-7, -1 once)")    \
  X(0x030026, "sp_bitblt", 9, cmd_sp_bitblt,                                                     \
    "copies the colours of a source layer's x, y into rectangle x, y, w, h of the layer")        \
  X(0x030037, "sp_set_mask", 9, cmd_sp_set_mask,                                                 \
    "multiplies the layer's alpha in a rectangle by a mask file's first channel")                \
  X(0x030038, "sp_bitblt_file", 9, cmd_sp_bitblt_file,                                           \
    "copies the colours of a file's x, y into rectangle x, y, w, h of the layer")                \
  X(0x03003f, "sp_boxblur", 6, cmd_sp_boxblur,                                                   \
    "box-blurs a source layer into the layer: x radius, y radius, passes")                       \
  X(0x030043, "sp_channel_copy", 11, cmd_sp_channel_copy,                                        \
    "copies one channel (0 B, 1 G, 2 R, 3 A) of a source layer into one of the layer")           \
  X(0x030044, "sp_delete_no_alpha", 6, cmd_sp_delete_no_alpha,                                   \
    "clears the colour of the fully transparent pixels of a rectangle")                          \
  X(0x030046, "sp_delete_no_alpha255", 6, cmd_sp_delete_no_alpha255,                             \
    "clears the pixels of a rectangle that are not fully opaque")                                \
  X(0x030047, "sp_gaussianblur", 4, cmd_sp_gaussianblur,                                         \
    "blurs a source layer into the layer at a level")                                            \
  X(0x030048, "sp_alpha_copy", 4, cmd_sp_alpha_copy,                                             \
    "copies a source layer's alpha into the layer at a level (0-255)")                           \
  X(0x03005b, "sp_motionblur", 6, cmd_sp_motionblur,                                             \
    "motion-blurs a source layer into the layer: length, angle (4096 a turn), density")          \
  X(0x03005e, "sp_mix_file_to_sprite_ex", 9, cmd_sp_mix_file_to_sprite_ex,                       \
    "as sp_mix_file_to_sprite, both alphas composited")                                          \
  X(0x030060, "sp_set_mask2", 9, cmd_sp_set_mask2, "as sp_set_mask with the mask inverted")      \
  X(0x030061, "sp_set_mask_ex", 10, cmd_sp_set_mask_ex,                                          \
    "multiplies the layer's alpha by a mask layer's (flags bit 0: inverted)")                    \
  X(0x030064, "sp_boxfill", 7, cmd_sp_boxfill, "fills rectangle x, y, w, h with an ARGB colour") \
  X(0x030066, "sp_circle_fill", 6, cmd_sp_circle_fill,                                           \
    "fills a disc of centre x, y and radius with an ARGB colour")                                \
  X(0x030067, "sp_waveform_warp", 9, cmd_sp_waveform_warp,                                       \
    "warps a source layer into the layer with a wave: time, amplitude, wavelength, speed, "      \
    "angle, type")                                                                               \
  X(0x030069, "sp_channel_copy_ex", 12, cmd_sp_channel_copy_ex,                                  \
    "as sp_channel_copy with a combine mode")                                                    \
  X(0x03007d, "sp_cleaning_alpha_rgb", 3, cmd_sp_cleaning_alpha_rgb,                             \
    "makes every pixel whose alpha is at most the threshold fully transparent")                  \
  X(0x030052, "sp_render_list_clear", 1, cmd_sp_render_list_clear,                               \
    "forgets the layer's recorded operations and empties the render list")                       \
  X(0x030053, "sp_render_list_add", 3, cmd_sp_render_list_add,                                   \
    "adds a source layer as it is drawn now to the render list")                                 \
  X(0x030054, "sp_render_list_draw", 2, cmd_sp_render_list_draw,                                 \
    "draws the render list into the layer's picture")                                            \
  X(0x030065, "sp_create_ex", 6, cmd_sp_create_ex,                                               \
    "as sp_create, keeping the child links of a layer whose transition waits")                   \
  X(0x12002e, "stretch_image", 3, cmd_stretch_image,                                             \
    "stretches a source layer's picture onto the whole layer (0 nearest, 1 and 2 filtered)")
