// The test seams of a headless run that need a value, not just a switch: a clock that moves a
// fixed step per frame, and a dump of presented frames as PNG files. The README's section on
// testing lists them; a player's run sets neither and sees no difference.
//
//   VELMORA_FIXED_STEP_MS=N      the library's millisecond clock reads 0 from OrvInit on and
//                                moves on N ms (1-1000) at the start of each game
//                                frame, so that every frame time, and every wait and fade timed
//                                by it, is the same from run to run
//   VELMORA_FRAME_DUMP=FOLDER    each frame presented (the GL renderer's read back from its game
//                                target) is written as
//                                FOLDER/frame-T.png (T: the frame time in ms, in decimal;
//                                24-bit, the alpha byte dropped)
//   VELMORA_FRAME_DUMP_AT=T,...  only the frames whose frame time is listed are written
//
// State: process-wide, per copy of this library (libOrv.so owns the clock and the frames).
// Thread: install before the game thread starts; step on the game thread; the clock is read
// from any thread.
#pragma once

#include <cstdint>

namespace platform {

// Reads VELMORA_FIXED_STEP_MS and, when it holds a step, replaces the clock (clock.h) with the
// fixed-step one starting at 0. True when installed.
bool fixed_step_clock_install();
// Moves the fixed-step clock on by its step; nothing without it.
void fixed_step_clock_step();

// Reads VELMORA_FRAME_DUMP and VELMORA_FRAME_DUMP_AT (again after each call).
void frame_dump_configure();
// Writes the frame (top-down 0xAARRGGBB, `width` words a row) when the dump is on and
// frame_time is one of its times. A file that cannot be written is reported on stderr once.
// Whether a frame of this time would be written (a renderer that must read its frame back
// asks first).
bool frame_dump_wanted(uint32_t frame_time);
void frame_dump_offer(uint32_t frame_time, const uint32_t* pixels, int32_t width, int32_t height);

}  // namespace platform
