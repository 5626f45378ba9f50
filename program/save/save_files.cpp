#include "save/save_files.h"

#include <cstdio>

#include "commands/command_paths.h"
#include "engine/orv_api.h"
#include "platform/file_handle.h"
#include "platform/system_query.h"

namespace save {

namespace {

OrvFileHandle real_create(const char* path) {
  return orv.OrvFileOpen(path, platform::kGenericWrite, 0, platform::kCreateAlways, 0, nullptr);
}
bool real_write(OrvFileHandle f, const void* data, uint32_t size) {
  uint32_t done = 0;
  return platform::file_write(f, data, size, &done) && done == size;
}
bool real_flush(OrvFileHandle f) {
  return platform::file_flush(f);
}
bool real_close(OrvFileHandle f) {
  return platform::file_close(f);
}
bool real_replace(const char* from, const char* to) {
  return orv.OrvFileReplace(from, to) != 0;
}
bool real_move(const char* from, const char* to) {
  return orv.OrvFileMove(from, to) != 0;
}
bool real_remove(const char* path) {
  return orv.OrvFileDelete(path) != 0;
}

OrvFileHandle open_read(const std::string& path, int64_t* size) {
  return orv.OrvFileOpen(path.c_str(), platform::kGenericRead, platform::kFileShareRead,
                         platform::kOpenExisting, 0, size);
}

constexpr size_t kPathBytes = 520;

}  // namespace

const SaveFileOps kSaveFileOpsReal = {real_create,  real_write, real_flush, real_close,
                                      real_replace, real_move,  real_remove};
SaveFileOps save_file_ops = kSaveFileOpsReal;

std::string slot_path(int32_t slot) {
  char name[32];
  if (slot == -1) {
    std::snprintf(name, sizeof name, "continue.dat");
  } else if (slot >= 0 && slot <= 999) {
    std::snprintf(name, sizeof name, "save%03d.dat", slot);
  } else {
    return std::string();
  }
  return engine::command_save_folder() + "\\" + name;
}

std::string history_path(uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "hist%08x.dat", number);
  std::string path = engine::command_save_folder() + "\\" + name;
  if (path.size() >= kPathBytes) return std::string();
  return path;
}

std::string move_temp_path() {
  return engine::command_save_folder() + "\\save_tmp.dat";
}

WriteResult file_write_atomic(const std::string& path, const uint8_t* data, size_t size,
                              const int64_t* keep_mtime) {
  if (path.empty() || size >= (size_t{1} << 32)) return WriteResult::kCreateFailed;
  const std::string tmp = path + ".tmp" + std::to_string(platform::process_id());
  const OrvFileHandle f = save_file_ops.create(tmp.c_str());
  if (f == kOrvInvalidFile) return WriteResult::kCreateFailed;
  bool ok = size == 0 || save_file_ops.write(f, data, static_cast<uint32_t>(size));
  ok = ok && save_file_ops.flush(f);
  if (ok && keep_mtime) platform::file_set_mtime(f, *keep_mtime);
  ok = save_file_ops.close(f) && ok;
  if (ok && save_file_ops.replace(tmp.c_str(), path.c_str())) return WriteResult::kOk;
  save_file_ops.remove(tmp.c_str());
  return WriteResult::kWriteFailed;
}

ReadResult file_read_whole(const std::string& path, std::vector<uint8_t>* out, size_t max) {
  out->clear();
  if (path.empty()) return ReadResult::kMissing;
  int64_t size = 0;
  const OrvFileHandle f = open_read(path, &size);
  if (f == kOrvInvalidFile) return ReadResult::kMissing;
  ReadResult result = ReadResult::kOk;
  if (size < 0 || static_cast<uint64_t>(size) > max) {
    result = ReadResult::kTooLarge;
  } else if (size > 0) {
    out->resize(static_cast<size_t>(size));
    uint32_t done = 0;
    if (!platform::file_read(f, out->data(), static_cast<uint32_t>(size), &done) || done != size) {
      result = ReadResult::kFailed;
    }
  }
  platform::file_close(f);
  if (result != ReadResult::kOk) out->clear();
  return result;
}

bool file_read_at(const std::string& path, uint64_t offset, void* out, uint32_t size) {
  if (path.empty()) return false;
  int64_t file_size = 0;
  const OrvFileHandle f = open_read(path, &file_size);
  if (f == kOrvInvalidFile) return false;
  const bool ok = file_size >= 0 && offset + size <= static_cast<uint64_t>(file_size) &&
                  platform::file_read_at(f, out, size, static_cast<int64_t>(offset));
  platform::file_close(f);
  return ok;
}

bool file_stat(const std::string& path, int64_t* size, int64_t* mtime) {
  if (path.empty()) return false;
  int64_t file_size = 0;
  const OrvFileHandle f = open_read(path, &file_size);
  if (f == kOrvInvalidFile) return false;
  if (size) *size = file_size;
  bool ok = true;
  if (mtime) ok = platform::file_get_mtime(f, mtime);
  platform::file_close(f);
  return ok;
}

}  // namespace save
