// Loading sounds into channels: the parts of OrvSoundLoad, OrvSoundLoadEx and
// OrvSoundLoadVerEpeg that work on an already open file, so that tests and fuzzing can feed
// them bytes from memory or from an archive member.
//
// Each takes a channel that is free, with its type already set, and the open file, which it
// keeps as the channel's source on success (WAV, VerEpeg) or closes (Ogg, and every failure).
// Returns true when the channel is loaded; on failure the channel stays free.
#pragma once

#include "Orv/core/sound/sound_file.h"
#include "Orv/core/sound/sound_record.h"

bool sound_load_wav(SoundChannel* channel, const char* name, SoundFile file,
                    const BgmLoopPoints* points);
bool sound_load_ogg(SoundChannel* channel, const char* name, SoundFile file,
                    const BgmLoopPoints* points);
bool sound_load_verepeg(SoundChannel* channel, const char* name, SoundFile file);

// The first free channel (neither loaded nor reserved) of a group, or null after logging
// "[%d] channel all use" with the group's size.
SoundChannel* sound_first_free(int group);
// True for a name whose extension is ".ogg" in any letter case.
bool sound_name_is_ogg(const char* name);
