// The background-voice commands of group 0x0d.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define BGV_COMMANDS(X)                                                                              \
  X(0x0d0008, "bgv_play", 4, cmd_bgv_play, "play a background voice on slot 0-7, -1 first free")    \
  X(0x0d0009, "bgv_stop", 2, cmd_bgv_stop, "stop slot 0-7 or -1 (all), with a fade")                \
  X(0x0d000a, "bgv_enable", 2, cmd_bgv_enable, "a slot's enabled word (-1 all)")                    \
  X(0x0d0013, "bgv_pause", 3, cmd_bgv_pause, "pause or resume slot 0-7 or -1 (all), with a fade")   \
  X(0x0d0014, "bgv_mute", 1, cmd_bgv_mute, "mute the background voices")                            \
  X(0x0d0015, "set_bgv_volume", 1, cmd_set_bgv_volume, "background voice volume 0..100")            \
  X(0x0d0016, "get_bgv_volume", 0, cmd_get_bgv_volume, "background voice volume 0..100")            \
  X(0x0d0017, "set_bgv_auto_volume", 2, cmd_set_bgv_auto_volume, "pause a slot while voices of a prefix play")
// clang-format on
