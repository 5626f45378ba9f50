#include "platform/system_query.h"

#include <SDL.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/sjis.h"

extern char** environ;

namespace platform {

bool memory_status(MemoryStatus* status) {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return false;
  const uint64_t unit = info.mem_unit ? info.mem_unit : 1;
  status->total_physical = info.totalram * unit;
  status->available_physical = (info.freeram + info.bufferram) * unit;
  status->total_page_file = (info.totalram + info.totalswap) * unit;
  status->available_page_file = (info.freeram + info.bufferram + info.freeswap) * unit;
  status->load_percent =
      status->total_physical
          ? static_cast<uint32_t>(100 - status->available_physical * 100 / status->total_physical)
          : 0;
  status->total_virtual = uint64_t{1} << 47;
  status->available_virtual = uint64_t{1} << 47;
  return true;
}

bool disk_space(const std::string& utf8_path, DiskSpace* space) {
  struct statvfs fs {};
  if (utf8_path.empty() || statvfs(utf8_path.c_str(), &fs) != 0) return false;
  const uint64_t unit = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
  space->free_to_caller = uint64_t{fs.f_bavail} * unit;
  space->total = uint64_t{fs.f_blocks} * unit;
  space->total_free = uint64_t{fs.f_bfree} * unit;
  return true;
}

bool kernel_version(KernelVersion* version) {
  struct utsname name {};
  if (uname(&name) != 0) return false;
  unsigned a = 0, b = 0, c = 0;
  std::sscanf(name.release, "%u.%u.%u", &a, &b, &c);
  *version = KernelVersion{a, b, c};
  return true;
}

bool local_network_up() {
  struct ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool up = false;
  for (struct ifaddrs* i = list; i && !up; i = i->ifa_next) {
    if (!i->ifa_addr || !(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
    const int family = i->ifa_addr->sa_family;
    up = family == AF_INET || family == AF_INET6;
  }
  freeifaddrs(list);
  return up;
}

std::string temp_folder_sjis() {
  const char* env = std::getenv("TMPDIR");
  std::string folder = env && *env ? env : "/tmp";
  std::string sjis = utf8_to_sjis_path(folder);
  for (char& c : sjis) {
    if (c == '/') c = '\\';
  }
  if (sjis.empty() || sjis.back() != '\\') sjis.push_back('\\');
  return sjis;
}

bool test_switch_on(const char* name) {
  const char* value = std::getenv(name);
  return value && *value && *value != '0';
}

uint32_t process_id() {
  return static_cast<uint32_t>(getpid());
}

int touch_device_count() {
  return SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetNumTouchDevices() : 0;
}

bool desktop_available() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

bool shell_open(const std::string& utf8_target) {
  if (utf8_target.empty()) return false;
  std::string target = utf8_target;
  char program[] = "xdg-open";
  char* argv[] = {program, target.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
  // Reap the opener in the background so that no zombie stays behind.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace platform
