// The generic sound-channel commands of group 0x04.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define SOUND_COMMANDS(X)                                                                       \
  X(0x040013, "sound_read_reg", 3, cmd_sound_read_reg, "a platform channel field")              \
  X(0x040014, "sound_ch_to_orv_ch", 2, cmd_sound_ch_to_orv_ch, "platform channel index of a record") \
  X(0x04001b, "sound_ch_to_orv_ch_ex", 2, cmd_sound_ch_to_orv_ch_ex, "sound handle of a record")
// clang-format on
