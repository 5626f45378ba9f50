// Ogg Vorbis sounds: the whole file in memory, decoded by the platform's decoder.
#include <new>

#include "Orv/core/sound/sound_log.h"
#include "Orv/core/sound/sound_source.h"
#include "orv/orv.h"

namespace {

void free_file_bytes(void* data) {
  OrvMemoryFree(data);
}

// Files above this size are not Ogg sounds we load whole into memory.
constexpr uint64_t kMaxOggBytes = 1ull << 30;

}  // namespace

OggStream* ogg_stream_open(SoundFile* file, const char* name) {
  auto* stream = static_cast<OggStream*>(OrvMemoryAlloc(sizeof(OggStream), 1));
  if (!stream) {
    sound_error_log("Ogg Memory Alocate Error");
    return nullptr;
  }
  new (stream) OggStream{};
  if (!file || !file->is_open()) {
    sound_error_log("Ogg File Open Error %s", name ? name : "");
    OrvMemoryFree(stream);
    return nullptr;
  }
  uint8_t* bytes = nullptr;
  if (file->size > 0 && file->size <= kMaxOggBytes)
    bytes = static_cast<uint8_t*>(OrvMemoryAlloc(uint32_t(file->size), 1));
  if (!bytes) {
    sound_error_log("Ogg Callback Memory Aloacte Error");
    OrvMemoryFree(stream);
    return nullptr;
  }
  sound_file_seek(file, 0);
  const uint32_t got = sound_file_read(file, bytes, uint32_t(file->size));
  stream->source.data = bytes;
  stream->source.size = got;
  stream->source.release = &free_file_bytes;
  stream->decoder = platform::ogg_decoder_open(&stream->source, &stream->info);
  if (!stream->decoder) {
    OrvMemoryFree(bytes);
    OrvMemoryFree(stream);
    return nullptr;
  }
  stream->total_bytes = stream->info.total_frames * stream->info.channels * 2;
  return stream;
}

void ogg_stream_close(OggStream* stream) {
  if (!stream) return;
  platform::ogg_decoder_close(stream->decoder);  // releases the file's bytes
  OrvMemoryFree(stream);
}
