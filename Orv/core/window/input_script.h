// Scripted input (platform/input_script.h): in a headless run the game thread takes the keys
// held and the cursor from VELMORA_INPUT_SCRIPT instead of the window's events. The keys of the
// current step are held every frame; the cursor moves only on the frame its step begins, so
// that OrvCursorSetPos can move it in between.
//
// Thread: the game thread, once per frame before input_update.
#pragma once

#include "Orv/core/window/input.h"

// Puts this frame's scripted keys and cursor into the window state that input_update samples;
// does nothing without a script. Counts the frames from the first call.
void input_script_step(InputState& in, const InputFrame& frame);
