// Voice calls: eight entries (SoundState::voiceCalls) that run a script label when the voice of
// the current line starts and another when it has ended, matched by voice file-name prefix.
//
// A label runs as a call inside whatever called in: a return entry of kind 2 is pushed, the pc
// moves to the label and the interpreter runs at once; the label's code comes back through the
// return operation. Labels are kept as code offsets (0: none).
//
// The current line's voice name comes from the text window (neighbours.text.text_voice_name).
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

// The first entry (0..7) whose name (not empty) starts the current line's voice name, any case;
// -1 when none or the line has no voice.
int32_t voice_call_find(VmContext& vm);
// The line's voice started: the matching entry is armed and its start label runs (no start
// label: it is disarmed).
void voice_call_begin(VmContext& vm);
// Once no line voice plays: the armed matching entry is disarmed and its end label runs. While a
// line voice plays nothing happens.
void voice_call_end(VmContext& vm);

}  // namespace engine
