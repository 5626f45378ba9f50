// INI bytes in, a few lookups out. The first bytes choose the section and key (so the fuzzer
// can aim at what the text holds); the rest is the file. A found value must be a piece of the
// text, and reading must neither loop nor touch anything outside it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/formats/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t section_len = data[0] % 8, key_len = data[1] % 8;
  if (size < 2 + section_len + key_len) return 0;
  const char* p = reinterpret_cast<const char*>(data + 2);
  const std::string section(p, section_len);
  const std::string key(p + section_len, key_len);
  const std::string_view text(p + section_len + key_len, size - 2 - section_len - key_len);

  if (engine::ini_find_section(section, text) > text.size()) std::abort();
  for (const std::string& k : {key, std::string(), std::string("a")}) {
    std::string out;
    if (engine::ini_find_value(text, section, k, &out)) {
      if (out.empty() || text.find(out) == std::string_view::npos) std::abort();
      engine::ini_trim_end(out);
    }
  }
  return 0;
}
