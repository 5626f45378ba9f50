// The volume of a freshly loaded or played sound effect.
//
// Thread: the thread that runs the script.
#pragma once

#include "engine/vm_context.h"
#include "orv/sound_types.h"

namespace engine {

// The platform sound type (category) of SE type 0, 1, 2: 5, 4, 6. Another type has none: 0.
int32_t se_category(uint32_t type);
// The SoundState::volumes / ::switches index of SE type 0..2.
SoundCategory se_volume_index(uint32_t type);

// With a name, every used SeInfo entry whose prefix begins the name (byte-exact; an empty prefix
// matches every name) sets the sound's channel volume to min(volume x 100, 10000), and then the
// channel override is left alone. Otherwise the override of the first channel that holds the
// sound applies: flag 0x1 its volume (as above), flag 0x2 its frequency.
void se_apply_volume(const SoundState& s, OrvSoundHandle sound, const char* name);

}  // namespace engine
