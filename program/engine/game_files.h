// Whole files and folder searches by name for the game program, over the library's file
// exports.
//
// The game program never resolves a file name itself: libOrv.so owns the one listing cache of
// the process (platform/file.h), and every open, test, move, delete and search by name goes
// through its exports (orv.OrvFileOpen, OrvFileExists, ..., see Orv/core/files/file_by_name.h).
// Handles that they return are read, written and closed with platform/file_handle.h. This file
// adds the few compositions that several callers share. Names are Shift-JIS system paths ('\'
// separators). Needs the binding table `orv` filled (after the library is loaded); any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Reads the whole file into out; false (out empty) when it cannot be opened or read, or is
// larger than max_size bytes.
bool game_file_load(std::string_view sjis_path, std::vector<uint8_t>* out,
                    size_t max_size = size_t{1} << 30);

// Writes size bytes to the file through a temporary file beside it ("<name>.tmp<pid>") that is
// flushed and renamed into place, so a failure never leaves a half-written file. True only when
// every byte reached the disk.
bool game_file_save(std::string_view sjis_path, const void* data, size_t size);

// The entries that a FindFirstFile pattern finds (OrvFileFind), sorted by name bytes.
struct FoundFile {
  std::string name;  // Shift-JIS
  bool is_folder = false;
};
std::vector<FoundFile> game_files_find(std::string_view sjis_pattern);

// Deletes the temporary files that game_file_save of a killed run left in a folder: the files
// named "<name>.tmp<pid>", <name> not empty and <pid> the digits of a process id other than this
// one's. Nothing else is touched. Returns how many were deleted.
int game_files_remove_stale_temporaries(std::string_view sjis_folder);

// What a path names (FindFirstFileA on it, so wildcards work): 0 nothing, 1 a file, 2 a folder.
// With wildcards the first match in name order decides.
int32_t path_kind(const char* path);

// The UTF-8 path the file system uses for the name (OrvFileNativePath); empty when the name is
// not valid Shift-JIS.
std::string game_file_native_path(std::string_view sjis_path);

// The file's path as the player sees it, for error lines (which are Shift-JIS until they are
// written out): the file system's real path with '/' separators, characters beyond Shift-JIS
// kept as the escapes that the output turns back. The name as given when it cannot be placed.
std::string game_file_shown_path(std::string_view sjis_path);

}  // namespace engine
