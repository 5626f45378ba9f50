// The data-file commands of group 0x12: the script's tables of numbers and strings.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define DATA_FILE_COMMANDS(X)                                  \
  X(0x12001E, "open_file", 1, cmd_open_file, "")               \
  X(0x12001F, "read_file", 3, cmd_read_file, "")               \
  X(0x120020, "close_file", 1, cmd_close_file, "")             \
  X(0x120021, "set_file_pointer", 3, cmd_set_file_pointer, "") \
  X(0x120022, "file_string", 3, cmd_file_string, "")
