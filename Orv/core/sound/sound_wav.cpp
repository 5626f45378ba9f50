// RIFF WAVE headers: the chunk walk.
#include <cstring>

#include "Orv/core/sound/sound_source.h"
#include "shared/byte_codec.h"

namespace {

constexpr uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

bool wav_read_header(SoundFile* file, WavInfo* info) {
  uint8_t head[12];
  sound_file_seek(file, 0);
  if (sound_file_read(file, head, 12) != 12) return false;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
  bool have_format = false;
  uint64_t at = 12;
  // Every chunk moves `at` forward by at least 8 bytes, so the walk ends within the file.
  while (at + 8 <= file->size) {
    uint8_t chunk[8];
    sound_file_seek(file, at);
    if (sound_file_read(file, chunk, 8) != 8) return false;
    codec::ByteReader c(chunk, sizeof chunk);
    c.skip(4);  // the chunk id
    const uint32_t bytes = c.u32();
    const uint64_t body = at + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (bytes < 16) return false;
      uint8_t f[16];
      if (sound_file_read(file, f, 16) != 16) return false;
      platform::WaveFormat& w = info->format;
      codec::ByteReader r(f, sizeof f);
      platform::wave_format_sync(r, w);
      w.extra_size = 0;
      if (w.format_tag == kFormatExtensible && bytes >= 40) {
        // The extensible form names its sample format in a GUID whose first word is the tag.
        uint8_t ext[24];
        if (sound_file_read(file, ext, 24) != 24) return false;
        codec::ByteReader x(ext, sizeof ext);
        x.skip(2);  // the extension's size
        const uint16_t valid_bits = x.u16();
        x.skip(4);  // the channel mask
        if (x.u16() == 1 && valid_bits == w.bits_per_sample) w.format_tag = 1;
      }
      if (!platform::wave_format_playable(w)) return false;
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format) return false;
      info->data_offset = body;
      // A data size that claims more than the file holds is cut to what is there.
      const uint64_t left = file->size - body;
      uint64_t n = bytes < left ? bytes : left;
      n -= n % info->format.block_align;
      info->data_bytes = n;
      return true;
    }
    at = body + bytes + (bytes & 1);  // chunks are padded to even sizes
  }
  return false;
}
