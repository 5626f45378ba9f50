// The data-file commands of group 0x12: the script's tables of numbers and strings.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define DATA_FILE_COMMANDS(X)                                                                      \
  X(0x12001E, "open_file", 1, cmd_open_file, "opens a data file of numbers and texts for reading") \
  X(0x12001F, "read_file", 3, cmd_read_file,                                                       \
    "reads count numbers from the file's position into TempMemory cells first.. (up to cell 255)") \
  X(0x120020, "close_file", 1, cmd_close_file, "closes a data file")                               \
  X(0x120021, "set_file_pointer", 3, cmd_set_file_pointer,                                         \
    "moves the read position to number count from the start (origin 0), the position (1) or the "  \
    "end (2)")                                                                                     \
  X(0x120022, "file_string", 3, cmd_file_string,                                                   \
    "puts the text a read cell names into the slot (\"--ERR--\" when it names none)")
