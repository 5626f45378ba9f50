// Steps of the start-up that run once the platform library has started.
#pragma once

namespace engine {

enum class StampCheck { kContinue, kEnd };

// Compares the script stamp kept in system.dat with the one of Script.src. On a change the save
// folder is wiped, after asking the player unless the window mode is locked. kEnd: the player
// declined or the wipe failed (the caller shuts the platform down and ends with exit code 0).
// A missing system.dat passes; a Script.src that cannot be read shows no change and wipes
// nothing (the script load then reports it).
StampCheck script_stamp_check();

// The debug windows of the game program (only in debug mode), hidden unless setting.ini exists.
void debug_windows_create();

}  // namespace engine
