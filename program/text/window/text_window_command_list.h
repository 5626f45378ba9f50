// The commands of group 0x02 that create, dress and release the text window.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define TEXT_WINDOW_COMMANDS(X)                                                                   \
  X(0x020000, "text_init", 8, cmd_text_init,                                                     \
    "creates the message window: char size, x, y, width, height, name x, name y, ruby size")     \
  X(0x020001, "text_set_icon", 4, cmd_text_set_icon,                                             \
    "loads waiting icon 0-2 (click, skip, auto) from a picture at x, y; 0 when it does not load") \
  X(0x020006, "text_uninit", 0, cmd_text_uninit, "releases the message window and its pictures") \
  X(0x020007, "text_set_rect", 5, cmd_text_set_rect,                                             \
    "source size and cell size of the base image (0) or of icon 1-3")                            \
  X(0x020016, "text_set_base", 4, cmd_text_set_base,                                             \
    "loads the window's base image at x, y; keep flag 1 makes it the saved base image")          \
  X(0x020033, "text_set_priority", 1, cmd_text_set_priority,                                     \
    "render priority of message, name and page sprites made from now on (4867 at start)")
// clang-format on
