// The file exports that name exactly one file; see file_by_name.h.
#include "Orv/core/files/file_by_name.h"

#include <cstring>
#include <string>

#include "orv/orv.h"
#include "platform/file.h"

extern "C" {

OrvFileHandle OrvFileOpen(const char* name, uint32_t access, uint32_t share, uint32_t disposition,
                          uint32_t flags, int64_t* size) {
  if (!name) return kOrvInvalidFile;
  int64_t found = 0;
  const platform::FileHandle file =
      platform::file_open(name, access, share, disposition, flags, &found);
  if (size) *size = file == platform::kInvalidFile ? 0 : found;
  return file;
}

OrvBool OrvFileExists(const char* name) {
  return name && platform::file_exists(name) ? 1 : 0;
}

OrvBool OrvFileFolderExists(const char* name) {
  return name && platform::folder_exists(name) ? 1 : 0;
}

OrvBool OrvFileMakeFolder(const char* name) {
  return name && platform::make_folder(name) ? 1 : 0;
}

OrvBool OrvFileDelete(const char* name) {
  return name && platform::delete_file(name) ? 1 : 0;
}

OrvBool OrvFileMove(const char* from, const char* to) {
  return from && to && platform::move_file_noreplace(from, to) ? 1 : 0;
}

OrvBool OrvFileReplace(const char* temporary, const char* name) {
  return temporary && name && platform::replace_file(temporary, name) ? 1 : 0;
}

OrvBool OrvFileNativePath(char* out, uint32_t size, const char* name) {
  if (!out || size == 0) return 0;
  out[0] = '\0';
  const std::string path = name ? platform::native_path(name) : std::string();
  if (path.empty() || path.size() >= size) return 0;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return 1;
}

int32_t OrvFileFind(const char* pattern, OrvFileFindProc proc, void* context) {
  if (!pattern) return 0;
  int32_t count = 0;
  for (const platform::DirEntry& e : platform::find_files(pattern)) {
    if (proc) proc(e.name.c_str(), e.is_folder ? 1 : 0, context);
    ++count;
  }
  return count;
}

}  // extern "C"
