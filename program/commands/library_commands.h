// The script command library: strings, files, INI profiles, data files, access flags, system
// queries and controls, math and memory blocks.
#pragma once

namespace engine {

// Puts every handler of the library into the command table. Runs once before main (from the
// table's own file), so every assembled script reaches the commands by id.
void install_library_commands();

void install_string_commands();
void install_file_commands();
void install_ini_commands();
void install_data_file_commands();
void install_access_flag_commands();
void install_system_commands();
void install_math_commands();
void install_memory_block_commands();
void install_wait_commands();
void install_thread_commands();
void install_debug_commands();

}  // namespace engine
