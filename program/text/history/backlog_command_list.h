// The backlog commands of group 0x0e: the history window (open, scroll, per-frame update,
// close), its layout and buttons, and the queries of the backlog's lines.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define BACKLOG_COMMANDS(X)                                                                          \
  X(0x0E0000, "history_init", 9, cmd_history_init,                                                  \
    "layout offsets of name, text and voice mark, spacing, normal and hover colour; blanks entries") \
  X(0x0E0001, "history_begin", 0, cmd_history_begin, "opens the history window at the newest line") \
  X(0x0E0002, "history_end", 0, cmd_history_end, "closes the history window")                       \
  X(0x0E0003, "history_get_count", 0, cmd_history_get_count, "the number of backlog lines")         \
  X(0x0E0004, "history_set_pos", 1, cmd_history_set_pos, "scrolls the window to a start line")      \
  X(0x0E0005, "history_get_height", 0, cmd_history_get_height, "the measured height of the lines")  \
  X(0x0E0006, "history_update", 0, cmd_history_update,                                             \
    "per frame: hover colours and a click that replays a line's voice")                            \
  X(0x0E0007, "history_get_pos", 0, cmd_history_get_pos, "the window's start line")                 \
  X(0x0E0008, "history_get_max_pos", 0, cmd_history_get_max_pos,                                    \
    "the largest start line that still fills the window")                                          \
  X(0x0E0009, "history_get_page_count", 0, cmd_history_get_page_count, "lines on the shown page")   \
  X(0x0E000A, "history_set_rect", 4, cmd_history_set_rect, "the area the lines fill")               \
  X(0x0E000B, "history_clear", 0, cmd_history_clear, "empties the backlog")                         \
  X(0x0E000C, "history_set", 1, cmd_history_set, "the mark image shown beside voiced lines")        \
  X(0x0E000D, "history_set_face", 3, cmd_history_set_face, "face buttons on or off, their offset")  \
  X(0x0E000E, "history_face_enable", 1, cmd_history_face_enable,                                   \
    "whether new lines may show a face button")                                                    \
  X(0x0E000F, "history_set_btn", 3, cmd_history_set_btn,                                           \
    "button group of the face buttons, their sound and click label")                               \
  X(0x0E0010, "history_release_btn_sound", 0, cmd_history_release_btn_sound,                       \
    "releases the face buttons' sounds")                                                           \
  X(0x0E0011, "history_set_face_call", 1, cmd_history_set_face_call, "the face buttons' label")    \
  X(0x0E0012, "history_set_face_sound", 1, cmd_history_set_face_sound, "loads the face sound")     \
  X(0x0E0013, "history_set_face_sound_release", 0, cmd_history_set_face_sound_release,             \
    "releases the face sound")                                                                     \
  X(0x0E0014, "history_get_text", 4, cmd_history_get_text,                                         \
    "a line's name, voice and text into three string slots; result its script point")              \
  X(0x0E0015, "history_get_hist_no", 1, cmd_history_get_hist_no,                                   \
    "the history snapshot number of a line (-1 none)")                                             \
  X(0x0E0016, "history_set_jump_btn", 5, cmd_history_set_jump_btn,                                 \
    "jump buttons: group, image, click and hover labels, label after a history skip")              \
  X(0x0E0017, "history_clear_jump_btn", 0, cmd_history_clear_jump_btn, "no jump buttons")          \
  X(0x0E0018, "history_save_enable", 3, cmd_history_save_enable,                                   \
    "history snapshots on or off, jump button offset")                                             \
  X(0x0E0019, "history_set_entry_image", 4, cmd_history_set_entry_image,                           \
    "decoration image per line: on, image, offset")
// clang-format on
