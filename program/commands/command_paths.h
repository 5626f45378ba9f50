// The folders the script's file commands work in: the program folder, the save folder, and a
// script's file name made absolute.
//
// Both folders are Shift-JIS with '\' separators and no trailing separator. Start-up sets the
// save folder; tests set either. Thread: start-up sets, the script thread reads.
#pragma once

#include <string>

namespace engine {

// The program folder (the folder of the executable). Relative names that the script gives to
// its file commands are taken relative to this folder: the current directory never changes.
const std::string& command_program_folder();
// The save folder; the program folder until start-up has chosen one.
const std::string& command_save_folder();
// Replace either folder (empty restores the default).
void set_command_program_folder(const std::string& sjis_folder);
void set_command_save_folder(const std::string& sjis_folder);

// A plain name made absolute: returned as is when it begins with '\' or '/', else put under
// the program folder.
std::string command_path(const std::string& sjis_name);

}  // namespace engine
