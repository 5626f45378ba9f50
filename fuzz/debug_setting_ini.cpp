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
    char folder[] = "/tmp/velmora-fuzz-ini-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
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
