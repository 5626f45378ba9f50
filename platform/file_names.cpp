// Turning the system's Shift-JIS names into the paths the file system uses: conversion,
// case-insensitive matching through the per-folder listing cache, and the memory of folders
// found missing.
#include "platform/file_names.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>

#include <cerrno>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/sjis.h"

namespace platform {
namespace detail {

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

namespace {

// UTF-8 bytes of 0x80 and above are never ASCII, so folding bytewise folds ASCII letters only.
std::string fold(const std::string& name) {
  std::string out(name);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

// ---- the per-folder listing cache ----

// One folder's names as last read. Immutable once built, so lookups need no lock.
struct Listing {
  struct timespec mtime {};
  // When the listing was read so soon after the folder's last change that a further change
  // could carry the same timestamp, a miss is not trusted and the folder is read again.
  bool settled = false;
  std::unordered_map<std::string, unsigned char> exact;  // name on disk -> d_type
  std::unordered_map<std::string, std::string> folded;   // folded name -> name on disk
};

class ListingCache {
 public:
  // The listing of the folder whose stat is st, read again when stale. Null when the folder
  // cannot be read.
  std::shared_ptr<const Listing> get(const std::string& folder, const struct stat& st, bool force) {
    Key key{st.st_dev, st.st_ino};
    if (!force) {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = map_.find(key);
      if (it != map_.end() && it->second->mtime.tv_sec == st.st_mtim.tv_sec &&
          it->second->mtime.tv_nsec == st.st_mtim.tv_nsec) {
        return it->second;
      }
    }
    std::shared_ptr<Listing> fresh = read(folder, st);
    if (!fresh) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    if (map_.size() >= kMaxFolders) map_.clear();  // a crude bound; listings are cheap to redo
    map_[key] = fresh;
    return fresh;
  }

  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    map_.clear();
  }

 private:
  static constexpr size_t kMaxFolders = 256;
  using Key = std::pair<dev_t, ino_t>;

  static std::shared_ptr<Listing> read(const std::string& folder, const struct stat& st) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return nullptr;
    auto listing = std::make_shared<Listing>();
    listing->mtime = st.st_mtim;
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    // A change made after this listing can carry the folder's current stamp only while the
    // file system's clock has not moved past it. Stamps with nanoseconds tick at most every
    // few milliseconds; whole-second stamps (FAT has 2-second ones) need a wider margin.
    const int64_t margin_ns = st.st_mtim.tv_nsec != 0 ? 50'000'000 : 3'000'000'000;
    const int64_t age_ns = (static_cast<int64_t>(now.tv_sec) - st.st_mtim.tv_sec) * 1'000'000'000 +
                           (now.tv_nsec - st.st_mtim.tv_nsec);
    listing->settled = age_ns > margin_ns;
    while (struct dirent* e = readdir(dir)) {
      std::string name(e->d_name);
      if (name == "." || name == "..") continue;
      listing->exact.emplace(name, e->d_type);
      std::string key = fold(name);
      auto it = listing->folded.find(key);
      // Several names that differ only in case: take the smallest, so the choice does not
      // depend on the order readdir happens to give.
      if (it == listing->folded.end()) {
        listing->folded.emplace(std::move(key), name);
      } else if (name < it->second) {
        it->second = name;
      }
    }
    closedir(dir);
    return listing;
  }

  std::mutex mutex_;
  std::map<Key, std::shared_ptr<Listing>> map_;
};

ListingCache& cache() {
  static ListingCache c;
  return c;
}

struct Match {
  std::string name;  // the name on disk
  unsigned char type = DT_UNKNOWN;
};

// Finds name in the folder (whose stat is st): the exact bytes, else an ASCII case-insensitive
// match. Returns 1 found, 0 not there (the listing is current), -1 unknown (the folder cannot
// be listed).
int lookup(const std::string& folder, const struct stat& st, const std::string& name, Match* out,
           bool* settled = nullptr) {
  bool force = false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::shared_ptr<const Listing> listing = cache().get(folder, st, force);
    if (!listing) return -1;
    auto e = listing->exact.find(name);
    if (e != listing->exact.end()) {
      *out = {e->first, e->second};
      return 1;
    }
    auto f = listing->folded.find(fold(name));
    if (f != listing->folded.end()) {
      *out = {f->second, listing->exact.at(f->second)};
      return 1;
    }
    if (settled) *settled = listing->settled;
    if (listing->settled) return 0;
    force = true;
  }
  return 0;
}

// Folders found missing from a settled listing of their parent, kept until the parent changes.
// The search tries every search folder, and most exist only as an archive: this answers "no
// such folder" with one stat of the parent instead of a failing open and two stats.
class MissingFolders {
 public:
  // True when folder (as written) was found missing and its parent has not changed since.
  bool known(const std::string& folder) {
    Entry e;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (map_.empty()) return false;
      auto it = map_.find(folder);
      if (it == map_.end()) return false;
      e = it->second;
    }
    struct stat st {};
    if (stat(e.parent.c_str(), &st) == 0 && st.st_dev == e.dev && st.st_ino == e.ino &&
        st.st_mtim.tv_sec == e.mtime.tv_sec && st.st_mtim.tv_nsec == e.mtime.tv_nsec) {
      return true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    map_.erase(folder);
    return false;
  }
  void note(const std::string& folder, const std::string& parent, const struct stat& parent_st) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (map_.size() >= 256) map_.clear();
    map_[folder] = Entry{parent, parent_st.st_dev, parent_st.st_ino, parent_st.st_mtim};
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    map_.clear();
  }

 private:
  struct Entry {
    std::string parent;  // the parent as found on disk
    dev_t dev = 0;
    ino_t ino = 0;
    struct timespec mtime {};
  };
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> map_;
};

MissingFolders& missing_folders() {
  static MissingFolders m;
  return m;
}

}  // namespace

// ---- names ----

bool split(const char* sjis, bool* absolute, std::vector<std::string>* parts) {
  if (!sjis || !*sjis) return false;
  std::string utf8;
  if (!sjis_to_utf8(sjis, utf8)) return false;
  // After conversion a '\' or '/' byte is a real separator: trail bytes of two-byte
  // characters have become UTF-8 bytes of 0x80 and above.
  *absolute = utf8[0] == '/' || utf8[0] == '\\';
  parts->clear();
  std::string cur;
  for (char c : utf8) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts->push_back(std::move(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts->push_back(std::move(cur));
  return true;
}

std::string join(const std::string& folder, const std::string& name) {
  std::string out;
  out.reserve(folder.size() + 1 + name.size());
  out.append(folder);
  if (!out.empty() && out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

// The path exactly as written, separators made '/'.
std::string raw_path(bool absolute, const std::vector<std::string>& parts) {
  std::string path = absolute ? "/" : "";
  for (const std::string& part : parts) path = join(path, part);
  return path.empty() ? std::string("/") : path;
}

// Resolves every component against the folder listings. False (kErrorInvalidName) when the
// name is empty or not valid Shift-JIS.
namespace {
bool g_confined = false;
}  // namespace

bool resolve(const char* sjis, Resolved* r) {
  bool absolute = false;
  std::vector<std::string> parts;
  if (!split(sjis, &absolute, &parts) ||
      (g_confined && (absolute || std::find(parts.begin(), parts.end(), "..") != parts.end()))) {
    set_error(kErrorInvalidName);
    return false;
  }
  *r = Resolved{};
  if (parts.empty()) {  // the root itself
    r->path.assign(1, '/');
    r->exists = true;
    r->type = DT_DIR;
    return true;
  }
  const std::string root = absolute ? "/" : "";
  r->last = parts.back();

  // Fast path: the folder part exists exactly as written (base folders and most prefixes do),
  // so only the last component needs a listing.
  std::string folder = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) folder = join(folder, parts[i]);
  struct stat st {};
  if (parts.size() > 1 && missing_folders().known(folder)) {
    r->folder = folder;
    r->missing = true;
    r->path = join(folder, parts.back());
    return true;
  }
  bool folder_ok = stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (!folder_ok && parts.size() > 1) {
    // Keep the longest prefix that exists exactly as written (found backwards: a missing
    // search folder usually sits in a folder that exists), then match each further component
    // against its folder's listing.
    const size_t folders = parts.size() - 1;
    size_t exact = folders - 1;
    std::vector<std::string> prefixes(folders + 1);
    prefixes[0] = root;
    for (size_t i = 0; i < folders; ++i) prefixes[i + 1] = join(prefixes[i], parts[i]);
    struct stat fst {};
    bool have_stat = false;
    for (; exact > 0; --exact) {
      if (stat(prefixes[exact].c_str(), &fst) == 0 && S_ISDIR(fst.st_mode)) {
        have_stat = true;
        break;
      }
    }
    folder = prefixes[exact];
    folder_ok = true;
    for (size_t i = exact; i < folders; ++i) {
      const std::string& part = parts[i];
      if (folder_ok && part != "." && part != "..") {
        Match m;
        const char* here = folder.empty() ? "." : folder.c_str();
        bool settled = false;
        int found = -1;
        if (have_stat || (stat(here, &fst) == 0 && S_ISDIR(fst.st_mode))) {
          found = lookup(here, fst, part, &m, &settled);
        }
        if (found == 1) {
          folder = join(folder, m.name);
          have_stat = false;
          continue;
        }
        if (found == 0 && settled && i + 1 == folders) {
          missing_folders().note(prefixes[folders], here, fst);
        }
        folder_ok = false;  // nothing below a missing folder exists: keep the rest as given
      }
      have_stat = false;
      folder = join(folder, part);
    }
    if (folder_ok) {
      folder_ok = stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
  }
  r->folder = folder;
  r->folder_found = folder_ok;
  const std::string& last = parts.back();
  r->missing = !folder_ok;
  if (folder_ok && last != "." && last != "..") {
    Match m;
    int found = lookup(folder.empty() ? "." : folder, st, last, &m);
    if (found == 1) {
      r->path = join(folder, m.name);
      r->exists = true;
      r->type = m.type;
      return true;
    }
    r->missing = found == 0;
  }
  r->path = join(folder, last);
  return true;
}

std::string parent_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool folder_missing(const std::string& folder) {
  struct stat st {};
  return stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

void name_caches_clear() {
  cache().clear();
  missing_folders().clear();
}

bool folder_known_missing(const std::string& folder) {
  return missing_folders().known(folder);
}

}  // namespace detail

void file_names_confine(bool on) {
  detail::g_confined = on;
}

}  // namespace platform
