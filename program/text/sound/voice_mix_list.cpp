#include "text/sound/voice_mix_list.h"

#include <cstring>

#include "commands/command_util.h"

namespace engine {

std::vector<std::string> voice_mix_list_parse(const uint8_t* bytes, size_t size) {
  std::vector<std::string> names;
  for (size_t at = 0; at + kMixEntryBytes <= size && names.size() < kMixMaxEntries;
       at += kMixEntryBytes) {
    const char* entry = reinterpret_cast<const char*>(bytes + at);
    std::string name(entry, strnlen(entry, kMixEntryBytes));
    for (size_t i = 0; i < name.size(); ++i) {
      const auto c = static_cast<uint8_t>(name[i]);
      if (c >= 0x80) {
        ++i;  // the second byte of a two-byte character stays as it is
      } else if (c >= 'a' && c <= 'z') {
        name[i] = static_cast<char>(c - 'a' + 'A');
      }
    }
    names.push_back(std::move(name));
  }
  return names;
}

bool voice_mix_list_read(const std::string& name, std::vector<std::string>* names) {
  std::string data;
  const int r = read_data_file((name + ".mix").c_str(), &data);
  if (r == 1) return false;
  *names = voice_mix_list_parse(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  return true;
}

}  // namespace engine
