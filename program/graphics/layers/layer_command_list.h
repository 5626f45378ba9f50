// The layer image commands (group 0x03): load, create, paint, clear and show layer pictures,
// and the face layers of the text window.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define LAYER_COMMANDS(X)                                                                      \
  X(0x030002, "sp_set", 4, cmd_sp_set,                                                         \
    "loads file into layer at layout codes x, y; shown at the next run")                       \
  X(0x030003, "sp_set_ex", 5, cmd_sp_set_ex,                                                   \
    "loads file into layer at pixel x, y, z (x = y = 0xFFFF: where it loads)")                 \
  X(0x030005, "sp_cls", 1, cmd_sp_cls, "clears layer (-1 all) at the next run")                \
  X(0x03000b, "sp_cls_ex", 2, cmd_sp_cls_ex, "clears count layers from first at the next run") \
  X(0x030013, "face_init", 5, cmd_face_init,                                                   \
    "binds face entry to layer (-1 none) with bottom centre x, y and a priority step")         \
  X(0x030014, "face_set", 4, cmd_face_set,                                                     \
    "loads file into the face entry's layer, moved by x, y")                                   \
  X(0x030017, "face_cls", 1, cmd_face_cls, "clears the face entry's layer at once")            \
  X(0x030020, "sp_create", 6, cmd_sp_create,                                                   \
    "creates a w x h sprite of a colour (#AARRGGBB) or a file in layer at x, y")               \
  X(0x030028, "sp_paint", 6, cmd_sp_paint,                                                     \
    "fills the layer's picture (all-zero rectangle: whole) with a colour text")                \
  X(0x030029, "sp_load", 3, cmd_sp_load,                                                       \
    "loads file into layer without showing it; mode 0 in the background")                      \
  X(0x03002a, "sp_load_wait", 1, cmd_sp_load_wait,                                             \
    "waits (at most 3 s) for the layer's background load")                                     \
  X(0x03002b, "sp_draw", 1, cmd_sp_draw, "shows the layer's loaded picture at the next run")   \
  X(0x03002e, "sp_show", 1, cmd_sp_show, "makes the layer visible at the next run")            \
  X(0x03002f, "sp_hide", 1, cmd_sp_hide, "makes the layer invisible at the next run")          \
  X(0x030036, "get_backbuffer", 1, cmd_get_backbuffer,                                         \
    "copies the screen into the layer's picture")                                              \
  X(0x03003b, "sp_nop", 2, cmd_sp_nop, "takes two values and does nothing")                    \
  X(0x03003c, "sp_fill_alpha", 2, cmd_sp_fill_alpha, "sets the alpha of every pixel of the layer")
