// A frame's sound housekeeping and the release of every sound.
//
// Thread: the thread that runs the script.
#pragma once

#include "engine/vm_context.h"

namespace engine {

// Releases the sound effects that have ended (reserved channels stay).
void se_frame_update(VmContext& vm);
// Empties the voice slots whose voice has ended, gives the music back its volume once no voice
// plays (auto volume on), and releases ended background voices that are neither looping,
// paused nor keyed to voices.
void voice_frame_update(VmContext& vm);
// Effects, then music, then voices: once per frame after the script's slice.
void sound_channels_update(VmContext& vm);
// Releases all sixteen effect channels, reserved or not, empties them and drops a blocking
// effect wait.
void se_release_all(VmContext& vm);

}  // namespace engine
