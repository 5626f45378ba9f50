// The game program's logs: the debug log by key and the error log.
//
// Key 0 is the main log (internal errors, "not stack", "stack over"); key 10 the history window
// where command handlers log their name and arguments. Texts are Shift-JIS. Key-0 lines and
// error-log lines also go to stderr (as UTF-8), always: a player or a game's maker must see
// why a game stopped even though the debug windows are never on. Every line is also handed to
// the library's debug log (OrvDebugPrintf) or error log (OrvErrorLogPrintf) through the calls
// of orv_calls.h.
//
// Tests switch on a sink that receives every line instead of stderr.
// Thread: any thread; the sink must be safe to call from the game and the work thread.
#pragma once

#include <cstdint>

namespace engine {

constexpr int kLogMain = 0;
constexpr int kLogHistory = 10;
// Key used for the error log (OrvErrorLogPrintf) when a line reaches the sink.
constexpr int kLogError = -1;

// printf-style line with the given key.
void vm_log(int key, const char* format, ...) __attribute__((format(printf, 2, 3)));
// printf-style line for the error log (log.txt in debug mode).
void vm_error_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The sink receives (key, line) for every line; null restores stderr. Returns the old sink.
using LogSink = void (*)(int key, const char* line, void* context);
struct LogSinkSlot {
  LogSink sink;
  void* context;
};
LogSinkSlot set_log_sink(LogSink sink, void* context);

}  // namespace engine
