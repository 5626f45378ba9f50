// The Ogg path: the file's bytes through the memory callbacks into the decoder, decoded (with
// a bound), seeked and converted as music would be.
#include <cstdint>
#include <vector>

#include "Orv/core/sound/sound_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }
