// Reading and writing whole files named by system paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// Writes size bytes to the file named by a system path (Shift-JIS, '\' separators; relative
// paths are taken from the current folder) through a temporary file beside it that is flushed
// and renamed into place, so a failure never leaves a half-written file. Returns true only
// when every byte reached the disk.
bool save_file_bytes(std::string_view sjis_path, const void* data, size_t size);

// Deletes the temporary files that save_file_bytes of a killed process left in a folder (system
// path): the files named "<name>.tmp<pid>", <name> not empty and <pid> the digits of a process
// id other than this one's. Nothing else is touched. Returns how many were deleted.
int remove_stale_temporaries(std::string_view sjis_folder);

// Reads the whole file named by a system path (Shift-JIS, '\' separators) into out; false
// when it cannot be opened or read, or is larger than max_size bytes.
bool load_file_bytes(std::string_view sjis_path, std::vector<uint8_t>* out,
                     size_t max_size = size_t{1} << 30);

}  // namespace platform
