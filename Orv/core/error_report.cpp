#include "Orv/core/error_report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "Orv/core/debug_log.h"
#include "platform/console.h"
#include "platform/sjis.h"

bool error_report(std::string_view sjis_line, ErrorLog log) {
  platform::stderr_line(platform::sjis_to_utf8_lossy(sjis_line));
  return log == ErrorLog::kWrite && error_log_write(sjis_line);
}

bool error_reportf(ErrorLog log, const char* format, ...) {
  char line[kErrorLineMax + 1];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  return error_report(std::string_view(line, n < 0 ? 0 : std::min<size_t>(n, kErrorLineMax)), log);
}
