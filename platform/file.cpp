#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_names.h"

namespace platform {

using namespace detail;

namespace {

bool sync_folder(const std::string& folder) {
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  fsync(fd);
  close(fd);
  return true;
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

}  // namespace

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
    if (parts.size() > 1 && folder_known_missing(parent_of(raw))) {
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

void file_cache_clear() {
  name_caches_clear();
}

}  // namespace platform
