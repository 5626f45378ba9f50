// The text time check: a sample text on a settings screen, revealed again and again over the
// time the current message speed gives, with the pause the auto speed gives after each
// reveal, so that the player can judge both speeds. It runs as a task of its own,
// "AdvTextTimeCheckTask", the first child of the task that made it, so that it goes on while
// the script waits; the text window keeps its handle.
//
// The sample is drawn and revealed with the text window's renderer and reveal, in a sprite and
// a reveal record (with its own glyph lists) of the task's own.
//
// Thread: the task pass of the game thread, under the render lock, like the script.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace textwindow {

// Makes the task for a sample text at (x, y) in an area of width (raised to a multiple of 4)
// x height, drawn at the current font size and colours. Returns the task, 0 when it cannot be
// made.
OrvHandle text_time_check_create(engine::VmContext& vm, const char* text, int32_t x, int32_t y,
                                 int32_t width, int32_t height);

// The commands (in the settings list): create (text, x, y, width, height), release, clear.
uint32_t cmd_text_time_check_create(engine::VmContext& vm);
uint32_t cmd_text_time_check_release(engine::VmContext& vm);
uint32_t cmd_text_time_check_clear(engine::VmContext& vm);

}  // namespace textwindow
