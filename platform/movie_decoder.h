// Movie decoding: our stand-in for the movie graph's splitter and decoders.
//
// A decoder reads a movie through the caller's byte source (so a movie can be a member of an
// archive), demuxes it with the container the caller names (never a probe: the file's kind
// decides), and gives one video frame or one run of sound at a time: pictures converted to
// BGRA (alpha 255, top row first) at the size the caller asks for, whatever size the stream
// has or changes to; sound as 44,100 Hz stereo signed 16-bit.
//
// The video libraries (demuxer, decoders, scaler) are loaded on the first open, not at
// start-up: a game that never plays a movie never loads them.
//
// Threads: one decoder is used by one thread at a time; different decoders may run at once.
// Failure: null or false with the reason in words; nothing here throws or ends the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The largest side of a movie picture that opens.
constexpr int32_t kMovieMaxSide = 16384;

// Where the movie's bytes come from. read returns the bytes read (0 at the end, -1 on an
// error); seek moves to an absolute position (0..size) and returns it, or -1.
struct MovieSource {
  void* context = nullptr;
  int32_t (*read)(void* context, uint8_t* buffer, int32_t bytes) = nullptr;
  int64_t (*seek)(void* context, int64_t position) = nullptr;
  int64_t size = 0;
  // The largest picture (width x height) the caller takes; a larger one is not decoded, so a
  // damaged header that claims a huge picture costs no huge buffers. 0: no limit beyond the
  // decoder's own.
  int64_t max_pixels = 0;
};

enum class MovieContainer {
  kMpegProgram,  // MPEG-1/2 program (system) stream: ".mpg" and movie sprites
  kAsf,          // Advanced Systems Format: ".wmv"
};

struct MovieStreams {
  int32_t width = 0, height = 0;  // the video's size when it opened
  bool audio = false;             // it has a sound stream we can decode
  int64_t duration_ms = 0;        // 0 when the container does not say
};

struct MovieDecoder;  // opaque

// Loads the video libraries once; true when they are there. Any thread.
bool movie_libraries_load(std::string* error);
// Whether they are loaded (a test of "not at start-up").
bool movie_libraries_loaded();

// Opens the movie: the container's header, its first video stream (required) and its first
// sound stream (optional). Null with the reason when the bytes are not such a movie or the
// libraries are missing. The source must outlive the decoder.
MovieDecoder* movie_decoder_open(const MovieSource& source, MovieContainer container,
                                 MovieStreams* streams, std::string* error);
void movie_decoder_close(MovieDecoder* decoder);

enum class MovieStep {
  kVideo,    // a picture was written to `pixels`; *time_ms is when it is due
  kAudio,    // samples were appended to `audio`; *time_ms is when the first is due
  kDropped,  // something was decoded and dropped (a damaged picture, before a seek's target)
  kEnd,      // nothing more: every stream has ended
  kError,    // the demuxer or a decoder failed for good
};

// Decodes until one picture or one run of sound comes out. `pixels` holds width x height
// pixels (rows width apart); a picture that does not decode whole is dropped, never shown.
MovieStep movie_decoder_step(MovieDecoder* decoder, int32_t width, int32_t height, uint32_t* pixels,
                             std::vector<int16_t>* audio, int64_t* time_ms);

// Moves to `ms` from the movie's start: the demuxer seeks at or before it and what decodes
// before it is dropped (containers land early). False when the demuxer cannot seek.
bool movie_decoder_seek(MovieDecoder* decoder, int64_t ms);

}  // namespace platform
