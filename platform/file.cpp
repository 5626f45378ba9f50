#include "platform/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/sjis.h"

namespace platform {
namespace {

thread_local uint32_t t_last_error = kErrorSuccess;

void set_error(uint32_t code) {
  t_last_error = code;
}

uint32_t win32_error(int err) {
  switch (err) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EEXIST:
      return kErrorFileExists;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case EROFS:
      return kErrorWriteProtect;
    case ENAMETOOLONG:
      return kErrorInvalidName;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case EBADF:
      return kErrorInvalidHandle;
    case EINVAL:
      return kErrorInvalidParameter;
    default:
      return kErrorAccessDenied;  // EACCES, EPERM, EISDIR, EBUSY, ...
  }
}

void set_errno_error(int err) {
  set_error(win32_error(err));
}

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

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

// ---- names ----

struct Resolved {
  std::string path;                 // UTF-8, '/'-separated
  bool exists = false;              // the last component was found in its folder's listing
  bool missing = false;             // its folder does not exist, or a current listing lacks it
  bool folder_found = false;        // the folder of the last component exists
  unsigned char type = DT_UNKNOWN;  // its d_type when found
  std::string folder;               // the resolved folder of the last component ("" for none)
  std::string last;                 // the last component as given, converted to UTF-8
};

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
bool resolve(const char* sjis, Resolved* r) {
  bool absolute = false;
  std::vector<std::string> parts;
  if (!split(sjis, &absolute, &parts)) {
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

bool sync_folder(const std::string& folder) {
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  fsync(fd);
  close(fd);
  return true;
}

std::string parent_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

DirEntry entry_from_stat(std::string name, const struct stat& st) {
  DirEntry e;
  e.name = std::move(name);
  e.is_folder = S_ISDIR(st.st_mode);
  e.size = e.is_folder ? 0 : static_cast<uint64_t>(st.st_size);
  e.mtime_ms = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
  return e;
}

bool folder_missing(const std::string& folder) {
  struct stat st {};
  return stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

// The common end of file_open: checks that what opened is a regular file.
FileHandle finish_open(int fd, const Resolved& r, bool existed, int64_t* size) {
  if (fd < 0) {
    int err = errno;
    // Windows tells a missing folder from a missing file.
    if (err == ENOENT && !r.folder.empty() && folder_missing(r.folder)) {
      set_error(kErrorPathNotFound);
    } else {
      set_errno_error(err);
    }
    return kInvalidFile;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    set_error(kErrorAccessDenied);
    return kInvalidFile;
  }
  if (size) *size = static_cast<int64_t>(st.st_size);
  set_error(existed ? kErrorAlreadyExists : kErrorSuccess);
  return fd;
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

uint32_t file_last_error() {
  return t_last_error;
}

FileHandle file_open(const char* sjis_path, uint32_t access, uint32_t share, uint32_t disposition,
                     uint32_t flags, int64_t* size) {
  (void)share;
  (void)flags;
  int mode;
  bool write = access & kGenericWrite;
  if (write) {
    mode = (access & kGenericRead) ? O_RDWR : O_WRONLY;
  } else {
    mode = O_RDONLY;
  }
  if (disposition < kCreateNew || disposition > kTruncateExisting ||
      (disposition == kTruncateExisting && !write)) {
    set_error(kErrorInvalidParameter);
    return kInvalidFile;
  }
  // O_NONBLOCK keeps a pipe that slipped in from blocking the open; it changes nothing for
  // regular files, the only kind we keep.
  const int base = mode | O_CLOEXEC | O_NONBLOCK;
  int fd = -1;
  Resolved r;
  if (disposition == kOpenExisting || disposition == kTruncateExisting) {
    // Opening what exists: the name exactly as written is the first candidate anyway, and
    // trying it costs one call where the listings cost a few.
    bool absolute = false;
    std::vector<std::string> parts;
    if (!split(sjis_path, &absolute, &parts)) {
      set_error(kErrorInvalidName);
      return kInvalidFile;
    }
    const int trunc = disposition == kTruncateExisting ? O_TRUNC : 0;
    const std::string raw = raw_path(absolute, parts);
    if (parts.size() > 1 && missing_folders().known(parent_of(raw))) {
      set_error(kErrorPathNotFound);
      return kInvalidFile;
    }
    fd = open(raw.c_str(), base | trunc);
    if (fd < 0 && errno != ENOENT && errno != ENOTDIR) {
      set_errno_error(errno);
      return kInvalidFile;
    }
    if (fd < 0) {
      if (!resolve(sjis_path, &r)) return kInvalidFile;
      if (r.missing) {
        set_error(r.folder_found ? kErrorFileNotFound : kErrorPathNotFound);
        return kInvalidFile;
      }
      if (r.exists && r.type != DT_UNKNOWN && r.type != DT_REG && r.type != DT_LNK) {
        set_error(kErrorAccessDenied);  // a folder, device or pipe is never a file
        return kInvalidFile;
      }
      fd = open(r.path.c_str(), base | trunc);
    }
    return finish_open(fd, r, false, size);
  }
  if (!resolve(sjis_path, &r)) return kInvalidFile;
  if (r.exists && r.type != DT_UNKNOWN && r.type != DT_REG && r.type != DT_LNK) {
    set_error(kErrorAccessDenied);
    return kInvalidFile;
  }
  bool existed = false;
  switch (disposition) {
    case kCreateNew:
      fd = open(r.path.c_str(), base | O_CREAT | O_EXCL, 0666);
      break;
    case kCreateAlways:
    case kOpenAlways: {
      const int again = disposition == kCreateAlways ? O_TRUNC : 0;
      for (int attempt = 0; attempt < 4 && fd < 0; ++attempt) {
        fd = open(r.path.c_str(), base | O_CREAT | O_EXCL, 0666);
        if (fd >= 0 || errno != EEXIST) break;
        fd = open(r.path.c_str(), base | again);
        if (fd >= 0)
          existed = true;
        else if (errno != ENOENT)
          break;  // removed between the two opens: try again
      }
      break;
    }
  }
  return finish_open(fd, r, existed, size);
}

FileHandle file_open(const char* sjis_path, uint32_t access, uint32_t share, uint32_t disposition,
                     uint32_t flags) {
  return file_open(sjis_path, access, share, disposition, flags, nullptr);
}

bool file_read(FileHandle file, void* buf, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (file < 0) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  uint32_t got = 0;
  while (got < size) {
    ssize_t n = read(file, static_cast<char*>(buf) + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (done) *done = got;
      set_errno_error(errno);
      return false;
    }
    if (n == 0) break;  // end of file: a short read is still a success
    got += static_cast<uint32_t>(n);
  }
  if (done) *done = got;
  return true;
}

bool file_write(FileHandle file, const void* buf, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (file < 0) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  uint32_t put = 0;
  while (put < size) {
    ssize_t n = write(file, static_cast<const char*>(buf) + put, size - put);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (done) *done = put;
      set_errno_error(errno);
      return false;
    }
    if (n == 0) {
      if (done) *done = put;
      set_error(kErrorDiskFull);
      return false;
    }
    put += static_cast<uint32_t>(n);
  }
  if (done) *done = put;
  return true;
}

bool file_read_at(FileHandle file, void* buf, uint32_t size, int64_t position) {
  if (file < 0 || position < 0) {
    set_error(file < 0 ? kErrorInvalidHandle : kErrorNegativeSeek);
    return false;
  }
  uint32_t got = 0;
  while (got < size) {
    ssize_t n =
        pread(file, static_cast<char*>(buf) + got, size - got, static_cast<off_t>(position + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      set_errno_error(errno);
      return false;
    }
    if (n == 0) {
      set_error(kErrorSuccess);  // fewer bytes than asked: not an I/O error, but not enough
      return false;
    }
    got += static_cast<uint32_t>(n);
  }
  return true;
}

int64_t file_seek(FileHandle file, int64_t distance, uint32_t method) {
  if (file < 0) {
    set_error(kErrorInvalidHandle);
    return -1;
  }
  int whence;
  switch (method) {
    case kFileBegin:
      whence = SEEK_SET;
      break;
    case kFileCurrent:
      whence = SEEK_CUR;
      break;
    case kFileEnd:
      whence = SEEK_END;
      break;
    default:
      set_error(kErrorInvalidParameter);
      return -1;
  }
  off_t pos = lseek(file, static_cast<off_t>(distance), whence);
  if (pos < 0) {
    set_error(errno == EINVAL ? kErrorNegativeSeek : win32_error(errno));
    return -1;
  }
  return static_cast<int64_t>(pos);
}

int64_t file_size(FileHandle file) {
  struct stat st {};
  if (file < 0 || fstat(file, &st) != 0) {
    set_error(kErrorInvalidHandle);
    return -1;
  }
  return static_cast<int64_t>(st.st_size);
}

bool file_set_end(FileHandle file) {
  off_t pos = file < 0 ? -1 : lseek(file, 0, SEEK_CUR);
  if (pos < 0 || ftruncate(file, pos) != 0) {
    set_errno_error(file < 0 ? EBADF : errno);
    return false;
  }
  return true;
}

bool file_flush(FileHandle file) {
  if (file < 0 || fsync(file) != 0) {
    set_errno_error(file < 0 ? EBADF : errno);
    return false;
  }
  return true;
}

bool file_close(FileHandle file) {
  if (file < 0 || close(file) != 0) {
    set_errno_error(file < 0 ? EBADF : errno);
    return false;
  }
  return true;
}

std::string native_path(const char* sjis_path) {
  Resolved r;
  if (!resolve(sjis_path, &r)) return {};
  return r.path;
}

bool file_exists(const char* sjis_path) {
  Resolved r;
  struct stat st {};
  if (!resolve(sjis_path, &r) || stat(r.path.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode);
}

bool folder_exists(const char* sjis_path) {
  Resolved r;
  struct stat st {};
  if (!resolve(sjis_path, &r) || stat(r.path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode);
}

bool make_folder(const char* sjis_path) {
  Resolved r;
  if (!resolve(sjis_path, &r)) return false;
  if (r.exists) {
    set_error(kErrorAlreadyExists);
    return false;
  }
  if (mkdir(r.path.c_str(), 0777) != 0) {
    set_error(errno == EEXIST   ? kErrorAlreadyExists
              : errno == ENOENT ? kErrorPathNotFound
                                : win32_error(errno));
    return false;
  }
  set_error(kErrorSuccess);
  return true;
}

bool delete_file(const char* sjis_path) {
  Resolved r;
  if (!resolve(sjis_path, &r)) return false;
  struct stat st {};
  if (lstat(r.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    set_error(kErrorAccessDenied);
    return false;
  }
  if (unlink(r.path.c_str()) != 0) {
    set_errno_error(errno);
    return false;
  }
  return true;
}

bool delete_folder(const char* sjis_path) {
  Resolved r;
  if (!resolve(sjis_path, &r)) return false;
  if (rmdir(r.path.c_str()) != 0) {
    set_errno_error(errno);
    return false;
  }
  return true;
}

bool move_file_noreplace(const char* sjis_from, const char* sjis_to) {
  Resolved from, to;
  if (!resolve(sjis_from, &from) || !resolve(sjis_to, &to)) return false;
  std::string target = to.path;
  if (to.exists && to.path == from.path) {
    // The new name differs from the old one only in case: Windows renames the file to it.
    target = join(to.folder, to.last);
    if (target == from.path) return true;
  }
  if (renameat2(AT_FDCWD, from.path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  int err = errno;
  if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP) {
    set_error(err == EEXIST ? kErrorAlreadyExists : win32_error(err));
    return false;
  }
  // The file system cannot rename without replacing. A link fails when the target exists, so
  // link + unlink keeps the no-replace promise for files.
  struct stat st {};
  if (lstat(from.path.c_str(), &st) != 0) {
    set_errno_error(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode) && link(from.path.c_str(), target.c_str()) == 0) {
    unlink(from.path.c_str());
    return true;
  }
  if (errno == EEXIST) {
    set_error(kErrorAlreadyExists);
    return false;
  }
  // Folders, and file systems without hard links: check, then rename. A target that appears in
  // between would be replaced; nothing else offers better on such a file system.
  struct stat tst {};
  if (lstat(target.c_str(), &tst) == 0) {
    set_error(kErrorAlreadyExists);
    return false;
  }
  if (rename(from.path.c_str(), target.c_str()) != 0) {
    set_errno_error(errno);
    return false;
  }
  return true;
}

bool replace_file(const char* sjis_tmp, const char* sjis_dest) {
  Resolved tmp, dest;
  if (!resolve(sjis_tmp, &tmp) || !resolve(sjis_dest, &dest)) return false;
  if (rename(tmp.path.c_str(), dest.path.c_str()) != 0) {
    set_errno_error(errno);
    return false;
  }
  sync_folder(parent_of(dest.path));
  return true;
}

bool set_current_folder(const char* sjis_path) {
  Resolved r;
  if (!resolve(sjis_path, &r)) return false;
  if (chdir(r.path.c_str()) != 0) {
    set_errno_error(errno);
    return false;
  }
  return true;
}

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
    out.push_back(entry_from_stat(utf8_to_sjis_lossy(name), st));
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
    out.push_back(entry_from_stat(utf8_to_sjis_lossy(name), st));
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

void file_cache_clear() {
  cache().clear();
}

}  // namespace platform
