// The exported sound operations: loading, playing, stopping, fades, volumes and queries.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "Orv/core/sound/sound_load.h"
#include "Orv/core/sound/sound_log.h"
#include "Orv/core/sound/sound_source.h"
#include "Orv/core/sound/sound_system.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

SoundChannel* loaded_channel(OrvSoundHandle handle) {
  SoundChannel* c = sound_channel(handle);
  return c && c->loaded ? c : nullptr;
}

// A channel is free when it is neither loaded nor reserved.
int free_count(int group) {
  const SoundGroup& g = kSoundGroupTable[group];
  int n = 0;
  for (int i = 0; i < g.count; ++i) {
    const SoundChannel& c = sound_record().channels[g.first + i];
    if (!c.loaded && !c.reserved) ++n;
  }
  return n;
}

OrvSoundHandle handle_of(const SoundChannel* c) {
  return sound_handle(sound_channel_group(c), sound_channel_index(c));
}

// Readies a free channel for a loader: type, command word and full channel volume.
void prepare(SoundChannel* c, int32_t type) {
  Lock lock(sound_record().lock);
  c->type = type;
  c->command = kCmdLoaded;
  c->volume = 10000;
}

OrvSoundHandle load_into(SoundChannel* c, const char* name, const BgmLoopPoints* points) {
  SoundFile file;
  const bool opened = sound_file_open(name, &file);
  bool ok;
  if (sound_name_is_ogg(name)) {
    ok = sound_load_ogg(c, name, file, points);  // logs its own open failure
  } else {
    ok = opened && sound_load_wav(c, name, file, points);
  }
  return ok ? handle_of(c) : 0;
}

void apply_now(SoundChannel* c) {
  sound_apply_level(c, sound_channel_level(c));
}

int32_t channel_field(SoundChannel* c, int32_t field) {
  platform::Mixer* m = sound_mixer();
  const bool live = c->loaded && c->playing;
  switch (field) {
    case 0:
      return int32_t(c->start);
    case 1:
      return int32_t(c->loop_pos);
    case 2:
      return int32_t(c->end);
    case 3:
      return int32_t(c->read_pos);
    case 4:
      return int32_t(c->buffer_bytes);
    case 5:
      return live ? int32_t(OrvtimeGetTime() - c->fade_start) : -1;
    case 6: {
      if (!live) return -1;
      uint32_t cursor = 0;
      return m && m->get_position(c->buffer, &cursor, nullptr) ? int32_t(cursor) : -2;
    }
    case 7:
      return c->loaded;
    case 8:
      return c->playing;
    case 9:
      return c->loop;
    case 10:
      return c->ogg;
    case 11:
      return c->ended;
    case 12:
      return c->paused;
    case 13:
      return c->command;
    case 14:
      return c->type;
    case 15:
      return c->fade_kind;
    case 16:
      return c->fade_time;
    case 17:
      return c->reserved;
    case 18:
      return c->reserved || c->loaded || c->playing ? 1 : 0;
    case 19:
      return c->source ? 1 : 0;  // whether a source is open; a pointer does not fit
    case 20:
      return int32_t(c->fade_start);
    case 21:
      return c->volume;
    case 22:
      return int32_t(c->prev_cursor);
    case 23:
      return int32_t(c->play_pos);
    default:
      return 0;
  }
}

SoundChannel* music_channel(int32_t index) {
  return index == 0 || index == 1 ? sound_channel(sound_handle(2, index)) : nullptr;
}

}  // namespace

extern "C" {

OrvSoundHandle OrvSoundLoad(const char* name, int32_t type, const BgmLoopPoints* points) {
  if (!name || !sound_mixer()) return 0;
  SoundChannel* c = sound_first_free(sound_group_of_type(type));
  if (!c) return 0;
  prepare(c, type);
  return load_into(c, name, points);
}

OrvSoundHandle OrvSoundLoadEx(const char* name, int32_t type, const BgmLoopPoints* points,
                              float gain) {
  if (type != 4 || !name || !sound_mixer()) return 0;
  SoundChannel* c = sound_first_free(4);
  if (!c) return 0;
  {
    Lock lock(sound_record().lock);
    c->gain = gain;
  }
  prepare(c, type);
  const OrvSoundHandle handle = load_into(c, name, points);
  platform::Mixer* m = sound_mixer();
  platform::WaveFormat format;
  if (handle && gain > 0.0f && gain != 1.0f && c->buffer_bytes % 2 == 0 &&
      m->format(c->buffer, &format) && format.bits_per_sample == 16) {
    platform::LockedRegion region;
    if (m->lock(c->buffer, 0, 0, &region)) {
      uint8_t* p = region.part1;
      for (uint32_t i = 0; i + 1 < region.bytes1; i += 2) {
        const int16_t s = int16_t(uint16_t(p[i] | p[i + 1] << 8));
        const float scaled = std::clamp(float(s) * gain, -32768.0f, 32767.0f);
        const uint16_t v = uint16_t(int16_t(scaled));
        p[i] = uint8_t(v);
        p[i + 1] = uint8_t(v >> 8);
      }
      m->unlock(c->buffer, region);
    }
  }
  return handle;
}

OrvSoundHandle OrvSoundLoadVerEpeg(const char* name) {
  if (!name || !sound_mixer()) return 0;
  SoundChannel* c = sound_first_free(1);
  if (!c) return 0;
  {
    Lock lock(sound_record().lock);
    c->command = kCmdLoaded;
    c->type = 0;
    c->volume = 10000;
  }
  SoundFile file;
  if (!sound_file_open(name, &file)) return 0;
  return sound_load_verepeg(c, name, file) ? handle_of(c) : 0;
}

OrvBool OrvSoundPlay(OrvSoundHandle handle, int32_t loop) {
  SoundChannel* c = loaded_channel(handle);
  platform::Mixer* m = sound_mixer();
  if (!c || !m) return 0;
  if (!sound_channel_is_streamed(c)) {
    Lock lock(sound_record().lock);
    m->set_volume(c->buffer, platform::kVolumeMin);
    if (m->status(c->buffer) & platform::kStatusPlaying) m->stop(c->buffer);
    m->set_position(c->buffer, 0);
    m->play(c->buffer, loop != 0);
    apply_now(c);
    c->loop = loop;
    c->playing = 1;
    c->paused = 0;
    return 1;
  }
  {
    Lock lock(sound_record().lock);
    c->loop = loop;
    c->fade_kind = kFadeNone;
    c->fade_time = 10;
  }
  sound_queue_and_wait(c, kCmdPlay);
  return 1;
}

OrvBool OrvSoundPlayFade(OrvSoundHandle handle, int32_t loop, int32_t fade_ms) {
  SoundChannel* c = loaded_channel(handle);
  if (!c) return 0;
  {
    Lock lock(sound_record().lock);
    c->fade_kind = kFadeNone;
    c->loop = loop;
    c->fade_time = std::max(fade_ms, 0);
  }
  sound_queue_and_wait(c, kCmdPlay);
  return 1;
}

OrvBool OrvSoundStop(OrvSoundHandle handle) {
  SoundChannel* c = loaded_channel(handle);
  if (!c || !c->playing) return 0;
  {
    Lock lock(sound_record().lock);
    c->fade_kind = kFadeNone;
  }
  sound_queue_and_wait(c, kCmdStop);
  return 1;
}

OrvBool OrvSoundStopFade(OrvSoundHandle handle, int32_t fade_ms) {
  SoundChannel* c = loaded_channel(handle);
  if (!c || !c->playing) return 0;
  {
    Lock lock(sound_record().lock);
    if (c->fade_kind == kFadeOut && fade_ms != 0) return 1;
    c->fade_time = std::max(fade_ms, 0);
    c->fade_kind = kFadeNone;
  }
  sound_queue_and_wait(c, kCmdStopFade);
  return 1;
}

OrvBool OrvSoundPause(OrvSoundHandle handle, int32_t pause, int32_t fade_ms) {
  SoundChannel* c = sound_channel(handle);
  if (!c) return 0;
  Lock lock(sound_record().lock);
  const int32_t want = pause ? 1 : 0;
  if (!c->loaded || !c->playing || c->paused == want) return 0;
  c->paused = want;
  c->command = want ? kCmdPause : kCmdResume;
  if (fade_ms) {
    c->fade_time = std::max(fade_ms, 0);
    c->fade_start = OrvtimeGetTime();
    c->fade_kind = want ? kFadeOut : kFadeIn;
  }
  return 1;
}

OrvBool OrvSoundRelease(OrvSoundHandle handle) {
  SoundChannel* c = sound_channel(handle);
  if (!c) return 0;
  SoundRecord& r = sound_record();
  if (sound_channel_is_music(c)) {
    Lock lock(r.lock);
    c->reserved = 0;
  }
  if (!c->loaded) return 0;
  {
    Lock lock(r.lock);
    c->fade_kind = kFadeNone;
  }
  sound_queue_and_wait(c, kCmdRelease);
  if (r.thread_running) {
    // Whatever was written meanwhile, the release wins.
    for (uint32_t countdown = 100000; c->loaded && r.thread_running && --countdown > 0;) {
      platform::sleep_ms(1);
      if (c->loaded) c->command = kCmdRelease;
    }
  }
  r.completion = 0;
  return 1;
}

void OrvSoundReleaseEx(int32_t type) {
  int group;
  if (type == 4 || type == 5 || type == 6 || type == 2) {
    group = sound_group_of_type(type);
  } else if (type == 3) {
    group = 2;
    Lock lock(sound_record().lock);
    for (int i = 0; i < 2; ++i) sound_channel(sound_handle(2, i))->reserved = 0;
  } else {
    group = type == 1 ? 3 : 1;
  }
  const SoundGroup& g = kSoundGroupTable[group];
  for (int i = 0; i < g.count; ++i)
    if (sound_record().channels[g.first + i].loaded) OrvSoundRelease(sound_handle(group, i));
}

OrvBool OrvSoundSetVolumeChannel(OrvSoundHandle handle, int32_t volume) {
  SoundChannel* c = loaded_channel(handle);
  if (!c) return 0;
  Lock lock(sound_record().lock);
  c->volume = volume;
  if (c->fade_kind == kFadeNone) apply_now(c);
  return 1;
}

int32_t OrvSoundGetVolumeChannel(OrvSoundHandle handle) {
  if (handle == 0) return 0;
  SoundChannel* c = loaded_channel(handle);
  return c ? c->volume : -1;
}

OrvBool OrvSoundSetVolume(int32_t volume, int32_t type) {
  if (type < 0 || type >= kSoundTypes) return 0;
  SoundRecord& r = sound_record();
  Lock lock(r.lock);
  r.type_volume[type] = std::clamp(volume, 0, 10000);
  const int group = sound_group_of_type(type);
  const SoundGroup& g = kSoundGroupTable[group];
  for (int i = 0; i < g.count; ++i) {
    SoundChannel* c = &r.channels[g.first + i];
    if (!c->loaded || c->type != type || c->fade_kind != kFadeNone) continue;
    const int32_t cmd = c->command;
    if (group == 2 && (cmd == 2 || cmd == kCmdStop || cmd == kCmdRelease || cmd == kCmdPlay ||
                       cmd == kCmdStopFade))
      continue;
    apply_now(c);
  }
  return 1;
}

int32_t OrvSoundGetVolume(int32_t* out, int32_t type) {
  if (type < 0 || type >= kSoundTypes || !out) return -1;
  *out = sound_record().type_volume[type];
  return *out;
}

OrvBool OrvSoundSetPrimaryVolume(int32_t volume) {
  SoundRecord& r = sound_record();
  {
    Lock lock(r.lock);
    r.master_volume = volume;
  }
  for (int t = 0; t < kSoundTypes; ++t) OrvSoundSetVolume(r.type_volume[t], t);
  return 1;
}

int32_t OrvSoundGetPrimaryVolume(void) {
  return sound_record().master_volume;
}

OrvBool OrvSoundSetPanChannel(OrvSoundHandle handle, int32_t pan) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = loaded_channel(handle);
  if (!c || !sound_mixer()) return 0;
  sound_mixer()->set_pan(c->buffer, pan);
  return 1;
}

OrvBool OrvSoundSetFreq(OrvSoundHandle handle, uint32_t hertz) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = loaded_channel(handle);
  if (!c || !sound_mixer()) return 0;
  sound_mixer()->set_frequency(c->buffer, hertz);
  return 1;
}

OrvBool OrvSoundSetFraquencyChannel(OrvSoundHandle handle, uint32_t hertz) {
  return OrvSoundSetFreq(handle, hertz);
}

int32_t OrvSoundGetFreq(OrvSoundHandle handle) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = loaded_channel(handle);
  if (!c || !sound_mixer()) return -1;
  const uint32_t hz = sound_mixer()->frequency(c->buffer);
  return hz ? int32_t(hz) : -1;
}

OrvBool OrvSoundSetVolumeRatio(OrvSoundHandle handle, float gain) {
  SoundChannel* c = loaded_channel(handle);
  if (!c) return 0;
  Lock lock(sound_record().lock);
  c->gain = gain;
  return 1;
}

OrvBool OrvSoundSetStartEnd(OrvSoundHandle handle, uint32_t loop, uint32_t end) {
  SoundChannel* c = loaded_channel(handle);
  if (!c) return 0;
  Lock lock(sound_record().lock);
  if (sound_channel_is_music(c) && c->source) {
    // Given in the file's own bytes, like the loop points of the load; kept inside the data.
    const uint32_t total = sound_source_total_bytes(c->source);
    const uint64_t l = sound_source_to_output_bytes(c->source, loop) & ~3ull;
    const uint64_t e = sound_source_to_output_bytes(c->source, end) & ~3ull;
    c->end = uint32_t(std::min<uint64_t>(e, total));
    c->loop_pos = uint32_t(std::min<uint64_t>(l, c->end));
  } else {
    c->end = end;
    c->loop_pos = std::min(loop, end);
  }
  return 1;
}

int32_t OrvSoundGetState(OrvSoundHandle handle) {
  if (handle == 0) return 0;
  SoundChannel* c = loaded_channel(handle);
  return c ? c->fade_kind : -1;
}

int32_t OrvSoundPlayIs(OrvSoundHandle handle) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = loaded_channel(handle);
  if (!c) return 0;
  if (sound_channel_is_music(c)) return c->playing;
  platform::Mixer* m = sound_mixer();
  return m && (m->status(c->buffer) & platform::kStatusPlaying) ? 1 : 0;
}

int32_t OrvSoundGetStatus(int32_t music_index) {
  SoundChannel* c = music_channel(music_index);
  return c ? c->command.load() : 0;
}

int32_t OrvSoundGetParam(int32_t music_index, int32_t field) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = music_channel(music_index);
  return c ? channel_field(c, field) : 0;
}

int32_t OrvSoundGetParamByType(int32_t type, int32_t index, int32_t field) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  static const int kGroupOfType[7] = {1, 3, 7, 2, 4, 5, 6};
  if (type < 0 || type > 6 || index < 0) return 0;
  SoundChannel* c = sound_channel(sound_handle(kGroupOfType[type], index));
  return c ? channel_field(c, field) : 0;
}

int32_t OrvSoundGetNowChannel(void) {
  if (music_channel(0)->source) return 0;
  if (music_channel(1)->source) return 1;
  return -1;
}

int32_t OrvSoundGetChannelCount(int32_t type) {
  int group;
  switch (type) {
    case 4:
    case 5:
    case 6:
    case 3:
    case 2:
      group = sound_group_of_type(type);
      break;
    case 1:
    case 7:
      group = 3;
      break;
    default:
      group = 1;
      break;
  }
  return free_count(group);
}

void OrvSoundSetReserved(int32_t type, OrvSoundHandle handle, int32_t flag) {
  if (type != 3 || (handle != 0x20000000u && handle != 0x20000001u)) return;
  Lock lock(sound_record().lock);
  sound_channel(handle)->reserved = flag;
}

OrvSoundHandle OrvSoundLoadSetReserved(int32_t, int32_t type) {
  if (type != 3) return 0;
  Lock lock(sound_record().lock);
  SoundChannel* c = sound_first_free(2);
  if (!c) return 0;
  c->reserved = 1;
  return handle_of(c);
}

OrvSoundHandle OrvSoundCopy(OrvSoundHandle handle, int32_t type) {
  SoundChannel* from = loaded_channel(handle);
  platform::Mixer* m = sound_mixer();
  const int group = sound_group_of_type(type);
  // A stream's buffer belongs to its channel for the whole run: streams are not copied, and
  // nothing is copied into a streamed channel.
  if (!from || !m || !from->buffer || sound_channel_is_streamed(from) || group == 2) return 0;
  Lock lock(sound_record().lock);
  SoundChannel* to = sound_first_free(group);
  if (!to) return 0;
  platform::MixBuffer* duplicate = m->duplicate_buffer(from->buffer);
  if (!duplicate) {
    sound_error_log("error : SoundCopy");
    return 0;
  }
  to->playing = from->playing;
  to->reserved = from->reserved;
  to->loop = from->loop;
  to->loaded = from->loaded;
  to->ogg = from->ogg;
  to->ended = from->ended;
  to->paused = from->paused;
  to->start = from->start;
  to->loop_pos = from->loop_pos;
  to->end = from->end;
  to->read_pos = from->read_pos;
  to->buffer_bytes = from->buffer_bytes;
  to->command = from->command.load();
  to->type = from->type;
  to->fade_kind = from->fade_kind;
  to->fade_start = from->fade_start;
  to->fade_time = from->fade_time;
  to->volume = from->volume;
  std::memcpy(to->file_name, from->file_name, sizeof to->file_name);
  to->play_pos = from->play_pos;
  to->prev_cursor = from->prev_cursor;
  to->gain = from->gain;
  to->data_offset = from->data_offset;
  to->source = nullptr;
  to->buffer = duplicate;
  return handle_of(to);
}

OrvBool OrvGetSoundBufferFormat(OrvSoundHandle handle, void* out18) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = sound_channel(handle);
  platform::WaveFormat format;
  if (!c || !out18 || !sound_mixer() || !sound_mixer()->format(c->buffer, &format)) return 0;
  platform::wave_format_write(format, static_cast<uint8_t*>(out18));
  return 1;
}

OrvBool OrvSoundGetPlayCursorToBuffer(OrvSoundHandle handle, void* destination, uint32_t bytes) {
  Lock lock(sound_record().lock);  // the sound thread releases buffers under it
  SoundChannel* c = sound_channel(handle);
  platform::Mixer* m = sound_mixer();
  if (!c || !m || !destination || bytes == 0 || !c->buffer) return 0;
  uint32_t cursor = 0;
  if (!m->get_position(c->buffer, &cursor, nullptr)) return 0;
  bytes = std::min(bytes, m->size(c->buffer));  // never more than the buffer holds
  platform::LockedRegion region;
  if (!m->lock(c->buffer, cursor, bytes, &region)) return 0;
  auto* out = static_cast<uint8_t*>(destination);
  std::memcpy(out, region.part1, region.bytes1);
  if (region.part2) std::memcpy(out + region.bytes1, region.part2, region.bytes2);
  return m->unlock(c->buffer, region) ? 1 : 0;
}

float OrvSetVoiceSpeed(float speed) {
  SoundRecord& r = sound_record();
  const float previous = r.voice_speed;
  r.voice_speed = std::clamp(speed, 0.0f, 200.0f);
  return previous;
}

float OrvGetVoiceSpeed(void) {
  return sound_record().voice_speed;
}

}  // extern "C"
