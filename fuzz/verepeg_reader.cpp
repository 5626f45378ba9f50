// The VerEpeg header reader: whatever it accepts must describe a stream inside the file.
#include <cstdint>
#include <cstdlib>

#include "Orv/core/sound/sound_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SoundFile file;
  sound_file_open_memory(data, size, &file);
  VerEpegInfo info;
  if (!verepeg_read_header(&file, &info)) return 0;
  if (info.data_start > info.loop || info.loop > info.end || info.end > size) std::abort();
  SoundSource* s = sound_source_new(SoundSourceKind::kVerEpeg);
  s->file = file;
  uint8_t chunk[4096];
  sound_source_seek(s, info.loop);
  while (sound_source_read(s, chunk, sizeof chunk)) {
  }
  s->file = SoundFile{};
  sound_source_close(s);
  return 0;
}
