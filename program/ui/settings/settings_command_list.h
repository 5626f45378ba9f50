// The player's settings, the text renderer's fonts, the memory stack, the return-stack commands
// and the local date and time, of group 0x09.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
// A "variable" is a TempMemory index 0-4095.
#pragma once

// clang-format off
#define PLAYER_SETTINGS_COMMANDS(X)                                                                              \
  X(0x090004, "auto_set_time", 1, cmd_auto_set_time, "auto speed 0-100 (larger values give 100)")                  \
  X(0x090005, "auto_get_time", 0, cmd_auto_get_time, "the auto speed")                                             \
  X(0x090006, "set_window_mode", 1, cmd_set_window_mode, "1 full screen, 0 window; kept in the settings")         \
  X(0x090007, "set_skip_unread", 1, cmd_set_skip_unread, "skip mode also passes unread text")                     \
  X(0x090008, "set_effect_enable", 1, cmd_set_effect_enable, "screen transitions on or off")                      \
  X(0x090009, "get_window_mode", 0, cmd_get_window_mode, "the stored window mode")                                \
  X(0x09000A, "get_skip_unread", 0, cmd_get_skip_unread, "the skip-unread switch")                                \
  X(0x09000B, "is_effect_enable", 0, cmd_is_effect_enable, "1 while screen transitions are on")                   \
  X(0x09000D, "get_local_date", 3, cmd_get_local_date, "year, month and day into three vars")                     \
  X(0x09000E, "clear_user_memory", 0, cmd_clear_user_memory, "zero all 1024 words of UserMemory")                 \
  X(0x090030, "set_cursor", 3, cmd_set_cursor, "cursor from an image file and hot spot; 0x0FFFFFFF the arrow")    \
  X(0x090031, "set_hide_cursor_time", 1, cmd_set_hide_cursor_time, "hide the resting cursor after ms (0 never)")  \
  X(0x090032, "get_hide_cursor_time", 0, cmd_get_hide_cursor_time, "the cursor hide time in ms")                  \
  X(0x090038, "get_date_value", 0, cmd_get_date_value, "the local date as yyyymmdd")                              \
  X(0x09003C, "get_time_value", 0, cmd_get_time_value, "the local time as hhmmss and three digits of ms")

#define FONT_COMMANDS(X)                                                                                         \
  X(0x09000F, "load_font", 1, cmd_load_font, "load a bitmap font file (.dat when no extension) as the current one") \
  X(0x090010, "unload_font", 0, cmd_unload_font, "free every loaded font file")                                   \
  X(0x090011, "set_font_type", 1, cmd_set_font_type, "0-3 system faces, 4 the loaded font file")                  \
  X(0x090013, "set_font_color", 2, cmd_set_font_color, "text and shadow colour 0x00RRGGBB")                       \
  X(0x090014, "load_font_ex", 1, cmd_load_font_ex, "load the extra glyph font (name + .tga)")                     \
  X(0x09001B, "set_font_size", 1, cmd_set_font_size, "set the font size; result the previous size")               \
  X(0x09001C, "get_font_size", 0, cmd_get_font_size, "the font size")                                             \
  X(0x09001D, "get_font_type", 0, cmd_get_font_type, "the font type")                                             \
  X(0x09001E, "set_font_effect", 1, cmd_set_font_effect, "0 plain, 1 outline, 2 drop shadow, 3 thick outline")    \
  X(0x09001F, "get_font_effect", 0, cmd_get_font_effect, "the font effect")                                       \
  X(0x090037, "get_font_color", 1, cmd_get_font_color, "0 the text colour, else the shadow colour")               \
  X(0x090041, "set_font_mem_type", 4, cmd_set_font_mem_type, "only logged")                                       \
  X(0x090042, "delete_font_mem_type", 1, cmd_delete_font_mem_type, "only logged")                                 \
  X(0x090043, "delete_all_font_mem_type", 0, cmd_delete_all_font_mem_type, "only logged")

#define MEMORY_STACK_COMMANDS(X)                                                                                 \
  X(0x090015, "push_memory_stack", 0, cmd_push_memory_stack, "save TempMemory 0-255 (32 deep)")                   \
  X(0x090016, "pop_memory_stack", 0, cmd_pop_memory_stack, "restore TempMemory 0-255 from the last push")         \
  X(0x090017, "lpush", 1, cmd_lpush, "push a label as a return address")                                          \
  X(0x090018, "lpop", 1, cmd_lpop, "drop return addresses (0 = 1)")                                               \
  X(0x090035, "lsize", 0, cmd_lsize, "the number of return addresses")
// clang-format on
