// The debug setting.ini reader: any bytes as the file, read for the keys the library asks for,
// and written back with a value.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Orv/core/debug_log.h"

namespace {

std::string file_path() {
  static const std::string path = [] {
    // The reader saves the file safely (flushed to the disk) on every write; in a memory folder
    // that costs nothing, on a disk it held the target to some tens of runs a second.
    char shm[] = "/dev/shm/velmora-fuzz-ini-XXXXXX";
    char tmp[] = "/tmp/velmora-fuzz-ini-XXXXXX";
    const char* folder = mkdtemp(shm);
    if (!folder) folder = mkdtemp(tmp);
    if (!folder) std::abort();
    return std::string(folder) + "/setting.ini";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = file_path();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (const char* key : {"x", "y", "show", "width"}) {
    settings_read_int(path, "MainWindow", key, -7);
  }
  settings_write_int(path, "MainWindow", "x", 123);
  if (settings_read_int(path, "MainWindow", "x", 0) != 123) std::abort();
  return 0;
}
