// Loading a sound file into a platform channel, and the skip masks the sound code consults.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <string>

#include "engine/vm_context.h"
#include "orv/sound_types.h"

namespace engine {

// Masks of get_skip_state as the sound code reads them.
constexpr uint32_t kSkipSkipping = 0x35;     // skip toggle, Ctrl held, scene or history skip
constexpr uint32_t kSkipFastForward = 0x30;  // a scene or history skip runs
constexpr uint32_t kSkipOrCtrl = 0x5;        // skip toggle or Ctrl held

// True when a sound wait ends this frame: any skip bit, or Space, Enter or the left button
// pushed (released, in the buttons' key-release mode).
bool sound_wait_advance(VmContext& vm);

// Loads name (without extension, Shift-JIS) as platform sound type `kind` (1 line voice,
// 2 background voice, 3 music, 4-6 effects, 7 system voice), trying ".ogg" before ".wav".
// points: loop points for music, else null. gain: for kind 4 only; above 1.0 the effect is
// loaded amplified. Returns the handle, 0 when nothing loaded ("sound load error [name]" with
// key 0, except for a line voice, whose missing file is silent).
// While a scene or history skip runs nothing is loaded: music gets a reserved platform channel
// (so that its record and a snapshot keep it), everything else 0.
OrvSoundHandle sound_load(VmContext& vm, const std::string& name, int32_t kind,
                          const BgmLoopPoints* points, float gain = 1.0f);

// The extension loop of sound_load without its skip test: for the work thread, which must not
// read the script's skip state. Missing files are not reported.
OrvSoundHandle sound_load_file(const std::string& name, int32_t kind, const BgmLoopPoints* points,
                               float gain = 1.0f);

// The name a file operand names, marking the file seen; for a string-slot operand (bit 28)
// the name is also copied into inline_name (32 bytes, cut to 31 on a character boundary, the
// rest zero) when that is given.
std::string sound_file_name(VmContext& vm, uint32_t file, char (*inline_name)[32]);

// The file operand a channel record keeps for `file`, with its inline name, and in *name the
// name to load. A string-slot operand keeps the slot's name (as sound_file_name). File.dat
// entry 0 is kept the same way, as bit 28 with the entry's name: the record's 0 means "no
// file", so a save would otherwise drop the sound and a load would not bring it back.
uint32_t sound_keep_file(VmContext& vm, uint32_t file, char (&inline_name)[32], std::string* name);

// A stored 32-byte name read within its bytes (it may lack a terminator).
std::string stored_name(const char (&name)[32]);

// True when prefix is not empty and starts name, ASCII letters compared in any case.
bool name_starts_with_nocase(const std::string& name, const std::string& prefix);

}  // namespace engine
