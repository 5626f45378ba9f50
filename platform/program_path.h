// Where the running program lies (GetModuleFileName), in UTF-8 and in Shift-JIS.
//
// Stateless: both binaries use it.
#pragma once

#include <string>

namespace platform {

// The executable's absolute path in UTF-8, from /proc/self/exe; empty when unknown.
std::string program_path_utf8();
// Its folder, without a trailing slash.
std::string program_folder_utf8();

}  // namespace platform

namespace platform {
// Makes the program's folder the current directory (chdir); false when that fails.
bool enter_program_folder();
}  // namespace platform
