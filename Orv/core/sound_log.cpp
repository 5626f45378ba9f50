#include "Orv/core/sound_log.h"

#include <cstdarg>
#include <cstdio>

void sound_error_log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
}
