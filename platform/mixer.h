// The mixer: our stand-in for the DirectSound device and its secondary buffers.
//
// A buffer holds PCM in its own format (8- or 16-bit, mono or stereo, any rate) and plays it
// from a play cursor, once or looping, with a volume in hundredths of a decibel (gain
// 10^(v/2000), never above 0 dB), a pan with the same law (-10000 left .. 10000 right: the far
// side is attenuated by |pan| hundredths of a decibel) and a frequency that a linear resampler
// turns into the output rate. Lock and unlock give the caller the bytes of a region, split in two
// where it wraps. A duplicate shares its original's PCM and has its own cursor and volume.
// Notifications fire when the play cursor reaches an offset, or when the buffer stops.
//
// Threads: every call may come from any thread. The output (an SDL audio device, or a null
// output thread when none can be opened) pulls the mix through mix(); mix() takes only the
// mixer's own short lock, never a lock of the caller's. Notification callbacks run inside that
// lock and must only set flags or signal events. Tests create the mixer without output and pull
// samples with mix() themselves.
//
// Failure: calls on a null buffer return false or 0; nothing here throws.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// The 18 bytes of a wave format as files and callers see it (WAVEFORMATEX).
struct WaveFormat {
  uint16_t format_tag = 1;  // 1 = PCM, the only tag a buffer accepts
  uint16_t channels = 2;
  uint32_t samples_per_sec = 44100;
  uint32_t avg_bytes_per_sec = 176400;
  uint16_t block_align = 4;
  uint16_t bits_per_sample = 16;
  uint16_t extra_size = 0;
};
constexpr uint32_t kWaveFormatBytes = 18;
// The fields as a WAVE "fmt " chunk begins with them (16 bytes; the 18-byte stored form adds
// extra_size), one field list for reading and writing (shared/byte_codec.h).
template <class IO>
constexpr void wave_format_sync(IO& io, WaveFormat& f) {
  io.u16(f.format_tag);
  io.u16(f.channels);
  io.u32(f.samples_per_sec);
  io.u32(f.avg_bytes_per_sec);
  io.u16(f.block_align);
  io.u16(f.bits_per_sample);
}
// Writes the format little-endian into 18 bytes.
void wave_format_write(const WaveFormat& format, uint8_t out[kWaveFormatBytes]);
// A format the mixer can play: PCM, 1 or 2 channels, 8 or 16 bits, 100-200000 Hz, matching
// block align.
bool wave_format_playable(const WaveFormat& format);

constexpr uint32_t kMixRate = 44100;  // the output: 44,100 Hz, stereo, signed 16-bit
constexpr int32_t kVolumeMin = -10000;
constexpr int32_t kVolumeMax = 0;
constexpr uint32_t kStatusPlaying = 1, kStatusLooping = 4;
constexpr uint32_t kNotifyStop = 0xFFFFFFFFu;  // notification offset: the buffer stopped
constexpr uint32_t kFrequencyOriginal = 0;     // set_frequency: back to the format's own rate

// Linear gain of a volume in hundredths of a decibel: 0 at -10000 and below, 1 at 0 and above.
float volume_gain(int32_t hundredths_db);

struct MixBuffer;  // opaque; owned by the mixer between create_buffer and release_buffer

// Called from the mixing thread (or from stop()) with the index of the notification that fired.
using NotifyFn = void (*)(void* context, uint32_t index);

// A locked region: up to two parts when it wraps past the end of the buffer.
struct LockedRegion {
  uint8_t* part1 = nullptr;
  uint32_t bytes1 = 0;
  uint8_t* part2 = nullptr;
  uint32_t bytes2 = 0;
};

class Mixer {
 public:
  Mixer();
  ~Mixer();  // closes the output and releases every buffer
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Starts playing the mix: an SDL audio device, or, when none can be opened, a null output
  // thread that consumes the mix at real-time pace (one line on stderr says so). Always true.
  bool open_output();
  void close_output();
  bool has_device() const { return device_ != 0; }
  // Silence the output (the mix still advances), e.g. while the game's window is inactive.
  void set_silent(bool silent) { silent_.store(silent); }

  // Creates a stopped buffer of `bytes` zeroed bytes (a whole number of blocks, at least one
  // block). Null when the format is not playable or the size is 0 or above 256 MiB.
  MixBuffer* create_buffer(const WaveFormat& format, uint32_t bytes);
  // A new buffer that shares `original`'s PCM (the PCM lives until both are released).
  MixBuffer* duplicate_buffer(MixBuffer* original);
  void release_buffer(MixBuffer* buffer);

  bool play(MixBuffer* buffer, bool looping);
  // Stops; the cursor stays where it is. Fires the stop notification when it was playing.
  bool stop(MixBuffer* buffer);
  bool set_position(MixBuffer* buffer, uint32_t play_cursor);
  // Play and write cursors in bytes; the write cursor is where it is safe to write (a little
  // ahead of the play cursor while playing).
  bool get_position(MixBuffer* buffer, uint32_t* play_cursor, uint32_t* write_cursor);
  uint32_t status(MixBuffer* buffer);
  bool set_volume(MixBuffer* buffer, int32_t hundredths_db);  // clamped to -10000..0
  int32_t volume(MixBuffer* buffer);
  bool set_pan(MixBuffer* buffer, int32_t pan);  // -10000..10000, else false
  int32_t pan(MixBuffer* buffer);
  // Hz in 100..200000, or kFrequencyOriginal; else false.
  bool set_frequency(MixBuffer* buffer, uint32_t hertz);
  uint32_t frequency(MixBuffer* buffer);  // the rate in effect; 0 for a null buffer
  bool format(MixBuffer* buffer, WaveFormat* out);
  uint32_t size(MixBuffer* buffer);

  // Access to `bytes` bytes from `offset` (bytes 0 = the whole buffer). False when the region
  // does not lie in the buffer. The pointers stay valid until the buffer is released.
  bool lock(MixBuffer* buffer, uint32_t offset, uint32_t bytes, LockedRegion* region);
  bool unlock(MixBuffer* buffer, const LockedRegion& region);

  // Notifications at byte offsets (kNotifyStop for the stop); replaces the previous set.
  // Only while the buffer is stopped, as the device requires.
  bool set_notifications(MixBuffer* buffer, const uint32_t* offsets, uint32_t count, NotifyFn fn,
                         void* context);

  // Mixes `frames` stereo frames of the output into out (2 x frames samples) and advances every
  // playing buffer. The output's callback calls it; tests call it directly.
  void mix(int16_t* out, uint32_t frames);

 private:
  static void sdl_callback(void* self, uint8_t* stream, int len);
  void null_output_loop();
  void fire_locked(MixBuffer* b, uint32_t offset_from, uint64_t advance);

  std::mutex mutex_;  // guards the buffer list and every buffer's play state
  std::vector<MixBuffer*> buffers_;
  std::vector<float> scratch_;
  std::atomic<bool> silent_{false};
  uint32_t device_ = 0;  // SDL audio device id, 0 when none
  bool sdl_audio_inited_ = false;
  std::thread null_thread_;
  std::atomic<bool> null_running_{false};
};

}  // namespace platform
