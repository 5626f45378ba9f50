// The file-system commands of command group 0x12: data-file existence and size, deleting and
// renaming files, the temporary, save and program folders, appending text to log-like files,
// testing for folders and opening documents with the desktop.
//
// Data files are found as every data file is (search folders, loose or in archives); every
// other name is a plain path, relative names taken under the program folder.
// Thread: whichever thread runs the script.
#pragma once

#include <string>

#include "engine/command_list.h"

namespace engine {

// The file that append_file writes to (set by truncate_file and append_set_file); empty at
// start and never saved.
const std::string& append_path();

// Converts a text for text_file_save: a backslash before "'" becomes a double quote, before
// "n" CR LF; every other byte stays (second bytes of two-byte characters included).
std::string text_save_convert(const std::string& text);

// The commands of this family, installed by library_commands_attach.
extern const CommandList file_commands;

}  // namespace engine
