#include "platform/command_log_file.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

struct CommandLogFile {
  std::mutex mutex;
  std::FILE* file = nullptr;
};

CommandLogFile& command_log_file() {
  static CommandLogFile log;
  return log;
}

}  // namespace

bool command_log_file_open() {
  const char* path = std::getenv("VELMORA_COMMAND_LOG");
  if (!path || !*path) return false;
  CommandLogFile& log = command_log_file();
  std::lock_guard<std::mutex> lock(log.mutex);
  if (log.file) return true;
  log.file = std::fopen(path, "w");
  if (!log.file) std::fprintf(stderr, "command log: %s could not be created\n", path);
  return log.file != nullptr;
}

void command_log_file_write(std::string_view line) {
  CommandLogFile& log = command_log_file();
  std::lock_guard<std::mutex> lock(log.mutex);
  if (!log.file) return;
  std::fwrite(line.data(), 1, line.size(), log.file);
  if (line.empty() || line.back() != '\n') std::fputc('\n', log.file);
  std::fflush(log.file);
}

}  // namespace platform
