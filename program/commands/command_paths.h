// The folders the script's file commands work in: the program folder, the save folder, and a
// script's file name made absolute.
//
// Both folders are Shift-JIS with '\' separators and no trailing separator. Start-up sets the
// save folder; tests set either. Thread: start-up sets, the script thread reads.
#pragma once

#include <string>

namespace engine {

// The program folder (the folder of the executable). Start-up makes it the current directory,
// and relative names that the script gives to its file commands are taken relative to the
// current directory, so they name files of the program folder.
const std::string& command_program_folder();
// The save folder; the program folder until start-up has chosen one.
const std::string& command_save_folder();
// Replace either folder (empty restores the default).
void set_command_program_folder(const std::string& sjis_folder);
void set_command_save_folder(const std::string& sjis_folder);

// The path a file command opens for a name the script gave: the name as it is (a relative name
// is taken from the current directory by the file layer).
std::string command_path(const std::string& sjis_name);

}  // namespace engine
