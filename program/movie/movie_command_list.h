// The movie commands of group 0x0b: full-screen movies and movie sprites in layers.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define MOVIE_COMMANDS(X)                                                                              \
  X(0x0b0000, "movie_play", 2, cmd_movie_play, "play a full-screen movie (.wmv, then .mpg); the script goes on after it") \
  X(0x0b0001, "msp_set", 8, cmd_msp_set, "load a movie sprite into a layer and play it, with loop points") \
  X(0x0b0002, "msp_cls", 1, cmd_msp_cls, "clear a movie sprite's layer (-1 all), as sp_cls")            \
  X(0x0b0003, "msp_wait", 1, cmd_msp_wait, "wait until a layer's movie sprite ends (loop off; skip ends it)") \
  X(0x0b0004, "msp_lock", 1, cmd_msp_lock, "set a movie sprite's frame lock")                           \
  X(0x0b0005, "msp_unlock", 1, cmd_msp_unlock, "clear a movie sprite's frame lock")                     \
  X(0x0b0006, "msp_play", 2, cmd_msp_play, "play a layer's movie sprite, looping or not")               \
  X(0x0b0007, "msp_stop", 1, cmd_msp_stop, "stop a layer's movie sprite")                               \
  X(0x0b0008, "movie_set_volume_type", 1, cmd_movie_set_volume_type, "how the full-screen movie's volume follows music and movie volumes") \
  X(0x0b0009, "movie_set_volume", 1, cmd_movie_set_volume, "movie volume 0..100")                       \
  X(0x0b000a, "movie_get_volume", 0, cmd_movie_get_volume, "movie volume 0..100")                       \
  X(0x0b000b, "movie_mute", 1, cmd_movie_mute, "mute the movie sound type")                             \
  X(0x0b000c, "msp_get_state", 1, cmd_msp_get_state, "a movie sprite's state: 1 playing, 2 stopped, 6 ended") \
  X(0x0b000d, "msp_set_volume", 2, cmd_msp_set_volume, "a movie sprite's volume 0..100")
// clang-format on
