// The player-name commands of group 0x12.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define NAME_ENTRY_COMMANDS(X)                                                                                   \
  X(0x120002, "is_playername", 0, cmd_is_playername, "1 when the last accepted name differed from the old one")  \
  X(0x120016, "player_name_set_begin", 7, cmd_player_name_set_begin, "open the name box (name, max chars, x, y, w, h, font size)") \
  X(0x120017, "player_name_set_end", 0, cmd_player_name_set_end, "close the name box, keeping an accepted entry") \
  X(0x120018, "player_name_set_check", 0, cmd_player_name_set_check, "check the entry; 1 accepted")               \
  X(0x120019, "player_name_relayout", 0, cmd_player_name_relayout, "place the box again after a window change")   \
  X(0x12001A, "player_name_reset", 0, cmd_player_name_reset, "put the current name back into the box")           \
  X(0x12001B, "player_name_set_direct", 1, cmd_player_name_set_direct, "set the name without a box")             \
  X(0x1200A4, "player_name_get_str", 1, cmd_player_name_get_str, "the name into a string slot; -1 for another reference")
// clang-format on
