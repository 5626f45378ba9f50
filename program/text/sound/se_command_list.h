// The sound-effect commands of group 0x05.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define SE_COMMANDS(X)                                                                                 \
  X(0x050000, "se_load", 3, cmd_se_load, "load an effect into channel 0-15 and keep it there")        \
  X(0x050001, "se_play", 3, cmd_se_play, "play a channel's loaded effect (flag 2 waits for its end)")  \
  X(0x050002, "se_play_ex", 5, cmd_se_play_ex, "load and play an effect on channel 0-15, -1 first free") \
  X(0x050003, "se_stop", 2, cmd_se_stop, "stop channel 0-15 or -1 (all), with a fade")                 \
  X(0x050004, "se_set_volume", 2, cmd_se_set_volume, "volume 0..100 of SE type 0-2")                   \
  X(0x050005, "se_get_volume", 1, cmd_se_get_volume, "volume 0..100 of SE type 0-2")                   \
  X(0x050006, "se_unload", 1, cmd_se_unload, "release channel 0-15 or -1 (all)")                       \
  X(0x050007, "se_wait", 1, cmd_se_wait, "wait until a channel's effect ends (a click fades it)")      \
  X(0x050008, "set_se_info", 4, cmd_set_se_info, "volume of effects by file-name prefix, entry 0-3")   \
  X(0x050009, "get_se_ex_volume", 1, cmd_get_se_ex_volume, "volume of a prefix entry")                 \
  X(0x05000a, "set_se_ex_volume", 2, cmd_set_se_ex_volume, "set the volume of a prefix entry")         \
  X(0x05000b, "se_enable", 2, cmd_se_enable, "switch of a prefix entry")                               \
  X(0x05000c, "is_se_enable", 1, cmd_is_se_enable, "switch of a prefix entry, -1 not in use")          \
  X(0x05000d, "se_set_pan", 1, cmd_se_set_pan, "pan level 0..20 for the next play with flag 0x20")     \
  X(0x05000e, "se_mute", 2, cmd_se_mute, "mute SE type 0-2")                                           \
  X(0x05000f, "se_set_freq", 3, cmd_se_set_freq, "playback frequency of a channel (0 its own)")        \
  X(0x050010, "se_get_ch_freq", 1, cmd_se_get_ch_freq, "playback frequency of a channel's effect")     \
  X(0x050011, "se_play_ch_ex", 7, cmd_se_play_ch_ex, "se_play_ex with the channel's volume and frequency") \
  X(0x050012, "se_set_ch_volume", 3, cmd_se_set_ch_volume, "volume of a channel (-1 off)")
// clang-format on
