// The sound subsystem's log lines.
#pragma once

// One line of the error log (OrvErrorLogPrintfBasic: stderr always, log.txt in debug mode),
// cut at the error log's line limit. Any thread.
void sound_error_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One line on stderr for a sound file that was found but refused, naming it (Shift-JIS name,
// shown as UTF-8). Not an error-log line: the loaders fail quietly there.
void sound_report_bad_file(const char* name, const char* why);
