// The save, load and slot commands of group 0x0a.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
// A slot is 0-999 ("save%03d.dat") or -1 ("continue.dat") where a command takes it; 1000 names
// PrevData for save_point and load.
#pragma once

// clang-format off
#define SAVE_COMMANDS(X)                                                                                  \
  X(0x0A0000, "save", 2, cmd_save, "write the held snapshot to a slot; flag: make it the newest save")    \
  X(0x0A0001, "load", 1, cmd_load, "load a slot (0-999) or the previous data (1000)")                     \
  X(0x0A0002, "save_set_title", 1, cmd_save_set_title, "title text of the following snapshots")           \
  X(0x0A0003, "save_get_time", 4, cmd_save_get_time, "a slot file's local time into hour, minute, second vars") \
  X(0x0A0004, "save_set_thumbnail_size", 2, cmd_save_set_thumbnail_size, "thumbnail width and height")   \
  X(0x0A0005, "thumbnail_set", 4, cmd_thumbnail_set, "draw a slot's thumbnail into a layer at x, y")      \
  X(0x0A0006, "save_get_title", 4, cmd_save_get_title, "draw a slot's title into a layer")                            \
  X(0x0A0007, "save_set_font_size", 1, cmd_save_set_font_size, "save font size")                          \
  X(0x0A0008, "save_get_date", 5, cmd_save_get_date, "a slot file's local date into year, month, day, weekday vars") \
  X(0x0A0009, "is_save", 1, cmd_is_save, "1 when the slot's file exists and is not empty; -1 any slot")   \
  X(0x0A000A, "save_get_usermemory", 2, cmd_save_get_usermemory, "a UserMemory word of a slot's file")   \
  X(0x0A000B, "save_point", 1, cmd_save_point, "take a snapshot here; 1000 packs the held one as previous data") \
  X(0x0A000C, "save_thumbnail_mosaic_set", 1, cmd_save_thumbnail_mosaic_set, "pixelated thumbnails")    \
  X(0x0A000D, "get_save_time_text", 5, cmd_get_save_time_text, "draw a slot's time into a layer")                        \
  X(0x0A000E, "get_save_date_text", 5, cmd_get_save_date_text, "draw a slot's date into a layer")                        \
  X(0x0A000F, "save_set_text_rect", 2, cmd_save_set_text_rect, "save text rectangle width and height")   \
  X(0x0A0010, "get_save_text", 4, cmd_get_save_text, "draw a slot's save text into a layer")                        \
  X(0x0A0011, "get_new_savefile", 0, cmd_get_new_savefile, "the newest save slot, -1 none")               \
  X(0x0A0015, "save_set_text", 1, cmd_save_set_text, "save text of the following saves")                   \
  X(0x0A0016, "thumbnail_renew", 0, cmd_thumbnail_renew, "take a new screen thumbnail now")               \
  X(0x0A0017, "save_set_font_type", 1, cmd_save_set_font_type, "save font type")                          \
  X(0x0A0018, "set_load_after_process", 1, cmd_set_load_after_process, "label a load runs first, -1 none") \
  X(0x0A0019, "save_system_data", 0, cmd_save_system_data, "write system.dat and access.dat now")         \
  X(0x0A001A, "save_set_font_effect", 1, cmd_save_set_font_effect, "save font effect")                    \
  X(0x0A001B, "save_set_font_color", 2, cmd_save_set_font_color, "save font colour and shadow colour")   \
  X(0x0A001C, "delete_file", 1, cmd_delete_file, "delete a slot's file")                                  \
  X(0x0A001D, "move_file", 2, cmd_move_file, "swap the files of slots A and B")                           \
  X(0x0A001E, "copy_file", 2, cmd_copy_file, "copy the source slot's file over the destination's")        \
  X(0x0A001F, "load_thumbnail", 1, cmd_load_thumbnail, "thumbnail from an image file; 0x0FFFFFFF screen again")      \
  X(0x0A0020, "save_lock", 2, cmd_save_lock, "write a slot file's lock word, keeping its time")          \
  X(0x0A0021, "is_save_lock", 1, cmd_is_save_lock, "a slot file's lock word, 0 none")                     \
  X(0x0A0022, "is_prev_data", 0, cmd_is_prev_data, "1 when previous data is held")                        \
  X(0x0A0023, "save_point_clear", 0, cmd_save_point_clear, "drop the held snapshot and previous data")    \
  X(0x0A0024, "save_point_lock", 1, cmd_save_point_lock, "no snapshots while on")                         \
  X(0x0A0025, "history_file_save", 0, cmd_history_file_save, "write the held snapshot as the next history file") \
  X(0x0A0026, "history_load", 1, cmd_history_load, "load a history file: -1 loaded, 0 not")               \
  X(0x0A0027, "is_history_file", 1, cmd_is_history_file, "1 when the history file exists")              \
  X(0x0A0028, "histsave_get_usermemory", 2, cmd_histsave_get_usermemory, "a UserMemory word of a history file")
// clang-format on
