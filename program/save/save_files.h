// Save files on disk: their names, reading them whole, and writing them so that a crash, a full
// disk or a failing step never leaves a half-written file or loses the old one.
//
// Names are Shift-JIS system paths in the save folder (engine::command_save_folder()):
// "save%03d.dat" for slots 0-999, "continue.dat" for -1, "hist%08x.dat" for history files.
// A file is written to a temporary file beside it ("<name>.tmp<pid>": never "*.dat", which a
// wipe of the save folder takes, and removed at the next start when a killed run left it),
// flushed, renamed over the old file and the folder flushed.
//
// Every file step goes through save_file_ops, which tests replace to make one step fail.
// Thread: the thread that runs the script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "orv/types.h"

namespace save {

struct SaveFileOps {
  // Creates the file for writing, emptying one that exists. kOrvInvalidFile on failure.
  OrvFileHandle (*create)(const char* path);
  // Writes all size bytes; false when fewer reached the file.
  bool (*write)(OrvFileHandle file, const void* data, uint32_t size);
  // Writes the file's data through to the disk.
  bool (*flush)(OrvFileHandle file);
  bool (*close)(OrvFileHandle file);
  // Renames from over to (replacing it) and flushes the folder.
  bool (*replace)(const char* from, const char* to);
  // Renames from to to, failing when to exists.
  bool (*move)(const char* from, const char* to);
  bool (*remove)(const char* path);
};
// The real steps, and the table in use (tests swap entries and put the real ones back).
extern const SaveFileOps kSaveFileOpsReal;
extern SaveFileOps save_file_ops;

// The path of a slot: 0-999 "save%03d.dat", -1 "continue.dat"; empty for any other slot.
std::string slot_path(int32_t slot);
// The path of history file n; empty when it would not fit the system's 520-byte paths.
std::string history_path(uint32_t number);
// The temporary file that move_file parks a file in.
std::string move_temp_path();

enum class WriteResult {
  kOk,
  kCreateFailed,  // the temporary file could not be made
  kWriteFailed,   // a write, flush or rename failed (disk full, say)
};
// Writes size bytes to path through a temporary file; on any failure the old file is untouched
// and no temporary file is left. With keep_mtime the new file gets that last-write time
// (milliseconds since 1970).
WriteResult file_write_atomic(const std::string& path, const uint8_t* data, size_t size,
                              const int64_t* keep_mtime = nullptr);

enum class ReadResult { kOk, kMissing, kTooLarge, kFailed };
// Reads the whole file into out when it has at most max bytes.
ReadResult file_read_whole(const std::string& path, std::vector<uint8_t>* out, size_t max);

// Reads size bytes at offset; false when the file does not open or is shorter.
bool file_read_at(const std::string& path, uint64_t offset, void* out, uint32_t size);
// True when the file opens; its size and last-write time (ms since 1970) when asked.
bool file_stat(const std::string& path, int64_t* size, int64_t* mtime);

}  // namespace save
