// The commands of group 0x02 that set up the text window and the text renderer, switch page
// mode, redraw the line, read and set read marks, and answer questions about the current line.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define TEXT_SETTINGS_COMMANDS(X)                                                                  \
  X(0x020003, "text_hide", 1, cmd_text_hide, "hides the window and the choices; flag 1 yields")    \
  X(0x020004, "_text_show", 1, cmd_text_show, "shows the window and the choices; flag 1 yields")   \
  X(0x020005, "text_set_btn", 1, cmd_text_set_btn,                                                \
    "binds button group 0-15 to the window (-1 none): shown and hidden with it")                  \
  X(0x020008, "text_clear", 0, cmd_text_clear, "clears the window's name, message and page")      \
  X(0x020009, "text_set_time", 1, cmd_text_set_time, "message speed 0-100 (larger values: 100)")  \
  X(0x02000A, "text_get_time", 0, cmd_text_get_time, "the message speed")                         \
  X(0x02000B, "text_window_set_alpha", 2, cmd_text_window_set_alpha,                              \
    "alpha of the base image; keep 1 stores it with the player's settings")                       \
  X(0x02000C, "text_voice_play", 1, cmd_text_voice_play,                                          \
    "plays the current line's voice again (loop flag)")                                           \
  X(0x02000D, "text_advance", 0, cmd_text_advance, "the next text update counts as a click")      \
  X(0x02000E, "text_set_icon_animation_time", 2, cmd_text_set_icon_animation_time,                \
    "ms per cell of waiting icon 0-2")                                                            \
  X(0x020015, "is_text_visible", 0, cmd_is_text_visible, "1 while the window is shown")           \
  X(0x020017, "enable_voice_cut", 1, cmd_enable_voice_cut,                                        \
    "line voices stop when a line ends or has no voice")                                          \
  X(0x020018, "is_voice_cut", 0, cmd_is_voice_cut, "the voice cut switch")                        \
  X(0x020019, "text_time_check_create", 5, cmd_text_time_check_create,                            \
    "a sample text (text, x, y, width, height) revealed again and again at the player's speeds")  \
  X(0x02001A, "text_time_check_release", 0, cmd_text_time_check_release,                          \
    "ends the sample text")                                                                       \
  X(0x02001B, "text_time_check_clear", 0, cmd_text_time_check_clear,                              \
    "hides the sample's pixels while it reveals")                                                 \
  X(0x02001C, "text_set_color", 4, cmd_text_set_color,                                            \
    "name-colour entry 0-15: speaker name, colour, shadow colour")                                \
  X(0x02001D, "text_redraw", 0, cmd_text_redraw, "draws the current line again, whole")           \
  X(0x02001E, "set_text_mode", 1, cmd_set_text_mode, "0 normal, 1 page mode, 2 without name")     \
  X(0x02001F, "text_init_visualnovelmode", 4, cmd_text_init_visualnovelmode,                      \
    "page-mode area: x, y, width, height")                                                        \
  X(0x020020, "text_set_icon_mode", 1, cmd_text_set_icon_mode,                                    \
    "0 icons at their own places, 1 icons after the text")                                        \
  X(0x020021, "text_vn_br", 0, cmd_text_vn_br, "a line break on the page")                        \
  X(0x020023, "text_get_current", 3, cmd_text_get_current,                                        \
    "the current name, voice and message into three string slots")                                \
  X(0x02002F, "text_animation_set_mode", 3, cmd_text_animation_set_mode,                          \
    "reveal type (0 wipe, else glyph order), soft edge, space skip")                              \
  X(0x020031, "text_set_paint_color", 1, cmd_text_set_paint_color,                                \
    "ARGB that clears the text sprites; result the previous one")                                 \
  X(0x020032, "text_set_line_interval", 3, cmd_text_set_line_interval,                            \
    "line interval, icon x offset, height offset; result the previous interval")                  \
  X(0x020035, "text_is_read", 1, cmd_text_is_read, "nonzero when the text has been read")         \
  X(0x020036, "text_set_read", 1, cmd_text_set_read, "marks the text read")                       \
  X(0x020037, "text_set_external", 1, cmd_text_set_external,                                     \
    "1 hides the waiting icons; result the previous flag")                                        \
  X(0x020038, "text_set_read_state", 1, cmd_text_set_read_state,                                  \
    "the current line's read flag; result the previous one")                                      \
  X(0x020039, "text_clear_buffer", 0, cmd_text_clear_buffer, "empties the message and save text") \
  X(0x02003A, "enable_text_click_advance", 1, cmd_enable_text_click_advance,                      \
    "a click that completes the reveal also ends the wait")                                       \
  X(0x02003B, "is_text_click_advance", 0, cmd_is_text_click_advance, "the click-advance switch")  \
  X(0x02003C, "text_set_pitch", 1, cmd_text_set_pitch,                                            \
    "extra advance per character; result the previous one")                                       \
  X(0x02003D, "text_set_wrap_flag", 1, cmd_text_set_wrap_flag,                                    \
    "line-break switch; result the previous one")                                                 \
  X(0x020040, "text_get_mode", 0, cmd_text_get_mode, "the wait state of the line (0 none)")       \
  X(0x020041, "text_wait_clear", 0, cmd_text_wait_clear, "ends the line's wait state")            \
  X(0x020042, "text_set_read_color", 3, cmd_text_set_read_color,                                  \
    "read lines' colours: on, colour, shadow colour")                                             \
  X(0x020043, "text_init_ex", 4, cmd_text_init_ex,                                                \
    "char size, width, height, ruby size of the window")
// clang-format on
