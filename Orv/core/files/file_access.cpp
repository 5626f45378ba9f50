// Finding data files along the search folders, loose or inside .pac archives.
#include "Orv/core/files/file_access.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "Orv/core/error_report.h"
#include "Orv/core/files/pac_archive.h"
#include "Orv/core/handle_table.h"
#include "Orv/core/list.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "platform/sjis.h"

namespace {

FileRecord& record() {
  return orv_core().files;
}

// The name as the search uses it: its file-name part as given (for OrvFileGetFullPath), the
// normalised form (loose opens) and its 32-byte archive key.
struct SearchName {
  std::string part;
  std::string normalized;
  uint8_t key[pac::kNameSize];
};

void make_search_name(const char* name, SearchName* s) {
  s->part = pac::file_name_part(name);
  s->normalized = pac::normalize_name(name);
  pac::name_key(s->normalized, s->key);
}

// pac_find asks only for bytes that lie inside the archive's size, so all or nothing will do.
uint32_t read_archive(void* context, void* buf, uint32_t size, uint64_t pos) {
  platform::FileHandle file = *static_cast<platform::FileHandle*>(context);
  return platform::file_read_at(file, buf, size, static_cast<int64_t>(pos)) ? size : 0;
}

std::string in_folder(const char* folder, const std::string& name) {
  std::string path(folder);
  if (path.empty()) return name;  // no base folder: the current directory
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  return path + name;
}

// A damaged archive is a fault of the game's files that its maker must be able to see: one
// line on stderr per archive, however often its members are looked up.
void report_damage(const std::string& archive_path, const char* damage) {
  FileRecord& r = record();
  {
    std::lock_guard<std::mutex> lock(r.report_lock);
    if (!r.reported.insert(archive_path).second) return;
  }
  // Named as it lies on disk (the native path), given to the reporter in Shift-JIS.
  std::string where = platform::utf8_to_sjis_lossy(platform::native_path(archive_path.c_str()));
  error_reportf(ErrorLog::kSkip, "Bad archive %s: %s", where.empty() ? "?" : where.c_str(), damage);
}

// The index of the archive at archive_path, made on the first call (the caller holds the
// record's lock shared); null when it cannot be kept (out of memory).
const ArchiveIndex* archive_index(const std::string& archive_path) {
  FileRecord& r = record();
  std::lock_guard<std::mutex> lock(r.index_lock);
  auto it = r.archives.find(archive_path);
  if (it != r.archives.end()) return it->second.get();
  auto index = std::make_unique<ArchiveIndex>();
  int64_t size = 0;
  platform::FileHandle file =
      platform::file_open(archive_path.c_str(), platform::kGenericRead, platform::kFileShareRead,
                          platform::kOpenExisting, platform::kFileFlagRandomAccess, &size);
  if (file != platform::kInvalidFile) {
    index->present = true;
    index->size = size < 0 ? 0 : static_cast<uint64_t>(size);
    PacSource source{&file, index->size, read_archive};
    // A table cut short leaves each lookup to read its own bucket, and to report the damage.
    index->has_buckets = pac_read_buckets(source, &index->buckets);
    platform::file_close(file);
  }
  const ArchiveIndex* kept = index.get();
  r.archives.emplace(archive_path, std::move(index));
  return kept;
}

// Looks the file up in one folder: loose first, then in the folder's archive.
platform::FileHandle lookup_in_folder(const char* folder, const SearchName& name, uint32_t access,
                                      uint32_t share, uint32_t disposition, uint32_t flags,
                                      FileRange* range) {
  int64_t size = 0;
  platform::FileHandle file = platform::file_open(in_folder(folder, name.normalized).c_str(),
                                                  access, share, disposition, flags, &size);
  if (file != platform::kInvalidFile) {
    uint32_t size32 = size < 0 ? 0 : size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
    *range = FileRange{0, size32, size32};
    return file;
  }
  std::string archive_path = std::string(folder) + ".pac";
  const ArchiveIndex* index = archive_index(archive_path);
  if (!index || !index->present) return platform::kInvalidFile;
  int64_t archive_size = 0;  // the index's size stands: its table was read at that size
  platform::FileHandle archive =
      platform::file_open(archive_path.c_str(), platform::kGenericRead, platform::kFileShareRead,
                          platform::kOpenExisting, platform::kFileFlagRandomAccess, &archive_size);
  if (archive == platform::kInvalidFile) return platform::kInvalidFile;
  PacSource source{&archive, index->size, read_archive};
  PacMember member{};
  const char* damage = nullptr;
  bool found = index->has_buckets ? pac_find_in(source, index->buckets, name.key, &member,
                                                kPacWindowLimit, &damage)
                                  : pac_find(source, name.key, &member, kPacWindowLimit, &damage);
  if (damage) report_damage(archive_path, damage);
  if (!found || platform::file_seek(archive, member.offset, platform::kFileBegin) < 0) {
    platform::file_close(archive);
    return platform::kInvalidFile;
  }
  *range = FileRange{member.offset, member.offset + member.size, member.size};
  return archive;
}

// The folder part of an absolute name, without its closing separator (but "\\" for the root).
std::string own_folder(const char* name) {
  std::string folder(name, pac::file_name_offset(name));
  if (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

// Runs the search; on success *found_in receives the folder that yielded the file.
platform::FileHandle search(const char* name, uint32_t access, uint32_t share, uint32_t disposition,
                            uint32_t flags, FileRange* range, bool base_after_own,
                            std::string* found_in) {
  *range = FileRange{0, 0, 0};
  if (!name) return platform::kInvalidFile;
  SearchName s;
  make_search_name(name, &s);
  FileRecord& r = record();
  std::shared_lock<std::shared_mutex> lock(r.lock);
  auto try_folder = [&](const char* folder) {
    platform::FileHandle f = lookup_in_folder(folder, s, access, share, disposition, flags, range);
    if (f != platform::kInvalidFile && found_in) *found_in = folder;
    return f;
  };
  if (file_path_is_absolute(name)) {
    std::string folder = own_folder(name);
    platform::FileHandle f = try_folder(folder.c_str());
    if (f != platform::kInvalidFile || !base_after_own) return f;
    return try_folder(r.base_folder);
  }
  // The list's nodes are walked directly: it is ours, and the lock keeps it still.
  if (const OrvListNode* head = orv_handles().get_as<OrvListNode>(r.list, HandleKind::kList)) {
    for (const OrvListNode* node = head->next; node; node = node->next) {
      if (node->key != kSearchFolderKey || !node->data) continue;
      platform::FileHandle f = try_folder(reinterpret_cast<const char*>(node->data));
      if (f != platform::kInvalidFile) return f;
    }
  }
  return try_folder(r.base_folder);
}

}  // namespace

extern "C" {

OrvFileHandle OrvFileCreateEx(const char* name, uint32_t access, uint32_t share,
                              uint32_t disposition, uint32_t flags, FileRange* range) {
  FileRange local;
  return search(name, access, share, disposition, flags, range ? range : &local, false, nullptr);
}

OrvFileHandle OrvFileCreate(const char* name, FileRange* range) {
  return OrvFileCreateEx(name, platform::kGenericRead, platform::kFileShareRead,
                         platform::kOpenExisting, platform::kFileFlagSequentialScan, range);
}

OrvBool OrvFileGetFullPath(char* out, uint32_t size, const char* name) {
  if (!out || size == 0) return 0;
  std::memset(out, 0, size);
  FileRange range;
  std::string folder;
  platform::FileHandle f =
      search(name, platform::kGenericRead, platform::kFileShareRead, platform::kOpenExisting,
             platform::kFileFlagSequentialScan, &range, true, &folder);
  if (f == platform::kInvalidFile) return 0;
  platform::file_close(f);
  // The folder that yielded the file and the file-name part: the original appended the whole
  // name, which for a name with folders is a path that does not exist.
  std::string path = in_folder(folder.c_str(), pac::file_name_part(name));
  if (path.size() + 1 > size) return 0;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return 1;
}

OrvBool OrvFileSetFilePointer(OrvFileHandle file, int32_t low, int32_t high, uint32_t unused,
                              uint32_t method) {
  (void)unused;
  int64_t distance = static_cast<int64_t>(
      (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | static_cast<uint32_t>(low));
  platform::file_seek(file, distance, method);
  return 1;
}

}  // extern "C"
