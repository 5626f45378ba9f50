// The generic sound-channel commands (platform channel of a record, a platform channel's
// field) and the attach function of the sound subsystem.
#pragma once

#include "engine/command_list.h"
#include "orv/sound_types.h"

namespace engine {

// The platform channel index inside its group for a handle: everything below the group bits
// (an effect of SE type 0 lives in a group of 64 channels, so more than four bits). -1 for 0.
int32_t sound_handle_index(OrvSoundHandle h);

extern const CommandList sound_commands;

// Installs the sound and music commands and fills the sound entries of the neighbour table
// (frame update, release of effects and music). Start-up, before any script runs.
void sound_attach();

}  // namespace engine
