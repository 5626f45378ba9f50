// Writing a whole file for the player, in place of the imaging component's "save to path".
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// Writes size bytes to the file named by a system path (Shift-JIS, '\' separators; relative
// paths are taken from the current folder) through a temporary file beside it that is flushed
// and renamed into place, so a failure never leaves a half-written file. Returns true only
// when every byte reached the disk.
bool save_file_bytes(std::string_view sjis_path, const void* data, size_t size);

}  // namespace platform
