// What the system queries of the script read from the machine: memory, disk space, the kernel
// version, the network state, the temporary folder, and opening a document or address with the
// desktop's handler.
//
// Thread: any; nothing here keeps state.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Physical memory and swap in bytes (sysinfo). The load is the used share of physical memory in
// percent. Linux has no separate virtual address space limit worth reporting: the virtual
// fields give the process's address space as a 64-bit process has it (128 TiB, all free).
struct MemoryStatus {
  uint32_t load_percent;
  uint64_t total_physical, available_physical;
  uint64_t total_page_file, available_page_file;
  uint64_t total_virtual, available_virtual;
};
bool memory_status(MemoryStatus* status);

// Space of the file system that holds the Shift-JIS path (statvfs): bytes free to this user,
// total bytes and free bytes. False when the path cannot be examined.
struct DiskSpace {
  uint64_t free_to_caller, total, total_free;
};
bool disk_space(const char* sjis_path, DiskSpace* space);

// The running kernel's version numbers (uname), e.g. 6.1.0 gives major 6, minor 1, build 0.
struct KernelVersion {
  uint32_t major, minor, patch;
};
bool kernel_version(KernelVersion* version);

// True when an interface other than loopback is up and has an address (getifaddrs).
bool local_network_up();

// The temporary folder ($TMPDIR, else /tmp) in Shift-JIS with '\' separators and a trailing '\'.
std::string temp_folder_sjis();

// True when the environment variable is set and does not begin with "0": the switches of
// the test seams that the README lists (e.g. VELMORA_STARTUP_TRACE).
bool test_switch_on(const char* name);

// Touch devices that SDL reports (0 before SDL's video starts).
int touch_device_count();

// True when a desktop display is there to open documents on ($DISPLAY or $WAYLAND_DISPLAY).
bool desktop_available();
// Opens a document, folder or address with the desktop's handler (xdg-open through
// posix_spawn, never a shell), without waiting for it. A Shift-JIS target that is not an
// address is taken relative to sjis_folder unless it is absolute. False when nothing could be
// started.
bool shell_open(const char* sjis_target, const char* sjis_folder);

}  // namespace platform
