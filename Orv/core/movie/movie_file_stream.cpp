#include "Orv/core/movie/movie_file_stream.h"

#include <algorithm>

#include "orv/orv.h"
#include "platform/file_handle.h"

bool movie_stream_open(MovieFileStream* s, const char* name) {
  if (!s || !name || !*name) return false;
  movie_stream_close(s);
  FileRange range{};
  OrvFileHandle file = OrvFileCreateEx(name, platform::kGenericRead, 1, platform::kOpenExisting,
                                       0x08000000u /* sequential scan */, &range);
  if (file == kOrvInvalidFile) return false;
  std::lock_guard<std::mutex> guard(s->lock);
  s->file = file;
  s->offset = range.offset;
  s->size = range.size;
  s->position = 0;
  return true;
}

void movie_stream_close(MovieFileStream* s) {
  if (!s) return;
  std::lock_guard<std::mutex> guard(s->lock);
  if (s->file != kOrvInvalidFile) platform::file_close(s->file);
  s->file = kOrvInvalidFile;
  s->size = s->position = 0;
  s->offset = 0;
}

int32_t movie_stream_set_pointer(MovieFileStream* s, int64_t position) {
  std::lock_guard<std::mutex> guard(s->lock);
  if (position < 0 || uint64_t(position) > s->size) return 1;
  s->position = uint64_t(position);
  return 0;
}

bool movie_stream_read(MovieFileStream* s, uint8_t* buffer, uint32_t count, uint32_t* done) {
  std::lock_guard<std::mutex> guard(s->lock);
  *done = 0;
  if (s->file == kOrvInvalidFile) return false;
  const uint64_t left = s->size - std::min(s->position, s->size);
  const uint32_t n = uint32_t(std::min<uint64_t>(count, left));
  if (n == 0) return true;
  if (!platform::file_read_at(s->file, buffer, n, int64_t(s->offset) + int64_t(s->position)))
    return false;
  s->position += n;
  *done = n;
  return true;
}

namespace {

int32_t source_read(void* context, uint8_t* buffer, int32_t bytes) {
  if (bytes <= 0) return 0;
  uint32_t done = 0;
  if (!movie_stream_read(static_cast<MovieFileStream*>(context), buffer, uint32_t(bytes), &done))
    return -1;
  return int32_t(done);
}

int64_t source_seek(void* context, int64_t position) {
  return movie_stream_set_pointer(static_cast<MovieFileStream*>(context), position) == 0 ? position
                                                                                         : -1;
}

}  // namespace

platform::MovieSource movie_stream_source(MovieFileStream* s) {
  platform::MovieSource source;
  source.context = s;
  source.read = source_read;
  source.seek = source_seek;
  source.size = int64_t(s->size);
  source.max_pixels = int64_t{platform::kMovieMaxSide} * platform::kMovieMaxSide;
  return source;
}
