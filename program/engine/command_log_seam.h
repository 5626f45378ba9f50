// The command log as a file, for end-to-end tests of the real program.
//
// Every command handler logs its name and arguments with key 10, which only the debug windows
// show, and those are never on in this program. With VELMORA_COMMAND_LOG=FILE in the
// environment those lines go to FILE as well (platform/command_log_file.h), one a line in
// UTF-8, in the order the handlers wrote them. A player's run sets nothing and sees no
// difference.
//
// Thread: install once on the main thread, after the platform library is bound (from then on
// the library takes the error lines to stderr, which a log sink would otherwise keep from it).
#pragma once

namespace engine {

// Routes key-10 lines to the command-log file when VELMORA_COMMAND_LOG names one that could be
// created. True when installed.
bool command_log_seam_install();

}  // namespace engine
