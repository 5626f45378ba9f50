// The access-flag commands of group 0x12: the marks of the entries the player has reached.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define ACCESS_FLAG_COMMANDS(X)                                                                   \
  X(0x12000C, "get_access_flags", 8, cmd_get_access_flags,                                        \
    "the access flags of up to eight files (names or File.dat indexes; 0x0FFFFFFF: none) joined") \
  X(0x12000D, "entry_access", 1, cmd_entry_access,                                                \
    "marks a file (name or File.dat index) entered, and new the first time")                      \
  X(0x12000E, "update_access", 1, cmd_update_access, "clears a file's new flag")                  \
  X(0x120028, "clear_access", 1, cmd_clear_access, "clears both access flags of a file")
