// The particle effects on layer pictures (group 0x03): disintegration into falling pixels, a
// hole burnt into the picture with a glowing wind, and the map-driven disperse and return.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define PARTICLE_COMMANDS(X)                                                                \
  X(0x03006d, "sp_particle_init", 12, cmd_sp_particle_init,                                 \
    "breaks layer's rectangle x, y, w, h into pixels: total ms, life share, gravity, wind " \
    "(per mille), speed ranges, one unused value")                                          \
  X(0x03006e, "sp_particle_update", 1, cmd_sp_particle_update,                              \
    "moves the pixels to elapsed ms and paints them into the picture")                      \
  X(0x03006f, "sp_particle_is_end", 0, cmd_sp_particle_is_end,                              \
    "1 once an update found no pixel left to draw")                                         \
  X(0x030070, "sp_particle_nop", 0, cmd_sp_particle_nop, "does nothing")                    \
  X(0x030071, "sp_hole_wind_init", 6, cmd_sp_hole_wind_init,                                \
    "starts a hole in layer's picture at centre x, y growing to a radius over ms, with a "  \
    "wind of a strength")                                                                   \
  X(0x030072, "sp_hole_wind_update", 1, cmd_sp_hole_wind_update,                            \
    "grows the hole and moves its particles to time ms")                                    \
  X(0x030073, "sp_hole_wind_is_end", 0, cmd_sp_hole_wind_is_end,                            \
    "1 once the updates have run the hole's whole duration")                                \
  X(0x030074, "sp_hole_wind_release", 0, cmd_sp_hole_wind_release,                          \
    "frees the hole's copy of the picture and its particles")                               \
  X(0x030075, "sp_particle_target_init", 6, cmd_sp_particle_target_init,                    \
    "particle layer index takes layer's rectangle x, y, w, h as its target")                \
  X(0x030076, "sp_particle_emit_init", 2, cmd_sp_particle_emit_init,                        \
    "particle layer index takes layer's picture as its emit map")                           \
  X(0x030077, "sp_particle_force_init", 2, cmd_sp_particle_force_init,                      \
    "particle layer index takes layer's picture as its force map")                          \
  X(0x030078, "sp_particle_layer_init", 5, cmd_sp_particle_layer_init,                      \
    "builds the points of particle layer index: emission ms, end ms, two unused values")    \
  X(0x030079, "sp_particle_layer_update", 3, cmd_sp_particle_layer_update,                  \
    "moves particle layer index's points to time ms (the second value is unused)")          \
  X(0x03007a, "sp_particle_layer_is_end", 1, cmd_sp_particle_layer_is_end,                  \
    "1 once an update reached the end time, or for no such index")                          \
  X(0x03007b, "sp_particle_layer_reset", 1, cmd_sp_particle_layer_reset,                    \
    "empties particle layer index: target, points and maps")                                \
  X(0x03007c, "sp_particle_layer_restart", 1, cmd_sp_particle_layer_restart,                \
    "sets particle layer index's time base back to 0")
