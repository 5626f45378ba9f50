#include "Orv/core/sound_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/sjis.h"

void sound_error_log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
}

void sound_report_bad_file(const char* name, const char* why) {
  const std::string shown = platform::sjis_to_utf8_lossy(name ? name : "");
  std::fprintf(stderr, "sound: %s: %s\n", shown.c_str(), why);
}
