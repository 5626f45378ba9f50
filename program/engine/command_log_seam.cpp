#include "engine/command_log_seam.h"

#include "engine/vm_log.h"
#include "platform/command_log_file.h"
#include "platform/sjis.h"

namespace engine {
namespace {

// Lines of the other keys take their usual ways.
void write_line(int key, const char* line, void*) {
  if (key == kLogHistory) platform::command_log_file_write(platform::sjis_to_utf8_lossy(line));
}

}  // namespace

bool command_log_seam_install() {
  if (!platform::command_log_file_open()) return false;
  set_log_sink(write_line, nullptr);
  return true;
}

}  // namespace engine
