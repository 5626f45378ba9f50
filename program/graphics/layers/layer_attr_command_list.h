// The layer attribute and query commands (group 0x03): one property of a layer or an image
// at a time (position, scale, rotation, colour, source rectangle, centre, render mode, filter,
// shake, child links, priority, aspect type, lock, user value) and the questions about them.
// Setters write the image's own transform, which reaches the sprite in the same frame.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define LAYER_ATTR_COMMANDS(X)                                                                   \
  X(0x030004, "sp_set_pos", 2, cmd_sp_set_pos,                                                   \
    "re-places the layer's picture by a horizontal layout code, its bottom on the screen's")     \
  X(0x030006, "sp_set_alpha", 2, cmd_sp_set_alpha, "sets the image's alpha (0-255)")             \
  X(0x030007, "set_priority", 1, cmd_set_priority,                                               \
    "moves the priority of pictures loaded from now on by n steps (refused past the front)")     \
  X(0x030008, "get_filename", 2, cmd_get_filename,                                               \
    "copies the image's file name into the slot; result the file reference (-1 no image)")       \
  X(0x030009, "sp_set_center", 3, cmd_sp_set_center, "sets the centre of scale and rotation")    \
  X(0x03000c, "set_filter", 2, cmd_set_filter,                                                   \
    "applies filter 0-13 to the layer's picture (-1 every layer); 0 restores it")                \
  X(0x03000e, "sp_set_pos_ex", 4, cmd_sp_set_pos_ex, "moves the layer's picture to x, y, z")     \
  X(0x03000f, "sp_set_rect_pos", 3, cmd_sp_set_rect_pos,                                         \
    "shows cell column, row of the layer's picture")                                             \
  X(0x030010, "sp_set_render_mode", 2, cmd_sp_set_render_mode,                                   \
    "sets how the layer's picture blends (0 normal)")                                            \
  X(0x030011, "sp_set_scale", 2, cmd_sp_set_scale, "scales the image in percent")                \
  X(0x030012, "sp_set_rotate", 4, cmd_sp_set_rotate,                                             \
    "turns the image to x, y, z degrees (drops a child's rotation offset)")                      \
  X(0x030015, "sp_get_color", 1, cmd_sp_get_color, "the image's colour without alpha")           \
  X(0x030018, "sp_set_rect", 5, cmd_sp_set_rect,                                                 \
    "shows only the rectangle left, top, right, bottom of the layer's picture")                  \
  X(0x030019, "sp_set_pos_move", 4, cmd_sp_set_pos_move, "moves the image by dx, dy, dz")        \
  X(0x03001a, "sp_get_alpha", 1, cmd_sp_get_alpha, "the image's alpha")                          \
  X(0x03001b, "sp_get_rotate", 2, cmd_sp_get_rotate, "the image's rotation about axis 0-2")      \
  X(0x03001c, "sp_get_pos", 4, cmd_sp_get_pos,                                                   \
    "writes the image's x, y, z into three TempMemory cells (-1 skips one)")                     \
  X(0x03001d, "sp_get_width", 1, cmd_sp_get_width, "the image's cell width (-1 no image)")       \
  X(0x03001e, "sp_get_height", 1, cmd_sp_get_height, "the image's cell height (-1 no image)")    \
  X(0x030022, "sp_set_user_value", 2, cmd_sp_set_user_value, "keeps a value with the layer")     \
  X(0x030023, "sp_get_user_value", 1, cmd_sp_get_user_value, "the value kept with the layer")    \
  X(0x030024, "sp_get_scale", 1, cmd_sp_get_scale, "the image's x scale in percent")             \
  X(0x030025, "sp_set_color", 2, cmd_sp_set_color, "sets the image's colour, keeping alpha")     \
  X(0x030027, "sp_set_shake", 4, cmd_sp_set_shake,                                               \
    "shakes the layer: mode 0 up-down, 1 sideways, 2 both, amplitude, ms (0 stops, -1 endless)") \
  X(0x03002c, "sp_lock", 1, cmd_sp_lock, "keeps the layer still under the screen shake")         \
  X(0x03002d, "sp_unlock", 1, cmd_sp_unlock, "lets the screen shake move the layer again")       \
  X(0x030030, "is_sp", 1, cmd_is_sp,                                                             \
    "1 when the layer (or the image of a number from 128 up) has a picture")                     \
  X(0x030031, "sp_set_child", 5, cmd_sp_set_child,                                               \
    "links child layer (-1 unlinks) to parent at offset x, y in entry 0-7")                      \
  X(0x030035, "set_aspect_position_type", 2, cmd_set_aspect_position_type,                       \
    "how the image's position follows the aspect mode (0-4)")                                    \
  X(0x03003d, "get_priority", 0, cmd_get_priority, "the priority base of set_priority")          \
  X(0x03003e, "sp_set_child_pos", 3, cmd_sp_set_child_pos,                                       \
    "sets the image's offset from its parent")
