// Background voices: eight slots (SoundState::bgv) of voice recordings that play under the scene
// in their own category (platform type 2).
//
// A slot may be keyed to a voice file-name prefix (set_bgv_auto_volume): while a line voice whose
// name begins with the key plays, the background voice is paused (100 ms fade), and it resumes
// (1000 ms fade) once the line voices stop, so that a speaker's background chatter never covers
// their own line. A slot the script paused itself (bgv_pause) stays paused through lines.
//
// Thread: the thread that runs the script.
#pragma once

#include <string>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace engine {

constexpr uint32_t kBgvLoop = 0x1;
constexpr uint32_t kBgvFadeIn = 0x4;
constexpr int32_t kBgvSlots = 8;

// A line voice named `name` starts: the keyed slots whose key begins the name (any case) pause.
void bgv_pause_for_voice(SoundState& s, const std::string& name);
// The line voices stopped: every keyed slot that the script did not pause resumes. A slot that
// was never paused does not change (the platform acts only on a change).
void bgv_resume_for_voices(SoundState& s);

// The background-voice commands of group 0x0d.
extern const CommandList bgv_commands;

}  // namespace engine
