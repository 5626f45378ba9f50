#include "platform/save_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/sjis.h"

namespace platform {

bool save_file_bytes(std::string_view sjis_path, const void* data, size_t size) {
  std::string path;
  if (sjis_path.empty() || !sjis_to_utf8(sjis_path, path)) return false;
  // After conversion a backslash can only be a separator: trail bytes 0x5C are gone.
  for (char& c : path)
    if (c == '\\') c = '/';
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

}  // namespace platform
