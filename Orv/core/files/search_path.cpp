// The base folder and the list of search folders.
#include <cstring>
#include <mutex>
#include <string>

#include "Orv/core/files/file_access.h"
#include "Orv/core/list.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/program_path.h"
#include "platform/sjis.h"

namespace {

FileRecord& record() {
  return orv_core().files;
}

// Forgets what lookups learnt of the archives: the folders they lie in change. The caller
// holds the lock exclusively.
void forget_archives(FileRecord& r) {
  std::lock_guard<std::mutex> lock(r.index_lock);
  r.archives.clear();
}

// Removes and frees every folder of the list. The caller holds the lock exclusively.
void free_folders(FileRecord& r) {
  forget_archives(r);
  while (uintptr_t folder = OrvListPopFirst(r.list)) OrvMemoryFree(reinterpret_cast<void*>(folder));
}

// The program's folder as the system writes paths: Shift-JIS with '\' separators. Characters
// with no Shift-JIS form become '?', which start-up checks for.
std::string program_folder_sjis() {
  std::string folder = platform::utf8_to_sjis_path(platform::program_folder_utf8());
  // The conversion leaves '/' as the ASCII byte, and no trail byte can be 0x2F.
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
  return folder;
}

}  // namespace

const char* file_base_folder() {
  return record().base_folder;
}

bool file_set_base_folder(const char* sjis_folder) {
  size_t len = sjis_folder ? std::strlen(sjis_folder) : 0;
  if (len >= sizeof record().base_folder) return false;
  std::unique_lock<std::shared_mutex> lock(record().lock);
  std::memset(record().base_folder, 0, sizeof record().base_folder);
  if (len) std::memcpy(record().base_folder, sjis_folder, len);
  forget_archives(record());
  return true;
}

bool file_path_is_absolute(const char* sjis_path) {
  return sjis_path && (sjis_path[0] == '\\' || sjis_path[0] == '/');
}

extern "C" {

OrvBool OrvSystemPathInit(void) {
  if (record().base_folder[0] == 0) {
    // A folder too long for the 260-byte field stays empty rather than cut: a cut path would
    // name some other folder.
    file_set_base_folder(program_folder_sjis().c_str());
  }
  FileRecord& r = record();
  std::unique_lock<std::shared_mutex> lock(r.lock);
  // The original dropped an earlier list without freeing it; it is freed here, as nothing else
  // holds it.
  if (r.list) {
    free_folders(r);
    OrvListRelease(r.list);
  }
  r.list = OrvListCreate();
  return r.list ? 1 : 0;
}

OrvBool OrvSystemPathSet(const char* folder) {
  if (!folder) return 0;
  FileRecord& r = record();
  std::unique_lock<std::shared_mutex> lock(r.lock);
  if (!r.list) return 0;  // nothing was added, so this is no success
  std::string path;
  if (file_path_is_absolute(folder) || r.base_folder[0] == 0) {
    path = folder;
  } else {
    path = std::string(r.base_folder) + "\\" + folder;
  }
  char* block = static_cast<char*>(OrvMemoryAlloc(static_cast<uint32_t>(path.size() + 1), 1));
  if (!block) return 0;
  std::memcpy(block, path.c_str(), path.size());
  if (!OrvListPush(r.list, reinterpret_cast<uintptr_t>(block), kSearchFolderKey)) {
    OrvMemoryFree(block);
    return 0;
  }
  forget_archives(r);
  return 1;
}

OrvBool OrvSystemPathClear(void) {
  std::unique_lock<std::shared_mutex> lock(record().lock);
  if (!record().list) return 0;
  free_folders(record());
  return 1;
}

OrvBool OrvSystemPathUninit(void) {
  FileRecord& r = record();
  std::unique_lock<std::shared_mutex> lock(r.lock);
  if (!r.list) return 0;
  free_folders(r);
  OrvListRelease(r.list);
  r.list = 0;
  return 1;
}

}  // extern "C"
