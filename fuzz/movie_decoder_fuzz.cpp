// The movie path: arbitrary bytes as a movie's byte source (bounded reads and seeks, as the
// reader over a file range gives them), through the demuxer the first byte names (program
// stream or ASF), and a few pictures and runs of sound decoded and converted, with a seek.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/movie_decoder.h"

namespace {

struct Memory {
  const uint8_t* data;
  int64_t size;
  int64_t position;
};

int32_t memory_read(void* context, uint8_t* buffer, int32_t bytes) {
  auto* m = static_cast<Memory*>(context);
  const int64_t n = std::min<int64_t>(bytes, m->size - m->position);
  if (n <= 0) return 0;
  std::memcpy(buffer, m->data + m->position, size_t(n));
  m->position += n;
  return int32_t(n);
}

int64_t memory_seek(void* context, int64_t position) {
  auto* m = static_cast<Memory*>(context);
  if (position < 0 || position > m->size) return -1;
  m->position = position;
  return position;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto container =
      (data[0] & 1) ? platform::MovieContainer::kAsf : platform::MovieContainer::kMpegProgram;
  Memory memory{data + 1, int64_t(size - 1), 0};
  platform::MovieSource source;
  source.context = &memory;
  source.read = memory_read;
  source.seek = memory_seek;
  source.size = memory.size;
  // Headers that claim huge pictures made the decoders clear tens of megabytes per input (most
  // of the time went there); pictures up to 512 x 512 reach every decoding path all the same.
  source.max_pixels = 512 * 512;
  platform::MovieStreams streams;
  platform::MovieDecoder* d = platform::movie_decoder_open(source, container, &streams, nullptr);
  if (!d) return 0;
  // A small picture of any shape, as a sprite image would be (a width that is no multiple of 4
  // included).
  const int32_t w = 1 + (data[0] >> 1) % 37, h = 1 + (data[0] >> 3) % 23;
  std::vector<uint32_t> pixels(size_t(w) * size_t(h));
  std::vector<int16_t> sound;
  int64_t ms = 0;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 12; ++i) {
      sound.clear();
      const platform::MovieStep step =
          platform::movie_decoder_step(d, w, h, pixels.data(), &sound, &ms);
      if (step == platform::MovieStep::kEnd || step == platform::MovieStep::kError) break;
    }
    if (!platform::movie_decoder_seek(d, 40)) break;
  }
  platform::movie_decoder_close(d);
  return 0;
}
