// The tips-word commands of group 0x02: the hook labels, and the words the renderer recorded
// in the current messages (their text parts and geometry), their colours and the hook state.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define TIPS_COMMANDS(X)                                                                         \
  X(0x020024, "tips_set_process", 2, cmd_tips_set_process,                                      \
    "labels run while a line with tips words waits and when the wait ends")                     \
  X(0x020025, "tips_get_last_index", 0, cmd_tips_get_last_index, "the newest tips word's index") \
  X(0x020026, "tips_get_str", 3, cmd_tips_get_str,                                              \
    "a tips word's text (0 whole, 1 and 2 its parts when wrapped) into a string slot")          \
  X(0x020027, "tips_get_param", 2, cmd_tips_get_param, "a tips word's geometry and font (0-20)") \
  X(0x020028, "tips_reset", 0, cmd_tips_reset, "forgets the recorded tips words")               \
  X(0x020029, "tips_search", 1, cmd_tips_search, "the newest tips word with this text, -1 none") \
  X(0x02002A, "tips_set_color", 2, cmd_tips_set_color,                                          \
    "colour and shadow colour of tips words (-1: their own colours off)")                       \
  X(0x02002B, "tips_stop", 0, cmd_tips_stop, "no begin hook until the next tips word")          \
  X(0x02002C, "tips_get_flag", 0, cmd_tips_get_flag, "1 while the begin hook runs")             \
  X(0x02002D, "tips_init", 0, cmd_tips_init, "clears every tips setting and word")              \
  X(0x02002E, "tips_pause", 0, cmd_tips_pause, "switches the hook-running flag; result before")
// clang-format on
