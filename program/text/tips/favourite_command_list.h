// The favourites commands of group 0x12: the table of favourite lines with their voices, its
// file, and the script's integer table beside it.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define FAVOURITE_COMMANDS(X)                                                                    \
  X(0x12003C, "fav_init", 1, cmd_fav_init, "empties the favourites; the file path (-1 none)")   \
  X(0x12003D, "favadd", 4, cmd_favadd,                                                          \
    "adds a favourite: number (<0 next free), name (0: the current line), voice, text")         \
  X(0x12003E, "favdel", 1, cmd_favdel, "deletes a favourite; it keeps its place")               \
  X(0x12003F, "favswap", 2, cmd_favswap, "two favourites change places")                        \
  X(0x120040, "favload", 0, cmd_favload, "reads the favourites file; result the count")         \
  X(0x120041, "favsave", 0, cmd_favsave, "writes the favourites file")                          \
  X(0x120042, "favget", 3, cmd_favget,                                                          \
    "a favourite's number, flag, name, voice or text (field 0-4)")                              \
  X(0x120043, "favgetflag", 1, cmd_favgetflag, "a favourite's flag")                            \
  X(0x120044, "favsetflag", 2, cmd_favsetflag, "sets a favourite's flag")                       \
  X(0x120045, "fav_set_path", 1, cmd_fav_set_path, "the favourites file's path")                \
  X(0x120046, "favsearchno", 1, cmd_favsearchno, "the index of a favourite number, -1 none")    \
  X(0x120047, "fav_save_reload", 0, cmd_fav_save_reload, "writes the file and reads it back")   \
  X(0x120048, "favsetmem", 2, cmd_favsetmem, "integer table word 0-4095 = value")               \
  X(0x120049, "favgetmem", 1, cmd_favgetmem, "integer table word 0-4095")                       \
  X(0x12004F, "favsetmax", 1, cmd_favsetmax, "how many favourites may be added")                \
  X(0x120084, "favaddex", 4, cmd_favaddex,                                                      \
    "as favadd, a .mix voice stored with the files of its list")
// clang-format on
