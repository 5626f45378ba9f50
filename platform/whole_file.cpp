#include "platform/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/file.h"

namespace platform {
namespace {

// Through the file layer's name resolution, so that each folder and the name match the way
// they do for every other file (case-insensitively, as the games expect).
bool to_native(std::string_view sjis_path, std::string* path) {
  if (sjis_path.empty()) return false;
  *path = native_path(std::string(sjis_path).c_str());
  return !path->empty();
}

}  // namespace

bool load_file_bytes(std::string_view sjis_path, std::vector<uint8_t>* out, size_t max_size) {
  out->clear();
  std::string path;
  if (!to_native(sjis_path, &path)) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || out->size() + static_cast<size_t>(n) > max_size) {
      ok = false;
      break;
    }
    if (n == 0) break;
    out->insert(out->end(), buffer, buffer + n);
  }
  close(fd);
  if (!ok) out->clear();
  return ok;
}

bool save_file_bytes(std::string_view sjis_path, const void* data, size_t size) {
  std::string path;
  if (!to_native(sjis_path, &path)) return false;
  const std::string temp = path + ".tmp" + std::to_string(getpid());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const auto* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  unlink(temp.c_str());
  return false;
}

int remove_stale_temporaries(std::string_view sjis_folder) {
  const std::string folder(sjis_folder);
  const std::string own = std::to_string(getpid());
  int removed = 0;
  for (const DirEntry& e : list_folder(folder.c_str())) {
    if (e.is_folder) continue;
    const size_t mark = e.name.rfind(".tmp");
    if (mark == std::string::npos || mark == 0) continue;
    const std::string digits = e.name.substr(mark + 4);
    if (digits.empty() || digits.size() > 10 || digits == own ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    if (delete_file((folder + "\\" + e.name).c_str())) ++removed;
  }
  return removed;
}

}  // namespace platform
