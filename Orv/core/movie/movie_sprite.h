// Movie sprites: an ordinary sprite whose image a movie fills frame by frame.
//
// The sprite sits in a render list with a draw callback of its own: on the game thread, while
// the movie plays, the callback takes the movie's events (at its end the movie loops back to
// the loop start, or ends), copies the picture that is due into the sprite's image and draws
// the sprite as any other. Released with OrvSpriteRelease, which releases the movie.
//
// Exports (orv/exports.h, "movie sprites and video"). A null or dead sprite: last error 6, 0.
//   OrvMSpriteLoad(list, name, priority) -> sprite
//     A hidden sprite of the video's size at (0, 0) with an image of that size, not playing
//     (state 0). The movie is an MPEG-1 system stream, loose or in an archive; its sound plays
//     at the type 4 volume (master volume included). 0 for a bad list (last error 6) or a file
//     that is missing or no such movie (one line on stderr naming it).
//   OrvMSpriteInfoCreate(name, width, height, priority) -> sprite
//     An image-less sprite record: with a name, of the movie's video size (0 when it does not
//     open); without, of width x height.
//   OrvMSpritePlay(sprite, loop): stores loop and plays from where the movie stands; 1.
//   OrvMSpriteStop(sprite): pauses a playing movie (state stopped); 1, also when not playing.
//   OrvMSpritePause(sprite): does nothing; 1.
//   OrvMSpriteSetLoop(sprite, loop), OrvMSpriteSetLoopPoint(sprite, start ms, end ms): the loop
//     flag; where a loop jumps to and where the looped part ends (end 0 keeps the end, which
//     starts as the movie's duration). 1; 0 for a sprite without movie.
//   OrvMSpriteIsLoop(sprite): bit 31 of the state (which nothing sets: 0).
//   OrvMSpriteGetState(sprite): 0 loaded, 1 playing, 2 stopped, 6 ended.
//   OrvMSpriteLock / OrvMSpriteUnlock: a flag that is kept and not consulted; 1.
//   OrvMSpriteCheck(sprite): 1 for a movie sprite, else 0.
//   OrvMSpriteSetVolume(sprite, 0-100): type 4 volume x volume / 100, master volume included;
//     OrvMSpriteSetVolumeEx: volume x 100, master included. 0 for a movie without sound.
#pragma once

#include <cstdint>

#include "orv/types.h"

struct MoviePlayer;

// The movie record of a movie sprite (OrvSprite::movie).
struct MovieRecord {
  MoviePlayer* player = nullptr;
  uint32_t loop_start = 0, loop_end = 0;  // milliseconds
  int32_t width = 0, height = 0;
  int32_t frame_lock = 0;
  int32_t loop = 0;
  uint32_t state = 0;  // bit 0 playing, bit 1 stopped, 6 ended; bit 31 kept as it is
  int32_t seek_failures = 0;
  bool sound = false;
  int64_t duration_ms = 0;
  char file_name[260] = {};
};

constexpr uint32_t kMovieStatePlaying = 1, kMovieStateStopped = 2, kMovieStateEnded = 6;

// The render-node callback of movie sprites (user data: the sprite id).
int32_t movie_sprite_draw_callback(void* renderer, uintptr_t sprite_id);
