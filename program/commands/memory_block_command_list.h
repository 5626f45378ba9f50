// The memory-block commands of group 0x12: the script's blocks of bytes, words and dictionaries.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define MEMORY_BLOCK_COMMANDS(X)                                                                 \
  X(0x120091, "vmem_create", 3, cmd_create,                                                      \
    "makes block number block anew: kind 0 a zeroed buffer of size bytes, kind 1 an empty "      \
    "dictionary")                                                                                \
  X(0x120092, "vmem_delete", 1, cmd_delete, "deletes a memory block")                            \
  X(0x120093, "vmem_delete_all", 0, cmd_delete_all, "deletes every memory block")                \
  X(0x120094, "vmem_is_valid", 1, cmd_is_valid,                                                  \
    "1 when the block exists as a buffer or a dictionary")                                       \
  X(0x120095, "vmem_get_kind", 1, cmd_get_kind, "the kind of a memory block")                    \
  X(0x120096, "vmem_get_count", 1, cmd_get_count,                                                \
    "the number of entries of a dictionary (0 for no block; a buffer is refused with an error)") \
  X(0x120097, "vmem_get8", 2, cmd_get<1>,                                                        \
    "the unsigned byte at offset of a buffer (0 outside it)")                                    \
  X(0x120098, "vmem_get16", 2, cmd_get<2>,                                                       \
    "the unsigned 16-bit little-endian word at offset of a buffer (0 outside it)")               \
  X(0x120099, "vmem_get32", 2, cmd_get<4>,                                                       \
    "the 32-bit little-endian value at offset of a buffer (0 outside it)")                       \
  X(0x12009A, "vmem_set8", 3, cmd_set<1>,                                                        \
    "stores the low byte of value at offset of a buffer (nothing outside it)")                   \
  X(0x12009B, "vmem_set16", 3, cmd_set<2>,                                                       \
    "stores the low 16 bits of value little-endian at offset of a buffer (nothing outside it)")  \
  X(0x12009C, "vmem_set32", 3, cmd_set<4>,                                                       \
    "stores value little-endian at offset of a buffer (nothing outside it)")                     \
  X(0x12009D, "vmem_copy", 5, cmd_copy,                                                          \
    "copies length bytes between buffers (or within one); 0 when either range lies outside")     \
  X(0x12009E, "vmem_dict_set", 3, cmd_dict_set,                                                  \
    "stores text under the number key in a dictionary")                                          \
  X(0x12009F, "vmem_dict_get", 3, cmd_dict_get,                                                  \
    "puts the text stored under key into the slot (empty when there is none)")                   \
  X(0x1200A1, "vmem_file_load", 2, cmd_file_load,                                                \
    "reads a game file (archive or loose) into the start of a buffer that holds it whole")       \
  X(0x1200A2, "vmem_file_save", 4, cmd_file_save,                                                \
    "writes length bytes from offset of a buffer to a file, replacing it whole")
