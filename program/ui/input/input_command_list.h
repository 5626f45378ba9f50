// The script's input questions of group 0x09: this frame's key words, the pushed-key log, key
// cancelling, the mouse and cursor position, any key or game-pad control held now, and
// clearing the input.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
// A "variable" is a TempMemory index 0-4095, -1 for none.
#pragma once

// clang-format off
#define KEY_INPUT_COMMANDS(X)                                                                                    \
  X(0x09000C, "get_mouse_pos", 2, cmd_get_mouse_pos, "the mouse position into two vars")                         \
  X(0x090012, "key_canncel", 2, cmd_key_canncel, "keep these keys and window events out of the input (0, 0: none)") \
  X(0x090019, "clear_push_key_log", 0, cmd_clear_push_key_log, "forget the keys pushed so far")                  \
  X(0x09001A, "get_push_key_log", 0, cmd_get_push_key_log, "every key pushed since the log was cleared")          \
  X(0x090020, "get_pull_key", 0, cmd_get_pull_key, "the keys released this frame")                               \
  X(0x090021, "get_on_key", 0, cmd_get_on_key, "the keys held this frame")                                       \
  X(0x090022, "get_push_key", 0, cmd_get_push_key, "the keys pushed this frame")                                 \
  X(0x090023, "input_clear", 0, cmd_input_clear, "forget this frame's input and the pending advance")            \
  X(0x090036, "get_async_key", 1, cmd_get_async_key, "1 while a virtual key (195-218 game pad) is down")         \
  X(0x09003D, "set_cursor_pos", 2, cmd_set_cursor_pos, "move the cursor to a screen point")                      \
  X(0x090044, "get_on_pad", 0, cmd_get_on_pad, "the joystick bits held this frame")
// clang-format on
