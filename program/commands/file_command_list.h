// The file commands of group 0x12: files and folders of the player, text files, the shell.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define FILE_COMMANDS(X)                                     \
  X(0x120001, "app_exec", 1, cmd_app_exec, "")               \
  X(0x120008, "file_exist", 1, cmd_file_exist, "")           \
  X(0x12002F, "remove_file", 1, cmd_remove_file, "")         \
  X(0x120031, "get_temp_folder", 1, cmd_get_temp_folder, "") \
  X(0x120032, "get_save_folder", 1, cmd_get_save_folder, "") \
  X(0x120033, "get_exe_folder", 1, cmd_get_exe_folder, "")   \
  X(0x120034, "rename_file", 2, cmd_rename_file, "")         \
  X(0x120037, "text_file_save", 2, cmd_text_file_save, "")   \
  X(0x120071, "truncate_file", 1, cmd_truncate_file, "")     \
  X(0x120072, "append_set_file", 1, cmd_append_set_file, "") \
  X(0x120073, "append_file", 1, cmd_append_file, "")         \
  X(0x120074, "dir_exist", 1, cmd_dir_exist, "")             \
  X(0x1200A3, "get_file_size", 1, cmd_get_file_size, "")
