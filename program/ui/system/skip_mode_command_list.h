// The player's skip and auto switches, the two fast-forward modes (scene skip, history skip)
// and the questions about the window and the screen, of group 0x09.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
// A "variable" is a TempMemory index 0-4095, -1 for none.
#pragma once

// clang-format off
#define SKIP_MODE_COMMANDS(X)                                                                                     \
  X(0x090000, "skip_set", 1, cmd_skip_set, "skip mode on or off; refused on unread text unless skip-unread is set") \
  X(0x090001, "skip_is", 0, cmd_skip_is, "1 while skip mode is on")                                               \
  X(0x090002, "auto_set", 1, cmd_auto_set, "auto mode on or off")                                                 \
  X(0x090003, "auto_is", 0, cmd_auto_is, "nonzero while auto mode is on")                                         \
  X(0x090024, "change_window_size", 2, cmd_change_window_size, "client size in window mode")                      \
  X(0x090025, "change_aspect_mode", 1, cmd_change_aspect_mode, "full-screen aspect mode 0-3")                     \
  X(0x090026, "aspect_position_enable", 1, cmd_aspect_position_enable, "layer positions follow the aspect mode")  \
  X(0x090027, "get_aspect_position_enable", 0, cmd_get_aspect_position_enable, "the aspect-position switch")      \
  X(0x090028, "get_aspect_mode", 0, cmd_get_aspect_mode, "the full-screen aspect mode")                           \
  X(0x090029, "get_monitor_size", 2, cmd_get_monitor_size, "size of the monitor under the window into two vars")  \
  X(0x09002A, "get_window_pos", 2, cmd_get_window_pos, "the window's position into two vars")                    \
  X(0x09002B, "get_system_metrics", 1, cmd_get_system_metrics, "0 screen width, 1 screen height, others 0")       \
  X(0x09002C, "set_system_path", 1, cmd_set_system_path, "search the data folder and that field's archives")    \
  X(0x09002D, "set_allmosaicthumbnail", 1, cmd_set_allmosaicthumbnail, "pixelate every save thumbnail")          \
  X(0x09002E, "enable_window_change", 1, cmd_enable_window_change, "allow or forbid window-mode changes")         \
  X(0x09002F, "is_enable_window_change", 0, cmd_is_enable_window_change, "1 while window-mode changes are allowed") \
  X(0x090033, "scene_skip", 1, cmd_scene_skip, "fast-forward until cancelled (0: stop at unread text too)")       \
  X(0x090034, "cancel_scene_skip", 0, cmd_cancel_scene_skip, "end a scene skip; the game shows where it got to")  \
  X(0x090039, "history_skip", 1, cmd_history_skip, "fast-forward to a script position")                           \
  X(0x09003A, "cancel_history_skip", 0, cmd_cancel_history_skip, "end a history skip where it got to")           \
  X(0x09003B, "is_history_skip", 0, cmd_is_history_skip, "1 while a history skip runs")                           \
  X(0x09003E, "adv_skip_set", 0, cmd_adv_skip_set, "the skip bits now (1 skip, 4 Ctrl, 8 advance; -33 scene skip)") \
  X(0x09003F, "is_active", 0, cmd_is_active, "1 while the window is active and not minimised")                   \
  X(0x090040, "get_exe_run_mode", 0, cmd_get_exe_run_mode, "the build's run mode (0, 1 download, 3 no window mode)")
// clang-format on
