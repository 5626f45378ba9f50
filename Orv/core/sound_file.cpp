#include "Orv/core/sound_file.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sjis.h"

bool sound_file_open(const char* name, SoundFile* file) {
  // Loose files only for now: the archive search of OrvFileCreateEx takes over here.
  if (!name || !file) return false;
  std::string path;
  if (!platform::sjis_to_utf8(name, path)) return false;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::FILE* fp = std::fopen(path.c_str(), "rb");
  if (!fp) return false;
  if (std::fseek(fp, 0, SEEK_END) != 0) {
    std::fclose(fp);
    return false;
  }
  const long size = std::ftell(fp);
  if (size < 0) {
    std::fclose(fp);
    return false;
  }
  *file = SoundFile{};
  file->fp = fp;
  file->size = uint64_t(size);
  return true;
}

bool sound_file_open_range(const char* path, uint64_t offset, uint64_t size, SoundFile* file) {
  if (!path || !file) return false;
  std::FILE* fp = std::fopen(path, "rb");
  if (!fp) return false;
  if (std::fseek(fp, 0, SEEK_END) != 0) {
    std::fclose(fp);
    return false;
  }
  const long whole = std::ftell(fp);
  if (whole < 0 || offset > uint64_t(whole) || size > uint64_t(whole) - offset) {
    std::fclose(fp);
    return false;
  }
  *file = SoundFile{};
  file->fp = fp;
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
  if (file->fp) std::fclose(file->fp);
  *file = SoundFile{};
}

uint32_t sound_file_read(SoundFile* file, void* destination, uint32_t n) {
  if (!file || !file->is_open() || file->position >= file->size) return 0;
  const uint32_t count = uint32_t(std::min<uint64_t>(n, file->size - file->position));
  uint32_t got = 0;
  if (file->memory) {
    std::memcpy(destination, file->memory + file->position, count);
    got = count;
  } else {
    if (std::fseek(file->fp, long(file->base + file->position), SEEK_SET) != 0) return 0;
    got = uint32_t(std::fread(destination, 1, count, file->fp));
  }
  file->position += got;
  return got;
}

void sound_file_seek(SoundFile* file, uint64_t position) {
  if (file) file->position = position;
}
