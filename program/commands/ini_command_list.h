// The INI profile commands of group 0x12.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define INI_COMMANDS(X)                                                                        \
  X(0x120024, "get_private_profile_string", 5, cmd_get_private_profile_string,                 \
    "reads a text from an INI file of the save or program folder into the slot (default when " \
    "missing)")                                                                                \
  X(0x120025, "get_private_profile_int", 4, cmd_get_private_profile_int,                       \
    "reads a number from an INI file of the save or program folder (default when missing)")    \
  X(0x120026, "write_private_profile_string", 4, cmd_write_private_profile_string,             \
    "writes a quoted text to an INI file in the save folder")                                  \
  X(0x120027, "write_private_profile_int", 4, cmd_write_private_profile_int,                   \
    "writes a number to an INI file in the save folder")
