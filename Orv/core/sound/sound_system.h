// The sound system: the mixer (what creating the DirectSound device makes), the four
// streaming buffers and the sound thread that carries out the channels' commands.
//
// sound_system_create is called once by the system init on the window thread after the
// window exists; it always gets a mixer (a null output when no device opens), so it fails only
// when the thread cannot start its buffers. sound_system_destroy is called by OrvUninit; it
// stops the thread, clears every loaded channel and closes the mixer.
#pragma once

#include <cstdint>

#include "Orv/core/sound/sound_record.h"

bool sound_system_create();
void sound_system_destroy();

// How the system starts: tests run it with neither thread nor output and drive it themselves.
struct SoundStartOptions {
  bool thread = true;  // run the sound thread
  bool output = true;  // open the audio output (an SDL device or the null output)
};
bool sound_system_start(const SoundStartOptions& options);

// The window's activation: output is silent while the window is inactive, unless the display
// flags asked for global focus (bit 0). The window thread calls it on every activation change.
void sound_window_active(bool active, uint32_t display_flags);

// One pass of the sound thread: the notifications that fired, then one step of every channel,
// all under the sound lock. Tests without a thread call it themselves.
void sound_pass();

// The record and its mixer (null before start and after destroy).
SoundRecord& sound_record();
platform::Mixer* sound_mixer();

// Volumes (0-10000) to hundredths of a decibel: the channel's level from its type volume and
// channel volume, then the master volume. A level or product of 0 or below is -10000.
int32_t sound_level(int32_t type_volume, int32_t channel_volume);
int32_t sound_decibels(int32_t level, int32_t master_volume);
// The channel's level and its buffer volume as the rule gives them now.
int32_t sound_channel_level(const SoundChannel* channel);
void sound_apply_level(SoundChannel* channel, int32_t level);

// Writes a command under the sound lock (the completion code becomes 0) and, when the sound
// thread runs, waits until it has taken it (1 ms polls, bounded).
void sound_queue_and_wait(SoundChannel* channel, int32_t command);

// Stops the buffer, silences a streaming buffer and closes the channel's source.
void sound_channel_clear(SoundChannel* channel);
// Fills half `half` of a channel's buffer from its source (a static channel: the whole buffer).
void sound_stream_refill(SoundChannel* channel, int half);
// Reads a stream's next bytes with its loop and end (the readers of the data Part).
uint32_t sound_stream_read(SoundChannel* channel, uint8_t* destination, uint32_t length);
bool sound_channel_is_music(const SoundChannel* channel);
bool sound_channel_is_streamed(const SoundChannel* channel);
