#include "Orv/core/sound/sound_file.h"

#include <algorithm>
#include <cstring>

#include "orv/orv.h"

bool sound_file_open(const char* name, SoundFile* file) {
  if (!name || !file) return false;
  FileRange range{};
  const platform::FileHandle handle =
      OrvFileCreateEx(name, platform::kGenericRead, platform::kFileShareRead,
                      platform::kOpenExisting, platform::kFileFlagSequentialScan, &range);
  if (handle == platform::kInvalidFile) return false;
  *file = SoundFile{};
  file->handle = handle;
  file->base = range.offset;
  file->size = range.size;
  return true;
}

bool sound_file_open_range(const char* path, uint64_t offset, uint64_t size, SoundFile* file) {
  if (!path || !file) return false;
  int64_t whole = 0;
  const platform::FileHandle handle =
      platform::file_open(path, platform::kGenericRead, platform::kFileShareRead,
                          platform::kOpenExisting, platform::kFileFlagSequentialScan, &whole);
  if (handle == platform::kInvalidFile) return false;
  if (whole < 0 || offset > uint64_t(whole) || size > uint64_t(whole) - offset) {
    platform::file_close(handle);
    return false;
  }
  *file = SoundFile{};
  file->handle = handle;
  file->base = offset;
  file->size = size;
  return true;
}

void sound_file_open_memory(const uint8_t* data, uint64_t size, SoundFile* file) {
  *file = SoundFile{};
  file->memory = data;
  file->size = data ? size : 0;
}

void sound_file_close(SoundFile* file) {
  if (!file) return;
  if (file->handle != platform::kInvalidFile) platform::file_close(file->handle);
  *file = SoundFile{};
}

uint32_t sound_file_read(SoundFile* file, void* destination, uint32_t n) {
  if (!file || !file->is_open() || file->position >= file->size) return 0;
  const uint32_t count = uint32_t(std::min<uint64_t>(n, file->size - file->position));
  if (file->memory) {
    std::memcpy(destination, file->memory + file->position, count);
  } else if (!platform::file_read_at(file->handle, destination, count,
                                     int64_t(file->base + file->position))) {
    // The file on disk ends before its range says (cut or changed under us): its data ends here.
    return 0;
  }
  file->position += count;
  return count;
}

void sound_file_seek(SoundFile* file, uint64_t position) {
  if (file) file->position = position;
}
