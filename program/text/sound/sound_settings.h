// The sound settings of system.dat: the 2,952 bytes after the player's other settings, the
// category volumes and switches, the music auto volume, the voice switches, the per-character
// voice table and the autopan settings.
//
// The block is little-endian 32-bit words; in the file the background-voice volume and switch
// come before the voice ones (the reverse of SoundState::volumes). Reading checks every value:
// volumes are kept within 0..10000 (a character's volume within 0..100), switches and on/off
// words become 0 or 1, and a block shorter than 2,952 bytes gives the defaults.
//
// Thread: the thread that runs the script (start-up and system.dat writes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/sound/sound_state.h"

namespace engine {

constexpr size_t kSoundBlockBytes = 2952;

// Reads the block from bytes[0..size) into the settings parts of `s` (other parts untouched)
// and applies them to the platform. Returns false (and takes the defaults) when the block is
// short.
bool sound_settings_read(const uint8_t* bytes, size_t size, SoundState& s);
// Writes exactly kSoundBlockBytes bytes to out.
void sound_settings_write(const SoundState& s, uint8_t* out);
// The settings of a new system.dat, applied to the platform.
void sound_settings_default(SoundState& s);
// Applies master, voice, BGM, the three effect types and the system voice to the platform
// (volume x switch). The background-voice type is left alone: it keeps the platform's value
// until a script sets it.
void sound_settings_apply(const SoundState& s);

// One category's platform type volume = its volume x switch.
void sound_category_apply(const SoundState& s, SoundCategory cat, int32_t type);
// A script's volume (0..100, values outside brought into it) stored x 100 and applied.
void sound_category_set_volume(SoundState& s, SoundCategory cat, int32_t type, int32_t percent);
// A script's mute flag: switch = !flag, applied.
void sound_category_mute(SoundState& s, SoundCategory cat, int32_t type, uint32_t flag);

}  // namespace engine
