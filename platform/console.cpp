#include "platform/console.h"

#include <cstdio>
#include <string>

namespace platform {

void stderr_line(std::string_view utf8) {
  std::string line;
  line.reserve(utf8.size() + 1);
  line.append(utf8);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
