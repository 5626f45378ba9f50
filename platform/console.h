// The process's standard error stream: the one place where a line reaches stderr.
//
// Stateless; both binaries use it. The library's error lines come here through its reporter
// (Orv/core/error_report.h); the game program writes here only what it says before the library
// is bound (a missing library, the start-up trace of the test seams).
#pragma once

#include <string_view>

namespace platform {

// Writes the UTF-8 text and a line feed to stderr in one write, so that lines of different
// threads never mix. Any thread.
void stderr_line(std::string_view utf8);

}  // namespace platform
