// The memory-block commands of group 0x12: the script's blocks of bytes, words and dictionaries.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define MEMORY_BLOCK_COMMANDS(X)                        \
  X(0x120091, "vmem_create", 3, cmd_create, "")         \
  X(0x120092, "vmem_delete", 1, cmd_delete, "")         \
  X(0x120093, "vmem_delete_all", 0, cmd_delete_all, "") \
  X(0x120094, "vmem_is_valid", 1, cmd_is_valid, "")     \
  X(0x120095, "vmem_get_kind", 1, cmd_get_kind, "")     \
  X(0x120096, "vmem_get_count", 1, cmd_get_count, "")   \
  X(0x120097, "vmem_get8", 2, cmd_get<1>, "")           \
  X(0x120098, "vmem_get16", 2, cmd_get<2>, "")          \
  X(0x120099, "vmem_get32", 2, cmd_get<4>, "")          \
  X(0x12009A, "vmem_set8", 3, cmd_set<1>, "")           \
  X(0x12009B, "vmem_set16", 3, cmd_set<2>, "")          \
  X(0x12009C, "vmem_set32", 3, cmd_set<4>, "")          \
  X(0x12009D, "vmem_copy", 5, cmd_copy, "")             \
  X(0x12009E, "vmem_dict_set", 3, cmd_dict_set, "")     \
  X(0x12009F, "vmem_dict_get", 3, cmd_dict_get, "")     \
  X(0x1200A1, "vmem_file_load", 2, cmd_file_load, "")   \
  X(0x1200A2, "vmem_file_save", 4, cmd_file_save, "")
