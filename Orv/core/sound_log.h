// The sound subsystem's error-log lines. They go to stderr until the error log exists; a
// player must be able to see why a sound did not load.
#pragma once

void sound_error_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
