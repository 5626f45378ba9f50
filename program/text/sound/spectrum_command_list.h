// The spectrum analyser's commands of group 0x04.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define SPECTRUM_COMMANDS(X)                                                                      \
  X(0x040015, "spectrum_create", 2, cmd_spectrum_create, "make the spectrum analyser (two values unused)") \
  X(0x040016, "spectrum_set_param", 1, cmd_spectrum_set_param, "number of bands the script reads")  \
  X(0x040017, "spectrum_set_sound", 1, cmd_spectrum_set_sound, "take the channels of a sound handle") \
  X(0x040018, "spectrum_update", 1, cmd_spectrum_update, "analyse the samples at a sound's play cursor") \
  X(0x040019, "spectrum_get_band", 2, cmd_spectrum_get_band, "a band's value 0..100")               \
  X(0x04001a, "spectrum_delete", 0, cmd_spectrum_delete, "delete the spectrum analyser")            \
  X(0x04001c, "spectrum_nop", 0, cmd_spectrum_nop, "nothing")
// clang-format on
