// The voice commands of group 0x0d.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define VOICE_COMMANDS(X)                                                                             \
  X(0x0d0000, "voice_play", 4, cmd_voice_play, "play a voice (or its .mix list) on slot 0-8, -1 first free") \
  X(0x0d0001, "voice_stop", 2, cmd_voice_stop, "stop slot 0-8 or -1 (all line voices), with a fade") \
  X(0x0d0002, "voice_set_volume", 1, cmd_voice_set_volume, "line voice volume 0..100")                 \
  X(0x0d0003, "voice_get_volume", 0, cmd_voice_get_volume, "line voice volume 0..100")                 \
  X(0x0d0004, "set_voice_info", 4, cmd_set_voice_info, "a character's voice prefix, volume, switch")   \
  X(0x0d0005, "voice_enable", 3, cmd_voice_enable, "switch a character's voice on or off")             \
  X(0x0d0006, "is_voice_enable", 1, cmd_is_voice_enable, "a character's voice switch")                 \
  X(0x0d0007, "enable_voice_ex_volume", 1, cmd_enable_voice_ex_volume, "per-character volumes on")     \
  X(0x0d000b, "get_voice_ex_volume", 1, cmd_get_voice_ex_volume, "a character's voice volume")         \
  X(0x0d000c, "set_voice_ex_volume", 3, cmd_set_voice_ex_volume, "set a character's voice volume")     \
  X(0x0d000d, "voice_check_enable", 1, cmd_voice_check_enable, "report missing voice files")           \
  X(0x0d000e, "voice_autopan_initialize", 1, cmd_voice_autopan_initialize, "autopan range")            \
  X(0x0d000f, "voice_autopan_enable", 1, cmd_voice_autopan_enable, "voice autopan on or off")          \
  X(0x0d0010, "set_voice_autopan", 4, cmd_set_voice_autopan, "bind a voice prefix to a layer or level") \
  X(0x0d0011, "is_voice_autopan_enable", 0, cmd_is_voice_autopan_enable, "voice autopan switch")       \
  X(0x0d0012, "voice_wait", 1, cmd_voice_wait, "wait until a slot's voice ends (a click fades it)")    \
  X(0x0d0018, "voice_mute", 1, cmd_voice_mute, "mute the line voices")                                 \
  X(0x0d0019, "voice_call", 4, cmd_voice_call, "labels run when a named line voice starts and ends")   \
  X(0x0d001a, "voice_call_clear", 1, cmd_voice_call_clear, "clear a voice call entry or all (-1)")     \
  X(0x0d001b, "voice_set_speed", 1, cmd_voice_set_speed, "store the voice speed, give the old one")    \
  X(0x0d001c, "voice_get_speed", 0, cmd_voice_get_speed, "the stored voice speed")                     \
  X(0x0d001d, "is_voice_playing", 0, cmd_is_voice_playing, "a line voice plays")                       \
  X(0x0d001e, "is_voice_audible", 0, cmd_is_voice_audible, "a line voice plays and can be heard")      \
  X(0x0d001f, "set_system_voice_volume", 1, cmd_set_system_voice_volume, "system voice volume 0..100") \
  X(0x0d0020, "system_voice_get_volume", 0, cmd_system_voice_get_volume, "system voice volume 0..100") \
  X(0x0d0021, "system_voice_mute", 1, cmd_system_voice_mute, "mute the system voice")
// clang-format on
