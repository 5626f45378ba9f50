// The loaders: WAV, Ogg Vorbis and VerEpeg files into sound channels.
#include "Orv/core/sound/sound_load.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "Orv/core/sound/sound_log.h"
#include "Orv/core/sound/sound_source.h"
#include "Orv/core/sound/sound_system.h"
#include "orv/orv.h"
#include "platform/sjis.h"

namespace {

void record_name(SoundChannel* c, const char* name) {
  std::memset(c->file_name, 0, sizeof c->file_name);
  if (!name) return;
  // At most 31 bytes, never ending on the first byte of a two-byte character.
  size_t n = 0;
  while (name[n] && n < sizeof c->file_name - 1) {
    const size_t step = platform::sjis_is_lead(uint8_t(name[n])) && name[n + 1] ? 2 : 1;
    if (n + step > sizeof c->file_name - 1) break;
    n += step;
  }
  std::memcpy(c->file_name, name, n);
}

uint32_t whole_frames(uint64_t bytes) {
  return uint32_t(std::min<uint64_t>(bytes, 0xFFFFFFFCu) & ~3u);
}

// Start, loop and end of a music stream in bytes of what its source gives. Points are given in
// the file's own PCM bytes; they are converted with the data, cut to whole frames and kept
// inside the data.
void set_music_points(SoundChannel* c, const SoundSource* s, const BgmLoopPoints* points) {
  const uint32_t total = sound_source_total_bytes(s);
  c->start = c->loop_pos = 0;
  c->end = total;
  if (points && points->use) {
    c->start = whole_frames(sound_source_to_output_bytes(s, points->start));
    c->loop_pos = whole_frames(sound_source_to_output_bytes(s, points->loop));
    if (points->end) c->end = whole_frames(sound_source_to_output_bytes(s, points->end));
  }
  c->end = std::min(c->end, total);
  c->loop_pos = std::min(c->loop_pos, c->end);
  c->start = std::min(c->start, c->end);
}

bool finish_music(SoundChannel* c, SoundSource* s, const BgmLoopPoints* points) {
  if (!sound_source_convert_to_stream(s)) return false;
  set_music_points(c, s, points);
  sound_source_seek(s, c->start);
  c->read_pos = c->start;
  c->source = s;
  c->loaded = 1;
  return true;
}

bool finish_static(SoundChannel* c, SoundSource* s, const platform::WaveFormat& format,
                   uint64_t bytes) {
  platform::Mixer* m = sound_mixer();
  const uint32_t size = uint32_t(std::min<uint64_t>(bytes, 0xFFFFFFFFu));
  c->buffer = m ? m->create_buffer(format, size - size % std::max<uint32_t>(format.block_align, 1))
                : nullptr;
  if (!c->buffer) return false;
  c->buffer_bytes = m->size(c->buffer);
  c->source = s;
  c->loaded = 1;
  sound_stream_refill(c, 0);  // the whole buffer, decoded now
  return true;
}

}  // namespace

bool sound_name_is_ogg(const char* name) {
  if (!name) return false;
  const size_t n = std::strlen(name);
  if (n < 4) return false;
  const char* e = name + n - 4;
  return e[0] == '.' && (e[1] | 0x20) == 'o' && (e[2] | 0x20) == 'g' && (e[3] | 0x20) == 'g';
}

SoundChannel* sound_first_free(int group) {
  const SoundGroup& g = kSoundGroupTable[group];
  for (int i = 0; i < g.count; ++i) {
    SoundChannel* c = &sound_record().channels[g.first + i];
    if (!c->loaded && !c->reserved) return c;
  }
  sound_error_log("[%d] channel all use", g.count);
  return nullptr;
}

bool sound_load_wav(SoundChannel* c, const char* name, SoundFile file,
                    const BgmLoopPoints* points) {
  c->loaded = c->ogg = c->reserved = 0;
  c->data_offset = 0;
  WavInfo info;
  SoundSource* s = file.is_open() && wav_read_header(&file, &info)
                       ? sound_source_new(SoundSourceKind::kWav)
                       : nullptr;
  if (!s) {
    if (file.is_open()) sound_report_bad_file(name, "not a RIFF WAVE file of 8- or 16-bit PCM");
    sound_file_close(&file);
    c->source = nullptr;
    return false;
  }
  s->file = file;
  s->format = info.format;
  s->data_offset = info.data_offset;
  s->data_bytes = info.data_bytes;
  record_name(c, name);
  c->data_offset = uint32_t(std::min<uint64_t>(info.data_offset, 0xFFFFFFFFu));
  c->read_pos = 0;
  const bool ok = sound_channel_is_music(c) ? finish_music(c, s, points)
                                            : finish_static(c, s, info.format, info.data_bytes);
  if (!ok) {
    sound_source_close(s);
    c->source = nullptr;
  }
  return ok;
}

bool sound_load_ogg(SoundChannel* c, const char* name, SoundFile file,
                    const BgmLoopPoints* points) {
  const bool opened = file.is_open();
  OggStream* stream = ogg_stream_open(&file, name);
  sound_file_close(&file);
  if (!stream && opened) sound_report_bad_file(name, "not an Ogg Vorbis file we can decode");
  SoundSource* s = stream ? sound_source_new(SoundSourceKind::kOgg) : nullptr;
  if (!s) {
    ogg_stream_close(stream);
    sound_error_log("OrvSoundOggCreate Fail");
    return false;
  }
  s->ogg = stream;
  record_name(c, name);
  c->ogg = 1;
  if (sound_channel_is_music(c)) {
    c->read_pos = 0;
    if (finish_music(c, s, points)) return true;
    sound_source_close(s);
    c->ogg = 0;
    sound_error_log("OrvSoundOggCreate Fail");
    return false;
  }
  platform::WaveFormat format;
  format.channels = uint16_t(stream->info.channels);
  format.samples_per_sec = stream->info.rate;
  format.block_align = uint16_t(stream->info.channels * 2);
  format.avg_bytes_per_sec = stream->info.rate * format.block_align;
  format.bits_per_sample = 16;
  if (stream->info.channels > 2 || !finish_static(c, s, format, stream->total_bytes)) {
    sound_error_log("Create 2nd buffer Fail");
    sound_source_close(s);
    c->ogg = 0;
    return false;
  }
  return true;
}

bool sound_load_verepeg(SoundChannel* c, const char* name, SoundFile file) {
  VerEpegInfo info;
  SoundSource* s = file.is_open() && verepeg_read_header(&file, &info)
                       ? sound_source_new(SoundSourceKind::kVerEpeg)
                       : nullptr;
  if (!s) {
    if (file.is_open()) sound_report_bad_file(name, "bad VerEpeg header");
    sound_file_close(&file);
    return false;
  }
  s->file = file;
  record_name(c, name);
  c->source = s;
  c->ogg = 0;
  c->read_pos = c->start = info.data_start;
  c->loop_pos = info.loop;
  c->end = info.end;
  sound_source_seek(s, info.data_start);
  c->loaded = 1;
  return true;
}
