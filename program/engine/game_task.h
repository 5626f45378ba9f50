// The main game task "StartFunc", whose zero-filled data block is the GameState.
//
// Its first step loads the system files and starts the engine, its per-frame step runs the
// frame procedure, and its end function runs the script's exit label, shuts the engine down
// and writes the system files. All on the game thread.
#pragma once

#include <cstdint>

#include "engine/game_state.h"

namespace engine {

// The start callback: creates the task (linked after the running task) with a zeroed
// GameState and records it as the task-data task. 1 done, 0 when the task cannot be made.
uint32_t StartFunc();

// The task's first step: system.dat and access.dat, the boot word, engine_init, then switches
// the step to game_task_frame. When system.dat can be neither read nor created the program is
// asked to end and the step stays.
void game_task_init(GameState* gs);
// The per-frame step: the frame procedure.
void game_task_frame(GameState* gs);
// The end function: the exit label (when set) runs once as an event call with both skips
// off, also when the script itself ended the program; then the engine shuts down, the system
// files are written and the seen marks freed.
void game_task_release(GameState* gs);

// ---- system files (their own code comes with the system-file work) ----
// Reads system.dat into the settings, SystemMemory and the seen-mark blocks and applies the
// effect, window-mode and cursor settings; false when it cannot (nothing is applied then).
bool system_dat_load(GameState& gs);
// Fills the defaults and writes a fresh system.dat; false on failure.
uint32_t system_dat_create(GameState& gs);
uint32_t system_dat_save(GameState& gs);
void access_dat_load(GameState& gs);
uint32_t access_dat_save(GameState& gs);

}  // namespace engine
