// What the sound thread does to one channel's data: the decibel rule, the stream reads with
// loop and end, the refill of a buffer half and the clear of a channel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "Orv/core/sound/sound_source.h"
#include "Orv/core/sound/sound_system.h"

int32_t sound_level(int32_t type_volume, int32_t channel_volume) {
  const float level = float(type_volume) * (float(channel_volume) / 10000.0f);
  // Channel volumes are not clamped; keep the truncation inside the int range.
  if (!(level > -2147483520.0f)) return std::numeric_limits<int32_t>::min();
  if (level >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
  return int32_t(level);
}

int32_t sound_decibels(int32_t level, int32_t master_volume) {
  const int64_t audible = int64_t(level) * master_volume / 10000;
  if (audible <= 0) return platform::kVolumeMin;  // silence, and no log of a negative value
  const double ratio = std::log10(double(audible) / 10000.0);
  const float db = 2000.0f * float(ratio);
  if (db >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
  return int32_t(db);
}

int32_t sound_channel_level(const SoundChannel* c) {
  const SoundRecord& r = sound_record();
  // A sound type outside 0-7 (group 3 takes any) has no type volume: it plays at full level.
  const int32_t type_volume =
      c->type >= 0 && c->type < kSoundTypes ? r.type_volume[c->type] : 10000;
  return sound_level(type_volume, c->volume);
}

void sound_apply_level(SoundChannel* c, int32_t level) {
  if (platform::Mixer* m = sound_mixer())
    m->set_volume(c->buffer, sound_decibels(level, sound_record().master_volume));
}

bool sound_channel_is_music(const SoundChannel* c) {
  return sound_channel_group(c) == 2;
}

bool sound_channel_is_streamed(const SoundChannel* c) {
  const int g = sound_channel_group(c);
  return g == 1 || g == 2;
}

namespace {

uint32_t read_music(SoundChannel* c, uint8_t* destination, uint32_t length) {
  SoundSource* s = c->source;
  uint32_t done = 0;
  bool progress = true;  // something was read since the last jump to the loop point
  // Converted music loops its input instead, so that the converter runs on across the jump.
  const bool input_loops = sound_source_loop_input(s, c->loop != 0, c->loop_pos, c->end);
  while (done < length) {
    if (c->read_pos >= c->end) {
      // An empty loop, or a loop that gave nothing, would spin: the data has ended.
      if (!c->loop || c->loop_pos >= c->end || !progress) break;
      if (!input_loops) sound_source_seek(s, c->loop_pos);
      c->read_pos = c->loop_pos;
      progress = false;
    }
    const uint32_t want = std::min(length - done, c->end - c->read_pos);
    const uint32_t got = sound_source_read(s, destination + done, want);
    if (got == 0) {
      c->read_pos = c->end;  // the data is shorter than its end said
      continue;
    }
    progress = true;
    c->read_pos += got;
    done += got;
  }
  if (c->read_pos >= c->end && (!c->loop || !progress || c->loop_pos >= c->end)) c->ended = 1;
  return done;
}

uint32_t read_verepeg(SoundChannel* c, uint8_t* destination, uint32_t length) {
  SoundSource* s = c->source;
  const uint32_t want = c->read_pos < c->end ? std::min(length, c->end - c->read_pos) : 0;
  const uint32_t got = want ? sound_source_read(s, destination, want) : 0;
  c->read_pos += got;
  if (got == 0) c->read_pos = c->end;
  if (c->read_pos >= c->end) {
    // The rest of this half stays silent; the next half starts at the loop point.
    sound_source_seek(s, c->loop_pos);
    c->read_pos = c->loop_pos;
  }
  return got;
}

}  // namespace

uint32_t sound_stream_read(SoundChannel* c, uint8_t* destination, uint32_t length) {
  if (!c->source || !destination) return 0;
  if (sound_channel_is_music(c)) return read_music(c, destination, length);
  if (sound_channel_group(c) == 1) return read_verepeg(c, destination, length);
  const uint32_t got = sound_source_read(c->source, destination, length);
  c->read_pos += got;
  return got;
}

void sound_stream_refill(SoundChannel* c, int half) {
  platform::Mixer* m = sound_mixer();
  if (!m || !c->buffer) return;
  const bool streamed = sound_channel_is_streamed(c);
  const uint32_t bytes = streamed ? c->buffer_bytes / 2 : c->buffer_bytes;
  platform::LockedRegion region;
  if (c->ended) {
    if (sound_channel_is_music(c) && c->play_pos < c->end) {
      if (m->lock(c->buffer, uint32_t(half) * bytes, bytes, &region)) {
        std::memset(region.part1, 0, region.bytes1);
        if (region.part2) std::memset(region.part2, 0, region.bytes2);
        m->unlock(c->buffer, region);
      }
    } else {
      c->command = kCmdRelease;  // played out: the next step releases the channel
    }
    return;
  }
  if (!m->lock(c->buffer, uint32_t(half) * bytes, bytes, &region)) return;
  std::memset(region.part1, 0, region.bytes1);
  if (region.part2) std::memset(region.part2, 0, region.bytes2);
  sound_stream_read(c, region.part1, region.bytes1);
  if (region.part2) sound_stream_read(c, region.part2, region.bytes2);
  m->unlock(c->buffer, region);
}

void sound_channel_clear(SoundChannel* c) {
  platform::Mixer* m = sound_mixer();
  if (m && c->buffer) {
    if (m->status(c->buffer) & platform::kStatusPlaying) m->stop(c->buffer);
    // Only a streaming buffer is silenced: a static buffer is about to go, and its PCM may be
    // shared with a duplicate that still plays.
    if (sound_channel_is_streamed(c)) {
      platform::LockedRegion region;
      if (m->lock(c->buffer, 0, 0, &region)) {
        std::memset(region.part1, 0, region.bytes1);
        m->unlock(c->buffer, region);
      }
    }
  }
  sound_source_close(c->source);
  c->source = nullptr;
}
