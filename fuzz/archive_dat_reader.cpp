// archive.dat text in: the first byte picks the field. Names are never empty, never hold the
// blanks that are removed byte by byte, and never exceed a field. (A separator may follow a
// Shift-JIS lead byte as its trail byte: it then belongs to the name.)
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/formats/system_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int32_t n = data[0] % 8;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> names;
  if (!engine::archive_field_names(text, n, &names)) return 0;
  for (const std::string& name : names) {
    if (name.empty() || name.size() > 259) std::abort();
    if (name.find_first_of("\r\n \t") != std::string::npos) std::abort();
  }
  return 0;
}
