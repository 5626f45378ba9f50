#include "platform/program_path.h"

#include <unistd.h>

#include <climits>

namespace platform {

std::string program_path_utf8() {
  char buf[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

std::string program_folder_utf8() {
  std::string path = program_path_utf8();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace platform

namespace platform {
bool enter_program_folder() {
  const std::string folder = program_folder_utf8();
  return !folder.empty() && chdir(folder.c_str()) == 0;
}
}  // namespace platform
