#include "Orv/core/sound/sound_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Orv/core/error_report.h"
#include "orv/orv.h"

void sound_error_log(const char* format, ...) {
  // Formatted here so that the error log gets the finished text and never re-reads a '%' from
  // a file name.
  char text[1044];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  OrvErrorLogPrintfBasic("%s", text);
}

void sound_report_bad_file(const char* name, const char* why) {
  error_reportf(ErrorLog::kSkip, "sound: %s: %s", name ? name : "", why);
}
