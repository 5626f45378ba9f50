// Reading and writing open files, and the last-error slot; see file_handle.h. Kept apart from
// the name resolution (file.cpp, file_names.cpp) so that a binary that only reads and writes
// handles links none of the listing cache.
#include "platform/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_names.h"

namespace platform {
namespace detail {

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

}  // namespace detail

using namespace detail;

uint32_t file_last_error() {
  return t_last_error;
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

bool file_get_mtime(FileHandle file, int64_t* unix_ms) {
  struct stat st {};
  if (file < 0 || fstat(file, &st) != 0) {
    set_errno_error(file < 0 ? EBADF : errno);
    return false;
  }
  *unix_ms = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
  return true;
}

bool file_set_mtime(FileHandle file, int64_t unix_ms) {
  timespec times[2];
  times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(unix_ms / 1000);
  times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(unix_ms % 1000) * 1000000;
  if (file < 0 || futimens(file, times) != 0) {
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

}  // namespace platform
