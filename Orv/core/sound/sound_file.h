// The bytes of one sound file: a loose file, a member of a .pac archive (a range of the
// archive file), or a block of memory (tests and fuzzing).
//
// Positions count from the first byte of the sound file itself, whatever contains it; reads
// never leave the file's range. sound_file_open is the one place that finds a file by name.
//
// Threads: a SoundFile is used by one thread at a time.
#pragma once

#include <cstdint>

#include "platform/file.h"

struct SoundFile {
  platform::FileHandle handle = platform::kInvalidFile;  // set for files; owned
  const uint8_t* memory = nullptr;                       // set for memory blocks
  uint64_t base = 0;  // offset of the sound file inside the opened file (FileRange offset)
  uint64_t size = 0;
  uint64_t position = 0;
  bool is_open() const { return handle != platform::kInvalidFile || memory; }
};

// Finds a sound by its Shift-JIS name the way every data file is found (OrvFileCreateEx: the
// search folders, then the base folder, loose or inside the folder's .pac archive) and opens it
// for reading. False when it is not found; nothing is logged (the loaders decide that).
bool sound_file_open(const char* name, SoundFile* file);
// Opens `size` bytes at `offset` of the file at a Shift-JIS path (an archive member read
// directly). False when the file is missing or the range does not lie inside it.
bool sound_file_open_range(const char* path, uint64_t offset, uint64_t size, SoundFile* file);
// A sound file over memory that the caller keeps alive while the file is open.
void sound_file_open_memory(const uint8_t* data, uint64_t size, SoundFile* file);
// Closes the handle (if any) and leaves the file closed. Safe on a closed file.
void sound_file_close(SoundFile* file);

// Reads up to n bytes at the position; returns the count (short at the end of the file, 0 on a
// read error or when the file on disk is shorter than its range).
uint32_t sound_file_read(SoundFile* file, void* destination, uint32_t n);
// Sets the position; positions past the end are kept and read nothing.
void sound_file_seek(SoundFile* file, uint64_t position);
