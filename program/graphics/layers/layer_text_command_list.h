// The layer text commands (group 0x03): one line of text in the current platform font drawn
// into a layer's picture (or made the picture of an empty layer), remembered with its font so
// that a loaded game draws it again; and tagged message text laid out into a layer's picture
// with the text window's settings, drawn at once and not remembered.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define LAYER_TEXT_COMMANDS(X)                                                                 \
  X(0x030016, "sp_text", 5, cmd_sp_text,                                                       \
    "draws text at x, y into the layer's picture (an empty layer: a text picture at x, y, z)") \
  X(0x03003a, "draw_text", 5, cmd_draw_text,                                                   \
    "lays out tagged text at x, y in the layer's picture with the text window's settings")
