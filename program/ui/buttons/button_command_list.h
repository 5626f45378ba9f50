// The button commands of group 0x08.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define BUTTON_COMMANDS(X)                                                                            \
  X(0x080000, "btn_init", 3, cmd_btn_init, "create button group 0-15 with hover and click sounds")      \
  X(0x080001, "btn_uninit", 1, cmd_btn_uninit, "release a group and its buttons")                      \
  X(0x080003, "btn_set", 7, cmd_btn_set, "a button from an image file with its three labels")          \
  X(0x080004, "btn_hide", 2, cmd_btn_hide, "hide a button at the next commit")                         \
  X(0x080005, "btn_show", 2, cmd_btn_show, "show a button at the next commit")                         \
  X(0x080006, "btn_set_pos", 4, cmd_btn_set_pos, "a button's base position")                           \
  X(0x080007, "btn_set_rect", 6, cmd_btn_set_rect, "a button's source rectangle and cell size")       \
  X(0x080008, "btn_release", 2, cmd_btn_release, "release one button or all (-1)")                    \
  X(0x080009, "btn_slide_get", 5, cmd_btn_slide_get, "drag a slider knob to the mouse")               \
  X(0x08000a, "btn_slide_set", 5, cmd_btn_slide_set, "put a slider knob at a percentage")              \
  X(0x08000b, "btn_slide_begin", 2, cmd_btn_slide_begin, "start a slider drag")                        \
  X(0x08000c, "btn_slide_end", 2, cmd_btn_slide_end, "0 while the drag goes on, -1 at its end")        \
  X(0x08000d, "btn_set_toggle", 3, cmd_btn_set_toggle, "the group's toggle value and cell group")      \
  X(0x08000e, "btn_get_pos", 4, cmd_btn_get_pos, "a button's summed position into two words")          \
  X(0x08000f, "btn_enable", 3, cmd_btn_enable, "switch one button or all (-1) on or off")              \
  X(0x080010, "btn_set_alpha", 3, cmd_btn_set_alpha, "a button's alpha")                               \
  X(0x080011, "btn_get_push", 1, cmd_btn_get_push, "the last clicked button")                          \
  X(0x080012, "btn_expansion", 3, cmd_btn_expansion, "register a text-window style button")            \
  X(0x080013, "btn_lock", 2, cmd_btn_lock, "silence a group for ms (0: until btn_unlock)")             \
  X(0x080014, "btn_unlock", 1, cmd_btn_unlock, "let a group react again")                              \
  X(0x080015, "btn_set_anim", 4, cmd_btn_set_anim,                                                     \
    "a button's .ani animation; later 1: starts at the next run")                                      \
  X(0x080016, "btn_set_hit", 2, cmd_btn_set_hit, "click a button from the script")                     \
  X(0x080017, "btn_get_onmouse", 1, cmd_btn_get_onmouse, "the last hovered button")                    \
  X(0x080018, "btn_anim_clear", 2, cmd_btn_anim_clear, "end a button's .ani animation")                \
  X(0x080019, "btn_get_offmouse", 1, cmd_btn_get_offmouse, "the last left button")                     \
  X(0x08001a, "btn_onmouse_clear", 1, cmd_btn_onmouse_clear, "end the hover (its leave label runs)")   \
  X(0x08001b, "btn_blt", 11, cmd_btn_blt, "a button from a layer's picture")                           \
  X(0x08001c, "btn_link", 3, cmd_btn_link, "link two buttons both ways")                               \
  X(0x08001d, "btn_set_state", 4, cmd_btn_set_state, "switch a button on or off at a cell row")        \
  X(0x08001e, "btn_get_link", 2, cmd_btn_get_link, "the linked button")                                \
  X(0x08001f, "btn_set_tips", 3, cmd_btn_set_tips, "a button's tips value")                            \
  X(0x080020, "btn_get_tips", 2, cmd_btn_get_tips, "a button's tips value")                            \
  X(0x080021, "btn_anime_is", 2, cmd_btn_anime_is, "1 while a button's image holds an .ani")           \
  X(0x080022, "btn_anime_get_status", 2, cmd_btn_anime_get_status,                                     \
    "its .ani state (2 running, 3 waiting, 4 not started), 0 none")                                    \
  X(0x080023, "btn_anime_finish", 2, cmd_btn_anime_finish,                                             \
    "end a button's animation now, its end state dropped")                                             \
  X(0x080024, "btn_mode", 1, cmd_btn_mode, "decide on the release instead of the push")                \
  X(0x080025, "btn_get_alpha", 2, cmd_btn_get_alpha, "a button's alpha, -1 without image")             \
  X(0x080026, "btn_on_check", 2, cmd_btn_on_check, "1 when the group reports a finished click now")    \
  X(0x080027, "btn_get_toggle", 2, cmd_btn_get_toggle, "the group's toggle value")                     \
  X(0x080028, "btn_get_info", 3, cmd_btn_get_info, "position, cell and image size into six words")     \
  X(0x080029, "btn_set_ex", 13, cmd_btn_set_ex, "btn_set at a position with a cell size")              \
  X(0x08002a, "btn_set_invalid_time", 1, cmd_btn_set_invalid_time, "pause all reactions for ms")      \
  X(0x08002b, "btn_run_skip", 1, cmd_btn_run_skip, "skip button processing while set")                 \
  X(0x08002c, "btn_is_lock", 1, cmd_btn_is_lock, "the group's lock flag")                              \
  X(0x08002d, "btn_set_child", 5, cmd_btn_set_child, "a button that follows another (-1: stop)")       \
  X(0x08002e, "btn_is_processing", 1, cmd_btn_is_processing, "1 while a click sound plays (-1: any)")  \
  X(0x08002f, "btn_get_onmouse_btn_no", 1, cmd_btn_get_onmouse_btn_no, "the button under the mouse")   \
  X(0x080030, "btn_get_status", 2, cmd_btn_get_status, "why a button does not react (bits)")
// clang-format on
