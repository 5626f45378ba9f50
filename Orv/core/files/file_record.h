// FileRecord: the state of file access, one member of CoreRecord.
//
// The base folder and the search folders are process-wide: file access works before OrvInit
// and after OrvUninit.
#pragma once

#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>

#include "orv/types.h"

constexpr uint32_t kSearchFolderKey = 0xFFFFFFFEu;  // -2

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
  // Archives already reported as damaged (one line each per run, not one per lookup).
  std::mutex report_lock;
  std::set<std::string> reported;
};
