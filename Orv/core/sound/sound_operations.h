// The sound exports (orv/exports.h, "sound"): loading sounds into channels and what the game
// does with them. The channels, the sound thread and the command protocol are in
// sound_record.h and sound_system.h.
//
// Handles: a SoundHandle names group (bits 28-31, 1-7) and index. 0, a group outside 1-7 or an
// index outside its group makes every operation return its failure value without touching a
// channel. Volumes are 0-10000; pan -10000 (left) .. 10000 (right); times in milliseconds of
// frame time. Sound types: 3 music (streamed, group 2), 0 VerEpeg (streamed, group 1), 2
// background voices (group 7), 4, 5 and 6 effects (their own groups), any other voices (group 3).
//
// Threads: any thread (the game and work threads in practice). Queuing operations take the
// sound lock only to write their command and then wait, without it, until the sound thread has
// taken the command (1 ms polls; no wait when the sound thread is not running). Operations on
// a channel's buffer hold the lock while they touch it, since the sound thread releases
// buffers under it; they wait at most one pass of the thread.
//
//   OrvSoundHandle OrvSoundLoad(const char* name, int32_t type, const BgmLoopPoints* points)
//     loads a WAV (PCM 8/16-bit, mono/stereo) or, for a name ending in ".ogg" in any case, an Ogg
//     Vorbis file into the first free channel of the type's group. Music streams through its
//     group's buffer, converted to 44,100 Hz stereo 16-bit when it is not; points (may be null)
//     are in the file's own PCM bytes. Other types are decoded whole into a buffer of their own
//     format. 0 when the group is full ("[%d] channel all use"), or the file is missing or bad.
//   OrvSoundHandle OrvSoundLoadEx(name, type, points, float gain)
//     type 4 only (else 0): as OrvSoundLoad into group 4, then, for a gain above 0 and not 1,
//     every 16-bit sample is scaled by it and limited to -32768..32767.
//   OrvSoundHandle OrvSoundLoadVerEpeg(const char* name)
//     a VerEpeg stream into group 1; 0 when full, missing or its header is refused.
//   OrvBool OrvSoundPlay(handle, int32_t loop)
//     a static channel plays at once on the caller's thread; a stream is queued with a 10 ms
//     fade-in. 0 when not loaded.
//   OrvBool OrvSoundPlayFade(handle, loop, fade_ms)      queued play with a fade-in.
//   OrvBool OrvSoundStop(handle)                         queued stop; 0 when not playing.
//   OrvBool OrvSoundStopFade(handle, fade_ms)
//     queued fade-out and stop; returns when the fade has begun. A stop frees a music channel.
//   OrvBool OrvSoundPause(handle, pause, fade_ms)
//     writes a pause (or resume) with an optional fade; never waits. 0 when nothing changes.
//   OrvBool OrvSoundRelease(handle)
//     releases the channel (clears a music channel's reservation first). 0 when not loaded.
//   void OrvSoundReleaseEx(int32_t type)
//     releases every loaded channel of a group: 4, 5, 6 and 2 the type's group; 3 the music
//     group with its reservations; 1 group 3; any other value group 1.
//   OrvBool OrvSoundSetVolumeChannel(handle, volume)     applied at once unless a fade runs.
//   int32_t OrvSoundGetVolumeChannel(handle)             -1 when not loaded; 0 for handle 0.
//   OrvBool OrvSoundSetVolume(volume, type)
//     type 0-7 (else 0); stores the type volume clamped to 0-10000 and applies it to the loaded
//     channels of that type that are not fading.
//   int32_t OrvSoundGetVolume(int32_t* out, type)        -1 for a bad type or null out.
//   OrvBool OrvSoundSetPrimaryVolume(volume) / int32_t OrvSoundGetPrimaryVolume(void)
//     the master volume (not clamped; 0 or below is silence), re-applied to every type.
//   OrvBool OrvSoundSetPanChannel(handle, pan)
//   OrvBool OrvSoundSetFreq(handle, hertz), OrvSoundSetFraquencyChannel (the same)
//     100-200000 Hz, or 0 for the sound's own rate; the buffer's refusal is ignored.
//   int32_t OrvSoundGetFreq(handle)                      -1 when not loaded.
//   OrvBool OrvSoundSetVolumeRatio(handle, float gain)   stored; only a load reads it.
//   OrvBool OrvSoundSetStartEnd(handle, loop, end)
//     a stream's loop point and end (music: file's own bytes, kept inside the data).
//   int32_t OrvSoundGetState(handle)                     fade kind 0/1/2; -1 not loaded; 0 for 0.
//   int32_t OrvSoundPlayIs(handle)                       1 while playing.
//   int32_t OrvSoundGetStatus(int32_t music_index)       command word of music channel 0-1; else 0.
//   int32_t OrvSoundGetParam(music_index, field)         a field (0-23) of music channel 0-1; else
//   0. int32_t OrvSoundGetParamByType(type, index, field)
//     the same for a channel of any group by type 0-6 and index; 0 outside. Field 19 tells only
//     whether a source is open (1/0): a pointer does not fit the result.
//   int32_t OrvSoundGetNowChannel(void)                  the music channel with a source, or -1.
//   int32_t OrvSoundGetChannelCount(type)                free channels of the type's group.
//   void OrvSoundSetReserved(3, 0x20000000 or 0x20000001, flag)
//   OrvSoundHandle OrvSoundLoadSetReserved(unused, 3)    reserves a free music channel, or 0.
//   OrvSoundHandle OrvSoundCopy(handle, type)
//     a new channel of the type's group playing the same samples (a duplicate buffer). Streams
//     are not copied, nor copied into: 0.
//   OrvBool OrvGetSoundBufferFormat(handle, void* out18) the 18-byte wave format.
//   OrvBool OrvSoundGetPlayCursorToBuffer(handle, void* destination, uint32_t bytes)
//     copies bytes from the play cursor on, wrapping; never more than the buffer holds.
//   float OrvSetVoiceSpeed(float speed) / float OrvGetVoiceSpeed(void)
//     a stored value clamped to 0-200 (the set returns the previous one); nothing reads it.
#pragma once

#include "orv/sound_types.h"
