// The per-frame life of a line: the reveal over its time, then the wait for a click, for the
// auto delay or for skip, and the end of the wait, which pops the script point that the text
// command (or wait_click) pushed so that the script goes on.
//
// Times are milliseconds of OrvClockGetTime; the reveal distance is in pixels along the text
// (textrender's rendered length, plus the 64-pixel soft edge when complete).
//
// Input bits (engine::get_skip_state): 1 skip toggle, 2 advance request (added here), 4 Ctrl
// held, 8 advance input; during a scene or history skip nearly every bit.
//
// Thread: the thread that runs the script (script flow 0 for the update).
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace textwindow {

using engine::TextWindow;
using engine::VmContext;

// Start of the reveal: time > 0 lasts that long; 0 lasts (rendered length / char size) x the
// message speed; < 0 completes at once (mode bit 0x40000). A char size of 0 or less divides
// as 1.
void text_set_reveal_time(VmContext& vm, TextWindow& tw, int32_t time);

// One frame of the reveal; true once it is complete. Input or a latched click completes it.
bool text_reveal_step(VmContext& vm, TextWindow& tw, uint32_t input);

// The reveal is complete: shows the waiting icon, mode low half = 2 (click wait), and starts
// the auto delay: (rendered length / (char size + pitch)) x auto speed + 500 ms (a divisor of
// 0 or less counts as 1).
void text_click_wait_start(VmContext& vm);

// Once per frame, last in the script update. True when it changed the wait.
bool text_update(VmContext& vm);

// Ends the current wait: voice cut (not for no-wait and no-click lines), the icon hidden
// (unless it is the skip icon), mode word 0.
void text_wait_end(VmContext& vm);

// The auto-mode test: nonzero once the auto delay has passed and no voice can be heard, or as
// input says.
uint32_t text_voice_wait(VmContext& vm, TextWindow& tw, uint32_t input);

// Sets the end-of-text flags that wait_click reads: a no-wait line's reveal finished without a
// click.
void text_w_reveal_done_set(TextWindow& tw);

}  // namespace textwindow
