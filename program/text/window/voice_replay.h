// Playing a line's voice again (the backlog's click on a voiced line, text_voice_play): the
// voice calls end, the line voices playing now stop and are emptied, the background voices
// they paused go on, and the voice starts on line-voice slot 0.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <string>

#include "engine/vm_context.h"

namespace textwindow {

// flags as voice_play_core takes them (text/sound/voices.h). An empty name plays nothing.
void voice_replay(engine::VmContext& vm, const std::string& name, uint32_t flags);

}  // namespace textwindow
