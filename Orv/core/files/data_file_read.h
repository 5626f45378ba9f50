// Reading a whole data file found along the search folders, loose or inside an archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Finds path as OrvFileCreate does and reads all of its data into out. Returns 1 on success,
// 0 when the file is not found or cannot be read (out is then empty), and -1 when it holds more
// than limit bytes (nothing is read). Any thread. Serves the render module's file reader and
// the cursor images.
int32_t data_file_read(const char* path, std::vector<uint8_t>* out, size_t limit);
