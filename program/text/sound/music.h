// Music: two channels (SoundState::bgm), fades of one channel's volume, cross-fades, the
// category and master volumes, the lowering of the music while a line voice plays, and the
// channels' part of save data.
//
// A cross-fade is bgm_play on channel -1: the old music's record moves to channel 1 and keeps
// playing (the script fades it out), the new one starts on channel 0. The new music is loaded
// into whichever platform music channel is free, so after a cross-fade a record's number and
// its platform channel may differ: what a record asks of the platform (whether its channel is
// still in use, its play position and status) is asked of its own sound's channel, and the
// sounding channel that the platform names (-1 in the queries) stands for the record whose
// music plays there.
//
// Time: volume fades run on OrvtimeGetTime ms, stepped once per frame.
// Thread: the thread that runs the script.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"
#include "shared/byte_codec.h"

namespace engine {

// Stored size of one channel in save data.
constexpr size_t kBgmRecordBytes = 92;

// One step of a running volume fade: sets the channel's volume for the time elapsed, and at
// the end clears the fade bits and keeps the target as the channel's volume.
void bgm_fade_step(BgmChannel& ch);

// Releases finished music and steps running fades (reserved channels are left alone).
void bgm_frame_update(VmContext& vm);

// With the auto volume on: on = true lowers the music type to factor % of the BGM volume
// (silent when keep is 0); false gives it back its full volume. Off: nothing.
void bgm_auto_volume_apply(SoundState& s, bool on);

// Sets the music type to the BGM volume x switch.
void bgm_type_volume_restore(const SoundState& s);

// Releases both channels, empties their records and restores the music type volume.
void bgm_release_all(VmContext& vm);

// Writes both channels, 92 bytes each: an empty record or music being stopped as zeros, a
// running fade as finished.
void bgm_state_save(const SoundState& s, codec::ByteWriter& out);
// Reads both channels back, reloads their music and (unless history is true, for a history
// snapshot) starts every unreserved channel with a 3 s fade-in. Values are brought into range;
// a channel whose music does not load stays silent ("bgm load error [name]"). False when the
// bytes end early; the channels are then empty.
bool bgm_state_restore(VmContext& vm, codec::ByteReader& in, bool history);

// The music commands of group 0x04.
extern const CommandList music_commands;

}  // namespace engine
