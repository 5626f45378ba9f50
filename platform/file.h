// Files by Shift-JIS name: our stand-in for CreateFile, ReadFile, SetFilePointer, FindFirstFile,
// MoveFile and their neighbours.
//
// Names arrive as the system keeps them: Shift-JIS (CP932) bytes with `\` (or `/`) between the
// folders. They are converted to UTF-8 and `/` here and nowhere else; a trail byte 0x5C inside a
// two-byte character is never a separator. A name beginning with `/` or `\` is absolute, any
// other is relative to the current directory.
//
// Windows compares names without regard to ASCII case and the system relies on it (it
// upper-cases names before opening them). So each component of a name is matched against the
// folder's listing: the exact bytes first, then an ASCII case-insensitive match; when neither
// exists the component is used as given (so new files get the name the caller wrote). Listings
// are cached per folder and read again when the folder's modification time changes.
//
// State: the listing cache (and its record of missing folders) is process-wide per copy of
// this library, and platform/ is linked into both binaries. libOrv.so owns it: the game program
// never includes this header and opens, finds, moves and deletes files by name only through the
// library's file exports (orv/exports.h, family "files"), so that one cache sees every change.
// The handle functions (platform/file_handle.h) hold no state; both binaries use them.
//
// Every function here is thread-safe. Failures set the calling thread's last error
// (file_last_error) to a Win32 code, so callers that report GetLastError-style codes keep
// doing so.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_handle.h"

namespace platform {

// Opens a regular file (CreateFileA). access: kGenericRead and/or kGenericWrite (0 opens for
// reading); share is ignored; disposition: kCreateNew..kTruncateExisting; flags are ignored. A
// folder, device or pipe never opens (kErrorAccessDenied). New files get mode 0666 less the umask.
// Returns the handle positioned at 0, or kInvalidFile. kCreateAlways and kOpenAlways on an existing
// file succeed with kErrorAlreadyExists set.
FileHandle file_open(const char* sjis_path, uint32_t access, uint32_t share, uint32_t disposition,
                     uint32_t flags);
// The same, also giving the file's size (*size) from the check that it is a regular file.
FileHandle file_open(const char* sjis_path, uint32_t access, uint32_t share, uint32_t disposition,
                     uint32_t flags, int64_t* size);
// The UTF-8 path the file system uses for sjis_path: separators made '/', each existing
// component replaced by its name on disk (exact bytes first, else ASCII case-insensitive).
// Components that do not exist stay as given. Empty for an empty name or one that is not
// valid Shift-JIS (kErrorInvalidName).
std::string native_path(const char* sjis_path);

// True when the name is an existing regular file / folder.
bool file_exists(const char* sjis_path);
bool folder_exists(const char* sjis_path);
// Creates one folder (CreateDirectoryA): its parent must exist; false with kErrorAlreadyExists
// when something of that name exists.
bool make_folder(const char* sjis_path);
// Deletes a file (DeleteFileA); a folder is not deleted (kErrorAccessDenied).
bool delete_file(const char* sjis_path);
// Deletes an empty folder (RemoveDirectoryA).
bool delete_folder(const char* sjis_path);
// Renames a file or folder without ever replacing an existing target (MoveFileA): false with
// kErrorAlreadyExists when `to` exists. Uses renameat2(RENAME_NOREPLACE), or link + unlink on
// file systems that refuse it.
bool move_file_noreplace(const char* sjis_from, const char* sjis_to);
// Renames tmp over dest atomically, replacing dest (the last step of write-temp-then-rename:
// flush the temporary file first). The folder is synced so that the rename survives a crash.
bool replace_file(const char* sjis_tmp, const char* sjis_dest);

// Changes the process's current directory (SetCurrentDirectoryA).
bool set_current_folder(const char* sjis_path);

// One entry of a folder listing.
struct DirEntry {
  std::string name;  // Shift-JIS; a name on disk with no Shift-JIS form has '?' in its place
  bool is_folder = false;
  uint64_t size = 0;     // bytes, 0 for folders
  int64_t mtime_ms = 0;  // modification time, milliseconds since 1970
};

// Every entry of a folder but "." and "..", sorted by name bytes. Empty when the folder does not
// exist or cannot be read.
std::vector<DirEntry> list_folder(const char* sjis_folder);

// FindFirstFileA / FindNextFileA: the entries of the pattern's folder whose names match its last
// component, where '*' matches any run of characters, '?' one character (a two-byte Shift-JIS
// character counts as one) and ASCII case is ignored. As on Windows, "." and ".." are listed
// when the pattern matches them (so "dir\*" finds "." in any folder but the root). A pattern
// without wildcards finds at most the one entry it names. Sorted by name bytes.
std::vector<DirEntry> find_files(const char* sjis_pattern);
// The matcher that find_files uses, over Shift-JIS names.
bool wildcard_match(const char* pattern, const char* name);

// Forgets every cached folder listing (tests that change folders behind the cache's back).
void file_cache_clear();

// Fuzz seam: while on, every absolute name and every name with a ".." component is refused as
// an invalid name, so whatever a random script names stays below the current folder. Set
// before any other thread uses files; the game never turns it on.
void file_names_confine(bool on);

}  // namespace platform
