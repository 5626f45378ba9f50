// The Ogg path: the file's bytes through the memory callbacks into the decoder, decoded (with
// a bound), seeked and converted as music would be. Page checksums are made right first.
#include <cstdint>
#include <vector>

#include "Orv/core/sound/sound_source.h"

namespace {

// Ogg's page checksum: CRC-32 with polynomial 0x04C11DB7, not reflected, initial value 0.
uint32_t ogg_crc(const uint8_t* p, size_t n) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
      table[i] = r;
    }
  }
  uint32_t crc = 0;
  for (size_t i = 0; i < n; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ p[i]) & 0xFF];
  return crc;
}

// libogg drops every page whose checksum does not match, and offers no switch: a mutated byte
// would stop nearly every input there, before the decoder. The input's pages get their right
// checksums first, as far as they run back to back from the start.
void fix_page_checksums(std::vector<uint8_t>& b) {
  size_t at = 0;
  while (b.size() - at >= 27 && b[at] == 'O' && b[at + 1] == 'g' && b[at + 2] == 'g' &&
         b[at + 3] == 'S') {
    const size_t segments = b[at + 26];
    if (b.size() - at < 27 + segments) return;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += b[at + 27 + i];
    const size_t page = 27 + segments + body;
    if (b.size() - at < page) return;
    for (int i = 0; i < 4; ++i) b[at + 22 + i] = 0;
    const uint32_t crc = ogg_crc(b.data() + at, page);
    for (int i = 0; i < 4; ++i) b[at + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    at += page;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  std::vector<uint8_t> bytes(input, input + size);
  fix_page_checksums(bytes);
  const uint8_t* data = bytes.data();
  SoundFile file;
  sound_file_open_memory(data, size, &file);
  OggStream* stream = ogg_stream_open(&file, "fuzz");
  if (!stream) return 0;
  SoundSource* s = sound_source_new(SoundSourceKind::kOgg);
  s->ogg = stream;
  std::vector<uint8_t> chunk(8192);
  uint64_t total = 0;
  while (uint32_t n = sound_source_read(s, chunk.data(), uint32_t(chunk.size()))) {
    total += n;
    if (total > (4u << 20)) break;
  }
  sound_source_seek(s, 0);
  if (sound_source_convert_to_stream(s)) {
    sound_source_seek(s, sound_source_total_bytes(s) / 2);
    sound_source_read(s, chunk.data(), uint32_t(chunk.size()));
  }
  sound_source_close(s);
  return 0;
}

// libvorbisfile itself leaks a few bytes on some headers it refuses (inside its open, after
// which it has cleared the file); that is not ours to mend.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libvorbisfile.so\n";
}
