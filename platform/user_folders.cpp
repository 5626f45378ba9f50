#include "platform/user_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {
namespace {

std::string home_folder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* pw = getpwuid(getuid());
  return pw && pw->pw_dir ? pw->pw_dir : "";
}

std::string xdg_folder(const char* variable, const char* below_home) {
  const char* value = std::getenv(variable);
  std::string folder;
  if (value && *value) {
    folder = value;
  } else {
    const std::string home = home_folder();
    if (home.empty()) return {};
    folder = home + below_home;
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string documents_folder_utf8() {
  return xdg_folder("XDG_DATA_HOME", "/.local/share");
}

std::string config_folder_utf8() {
  return xdg_folder("XDG_CONFIG_HOME", "/.config");
}

bool folder_writable(const std::string& utf8_folder) {
  return access(utf8_folder.c_str(), W_OK) == 0;
}

bool instance_lock_acquire(const std::string& utf8_product) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = runtime && *runtime ? runtime : "";
  if (folder.empty() || access(folder.c_str(), W_OK) != 0) {
    const char* tmp = std::getenv("TMPDIR");
    folder = tmp && *tmp ? tmp : "/tmp";
  }
  std::string name = utf8_product;
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const std::string path = folder + "/" + name + ".lock";
  // The descriptor stays open (and locked) until the process ends; the kernel drops the lock
  // when it does, however it ends.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  close(fd);
  return false;
}

}  // namespace platform
