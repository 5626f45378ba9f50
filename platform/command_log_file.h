// The file of the command-log test seam: VELMORA_COMMAND_LOG=FILE names a file that receives
// the lines the game's script commands log (the README's section on testing seams lists it).
// A player's run sets nothing, opens nothing and sees no difference.
//
// State: one open file per process, kept until the process ends.
// Thread: open once before the game runs; lines may come from any thread (one mutex).
#pragma once

#include <string_view>

namespace platform {

// Reads VELMORA_COMMAND_LOG and creates (or empties) the file it names. True when the file is
// open; a file that cannot be created is reported on stderr once and gives false.
bool command_log_file_open();
// Appends the line and a line end, and flushes at once: a test reads the file while the
// program still runs, or after it was killed. Nothing while no file is open.
void command_log_file_write(std::string_view line);

}  // namespace platform
