// The player's folders and the one-copy-at-a-time lock: our stand-ins for the shell's special
// folders and the named semaphore.
//
// State: the single-instance lock is held by the game program (the only binary that takes it)
// for its whole run; the folder queries keep nothing.
#pragma once

#include <string>

namespace platform {

// $XDG_DATA_HOME, or ~/.local/share when it is unset or empty: where saves go when the program
// folder cannot take them. UTF-8, no trailing slash; empty when neither can be found.
std::string documents_folder_utf8();
// $XDG_CONFIG_HOME, or ~/.config: where an installer leaves its ini. Empty when unknown.
std::string config_folder_utf8();
// True when the current user may create files in the folder (a read-only program folder is
// treated as a protected one).
bool folder_writable(const std::string& utf8_folder);

// Holds an exclusive lock on "<product>.lock" in $XDG_RUNTIME_DIR (or the temporary folder)
// for the rest of the process. Returns false when another process holds it; true when this
// process now holds it, and also when no lock file can be made at all (a lock that cannot
// exist must not keep the game from starting).
bool instance_lock_acquire(const std::string& utf8_product);

}  // namespace platform
