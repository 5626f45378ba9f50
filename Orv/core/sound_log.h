// The sound subsystem's error-log lines. They go to stderr until the error log exists; a
// player must be able to see why a sound did not load.
#pragma once

void sound_error_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One line on stderr for a sound file that was found but refused, naming it (Shift-JIS name,
// shown as UTF-8). Not an error-log line: the loaders fail quietly there.
void sound_report_bad_file(const char* name, const char* why);
