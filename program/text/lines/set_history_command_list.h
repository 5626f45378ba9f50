// The commands of group 0x02 that write the backlog without showing a line.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define SET_HISTORY_COMMANDS(X)                                                                  \
  X(0x020014, "set_history", 3, cmd_set_history,                                                \
    "a backlog line (voice, name, text) without showing it, at this command")                   \
  X(0x020022, "enable_history", 1, cmd_enable_history, "0 stops new backlog lines, 1 resumes") \
  X(0x020034, "set_history_ex", 3, cmd_set_history_ex,                                          \
    "as set_history, the line's place the snapshot's resume point")
// clang-format on
