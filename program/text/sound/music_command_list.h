// The music commands of group 0x04.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define MUSIC_COMMANDS(X)                                                                   \
  X(0x040000, "bgm_play", 7, cmd_bgm_play, "play music on channel 0, 1 or -1 (cross-fade)") \
  X(0x040001, "bgm_stop", 2, cmd_bgm_stop, "stop channel 0, 1 or -1 (both) with a fade")   \
  X(0x040002, "bgm_set_volume", 1, cmd_bgm_set_volume, "music volume 0..100")               \
  X(0x040003, "bgm_get_volume", 0, cmd_bgm_get_volume, "music volume 0..100")               \
  X(0x040004, "bgm_get_auto_volume", 0, cmd_bgm_get_auto_volume, "auto-volume factor")      \
  X(0x040005, "bgm_set_volume_users", 3, cmd_bgm_set_volume_users, "fade one channel")      \
  X(0x040006, "bgm_set_auto_volume", 2, cmd_bgm_set_auto_volume, "auto volume on, factor")  \
  X(0x040007, "bgm_pause", 3, cmd_bgm_pause, "pause or resume a channel")                   \
  X(0x040008, "get_bgm_filename", 1, cmd_get_bgm_filename, "a channel's file operand")      \
  X(0x040009, "bgm_load", 5, cmd_bgm_load, "load music without playing it")                 \
  X(0x04000a, "bgm_play2", 3, cmd_bgm_play2, "start music loaded by bgm_load")              \
  X(0x04000b, "set_master_volume", 1, cmd_set_master_volume, "master volume 0..100")        \
  X(0x04000c, "get_master_volume", 0, cmd_get_master_volume, "master volume 0..100")        \
  X(0x04000d, "mute_master_volume", 1, cmd_mute_master_volume, "mute everything")           \
  X(0x04000e, "bgm_mute", 1, cmd_bgm_mute, "mute the music")                                \
  X(0x04000f, "mute_bgm_auto_volume", 1, cmd_mute_bgm_auto_volume, "silence music under voices") \
  X(0x040010, "get_bgm_status", 1, cmd_get_bgm_status, "platform music channel status")     \
  X(0x040011, "get_bgm_pos", 2, cmd_get_bgm_pos, "channel record field or platform value")  \
  X(0x040012, "get_bgm_ch", 0, cmd_get_bgm_ch, "the sounding platform music channel")
// clang-format on
