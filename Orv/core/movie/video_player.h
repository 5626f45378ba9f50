// The full-screen video: one movie over the whole game picture while the game's frame work
// stands still.
//
// While it plays (the video-playing flag that IsMovie reports) the frame draw of either
// renderer fills the game picture with the movie's current frame on black, fitted to the
// screen, its alpha the fade level; the game thread steps the video once a frame (skip keys,
// the fade after a skip, the movie's own end or failure) and posts what happened to the window
// thread as message 0x8064, which ends the video or, after a decoding failure, reopens it at
// its position.
//
// Exports (orv/exports.h, "movie sprites and video"):
//   OrvVideoPlay(name, skip_mode) -> 1 started / 0
//     ".mpg" (any case) plays as an MPEG program stream; ".wmv" as ASF when the start
//     parameters' movie-format field is nonzero, found by its full path, and only with a sound
//     stream; any other name, a missing file or one that does not open: 0. Skip mode 0 skips on
//     Esc and the right button, any other mode also on Space, Enter and the left button; never
//     while Alt and Enter are held. With screen effects on, a skip fades picture and sound out
//     over 1000 ms first. Any thread.
//   OrvSetVideoVolumeType(type): the low two bits choose the video's volume from the sound
//     types (0: type 3; 1: type 0; 2: type 3 x type 0 / 10000; 3: type 3 - type 0; limited to
//     0..10000, master volume included); returns the bits that changed.
//   OrvVideoSaveState / OrvVideoRestoreState: copy the state, fade start and fade time to or
//     from their backup.
#pragma once

#include <cstdint>

struct Renderer;

// The game thread's step, once a frame while the video plays (after the input of the frame).
void video_frame_step();
// The window thread's handling of 0x8064: ends the video on completion or a user abort;
// reopens it at its position after a decoding failure (once per position: a failure again
// before the position advanced, or a reopen that fails, ends it).
void video_window_events();
// Draws the current frame over black (the frame draw, game thread, under the render lock).
void video_draw(const Renderer* renderer);
// Ends any video at once (OrvUninit).
void video_shutdown();

// Tests: waits until the playing video has decoded past `ms` (movie_player_wait_decoded).
bool video_wait_decoded(int64_t ms);
// Tests: the playing video's sound volume in hundredths of a decibel (-10000 without).
int32_t video_sound_volume();
// Tests: reports a decoding failure of the playing video, as the player does.
void video_report_error();
// Tests: the fade level (0..100) and the video state word (0 idle, 1 playing, 2 fading,
// 3 skip requested).
int32_t video_fade_level();
int32_t video_state();
