#include "mix_list.h"

namespace mixlist {

bool mix_list_bytes(const std::vector<std::string>& names, std::string* out) {
  std::string bytes;
  for (const std::string& name : names) {
    if (name.empty() || name.size() > 31) return false;
    std::string field = name;
    field.resize(32, '\0');
    bytes += field;
  }
  *out = std::move(bytes);
  return true;
}

}  // namespace mixlist
