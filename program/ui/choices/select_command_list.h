// The choice-menu commands of group 0x06.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
// select_item has no fixed count: select itself takes the arguments of every item.
#pragma once

// clang-format off
#define SELECT_COMMANDS(X)                                                                        \
  X(0x060000, "select_init", 4, cmd_select_init, "item image and the normal, hover, third colours") \
  X(0x060001, "select", 1, cmd_select, "open the menu of the select_item block up to end_select")   \
  X(0x060002, "select_item", 6, cmd_select_item, "one item: text, label, x, y, flags, row")         \
  X(0x060003, "end_select", 0, cmd_end_select, "wait for the player's choice, then jump")           \
  X(0x060004, "select_clear", 0, cmd_select_clear, "release the items' sprites")                    \
  X(0x060005, "select_set_offset", 2, cmd_select_set_offset, "an item's cell row group")           \
  X(0x060006, "select_set_process", 3, cmd_select_set_process, "hover, leave and decide labels")   \
  X(0x060007, "select_lock", 1, cmd_select_lock, "hover test on rows 0 and 1 of every item")       \
  X(0x060008, "get_select_on_key", 0, cmd_get_select_on_key, "the hovered (or decided) item")       \
  X(0x060009, "get_select_pull_key", 0, cmd_get_select_pull_key, "the item hovered a frame ago")    \
  X(0x06000A, "get_select_push_key", 0, cmd_get_select_push_key, "the decided item, -1 none")
// clang-format on
