#include "Orv/core/files/data_file_read.h"

#include "orv/orv.h"
#include "platform/file.h"

int32_t data_file_read(const char* path, std::vector<uint8_t>* out, size_t limit) {
  if (!out) return 0;
  out->clear();
  if (!path) return 0;
  FileRange range{};
  OrvFileHandle file = OrvFileCreate(path, &range);
  if (file == kOrvInvalidFile) return 0;
  if (range.size > limit) {
    platform::file_close(file);
    return -1;
  }
  out->resize(range.size);
  bool ok = range.size == 0 || platform::file_read_at(file, out->data(), range.size, range.offset);
  platform::file_close(file);
  if (!ok) out->clear();
  return ok ? 1 : 0;
}
