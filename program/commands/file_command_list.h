// The file commands of group 0x12: files and folders of the player, text files, the shell.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define FILE_COMMANDS(X)                                                                         \
  X(0x120001, "app_exec", 1, cmd_app_exec,                                                       \
    "opens an address (http...) or a file of the program folder with the desktop's program for " \
    "it")                                                                                        \
  X(0x120008, "file_exist", 1, cmd_file_exist,                                                   \
    "1 when the game can open the file (in an archive or loose)")                                \
  X(0x12002F, "remove_file", 1, cmd_remove_file, "deletes a file of the player's disk")          \
  X(0x120031, "get_temp_folder", 1, cmd_get_temp_folder,                                         \
    "puts the temporary folder's path into the slot")                                            \
  X(0x120032, "get_save_folder", 1, cmd_get_save_folder,                                         \
    "puts the save folder's path into the slot")                                                 \
  X(0x120033, "get_exe_folder", 1, cmd_get_exe_folder,                                           \
    "puts the program folder's path into the slot")                                              \
  X(0x120034, "rename_file", 2, cmd_rename_file, "renames or moves a file of the player's disk") \
  X(0x120037, "text_file_save", 2, cmd_text_file_save,                                           \
    "appends text to a file (\\n becomes CR LF, \\' a double quote), making it when missing")    \
  X(0x120071, "truncate_file", 1, cmd_truncate_file,                                             \
    "sets the slot's text as the append file and empties that file")                             \
  X(0x120072, "append_set_file", 1, cmd_append_set_file,                                         \
    "sets the slot's text as the file append_file writes to")                                    \
  X(0x120073, "append_file", 1, cmd_append_file,                                                 \
    "appends text and a line end (CR LF) to the append file")                                    \
  X(0x120074, "dir_exist", 1, cmd_dir_exist, "1 when the folder exists")                         \
  X(0x1200A3, "get_file_size", 1, cmd_get_file_size,                                             \
    "the size of a file the game can open (in an archive or loose)")
