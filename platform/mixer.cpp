#include "platform/mixer.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shared/byte_codec.h"
#include "shared/zeroed_allocator.h"

namespace platform {

namespace {

constexpr uint32_t kMaxBufferBytes = 256u << 20;
constexpr uint64_t kOne = 1ull << 32;  // one frame in the 32.32 cursor

}  // namespace

struct MixBuffer {
  WaveFormat format;
  // Shared with duplicates; zero at first without a pass over it (silence for 16-bit).
  std::shared_ptr<std::vector<uint8_t, ZeroedAllocator<uint8_t>>> pcm;
  uint32_t bytes = 0;
  uint32_t frames = 0;
  uint64_t cursor = 0;  // frames, 32.32 fixed point
  bool playing = false;
  bool looping = false;
  int32_t volume = 0;
  int32_t pan = 0;
  uint32_t frequency = 0;  // 0: the format's own rate
  std::vector<uint32_t> notify_offsets;
  NotifyFn notify_fn = nullptr;
  void* notify_context = nullptr;
};

void wave_format_write(const WaveFormat& f, uint8_t out[kWaveFormatBytes]) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kWaveFormatBytes);
  codec::ByteWriter w(&bytes);
  wave_format_sync(w, const_cast<WaveFormat&>(f));  // a writer only reads the fields
  w.u16(f.extra_size);
  std::memcpy(out, bytes.data(), kWaveFormatBytes);
}

bool wave_format_playable(const WaveFormat& f) {
  return f.format_tag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bits_per_sample == 8 || f.bits_per_sample == 16) && f.samples_per_sec >= 100 &&
         f.samples_per_sec <= 200000 && f.block_align == f.channels * f.bits_per_sample / 8;
}

float volume_gain(int32_t v) {
  if (v <= kVolumeMin) return 0.0f;
  if (v >= kVolumeMax) return 1.0f;
  return float(std::pow(10.0, double(v) / 2000.0));
}

Mixer::Mixer() = default;

Mixer::~Mixer() {
  close_output();
  std::lock_guard<std::mutex> lock(mutex_);
  for (MixBuffer* b : buffers_) delete b;
  buffers_.clear();
}

void Mixer::sdl_callback(void* self, uint8_t* stream, int len) {
  static_cast<Mixer*>(self)->mix(reinterpret_cast<int16_t*>(stream), uint32_t(len) / 4);
}

bool Mixer::open_output() {
  if (device_ || null_running_) return true;
  const char* why = nullptr;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    why = SDL_GetError();
  } else {
    sdl_audio_inited_ = true;
    SDL_AudioSpec want{};
    want.freq = int(kMixRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &Mixer::sdl_callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ != 0) {
      SDL_PauseAudioDevice(device_, 0);
      return true;
    }
    why = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdl_audio_inited_ = false;
  }
  std::fprintf(stderr, "sound: no audio output device (%s); playing into a null output\n",
               why ? why : "unknown");
  null_running_ = true;
  null_thread_ = std::thread([this] { null_output_loop(); });
  return true;
}

void Mixer::close_output() {
  if (device_) {
    SDL_CloseAudioDevice(device_);
    device_ = 0;
  }
  if (sdl_audio_inited_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdl_audio_inited_ = false;
  }
  if (null_running_) {
    null_running_ = false;
    if (null_thread_.joinable()) null_thread_.join();
  }
}

void Mixer::null_output_loop() {
  using clock = std::chrono::steady_clock;
  const auto begin = clock::now();
  uint64_t done = 0;
  std::vector<int16_t> sink;
  while (null_running_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto us =
        std::chrono::duration_cast<std::chrono::microseconds>(clock::now() - begin).count();
    const uint64_t due = uint64_t(us) * kMixRate / 1000000;
    if (due <= done) continue;
    const uint32_t frames = uint32_t(std::min<uint64_t>(due - done, kMixRate));
    sink.resize(size_t(frames) * 2);
    mix(sink.data(), frames);
    done += frames;
    if (due > done) done = due;  // after a stall, do not try to catch up
  }
}

MixBuffer* Mixer::create_buffer(const WaveFormat& format, uint32_t bytes) {
  if (!wave_format_playable(format) || bytes == 0 || bytes > kMaxBufferBytes) return nullptr;
  if (bytes % format.block_align) return nullptr;
  auto* b = new MixBuffer;
  b->format = format;
  b->format.avg_bytes_per_sec = format.samples_per_sec * format.block_align;
  b->format.extra_size = 0;
  using Pcm = std::vector<uint8_t, ZeroedAllocator<uint8_t>>;
  // Silence: 0x80 for 8-bit samples; 16-bit silence is the zeroes the allocator gives.
  b->pcm = format.bits_per_sample == 8 ? std::make_shared<Pcm>(bytes, 0x80)
                                       : std::make_shared<Pcm>(bytes);
  b->bytes = bytes;
  b->frames = bytes / format.block_align;
  std::lock_guard<std::mutex> lock(mutex_);
  buffers_.push_back(b);
  return b;
}

MixBuffer* Mixer::duplicate_buffer(MixBuffer* original) {
  if (!original) return nullptr;
  auto* b = new MixBuffer;
  std::lock_guard<std::mutex> lock(mutex_);
  b->format = original->format;
  b->pcm = original->pcm;
  b->bytes = original->bytes;
  b->frames = original->frames;
  b->volume = original->volume;
  b->pan = original->pan;
  b->frequency = original->frequency;
  buffers_.push_back(b);
  return b;
}

void Mixer::release_buffer(MixBuffer* buffer) {
  if (!buffer) return;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find(buffers_.begin(), buffers_.end(), buffer);
  if (it == buffers_.end()) return;
  buffers_.erase(it);
  delete buffer;
}

bool Mixer::play(MixBuffer* b, bool looping) {
  if (!b) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  const bool was_playing = b->playing;
  b->playing = true;
  b->looping = looping;
  if (!was_playing && b->notify_fn) {
    // A notification at the very offset playback starts from counts as reached.
    const uint32_t at = uint32_t(b->cursor >> 32) * b->format.block_align;
    for (uint32_t i = 0; i < b->notify_offsets.size(); ++i)
      if (b->notify_offsets[i] == at) b->notify_fn(b->notify_context, i);
  }
  return true;
}

bool Mixer::stop(MixBuffer* b) {
  if (!b) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (b->playing) {
    b->playing = false;
    if (b->notify_fn)
      for (uint32_t i = 0; i < b->notify_offsets.size(); ++i)
        if (b->notify_offsets[i] == kNotifyStop) b->notify_fn(b->notify_context, i);
  }
  return true;
}

bool Mixer::set_position(MixBuffer* b, uint32_t play_cursor) {
  if (!b || play_cursor >= b->bytes) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  b->cursor = uint64_t(play_cursor / b->format.block_align) << 32;
  return true;
}

bool Mixer::get_position(MixBuffer* b, uint32_t* play_cursor, uint32_t* write_cursor) {
  if (!b) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  const uint32_t play = uint32_t(b->cursor >> 32) * b->format.block_align;
  if (play_cursor) *play_cursor = play;
  if (write_cursor) {
    // Ten milliseconds ahead while playing: what the device may already have mixed.
    uint32_t ahead = b->playing ? (b->format.samples_per_sec / 100) * b->format.block_align : 0;
    *write_cursor = uint32_t((uint64_t(play) + ahead) % b->bytes);
  }
  return true;
}

uint32_t Mixer::status(MixBuffer* b) {
  if (!b) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  return b->playing ? (kStatusPlaying | (b->looping ? kStatusLooping : 0)) : 0;
}

bool Mixer::set_volume(MixBuffer* b, int32_t v) {
  if (!b) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  b->volume = std::clamp(v, kVolumeMin, kVolumeMax);
  return true;
}

int32_t Mixer::volume(MixBuffer* b) {
  if (!b) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  return b->volume;
}

bool Mixer::set_pan(MixBuffer* b, int32_t pan) {
  if (!b || pan < -10000 || pan > 10000) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  b->pan = pan;
  return true;
}

int32_t Mixer::pan(MixBuffer* b) {
  if (!b) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  return b->pan;
}

bool Mixer::set_frequency(MixBuffer* b, uint32_t hertz) {
  if (!b) return false;
  if (hertz != kFrequencyOriginal && (hertz < 100 || hertz > 200000)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  b->frequency = hertz;
  return true;
}

uint32_t Mixer::frequency(MixBuffer* b) {
  if (!b) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  return b->frequency ? b->frequency : b->format.samples_per_sec;
}

bool Mixer::format(MixBuffer* b, WaveFormat* out) {
  if (!b || !out) return false;
  *out = b->format;
  return true;
}

uint32_t Mixer::size(MixBuffer* b) {
  return b ? b->bytes : 0;
}

bool Mixer::lock(MixBuffer* b, uint32_t offset, uint32_t bytes, LockedRegion* region) {
  if (!b || !region || offset >= b->bytes) return false;
  if (bytes == 0) bytes = b->bytes;
  if (bytes > b->bytes) return false;
  uint8_t* base = b->pcm->data();
  region->part1 = base + offset;
  region->bytes1 = std::min(bytes, b->bytes - offset);
  region->bytes2 = bytes - region->bytes1;
  region->part2 = region->bytes2 ? base : nullptr;
  return true;
}

bool Mixer::unlock(MixBuffer* b, const LockedRegion& region) {
  if (!b) return false;
  const uint8_t* base = b->pcm->data();
  return region.part1 >= base && region.part1 + region.bytes1 <= base + b->bytes &&
         region.bytes2 <= b->bytes;
}

bool Mixer::set_notifications(MixBuffer* b, const uint32_t* offsets, uint32_t count, NotifyFn fn,
                              void* context) {
  if (!b || (count && !offsets)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (b->playing) return false;
  for (uint32_t i = 0; i < count; ++i)
    if (offsets[i] != kNotifyStop && offsets[i] >= b->bytes) return false;
  b->notify_offsets.assign(offsets, offsets + count);
  b->notify_fn = fn;
  b->notify_context = context;
  return true;
}

void Mixer::fire_locked(MixBuffer* b, uint32_t from_frame, uint64_t advance) {
  if (!b->notify_fn || advance == 0) return;
  for (uint32_t i = 0; i < b->notify_offsets.size(); ++i) {
    const uint32_t offset = b->notify_offsets[i];
    if (offset == kNotifyStop) continue;
    const uint32_t at = offset / b->format.block_align;
    // Frames from the old cursor to the offset, going forward around the buffer.
    const uint64_t distance =
        at > from_frame ? at - from_frame : uint64_t(at) + b->frames - from_frame;
    if (distance <= advance || (advance >= b->frames)) b->notify_fn(b->notify_context, i);
  }
}

namespace {

template <int Bits>
inline float sample_at(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return float((int(p[0]) - 128) * 256);
  } else {
    return float(int16_t(uint16_t(p[0] | (p[1] << 8))));
  }
}

// Adds one buffer into acc (stereo floats). Returns the frames it produced; fewer than asked
// when a buffer that does not loop ran out.
template <int Bits, int Channels>
uint32_t mix_one(const uint8_t* pcm, uint32_t frames_total, uint64_t& cursor, uint64_t step,
                 bool looping, float gl, float gr, float* acc, uint32_t frames) {
  constexpr uint32_t kBlock = Channels * Bits / 8;
  const uint64_t end = uint64_t(frames_total) << 32;
  uint32_t i = 0;
  if (step == kOne && (cursor & 0xFFFFFFFFu) == 0) {
    // Same rate: straight copy, no interpolation, so the samples pass unchanged at 0 dB.
    uint32_t f = uint32_t(cursor >> 32);
    while (i < frames) {
      if (f >= frames_total) {
        if (!looping) break;
        f = 0;
      }
      const uint32_t run = std::min(frames - i, frames_total - f);
      const uint8_t* p = pcm + size_t(f) * kBlock;
      float* a = acc + size_t(i) * 2;
      for (uint32_t k = 0; k < run; ++k, p += kBlock, a += 2) {
        const float l = sample_at<Bits>(p);
        const float r = Channels == 2 ? sample_at<Bits>(p + Bits / 8) : l;
        a[0] += l * gl;
        a[1] += r * gr;
      }
      i += run;
      f += run;
    }
    cursor = uint64_t(f) << 32;
    return i;
  }
  for (; i < frames; ++i) {
    if (cursor >= end) {
      if (!looping) break;
      cursor %= end;
    }
    const uint32_t f = uint32_t(cursor >> 32);
    const float frac = float(uint32_t(cursor)) * (1.0f / 4294967296.0f);
    uint32_t g = f + 1;
    if (g >= frames_total) g = looping ? 0 : f;
    const uint8_t* p0 = pcm + size_t(f) * kBlock;
    const uint8_t* p1 = pcm + size_t(g) * kBlock;
    const float l0 = sample_at<Bits>(p0), l1 = sample_at<Bits>(p1);
    const float r0 = Channels == 2 ? sample_at<Bits>(p0 + Bits / 8) : l0;
    const float r1 = Channels == 2 ? sample_at<Bits>(p1 + Bits / 8) : l1;
    acc[2 * i] += (l0 + (l1 - l0) * frac) * gl;
    acc[2 * i + 1] += (r0 + (r1 - r0) * frac) * gr;
    cursor += step;
  }
  return i;
}

}  // namespace

void Mixer::mix(int16_t* out, uint32_t frames) {
  std::lock_guard<std::mutex> lock(mutex_);
  scratch_.assign(size_t(frames) * 2, 0.0f);
  float* acc = scratch_.data();
  for (MixBuffer* b : buffers_) {
    if (!b->playing) continue;
    const float gl = volume_gain(b->volume - std::max(b->pan, 0));
    const float gr = volume_gain(b->volume + std::min(b->pan, 0));
    const uint32_t rate = b->frequency ? b->frequency : b->format.samples_per_sec;
    const uint64_t step = (uint64_t(rate) << 32) / kMixRate;
    const uint64_t before = b->cursor;
    const uint32_t from_frame = uint32_t(before >> 32);
    const uint8_t* pcm = b->pcm->data();
    uint32_t produced;
    const int kind = (b->format.bits_per_sample == 16 ? 2 : 0) + (b->format.channels == 2 ? 1 : 0);
    switch (kind) {
      case 0:
        produced = mix_one<8, 1>(pcm, b->frames, b->cursor, step, b->looping, gl, gr, acc, frames);
        break;
      case 1:
        produced = mix_one<8, 2>(pcm, b->frames, b->cursor, step, b->looping, gl, gr, acc, frames);
        break;
      case 2:
        produced = mix_one<16, 1>(pcm, b->frames, b->cursor, step, b->looping, gl, gr, acc, frames);
        break;
      default:
        produced = mix_one<16, 2>(pcm, b->frames, b->cursor, step, b->looping, gl, gr, acc, frames);
        break;
    }
    if (b->looping && b->frames) b->cursor %= uint64_t(b->frames) << 32;
    // Frames the cursor moved, counting full turns of a looping buffer.
    const uint64_t advance = (uint64_t(produced) * step + (before & 0xFFFFFFFFu)) >> 32;
    fire_locked(b, from_frame, advance);
    if (produced < frames || (!b->looping && (b->cursor >> 32) >= b->frames)) {
      // Played to the end: the cursor rests at the start, as the device leaves it.
      b->playing = false;
      b->cursor = 0;
      if (b->notify_fn)
        for (uint32_t i = 0; i < b->notify_offsets.size(); ++i)
          if (b->notify_offsets[i] == kNotifyStop) b->notify_fn(b->notify_context, i);
    }
  }
  const bool silent = silent_.load(std::memory_order_relaxed);
  for (size_t i = 0; i < size_t(frames) * 2; ++i) {
    const float v = silent ? 0.0f : acc[i];
    out[i] = int16_t(std::clamp(v, -32768.0f, 32767.0f));
  }
}

}  // namespace platform
