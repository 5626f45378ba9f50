// The sound-effect commands of group 0x05, the blocking wait and the effect of an action section.
#include <algorithm>
#include <cstring>
#include <string>

#include "commands/command_util.h"
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/sound/se_command_list.h"
#include "text/sound/se_volume.h"
#include "text/sound/sound_effects.h"
#include "text/sound/sound_load.h"
#include "text/sound/sound_settings.h"
#include "text/sound/voice_autopan.h"
#include "text/window/text_window_ops.h"

namespace engine {
namespace {

constexpr uint32_t kNoPrefix = 0x0FFFFFFF;
constexpr uint32_t kOverrideVolume = 0x1;
constexpr uint32_t kOverrideFrequency = 0x2;
constexpr int32_t kWaitFadeOut = 1000;

int32_t pop_i32(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

bool channel_ok(int32_t ch) {
  return ch >= 0 && ch < kSeChannels;
}
// A channel or -1 (every channel).
bool range_ok(int32_t ch) {
  return ch == -1 || channel_ok(ch);
}

bool fast_forward(VmContext& vm) {
  return (get_skip_state(vm) & kSkipFastForward) != 0;
}

// The buttons hold still while a blocking effect plays.
void button_hold_start(VmContext& vm) {
  vm.buttons.dwWaitStart = orv.OrvClockGetTime();
  vm.buttons.dwInvalidTime = 0xFFFFFFFF;
}

void release(SeChannel& ch) {
  if (ch.sound != 0) orv.OrvSoundRelease(ch.sound);
  ch.sound = 0;
}

// The record's file, type and (for a string-slot operand) inline name; the name to load.
std::string take_file(VmContext& vm, SeChannel& ch, uint32_t file, uint32_t type) {
  ch.type = type;
  std::string name;
  ch.file = sound_keep_file(vm, file, ch.name, &name);
  return name;
}

// The gain a load gets from the channel's volume override (only SE type 1 above 1.0 uses it).
float override_gain(const SeChannelOverride& o) {
  return (o.flags & kOverrideVolume) ? static_cast<float>(o.volume) / 100.0f : 0.0f;
}

void apply_pending_pan(SoundState& s, SeChannel& ch) {
  ch.pan = s.nPendingSePan;
  s.nPendingSePan = 0;
  orv.OrvSoundSetPanChannel(ch.sound, ch.pan);
}

void start(const SeChannel& ch, uint32_t flags, int32_t fade) {
  const int32_t loop = (flags & kSeLoop) ? 1 : 0;
  if (flags & kSeFadeIn) {
    orv.OrvSoundPlayFade(ch.sound, loop, fade);
  } else {
    orv.OrvSoundPlay(ch.sound, loop);
  }
}

// A one-shot effect is passed over while the player skips or holds Ctrl.
bool passed_over(VmContext& vm, uint32_t flags) {
  return !(flags & (kSeLoop | kSeIgnoreSkip)) && (get_skip_state(vm) & kSkipOrCtrl);
}

// The channel volume of an override's volume (0..100; larger values are the most there is).
int32_t channel_volume(uint32_t volume) {
  return static_cast<int32_t>(std::min<uint64_t>(uint64_t{volume} * 100, 10000));
}

uint32_t cmd_se_load(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const int32_t n = pop_i32(vm);
  const uint32_t type = vm_pop(vm);
  if (!channel_ok(n)) return 0;
  if (se_category(type) == 0) {
    vm_log(kLogMain, "*** channel error se_load [%d]", static_cast<int32_t>(type));
    return 0;
  }
  SoundState& s = vm.sound;
  SeChannel& ch = s.se[n];
  // The record is overwritten: a sound it still holds would be lost to the platform for good.
  release(ch);
  ch = {};
  const std::string name = take_file(vm, ch, file, type);
  ch.flags = kSeReserved;
  ch.sound = sound_load(vm, name, se_category(type), nullptr, override_gain(s.seOverrides[n]));
  se_apply_volume(s, ch.sound, name.c_str());
  vm_log(kLogHistory, "se_load  %s, %d, %d", name.c_str(), n, static_cast<int32_t>(type));
  return 1;
}

uint32_t cmd_se_play(VmContext& vm) {
  if (se_wait_poll(vm)) return 1;  // the effect of an earlier call is still awaited
  const int32_t n = pop_i32(vm);
  const uint32_t flags = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  if (!channel_ok(n)) return 0;
  SoundState& s = vm.sound;
  SeChannel& ch = s.se[n];
  ch.flags = (ch.flags & 0xFFFF0000u) | (flags & 0xFFFFu);
  if (passed_over(vm, flags)) return 1;
  if (flags & kSePendingPan) apply_pending_pan(s, ch);
  se_apply_volume(s, ch.sound, nullptr);
  const bool blocking = (flags & kSeWait) != 0;
  s.dwBlockingSe = blocking ? static_cast<uint32_t>(n + 1) : 0;
  start(ch, flags, fade);
  if (blocking) {
    if (!fast_forward(vm)) script_retry_call(vm);
    vm.runner.bYield = 1;
    button_hold_start(vm);
  }
  vm_log(kLogHistory, "se_play  %d, %d, %d", n, static_cast<int32_t>(flags), fade);
  return 1;
}

// se_play_ex and se_play_ch_ex: ch_ex carries the channel's volume and frequency.
uint32_t play_ex(VmContext& vm, bool ch_ex) {
  if (se_wait_poll(vm)) return 1;
  int32_t n = pop_i32(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t flags = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  const uint32_t type = vm_pop(vm);
  const int32_t volume = ch_ex ? pop_i32(vm) : 0;
  const int32_t frequency = ch_ex ? pop_i32(vm) : 0;
  if (!range_ok(n)) return 0;
  if (se_category(type) == 0) {
    vm_log(kLogMain, "*** channel error %s [%d]", ch_ex ? "se_play_ch_ex" : "se_play_ex",
           static_cast<int32_t>(type));
    return 0;
  }
  SoundState& s = vm.sound;
  if (n == -1) {
    n = 0;  // every channel busy: channel 0's effect is cut off
    for (int i = 0; i < kSeChannels; ++i) {
      if (s.se[i].sound == 0) {
        n = i;
        break;
      }
    }
  } else if (s.se[n].sound != 0 && (s.se[n].flags & kSeReserved)) {
    // "the channel given cannot be used now"
    const char* line =
        "[%d]ch \x8e\x77\x92\xe8\x82\xb5\x82\xbd\x83\x60\x83\x83\x83\x93\x83\x6c\x83\x8b\x82\xcd"
        "\x8c\xbb\x8d\xdd\x8e\x67\x97\x70\x95\x73\x89\xc2\x82\xc5\x82\xb7 [se_play_ex]";
    if (ch_ex) {
      vm_log(kLogHistory, line, n);
    } else {
      vm_log(kLogMain, line, n);
      textwindow::debug_print_current_line(vm);
    }
  }
  SeChannel& ch = s.se[n];
  // The record is reused: the sound it holds, reserved or not, is released with it.
  release(ch);
  ch.flags = flags;
  ch.pan = 0;
  if (passed_over(vm, flags)) {
    vm_set_result(vm, static_cast<uint32_t>(n));
    return 1;
  }
  const std::string name = take_file(vm, ch, file, type);
  float gain = 0.0f;
  if (ch_ex) {
    s.seOverrides[n] = {kOverrideVolume | kOverrideFrequency, static_cast<uint32_t>(volume),
                        static_cast<uint32_t>(frequency)};
    if (volume >= 100) gain = static_cast<float>(volume) / 100.0f;
  }
  ch.sound = sound_load(vm, name, se_category(type), nullptr, gain);
  if (flags & kSePendingPan) apply_pending_pan(s, ch);
  se_apply_volume(s, ch.sound, name.c_str());
  start(ch, flags, fade);
  if ((flags & kSeWait) && !fast_forward(vm)) {
    s.dwBlockingSe = static_cast<uint32_t>(n + 1);
    script_retry_call(vm);
    vm.runner.bYield = 1;
    button_hold_start(vm);
  } else {
    s.dwBlockingSe = 0;
  }
  vm_set_result(vm, static_cast<uint32_t>(n));
  if (ch_ex) {
    vm_log(kLogHistory, "se_play_ch_ex [%d]ch  %s, %d, %d, %d, %d, %d", n, name.c_str(),
           static_cast<int32_t>(flags), fade, static_cast<int32_t>(type), volume, frequency);
  } else {
    vm_log(kLogHistory, "se_play_ex [%d]ch  %s, %d, %d, %d", n, name.c_str(),
           static_cast<int32_t>(flags), fade, static_cast<int32_t>(type));
  }
  return 1;
}

uint32_t cmd_se_play_ex(VmContext& vm) {
  return play_ex(vm, false);
}
uint32_t cmd_se_play_ch_ex(VmContext& vm) {
  return play_ex(vm, true);
}

uint32_t cmd_se_stop(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t fade = pop_i32(vm);
  if (!range_ok(n)) return 0;
  SoundState& s = vm.sound;
  const bool fading = fade != 0 && get_skip_state(vm) == 0;
  for (int i = 0; i < kSeChannels; ++i) {
    if (n != -1 && i != n) continue;
    SeChannel& ch = s.se[i];
    ch.flags &= ~kSeLoop;
    s.seOverrides[i] = {};
    if (ch.sound == 0) continue;
    if (fading) {
      orv.OrvSoundStopFade(ch.sound, fade);  // the frame update releases it after the fade
    } else if (ch.flags & kSeReserved) {
      orv.OrvSoundStop(ch.sound);  // kept for the next se_play
    } else {
      release(ch);
      ch = {};
    }
  }
  vm_log(kLogHistory, "se_stop  %d, %d", n, fade);
  return 1;
}

uint32_t cmd_se_set_volume(VmContext& vm) {
  const int32_t v = pop_i32(vm);
  const uint32_t type = vm_pop(vm);
  if (type > 2) {
    vm_log(kLogMain, "*** channel error se_set_volume [%d]", static_cast<int32_t>(type));
    return 0;
  }
  sound_category_set_volume(vm.sound, se_volume_index(type), se_category(type), v);
  vm_log(kLogHistory, "se_set_volume  %d, %d", v, static_cast<int32_t>(type));
  return 1;
}

uint32_t cmd_se_get_volume(VmContext& vm) {
  const uint32_t type = vm_pop(vm);
  if (type > 2) {
    vm_log(kLogMain, "*** channel error se_get_volume [%d]", static_cast<int32_t>(type));
    return 0;
  }
  vm_set_result(vm, static_cast<uint32_t>(vm.sound.volumes[se_volume_index(type)] / 100));
  vm_log(kLogHistory, "se_get_volume  %d", static_cast<int32_t>(type));
  return 1;
}

uint32_t cmd_se_unload(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  if (!range_ok(n)) {
    vm_log(kLogMain, "channel error : se_unload [%d]", n);
    return 0;
  }
  for (int i = 0; i < kSeChannels; ++i) {
    if (n != -1 && i != n) continue;
    // Released during a skip too: a reserved effect loaded before it would otherwise hold its
    // platform channel for the rest of the game.
    release(vm.sound.se[i]);
    vm.sound.se[i] = {};
  }
  vm_log(kLogHistory, "se_unload %d", n);
  return 1;
}

uint32_t cmd_se_wait(VmContext& vm) {
  if (se_wait_poll(vm)) return 1;
  const int32_t n = pop_i32(vm);
  if (!channel_ok(n)) return 0;
  if (!fast_forward(vm)) {
    vm.sound.dwBlockingSe = static_cast<uint32_t>(n + 1);
    script_retry_call(vm);
    vm.runner.bYield = 1;
    button_hold_start(vm);
  }
  vm_log(kLogHistory, "se_wait  %d", n);
  return 1;
}

// Entry n (0..3) of the prefix table, null (with the command's line) for another number.
SeInfo* info_at(VmContext& vm, int32_t n, const char* command) {
  if (n >= 0 && n < 4) return &vm.sound.seInfo[n];
  vm_log(kLogMain, "channel error : %s[%d]", command, n);
  return nullptr;
}

uint32_t cmd_set_se_info(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t prefix = vm_pop(vm);
  const int32_t volume = pop_i32(vm);
  const uint32_t enabled = vm_pop(vm);
  SeInfo* info = info_at(vm, n, "set_se_info");
  if (!info) return 1;
  if (prefix == kNoPrefix) {
    info->used = 0;
    info->enabled = 0;
    info->volume = 0;
    vm_log(kLogHistory, "set_se_info  relase");
    return 1;
  }
  uint8_t buffer[260] = {};
  get_file_name_operand(vm, buffer, sizeof buffer, prefix, 0);
  buffer[sizeof buffer - 1] = 0;
  const std::string name(reinterpret_cast<const char*>(buffer));
  info->used = 1;
  info->enabled = enabled;
  info->volume = static_cast<uint32_t>(std::clamp(volume, 0, 100));
  std::memset(info->prefix, 0, sizeof info->prefix);
  std::memcpy(info->prefix, name.data(), sjis_clamp(name, sizeof info->prefix - 1));
  vm_log(kLogHistory, "set_se_info  %d, %s, %d, %d", n, name.c_str(), volume,
         static_cast<int32_t>(enabled));
  return 1;
}

uint32_t cmd_get_se_ex_volume(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  vm_log(kLogHistory, "get_se_ex_volume  %d", n);
  const SeInfo* info = info_at(vm, n, "get_se_ex_volume");
  if (!info) return 1;
  if (!info->used) {
    vm_log(kLogMain, "initialize error : _se_enable [%d]", n);
    return 1;
  }
  vm_set_result(vm, info->volume);
  return 1;
}

uint32_t cmd_set_se_ex_volume(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t volume = pop_i32(vm);
  vm_log(kLogHistory, "set_se_ex_volume  %d, %d", n, volume);
  SeInfo* info = info_at(vm, n, "set_se_ex_volume");
  if (!info) return 1;
  info->used = 1;
  info->enabled = 1;
  info->volume = static_cast<uint32_t>(std::clamp(volume, 0, 100));
  return 1;
}

uint32_t cmd_se_enable(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t flag = vm_pop(vm);
  vm_log(kLogHistory, "se_enable  %d, %d", n, static_cast<int32_t>(flag));
  SeInfo* info = info_at(vm, n, "se_enable");
  if (!info) return 1;
  if (!info->used) {
    vm_log(kLogMain, "initialize error : se_enable [%d]", n);
    return 1;
  }
  info->enabled = flag;
  return 1;
}

uint32_t cmd_is_se_enable(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  vm_log(kLogHistory, "is_se_enable  %d", n);
  const SeInfo* info = info_at(vm, n, "is_se_enable");
  if (!info) return 1;
  if (!info->used) {
    vm_log(kLogMain, "initialize error : se_enable [%d]", n);
    vm_set_result(vm, 0xFFFFFFFF);
    return 1;
  }
  vm_set_result(vm, info->enabled);
  return 1;
}

uint32_t cmd_se_set_pan(VmContext& vm) {
  const int32_t level = pop_i32(vm);
  SoundState& s = vm.sound;
  const int32_t w = game_screen_width();
  s.nPendingSePan = autopan_pan_at(autopan_level_x(level, w), w, s.nAutopanRange);
  vm_log(kLogHistory, "se_set_pan  %d", s.nPendingSePan);
  return 1;
}

uint32_t cmd_se_mute(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  const uint32_t type = vm_pop(vm);
  if (type > 2) {
    vm_log(kLogMain, "*** channel error se_mute [%d]", static_cast<int32_t>(type));
    return 0;
  }
  sound_category_mute(vm.sound, se_volume_index(type), se_category(type), flag);
  vm_log(kLogHistory, "se_mute  %d, %d", static_cast<int32_t>(flag), static_cast<int32_t>(type));
  return 1;
}

uint32_t cmd_se_set_freq(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t frequency = pop_i32(vm);
  const uint32_t apply = vm_pop(vm);
  if (!channel_ok(n)) return 0;
  SeChannelOverride& o = vm.sound.seOverrides[n];
  if (frequency < 1) {
    o.flags &= ~kOverrideFrequency;
  } else {
    o.flags |= kOverrideFrequency;
  }
  o.frequency = static_cast<uint32_t>(std::max(frequency, 0));
  // 0 gives the effect back its own rate.
  if (apply) orv.OrvSoundSetFreq(vm.sound.se[n].sound, static_cast<uint32_t>(frequency));
  vm_log(kLogHistory, "se_set_freq  %d, %d", n, frequency);
  return 1;
}

uint32_t cmd_se_get_ch_freq(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t hz = channel_ok(n) ? orv.OrvSoundGetFreq(vm.sound.se[n].sound) : -1;
  vm_set_result(vm, static_cast<uint32_t>(hz));
  vm_log(kLogHistory, "se_get_ch_freq  %d => [%d]", n, hz);
  return 1;
}

uint32_t cmd_se_set_ch_volume(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t volume = pop_i32(vm);
  const uint32_t apply = vm_pop(vm);
  if (!channel_ok(n)) return 0;
  SeChannelOverride& o = vm.sound.seOverrides[n];
  if (volume < 0) {
    o.flags &= ~kOverrideVolume;
    o.volume = 0;
  } else {
    o.flags |= kOverrideVolume;
    o.volume = static_cast<uint32_t>(volume);
  }
  const OrvSoundHandle sound = vm.sound.se[n].sound;
  if (apply && sound != 0) {
    if (o.flags & kOverrideVolume) orv.OrvSoundSetVolumeChannel(sound, channel_volume(o.volume));
    if (o.flags & kOverrideFrequency) orv.OrvSoundSetFreq(sound, o.frequency);
  }
  vm_log(kLogHistory, "se_set_ch_volume  %d, %d, %d", n, volume, static_cast<int32_t>(apply));
  return 1;
}

const CommandEntry kSeCommands[] = {SE_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList se_commands = command_list(kSeCommands);

bool se_wait_poll(VmContext& vm) {
  SoundState& s = vm.sound;
  if (s.dwBlockingSe == 0) return false;
  bool done = true;
  if (s.dwBlockingSe <= static_cast<uint32_t>(kSeChannels)) {
    SeChannel& ch = s.se[s.dwBlockingSe - 1];
    if (ch.sound != 0 && orv.OrvSoundPlayIs(ch.sound)) {
      if (sound_wait_advance(vm)) {
        orv.OrvSoundStopFade(ch.sound, kWaitFadeOut);
      } else {
        done = false;
        if (!fast_forward(vm)) script_retry_call(vm);
      }
    } else if (!(ch.flags & kSeReserved)) {
      release(ch);
    }
  }
  if (done) {
    vm.buttons.dwInvalidTime = 0;  // the buttons react again
    s.dwBlockingSe = 0;
  }
  vm.runner.bYield = 1;
  return true;
}

bool se_play_for_action(VmContext& vm, int32_t n, uint32_t loop, uint32_t fade_in,
                        uint32_t fade_ms) {
  if (!channel_ok(n)) return false;
  if (!loop && (get_skip_state(vm) & kSkipSkipping)) return true;
  SeChannel& ch = vm.sound.se[n];
  if (loop) ch.flags |= kSeLoop;
  if (fade_in) {
    ch.flags |= kSeFadeIn;
    orv.OrvSoundPlayFade(ch.sound, loop ? 1 : 0, static_cast<int32_t>(fade_ms));
  } else {
    orv.OrvSoundPlay(ch.sound, loop ? 1 : 0);
  }
  return true;
}

}  // namespace engine
