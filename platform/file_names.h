// Inside the file layer: the last-error slot and the resolution of Shift-JIS names into the
// paths the file system uses (see file.h for the rules). Not for use outside platform/.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"

namespace platform::detail {

extern thread_local uint32_t t_last_error;
void set_error(uint32_t code);
// The Win32 code for an errno value.
uint32_t win32_error(int err);
void set_errno_error(int err);
char ascii_lower(char c);

// A name resolved against the folder listings.
struct Resolved {
  std::string path;                 // UTF-8, '/'-separated
  bool exists = false;              // the last component was found in its folder's listing
  bool missing = false;             // its folder does not exist, or a current listing lacks it
  bool folder_found = false;        // the folder of the last component exists
  unsigned char type = DT_UNKNOWN;  // its d_type when found
  std::string folder;               // the resolved folder of the last component ("" for none)
  std::string last;                 // the last component as given, converted to UTF-8
};

// Converts a Shift-JIS name and splits it into components (empty ones dropped). False for an
// empty name or one that is not valid Shift-JIS.
bool split(const char* sjis, bool* absolute, std::vector<std::string>* parts);
// folder + '/' + name (no doubled '/'; an empty folder gives name).
std::string join(const std::string& folder, const std::string& name);
// The path exactly as written, separators made '/'.
std::string raw_path(bool absolute, const std::vector<std::string>& parts);
// The folder part of a '/'-separated path ("." for none, "/" for the root).
std::string parent_of(const std::string& path);
// Resolves every component against the folder listings. False (kErrorInvalidName) when the
// name is empty or not valid Shift-JIS.
bool resolve(const char* sjis, Resolved* r);
// True when folder is not an existing folder.
bool folder_missing(const std::string& folder);
// True when folder (a raw path) was found missing and its parent has not changed since.
bool folder_known_missing(const std::string& folder);
// Forgets the listings and the folders found missing.
void name_caches_clear();

}  // namespace platform::detail
