// The frame procedure and the script scheduler: what runs in a frame of the game program, and
// in which order.
//
// Script commands run first; then the sound housekeeping, the action lists, the .ani players,
// the layers and the images push their results to the sprites, so that a command's effect is
// visible in the frame in which it ran. Both functions run on the game thread inside the task
// pass, under the render lock; every step is a bounded walk of fixed tables.
#pragma once

#include "engine/game_state.h"

namespace engine {

// One frame: a window-mode request becomes script message 0; a pending message runs its
// handler and nothing else happens in that frame; during a full-screen video nothing more
// runs; otherwise the frame rate follows the skip state, this frame's key pushes are logged,
// script_update runs and the per-frame housekeeping follows. Called only by the main task's
// per-frame step.
void game_frame(GameState& gs);

// The script part of a frame, in order: a pending asynchronous step (instead of everything
// else), nothing while the work-thread runner owns the script, the screen-effect jobs, events
// only while a synchronous action list runs, nothing while a screen transition runs, the
// button wait, the script thread, button and system-button events (replacing the main script's
// slice), the main script and the text window.
void script_update(VmContext& vm);

}  // namespace engine
