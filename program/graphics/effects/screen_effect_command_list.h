// The screen effects (group 0x10): shake, flush, snow, petals and the raster wave, and their
// stop with a fade-out.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define SCREEN_EFFECT_COMMANDS(X)                                                              \
  X(0x100000, "effect_stop", 2, cmd_effect_stop,                                               \
    "fades out the effects of the kind bits (1 shake, 4 snow, 8 petals, 16 raster) over ms")   \
  X(0x100001, "shake", 4, cmd_shake,                                                           \
    "shakes layers 0-63 (target bit 1: together; bit 0: the text window too) by mode (0 y, "   \
    "1 x, 2 both), amplitude, for ms (-1 endless); a timed shake holds the script")            \
  X(0x100002, "flush", 4, cmd_flush,                                                           \
    "shows red, green, blue over the whole screen for ms and holds the script")                \
  X(0x100003, "snow", 4, cmd_snow,                                                             \
    "lets count (1-255) flakes of a three-cell sheet fall with a drift (-512..512); keep 1: "  \
    "from where they are")                                                                     \
  X(0x100004, "sakura", 4, cmd_sakura,                                                         \
    "lets count (1-127) petals of an eight-cell sheet fall with a drift (-512..512)")          \
  X(0x100005, "raster", 4, cmd_raster,                                                         \
    "starts the full-screen raster wave above layer with amplitudes a2, a3 (percent) over a4 " \
    "ms")
