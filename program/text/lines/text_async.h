// The asynchronous line voice: with text_set_async_voice on, text, text_w and _text_n hand the
// load of their voice to the platform work thread, keep the frames going while it runs, and
// only once it has loaded draw the speaker and the message, start the voice and finish the
// line as the normal line procedure does.
//
// While the load runs the script is held by the pending step of the script update
// (engine::pending_async_step), the previous line stays on screen, and the window's mode word
// is 0 (no text wait). A line without a voice, or one passed over while the player skips, is
// drawn in the same frame. The new line's snapshot is taken before the load.
//
// Thread: the thread that runs the script; the load itself runs on the work thread
// (text/sound/voice_load_async.h).
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace textlines {

// Whether the line commands take the asynchronous path.
bool text_async_voice_on();

// The line procedure from its operands on (after the log, latch and snapshot): stores them,
// starts the voice's load and sets the pending step, or draws the line at once when nothing is
// loaded. mode: the command's mode word. 0 (with "text initialize error : text*") when the
// window is not initialised, else 1.
uint32_t text_async_begin(engine::VmContext& vm, uint32_t voice, uint32_t name, uint32_t text,
                          int32_t time, uint32_t mode);

// text_set_async_voice (0x020030): switch, result the previous switch.
uint32_t cmd_text_set_async_voice(engine::VmContext& vm);

}  // namespace textlines
