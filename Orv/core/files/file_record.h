// FileRecord: the state of file access, one member of CoreRecord.
//
// The base folder and the search folders are process-wide: file access works before OrvInit
// and after OrvUninit.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>

#include "Orv/core/files/pac_archive.h"
#include "orv/types.h"

constexpr uint32_t kSearchFolderKey = 0xFFFFFFFEu;  // -2

// What lookups learnt of one folder's archive, read on the first lookup that reached it.
struct ArchiveIndex {
  bool present = false;      // the archive opened
  uint64_t size = 0;         // its size then
  bool has_buckets = false;  // the whole bucket table was read (else each lookup reads its bucket)
  PacBuckets buckets{};
};

struct FileRecord {
  // Lookups take it shared, registrations exclusive. Folders are registered at start-up before
  // other threads search, so it is never contended; it keeps a late registration from tearing
  // the list under a lookup.
  std::shared_mutex lock;
  // The program's folder in Shift-JIS with '\' separators, no trailing separator; empty until
  // OrvSystemPathInit fills it.
  char base_folder[260] = {};
  // The search folders, newest first: an OrvList whose nodes carry key kSearchFolderKey and,
  // as data, a zero-terminated path from OrvMemoryAlloc, exactly long enough. 0 before
  // OrvSystemPathInit and after OrvSystemPathUninit.
  OrvHandle list = 0;
  // The archives lookups met, by path. An entry is made under index_lock by a lookup (which
  // holds `lock` shared) and stays put until the search folders or the base folder change,
  // which clear the map under `lock` held exclusively: so a lookup may keep a pointer to an
  // entry while it holds `lock`.
  std::mutex index_lock;
  std::map<std::string, std::unique_ptr<ArchiveIndex>> archives;
  // Archives already reported as damaged (one line each per run, not one per lookup).
  std::mutex report_lock;
  std::set<std::string> reported;
};
