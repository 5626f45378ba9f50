// Folder listings and wildcard searches (FindFirstFile and FindNextFile).
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_names.h"
#include "platform/sjis.h"

namespace platform {

using namespace detail;

namespace {

DirEntry entry_from_stat(std::string name, const struct stat& st) {
  DirEntry e;
  e.name = std::move(name);
  e.is_folder = S_ISDIR(st.st_mode);
  e.size = e.is_folder ? 0 : static_cast<uint64_t>(st.st_size);
  e.mtime_ms = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
  return e;
}
bool has_wildcard(const std::string& s) {
  return s.find_first_of("*?") != std::string::npos;
}

// Length of the Shift-JIS unit at p (1 or 2; a lead byte at the end is one unit).
size_t unit_len(const char* p) {
  return (sjis_is_lead(static_cast<uint8_t>(*p)) && p[1]) ? 2 : 1;
}

bool unit_equal(const char* a, const char* b, size_t len) {
  if (len == 1) return ascii_lower(*a) == ascii_lower(*b);
  return a[0] == b[0] && a[1] == b[1];
}

}  // namespace

std::vector<DirEntry> list_folder(const char* sjis_folder) {
  std::vector<DirEntry> out;
  Resolved r;
  if (!resolve(sjis_folder, &r)) return out;
  DIR* dir = opendir(r.path.c_str());
  if (!dir) {
    set_errno_error(errno);
    return out;
  }
  int dfd = dirfd(dir);
  while (struct dirent* e = readdir(dir)) {
    std::string name(e->d_name);
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (fstatat(dfd, e->d_name, &st, 0) != 0) continue;  // removed meanwhile, or a dead link
    out.push_back(entry_from_stat(utf8_to_sjis_path(name), st));
  }
  closedir(dir);
  std::sort(out.begin(), out.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return out;
}

std::vector<DirEntry> find_files(const char* sjis_pattern) {
  std::vector<DirEntry> out;
  if (!sjis_pattern || !*sjis_pattern) {
    set_error(kErrorInvalidName);
    return out;
  }
  // Split off the last component, walking Shift-JIS units so that a trail byte 0x5C is not
  // taken for a separator.
  const char* last = sjis_pattern;
  for (const char* p = sjis_pattern; *p; p += unit_len(p)) {
    if (*p == '\\' || *p == '/') last = p + 1;
  }
  std::string pattern(last);
  std::string folder(sjis_pattern, last);
  if (pattern.empty()) {
    set_error(kErrorFileNotFound);
    return out;
  }
  if (!has_wildcard(pattern)) {
    Resolved r;
    struct stat st {};
    if (!resolve(sjis_pattern, &r)) return out;
    if (stat(r.path.c_str(), &st) != 0) {
      set_errno_error(errno);
      return out;
    }
    std::string name =
        r.path.substr(r.path.rfind('/') == std::string::npos ? 0 : r.path.rfind('/') + 1);
    out.push_back(entry_from_stat(utf8_to_sjis_path(name), st));
    return out;
  }
  std::string list_at = folder.empty() ? std::string(".") : folder;
  Resolved r;
  struct stat st {};
  if (!resolve(list_at.c_str(), &r) || stat(r.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    set_error(kErrorPathNotFound);
    return out;
  }
  if (r.path != "/") {
    struct stat up {};
    if (wildcard_match(pattern.c_str(), ".")) out.push_back(entry_from_stat(".", st));
    if (wildcard_match(pattern.c_str(), "..") && stat((r.path + "/..").c_str(), &up) == 0) {
      out.push_back(entry_from_stat("..", up));
    }
  }
  for (DirEntry& e : list_folder(list_at.c_str())) {
    if (wildcard_match(pattern.c_str(), e.name.c_str())) out.push_back(std::move(e));
  }
  std::sort(out.begin(), out.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  if (out.empty()) set_error(kErrorFileNotFound);
  return out;
}

bool wildcard_match(const char* pattern, const char* name) {
  // Iterative matching with one backtrack point for the last '*' seen.
  const char* star = nullptr;
  const char* resume = nullptr;
  const char* p = pattern;
  const char* n = name;
  while (*n) {
    if (*p == '*') {
      star = ++p;
      resume = n;
      continue;
    }
    size_t nl = unit_len(n);
    if (*p == '?') {
      ++p;
      n += nl;
      continue;
    }
    size_t pl = *p ? unit_len(p) : 0;
    if (pl == nl && unit_equal(p, n, nl)) {
      p += pl;
      n += nl;
      continue;
    }
    if (!star) return false;
    p = star;
    resume += unit_len(resume);
    n = resume;
  }
  while (*p == '*') ++p;
  // Windows lets "name.*" match a name without any extension.
  if (p[0] == '.' && p[1] == '*') {
    p += 2;
    while (*p == '*') ++p;
  }
  return *p == 0;
}

}  // namespace platform
