// System.ini text in: the two keys that start-up reads, split and trimmed as start-up does.
// The values are pieces of the text and the company split never writes past its fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/formats/ini_file.h"
#include "engine/formats/startup_info.h"
#include "shared/utility.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* key : {"PRODUCT_NAME", "COMPANY_NAME"}) {
    std::string value;
    if (!engine::ini_find_value(text, "initialize", key, &value)) continue;
    const std::string trimmed = engine::str_trim(engine::ini_trim_end(value));
    if (trimmed.size() > value.size()) std::abort();
    char company[260], brand[260];
    company[0] = brand[0] = 0;
    str_get_field(company, sizeof company, value.c_str(), 0, '/');
    str_get_field(brand, sizeof brand, value.c_str(), 1, '/');
    if (strnlen(company, sizeof company) == sizeof company) std::abort();
    if (strnlen(brand, sizeof brand) == sizeof brand) std::abort();
  }
  return 0;
}
