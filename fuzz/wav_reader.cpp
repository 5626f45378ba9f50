// The WAV reader: header walk, then every sample read, as a static sound and as music
// converted to the stream format.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Orv/core/sound/sound_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SoundFile file;
  sound_file_open_memory(data, size, &file);
  WavInfo info;
  if (!wav_read_header(&file, &info)) return 0;
  if (info.data_offset + info.data_bytes > size) std::abort();
  for (bool music : {false, true}) {
    SoundSource* s = sound_source_new(SoundSourceKind::kWav);
    s->file = file;
    s->format = info.format;
    s->data_offset = info.data_offset;
    s->data_bytes = info.data_bytes;
    if (!music || sound_source_convert_to_stream(s)) {
      std::vector<uint8_t> chunk(4096);
      uint64_t total = 0;
      while (uint32_t n = sound_source_read(s, chunk.data(), uint32_t(chunk.size()))) {
        total += n;
        // Our side works per chunk, so half a megabyte shows all of it; the resampler's own
        // work on megabytes more held the target to about a thousand inputs a second.
        if (total > (512u << 10)) break;
      }
      sound_source_seek(s, sound_source_total_bytes(s) / 2);
      sound_source_read(s, chunk.data(), uint32_t(chunk.size()));
    }
    s->file = SoundFile{};  // the memory belongs to the fuzzer
    sound_source_close(s);
  }
  return 0;
}
