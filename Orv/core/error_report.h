// The library's error lines: the one path by which they reach a player or a game's maker.
//
// A line is given as the system keeps text, Shift-JIS (file names included), without a line
// end. It is converted to UTF-8 and written to stderr once, always: the debug windows are never
// on in a shipped game, and whoever runs it must see why a game stopped or which file is bad.
// A line of the error log (ErrorLog::kWrite: the OrvErrorLog* exports and the library's own
// error-log lines) is also written once, in Shift-JIS with CR LF, to "log.txt" when that is
// open (debug mode). Other lines (debug-log key 0, which has its own window, and the notes on
// bad image, font, sound, cursor and archive files) reach stderr only.
//
// Any thread; lines of different threads never mix.
#pragma once

#include <cstddef>
#include <string_view>

enum class ErrorLog { kSkip, kWrite };

// Longest line that error_reportf formats; longer ones are cut there.
constexpr size_t kErrorLineMax = 2048;

// Reports one line. True when the error log took it (kWrite and log.txt open).
bool error_report(std::string_view sjis_line, ErrorLog log = ErrorLog::kSkip);
// The same, formatted printf-style.
bool error_reportf(ErrorLog log, const char* format, ...) __attribute__((format(printf, 2, 3)));
