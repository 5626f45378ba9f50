// The movie player: one movie decoded on a thread of its own, for a movie sprite or for the
// full-screen video.
//
// The decode thread fills a small queue of pictures already converted to BGRA at the size the
// owner asked for (the sprite image's size), and writes the sound into a looping stream of the
// mixer that lies outside the sound channels. The movie's clock is the sound's play position;
// a movie without sound follows the library's clock (platform::time_ms, which tests inject).
// The owner takes the picture that is due on its own thread (the game thread) and copies it
// into its image; pictures that were due earlier are dropped.
//
// Three events end or break a movie: complete (the last picture was taken, or the clock passed
// the stop position), error (the demuxer or a decoder failed for good, or the loop seek failed)
// and the owner's own user abort.
//
// Threads: every function may be called from any thread; the decode thread only touches the
// player's own records (and the mixer, which has its own lock).
#pragma once

#include <cstdint>
#include <string>

#include "platform/movie_decoder.h"

struct MoviePlayer;  // opaque

struct MoviePlayerOptions {
  platform::MovieContainer container = platform::MovieContainer::kMpegProgram;
  // Picture size; 0 x 0: the video's own size. fit: the picture keeps the video's shape inside
  // width x height (the full-screen video), else it fills width x height.
  int32_t width = 0, height = 0;
  bool fit = false;
  bool require_audio = false;  // refuse a movie without a sound stream
  int32_t volume = 0;          // hundredths of a decibel, -10000..0
};

// The reason movie_player_open gives for a file that is not there.
inline constexpr const char* kMovieNotFound = "not found";

// Opens `name` through the game's files and starts decoding (paused). Null with the reason.
MoviePlayer* movie_player_open(const char* name, const MoviePlayerOptions& options,
                               std::string* error);
// Stops the thread, releases the sound stream and closes the file. Null does nothing.
void movie_player_close(MoviePlayer* player);

const platform::MovieStreams& movie_player_streams(const MoviePlayer* player);
// The size pictures are converted to.
int32_t movie_player_width(const MoviePlayer* player);
int32_t movie_player_height(const MoviePlayer* player);

// Runs or pauses the clock (and the sound).
void movie_player_run(MoviePlayer* player);
void movie_player_pause(MoviePlayer* player);
bool movie_player_running(const MoviePlayer* player);

// Goes to `ms` from the movie's start: the queue is emptied, the clock set there.
void movie_player_seek(MoviePlayer* player, int64_t ms);
// Where the movie plays from ms on stops (complete): 0 for the movie's end.
void movie_player_set_stop(MoviePlayer* player, int64_t ms);
// The clock in milliseconds from the movie's start.
int64_t movie_player_position(MoviePlayer* player);

void movie_player_set_volume(MoviePlayer* player, int32_t hundredths_db);

// Takes the newest picture due by the clock into `pixels` (rows `pitch` pixels apart, at least
// the player's size); false when none is due that was not taken already.
bool movie_player_take(MoviePlayer* player, uint32_t* pixels, int32_t pitch);

enum class MovieEvent { kNone, kComplete, kError };
// The event that holds now: complete once the last picture was taken (or the stop position
// passed); error when decoding failed for good. It stays until a seek.
MovieEvent movie_player_event(MoviePlayer* player);

// Stops every open player's decoding and releases its sound stream (before the mixer goes at
// shutdown); the players stay open, silent and still, until their owners close them.
void movie_players_stop_all();

// Tests, which take no timing on trust: waits until the decoder has a picture past `ms`
// queued, has ended, or has filled its queue (bounded by ten seconds). True in the first two
// cases: then a take shows the picture due at `ms`.
bool movie_player_wait_decoded(MoviePlayer* player, int64_t ms);
// The sound stream's volume in hundredths of a decibel (-10000 without sound).
int32_t movie_player_volume(MoviePlayer* player);
