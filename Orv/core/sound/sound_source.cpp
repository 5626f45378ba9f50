// The PCM source of a loaded channel: raw reads from the file or the decoder, and the
// conversion of music into the stream buffer's format.
#include <algorithm>
#include <cstring>
#include <new>

#include "Orv/core/sound/sound_source.h"

namespace {

constexpr uint32_t kStreamRate = 44100;
constexpr uint32_t kOutFrameBytes = 4;      // stereo 16-bit
constexpr uint32_t kPendingFrames = 8192;   // converted frames held at most
constexpr uint32_t kChunkOutFrames = 2048;  // converted frames one input chunk gives, about

uint32_t own_frame_bytes(const SoundSource* s) {
  if (s->kind == SoundSourceKind::kOgg) return s->ogg->info.channels * 2;
  return s->format.block_align;
}

uint32_t own_rate(const SoundSource* s) {
  return s->kind == SoundSourceKind::kOgg ? s->ogg->info.rate : s->format.samples_per_sec;
}

uint32_t own_channels(const SoundSource* s) {
  return s->kind == SoundSourceKind::kOgg ? s->ogg->info.channels : s->format.channels;
}

uint32_t own_bits(const SoundSource* s) {
  return s->kind == SoundSourceKind::kOgg ? 16 : s->format.bits_per_sample;
}

// The data's own PCM, unconverted.
uint32_t raw_read(SoundSource* s, uint8_t* destination, uint32_t n) {
  switch (s->kind) {
    case SoundSourceKind::kOgg: {
      const uint32_t got = platform::ogg_decoder_read(s->ogg->decoder, destination, n);
      s->raw_position += got;
      return got;
    }
    case SoundSourceKind::kVerEpeg:
      return sound_file_read(&s->file, destination, n);
    case SoundSourceKind::kWav: {
      // Never read past the samples into the chunks that may follow them.
      const uint64_t left = s->data_bytes > s->raw_position ? s->data_bytes - s->raw_position : 0;
      const uint32_t want = uint32_t(std::min<uint64_t>(n, left));
      sound_file_seek(&s->file, s->data_offset + s->raw_position);
      const uint32_t got = sound_file_read(&s->file, destination, want);
      s->raw_position += got;
      return got;
    }
  }
  return 0;
}

void raw_seek(SoundSource* s, uint64_t own_bytes) {
  switch (s->kind) {
    case SoundSourceKind::kOgg:
      platform::ogg_decoder_seek(s->ogg->decoder, own_bytes / own_frame_bytes(s));
      s->raw_position = own_bytes / own_frame_bytes(s) * own_frame_bytes(s);
      break;
    case SoundSourceKind::kVerEpeg:
      sound_file_seek(&s->file, own_bytes);
      break;
    case SoundSourceKind::kWav:
      s->raw_position = std::min(own_bytes, s->data_bytes);
      break;
  }
}

// raw_read over the input's own loop: at its end the input goes on from its loop point.
uint32_t raw_read_looped(SoundSource* s, uint8_t* destination, uint32_t n) {
  if (!s->raw_loop) return raw_read(s, destination, n);
  uint32_t done = 0;
  bool progress = true;
  while (done < n) {
    if (s->raw_position >= s->raw_loop_end) {
      if (!progress) break;  // the loop gives nothing: the data has ended
      raw_seek(s, s->raw_loop_from);
      progress = false;
    }
    const uint32_t want = uint32_t(std::min<uint64_t>(n - done, s->raw_loop_end - s->raw_position));
    const uint32_t got = raw_read(s, destination + done, want);
    if (got == 0) {
      s->raw_position = s->raw_loop_end;  // shorter than it said
      continue;
    }
    progress = true;
    done += got;
  }
  return done;
}

// The data's own byte that gives output byte `position`, rounded up to a whole frame so that
// a point made from the data's frames (output = own * 44100 / rate, cut) comes back to it.
uint64_t own_bytes_of(const SoundSource* s, uint64_t position) {
  const uint64_t out_frames = position / kOutFrameBytes;
  const uint64_t own_frames = (out_frames * own_rate(s) + kStreamRate - 1) / kStreamRate;
  return own_frames * own_frame_bytes(s);
}

}  // namespace

SoundSource* sound_source_new(SoundSourceKind kind) {
  auto* s = new (std::nothrow) SoundSource;
  if (s) s->kind = kind;
  return s;
}

void sound_source_close(SoundSource* s) {
  if (!s) return;
  sound_file_close(&s->file);
  ogg_stream_close(s->ogg);
  platform::pcm_converter_destroy(s->converter);
  delete s;
}

bool sound_source_converts(const SoundSource* s) {
  return s && s->converter;
}

bool sound_source_convert_to_stream(SoundSource* s) {
  const uint32_t rate = own_rate(s), channels = own_channels(s), bits = own_bits(s);
  if (rate == kStreamRate && channels == 2 && bits == 16) return true;
  s->converter = platform::pcm_converter_create(rate, channels, bits);
  if (!s->converter) return false;
  // Input chunks sized so that one converts to about kChunkOutFrames frames.
  const uint64_t in_frames = std::max<uint64_t>(1, uint64_t(kChunkOutFrames) * rate / kStreamRate);
  s->raw.assign(size_t(in_frames) * own_frame_bytes(s), 0);
  s->pending.assign(size_t(kPendingFrames) * kOutFrameBytes, 0);
  s->pending_at = s->pending_bytes = 0;
  s->drained = false;
  return true;
}

uint64_t sound_source_to_output_bytes(const SoundSource* s, uint64_t own_bytes) {
  if (!s->converter) return own_bytes;
  const uint64_t frames = own_bytes / own_frame_bytes(s);
  return frames * kStreamRate / own_rate(s) * kOutFrameBytes;
}

uint32_t sound_source_total_bytes(const SoundSource* s) {
  uint64_t own = 0;
  switch (s->kind) {
    case SoundSourceKind::kOgg:
      own = s->ogg->total_bytes;
      break;
    case SoundSourceKind::kWav:
      own = s->data_bytes;
      break;
    case SoundSourceKind::kVerEpeg:
      own = s->file.size;
      break;
  }
  return uint32_t(std::min<uint64_t>(sound_source_to_output_bytes(s, own), 0xFFFFFFFCu));
}

uint32_t sound_source_read(SoundSource* s, uint8_t* destination, uint32_t n) {
  if (!s) return 0;
  if (!s->converter) return raw_read(s, destination, n);
  uint32_t done = 0;
  while (done < n) {
    if (s->pending_at < s->pending_bytes) {
      const uint32_t take = std::min(n - done, s->pending_bytes - s->pending_at);
      std::memcpy(destination + done, s->pending.data() + s->pending_at, take);
      s->pending_at += take;
      done += take;
      continue;
    }
    if (s->drained) break;
    const uint32_t frame = own_frame_bytes(s);
    const uint32_t got = raw_read_looped(s, s->raw.data(), uint32_t(s->raw.size()));
    uint32_t frames;
    if (got / frame > 0) {
      frames = platform::pcm_converter_run(s->converter, s->raw.data(), got / frame,
                                           s->pending.data(), kPendingFrames);
    } else {
      // The input is used up: take what the converter still holds, until it gives nothing.
      frames =
          platform::pcm_converter_run(s->converter, nullptr, 0, s->pending.data(), kPendingFrames);
      if (frames == 0) s->drained = true;
    }
    s->pending_at = 0;
    s->pending_bytes = frames * kOutFrameBytes;
  }
  return done;
}

void sound_source_seek(SoundSource* s, uint64_t position) {
  if (!s) return;
  if (!s->converter) {
    raw_seek(s, position);
    return;
  }
  const uint64_t out_frames = position / kOutFrameBytes;
  raw_seek(s, out_frames * own_rate(s) / kStreamRate * own_frame_bytes(s));
  platform::pcm_converter_reset(s->converter);
  s->pending_at = s->pending_bytes = 0;
  s->drained = false;
}

bool sound_source_loop_input(SoundSource* s, bool loop, uint32_t loop_pos, uint32_t end) {
  if (!s || !s->converter || s->kind == SoundSourceKind::kVerEpeg) return false;
  if (!loop || loop_pos >= end) {
    s->raw_loop = false;
    return false;
  }
  const uint64_t from = own_bytes_of(s, loop_pos), to = own_bytes_of(s, end);
  if (!s->raw_loop) {
    // Input already read past the end cannot be taken back: the next jump seeks instead.
    if (s->raw_position > to || from >= to) return false;
    s->raw_loop = true;
  }
  s->raw_loop_from = from;
  s->raw_loop_end = to;
  return true;
}
