#include "commands/library_commands.h"

namespace engine {

void install_library_commands() {
  install_string_commands();
  install_file_commands();
  install_ini_commands();
  install_data_file_commands();
  install_access_flag_commands();
  install_system_commands();
  install_math_commands();
  install_memory_block_commands();
  install_wait_commands();
  install_thread_commands();
  install_debug_commands();
}

}  // namespace engine
