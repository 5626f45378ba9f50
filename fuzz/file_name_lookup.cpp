// File-name conversion and the case-insensitive lookup: any bytes as a Shift-JIS name or
// pattern, looked up in a small folder of known files (confined to it), converted to UTF-8 and
// back, and matched as a wildcard pattern.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file.h"
#include "platform/sjis.h"

namespace {

bool init() {
  char folder[] = "/tmp/velmora-fuzz-names-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
  for (const char* dir : {"Data", "Data/Sub"}) platform::make_folder(dir);
  // "表.txt" (its second byte is 0x5C), a mixed-case name and one in a folder.
  for (const char* name : {"\x95\x5c.txt", "MixedCase.PNG", "Data\\Sub\\deep.ogg"}) {
    const platform::FileHandle h =
        platform::file_open(name, platform::kGenericWrite, 0, platform::kCreateAlways, 0);
    if (h != platform::kInvalidFile) platform::file_close(h);
  }
  platform::file_names_confine(true);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = init();
  (void)ready;
  const std::string name(reinterpret_cast<const char*>(data), size);
  const char* c = name.c_str();  // up to the first NUL, as the game passes names
  platform::file_exists(c);
  platform::folder_exists(c);
  platform::native_path(c);
  platform::find_files(c);
  platform::wildcard_match(c, "MixedCase.PNG");
  platform::wildcard_match("*.*", c);
  const std::string utf8 = platform::sjis_to_utf8_lossy(name);
  platform::utf8_to_sjis_lossy(utf8);
  return 0;
}
