// The layer shader-effect commands (group 0x13): a raster wave or a radial blur drawn over a
// layer's picture by the platform's effect renderer, blended in (and for the raster out again)
// over a time. At most eight run at once; they are kept in save data and end with their layer.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define LAYER_SHADER_COMMANDS(X)                                                               \
  X(0x130000, "fx_effect_cls", 1, cmd_fx_effect_cls, "ends the layer's shader effect at once") \
  X(0x130001, "fx_raster_stop", 2, cmd_fx_raster_stop,                                         \
    "blends the layer's shader effect out over ms")                                            \
  X(0x130002, "fx_effect_wait", 1, cmd_fx_effect_wait,                                         \
    "waits until the layer's shader effect is off (any skip or click ends the wait)")          \
  X(0x130003, "fx_raster_start", 4, cmd_fx_raster_start,                                       \
    "starts a raster wave on the layer: a, b (hundredths), blend-in ms")                       \
  X(0x130004, "fx_effect_radial_blur", 4, cmd_fx_effect_radial_blur,                           \
    "starts a radial blur on the layer: a, b, c (hundredths)")
