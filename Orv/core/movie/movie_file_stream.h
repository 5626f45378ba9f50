// The movie reader: a movie's bytes read from the byte range that OrvFileCreateEx gives, so a
// movie plays the same loose or as a member of a .pac archive.
//
// The stream owns the file handle it opened. Positions are relative to the member's start;
// nothing is read outside the range. Reads and pointer moves are serialised by the stream's
// lock, so that a pointer move and the read after it stay together.
#pragma once

#include <cstdint>
#include <mutex>

#include "orv/types.h"
#include "platform/movie_decoder.h"

struct MovieFileStream {
  OrvFileHandle file = kOrvInvalidFile;
  uint32_t offset = 0;  // where the member starts in the opened file
  uint64_t size = 0;    // the member's size
  uint64_t position = 0;
  std::mutex lock;
};

// Opens `name` (a game file name, loose or in an archive) for reading. False when not found.
bool movie_stream_open(MovieFileStream* stream, const char* name);
// Closes the file; the stream may be opened again.
void movie_stream_close(MovieFileStream* stream);

// Moves to `position`: 0 when it lies in 0..size (the size itself included), 1 (nothing
// moved) when it lies outside.
int32_t movie_stream_set_pointer(MovieFileStream* stream, int64_t position);
// Reads up to `count` bytes from the position, limited to what is left of the member;
// *done gets the count read (0 at the end). False on a read error.
bool movie_stream_read(MovieFileStream* stream, uint8_t* buffer, uint32_t count, uint32_t* done);

// The stream as the decoder's byte source (valid while the stream is open).
platform::MovieSource movie_stream_source(MovieFileStream* stream);
