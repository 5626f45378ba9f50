// The tips dictionary commands of group 0x12: load the glossary, look entries up, read and set
// their flags, sort them by reading, and sort lists of entry numbers in the integer table.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define TIPS_DICTIONARY_COMMANDS(X)                                                             \
  X(0x120052, "tips_csv_read", 2, cmd_tips_csv_read,                                           \
    "loads the dictionary from a CSV file and its flags from a flag file; result the count")   \
  X(0x120053, "tips_csv_get", 3, cmd_tips_csv_get,                                             \
    "an entry's column 0-3 (appended to a string slot), kana row (4) or flag (5, 6)")          \
  X(0x120054, "tips_csv_search", 1, cmd_tips_csv_search, "the entry with this key, -1 none")   \
  X(0x120055, "tips_sort", 0, cmd_tips_sort, "sorts the entries by reading")                   \
  X(0x120056, "tips_acc_set", 3, cmd_tips_acc_set, "sets flag 1 (field 0 or 5) or 2 (1 or 6)") \
  X(0x120057, "tips_acc_save", 0, cmd_tips_acc_save, "writes the flag file")                   \
  X(0x1200A5, "tips_list_sort", 0, cmd_tips_list_sort,                                         \
    "sorts the groups of entry numbers in the favourites' integer table by reading")
// clang-format on
