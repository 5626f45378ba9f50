// The game and work threads.
//
// The game thread calls the start function and then runs frames: frame time, input, debug
// hotkeys, the task pass under the render lock (while the window is active, unless display
// flag bit 0 says to run anyway, and never after an end request), pacing, the frame draw, and
// the drain of its queue, where window requests are forwarded to the window thread under the
// render lock. The work thread runs the functions posted to it, in posting order.
#pragma once

#include <cstdint>

#include "Orv/core/window/input.h"

void game_thread_main();
void work_thread_main();
// One frame; false when the frame's drain met the stop message.
bool game_frame();
// What input_update needs, read from the process record (and the joystick) now.
InputFrame input_frame_now(uint32_t frame_time);
// Only where the window and its client area lie, read from the process record: what the
// cursor tests need, without touching the joystick (any thread).
InputFrame input_frame_placement();
