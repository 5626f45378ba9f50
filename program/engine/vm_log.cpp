#include "engine/vm_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "engine/orv_calls.h"
#include "platform/console.h"
#include "platform/sjis.h"

namespace engine {
namespace {

std::atomic<LogSink> g_sink{nullptr};
std::atomic<void*> g_context{nullptr};

void emit(int key, const char* line) {
  LogSink sink = g_sink.load();
  if (sink) sink(key, line, g_context.load());
  // The library writes main-log and error-log lines to stderr itself; before it is bound (or
  // in tests without it) they go there from here, so that they are never lost nor doubled.
  const bool taken = key == kLogError ? orv_error_log(line) : orv_debug_print(key, line);
  if (!sink && !taken && (key == kLogMain || key == kLogError)) {
    platform::stderr_line(platform::sjis_to_utf8_lossy(line));
  }
}

// Whether a line with this key reaches anyone: main-log and error-log lines always do (stderr
// at least); the others only a sink, or the library's debug log in debug mode. Every command
// logs its call with key 10, and formatting a line nobody reads would cost more than most
// commands themselves.
bool wanted(int key) {
  if (key == kLogMain || key == kLogError) return true;
  return g_sink.load(std::memory_order_relaxed) != nullptr || orv_debug_on();
}

void emit_v(int key, const char* format, va_list args) {
  if (!wanted(key)) return;
  char line[1024];
  std::vsnprintf(line, sizeof line, format, args);
  emit(key, line);
}

}  // namespace

void vm_log(int key, const char* format, ...) {
  va_list args;
  va_start(args, format);
  emit_v(key, format, args);
  va_end(args);
}

void vm_error_log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  emit_v(kLogError, format, args);
  va_end(args);
}

LogSinkSlot set_log_sink(LogSink sink, void* context) {
  LogSinkSlot old{g_sink.load(), g_context.load()};
  g_context.store(context);
  g_sink.store(sink);
  return old;
}

}  // namespace engine
