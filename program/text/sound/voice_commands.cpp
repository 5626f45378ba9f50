// The voice commands of group 0x0d.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "commands/command_util.h"
#include "engine/interpreter.h"
#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "text/sound/bgv.h"
#include "text/sound/sound_load.h"
#include "text/sound/sound_settings.h"
#include "text/sound/voice_calls.h"
#include "text/sound/voice_command_list.h"
#include "text/sound/voices.h"

namespace engine {
namespace {

constexpr uint32_t kNoPrefix = 0xFFFFFFFF;
constexpr int kLogOver = 16;

int32_t pop_i32(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

int32_t percent(int32_t v) {
  return std::clamp(v, 0, 100);
}

// A slot number -1..8 (-1 where all_lines names slots 0-7); anything else is refused.
bool slot_ok(int32_t slot, const char* command) {
  if (slot >= -1 && slot <= kSystemVoiceSlot) return true;
  vm_log(kLogMain, "error %s slot [%d]", command, slot);
  return false;
}

// Record n of the voice table, -1 the default record; null (with a line) for another number.
VoiceInfo* voice_info_at(SoundState& s, int32_t n, const char* command) {
  if (n == -1) return &s.defaultVoiceInfo;
  if (n >= 0 && n < 64) return &s.voiceInfo[n];
  vm_log(kLogMain, "error %s record [%d]", command, n);
  return nullptr;
}

// A character's new volume or switch reaches the line voices playing now.
void apply_record_to_lines(const SoundState& s, const VoiceInfo& info) {
  const int32_t v = info.enabled ? static_cast<int32_t>(info.volume) * 100 : 0;
  for (int i = 0; i < kLineVoiceSlots; ++i) {
    if (s.voice[i].sound != 0) orv.OrvSoundSetVolumeChannel(s.voice[i].sound, v);
  }
}

std::string file_name(VmContext& vm, uint32_t file, uint32_t mark) {
  uint8_t buffer[260] = {};
  get_file_name_operand(vm, buffer, sizeof buffer, file, mark);
  buffer[sizeof buffer - 1] = 0;
  return std::string(reinterpret_cast<const char*>(buffer));
}

void copy_field(char (&field)[32], const std::string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), sjis_clamp(text, sizeof field - 1));
}

// The empty slot of voice_play: the voice calls end, the slot's sound goes and, for a line
// voice, the background voices paused for it resume.
void empty_slot(VmContext& vm, int32_t slot) {
  voice_call_end(vm);
  VoiceSlot& v = vm.sound.voice[slot];
  if (v.sound != 0) orv.OrvSoundRelease(v.sound);
  v = {};
  if (slot != kSystemVoiceSlot) bgv_resume_for_voices(vm.sound);
}

uint32_t cmd_voice_play(VmContext& vm) {
  if (voice_wait_poll(vm)) return 1;  // the voice of an earlier call is still awaited
  int32_t slot = pop_i32(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t flags = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  if (!slot_ok(slot, "voice_play")) return 1;
  SoundState& s = vm.sound;
  if (slot == -1) {
    slot = 0;
    for (int i = 0; i < kLineVoiceSlots; ++i) {
      if (s.voice[i].sound == 0) {
        slot = i;
        break;
      }
    }
  }
  empty_slot(vm, slot);
  const std::string name = file_name(vm, file, 1);
  if (name.empty()) {
    vm_log(kLogHistory, "no name : voice_play  %d, %s, %d, %d", slot, name.c_str(),
           static_cast<int32_t>(flags), fade);
    vm_set_result(vm, 0);
    return 1;
  }
  const int32_t r = voice_play_core(vm, slot, name, flags, fade, !(flags & kVoiceIgnoreSkip));
  if (r != kVoicePlayed) {
    vm_log(kLogHistory, "skip : voice_play  %d, %s, %d, %d", slot, name.c_str(),
           static_cast<int32_t>(flags), fade);
    vm_set_result(vm, static_cast<uint32_t>(slot));
    return 1;
  }
  if (flags & kVoiceWait) {
    if (get_skip_state(vm) & kSkipFastForward) {
      s.dwVoiceWaitMask = 0;
    } else {
      script_retry_call(vm);
      vm.runner.bYield = 1;
    }
  }
  vm_log(kLogHistory, "voice_play  %d, %s, %d, %d", slot, name.c_str(), static_cast<int32_t>(flags),
         fade);
  vm_set_result(vm, static_cast<uint32_t>(slot));
  return 1;
}

uint32_t cmd_voice_stop(VmContext& vm) {
  const int32_t slot = pop_i32(vm);
  int32_t fade = pop_i32(vm);
  if (!slot_ok(slot, "voice_stop")) return 1;
  SoundState& s = vm.sound;
  const bool on = slot == kSystemVoiceSlot ? s.switches[kCatSystemVoice] : s.switches[kCatVoice];
  if (!on) fade = 0;
  const int32_t first = slot == -1 ? 0 : slot;
  const int32_t last = slot == -1 ? kLineVoiceSlots - 1 : slot;
  for (int32_t i = first; i <= last; ++i) {
    const OrvSoundHandle h = s.voice[i].sound;
    // The fade follows the table record numbered like the slot, as stored games expect.
    if (h != 0 && orv.OrvSoundPlayIs(h)) {
      if (s.voiceInfo[i].enabled && fade != 0) {
        orv.OrvSoundStopFade(h, fade);
      } else {
        orv.OrvSoundStop(h);
      }
    }
    s.dwVoiceWaitMask &= ~(1u << i);
  }
  vm_log(kLogHistory, "voice_stop  %d, %d", slot, fade);
  return 1;
}

uint32_t cmd_voice_set_volume(VmContext& vm) {
  const int32_t v = pop_i32(vm);
  sound_category_set_volume(vm.sound, kCatVoice, kSoundTypeVoice, v);
  vm_log(kLogHistory, "voice_set_volume %d", v);
  return 1;
}

uint32_t cmd_voice_get_volume(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.sound.volumes[kCatVoice] / 100));
  vm_log(kLogHistory, "voice_get_volume");
  return 1;
}

uint32_t cmd_set_voice_info(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t prefix = vm_pop(vm);
  const int32_t volume = pop_i32(vm);
  const uint32_t enabled = vm_pop(vm);
  VoiceInfo* info = voice_info_at(vm.sound, n, "set_voice_info");
  if (!info) return 1;
  info->used = 1;
  info->volume = static_cast<uint32_t>(percent(volume));
  info->enabled = enabled;
  std::string name;
  if (prefix == kNoPrefix) {
    std::memset(info->prefix, 0, sizeof info->prefix);
  } else {
    name = file_name(vm, prefix, 1);
    copy_field(info->prefix, name);
  }
  vm_log(kLogHistory, "set_voice_info %d, %s, %d, %d", n, name.c_str(), volume,
         static_cast<int32_t>(enabled));
  return 1;
}

uint32_t cmd_voice_enable(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t enabled = vm_pop(vm);
  const uint32_t apply = vm_pop(vm);
  VoiceInfo* info = voice_info_at(vm.sound, n, "voice_enable");
  if (!info) return 1;
  if (!info->used) {
    vm_log(kLogMain, "voice_enable not init : %d", n);
    return 1;
  }
  info->enabled = enabled;
  if (apply) apply_record_to_lines(vm.sound, *info);
  vm_log(kLogHistory, "voice_enable %d, %d, %d", n, static_cast<int32_t>(enabled),
         static_cast<int32_t>(apply));
  return 1;
}

uint32_t cmd_is_voice_enable(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const VoiceInfo* info = voice_info_at(vm.sound, n, "is_voice_enable");
  vm_set_result(vm, info ? info->enabled : 0);
  vm_log(kLogHistory, "is_voice_enable %d", n);
  return 1;
}

uint32_t cmd_enable_voice_ex_volume(VmContext& vm) {
  vm.sound.bVoiceExVolume = vm_pop(vm) != 0 ? 1 : 0;
  return 1;
}

uint32_t cmd_get_voice_ex_volume(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const VoiceInfo* info = voice_info_at(vm.sound, n, "get_voice_ex_volume");
  vm_set_result(vm, info ? info->volume : 0);
  vm_log(kLogHistory, "get_voice_ex_volume %d", n);
  return 1;
}

uint32_t cmd_set_voice_ex_volume(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t volume = pop_i32(vm);
  const uint32_t apply = vm_pop(vm);
  VoiceInfo* info = voice_info_at(vm.sound, n, "set_voice_ex_volume");
  if (!info) return 1;
  if (!info->used) {
    vm_log(kLogMain, "set_voice_ex_volume not init : %d", n);
    return 1;
  }
  info->volume = static_cast<uint32_t>(percent(volume));
  if (apply) apply_record_to_lines(vm.sound, *info);
  vm_log(kLogHistory, "set_voice_ex_volume %d, %d, %d", n, volume, static_cast<int32_t>(apply));
  return 1;
}

uint32_t cmd_voice_check_enable(VmContext& vm) {
  const uint32_t on = vm_pop(vm);
  voice_check_word(vm) = on;
  vm_log(kLogHistory, "voice_check_enable %d", static_cast<int32_t>(on));
  return 1;
}

uint32_t cmd_voice_autopan_initialize(VmContext& vm) {
  const int32_t range = pop_i32(vm);
  vm.sound.nAutopanRange = std::clamp(range, 0, 100) * 100;
  vm_log(kLogHistory, "voice_autopan_initialize %d", range);
  return 1;
}

uint32_t cmd_voice_autopan_enable(VmContext& vm) {
  const uint32_t on = vm_pop(vm);
  vm.sound.bAutopan = on != 0 ? 1 : 0;
  vm_log(kLogHistory, "voice_autopan_enable %d", static_cast<int32_t>(on));
  return 1;
}

uint32_t cmd_set_voice_autopan(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const int32_t value = pop_i32(vm);
  const uint32_t key = vm_pop(vm);
  const uint32_t fixed = vm_pop(vm);
  if (n < 0 || n >= 16) {
    vm_log(kLogMain, "error set_voice_autopan entry [%d]", n);
    return 1;
  }
  AutopanEntry& e = vm.sound.autopan[n];
  if (value == -1 && fixed == 0) {
    e = {};
    vm_log(kLogHistory, "set_voice_autopan  %d, %d, , %d", n, value, 0);
    return 1;
  }
  e.fixed = fixed != 0 ? 1 : 0;
  e.value = e.fixed ? value : layers::decode_image_no(static_cast<uint32_t>(value));
  const std::string name = file_name(vm, key, 0);
  if (name.size() >= sizeof e.key) {
    vm_log(kLogMain, "set_voice_autopan : size over[%s]", name.c_str());
    return 0;
  }
  copy_field(e.key, name);
  vm_log(kLogHistory, "set_voice_autopan  %d, %d, %s, %d", n, value, name.c_str(),
         static_cast<int32_t>(fixed));
  return 1;
}

uint32_t cmd_is_voice_autopan_enable(VmContext& vm) {
  vm_set_result(vm, vm.sound.bAutopan);
  vm_log(kLogHistory, "is_voice_autopan_enable");
  return 1;
}

uint32_t cmd_voice_wait(VmContext& vm) {
  if (voice_wait_poll(vm)) return 1;
  const int32_t slot = pop_i32(vm);
  if (!slot_ok(slot, "voice_wait")) return 1;
  if (!(get_skip_state(vm) & kSkipFastForward)) {
    vm.sound.dwVoiceWaitMask |= slot == -1 ? 0xFFu : 1u << slot;
    script_retry_call(vm);
    vm.runner.bYield = 1;
    // The buttons hold still until the wait ends.
    vm.buttons.dwWaitStart = orv.OrvClockGetTime();
    vm.buttons.dwInvalidTime = 0xFFFFFFFF;
  }
  vm_log(kLogHistory, "voice_wait %d", slot);
  return 1;
}

uint32_t cmd_voice_mute(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  sound_category_mute(vm.sound, kCatVoice, kSoundTypeVoice, flag);
  vm_log(kLogHistory, "voice_mute %d", static_cast<int32_t>(flag));
  return 1;
}

// A label number as a code offset; 0 for label 0 or one outside the label table.
uint32_t label_offset(VmContext& vm, uint32_t label) {
  uint32_t pc = 0;
  if (label == 0 || !label_target(vm, label, &pc)) return 0;
  return pc - vm.runner.dwBase;
}

uint32_t cmd_voice_call(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t start = vm_pop(vm);
  const uint32_t end = vm_pop(vm);
  const std::string name = file_name(vm, file, 1);
  if (n < 0 || n >= 8) {
    vm_log(kLogOver, "over voice_call %d, %s", n, name.c_str());
    return 1;
  }
  VoiceCallEntry& e = vm.sound.voiceCalls[n];
  e.armed = 0;
  e.start = label_offset(vm, start);
  e.end = label_offset(vm, end);
  copy_field(e.name, name);
  vm_log(kLogHistory, "voice_call %d, %s, %d, %d", n, name.c_str(), static_cast<int32_t>(start),
         static_cast<int32_t>(end));
  return 1;
}

uint32_t cmd_voice_call_clear(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  if (n < -1 || n >= 8) {
    vm_log(kLogMain, "error voice_call_clear entry [%d]", n);
    return 1;
  }
  for (int32_t i = 0; i < 8; ++i) {
    if (n != -1 && i != n) continue;
    VoiceCallEntry& e = vm.sound.voiceCalls[i];
    e.armed = 0;
    e.start = 0;
    e.end = 0;  // the name stays
  }
  vm_log(kLogHistory, "voice_call_clear %d", n);
  return 1;
}

uint32_t speed_seen_by_script(float speed) {
  return static_cast<uint32_t>(static_cast<int32_t>(std::floor(speed + 100.0f)));
}

uint32_t cmd_voice_set_speed(VmContext& vm) {
  const int32_t speed = pop_i32(vm);
  const float old = orv.OrvSetVoiceSpeed(static_cast<float>(speed) - 100.0f);
  vm_set_result(vm, speed_seen_by_script(old));
  return 1;
}

uint32_t cmd_voice_get_speed(VmContext& vm) {
  vm_set_result(vm, speed_seen_by_script(orv.OrvGetVoiceSpeed()));
  return 1;
}

uint32_t cmd_is_voice_playing(VmContext& vm) {
  vm_set_result(vm, voice_any_playing(vm) ? 1 : 0);
  return 1;
}

uint32_t cmd_is_voice_audible(VmContext& vm) {
  vm_set_result(vm, voice_audible(vm) ? 1 : 0);
  return 1;
}

uint32_t cmd_set_system_voice_volume(VmContext& vm) {
  const int32_t v = pop_i32(vm);
  sound_category_set_volume(vm.sound, kCatSystemVoice, kSoundTypeSystemVoice, v);
  vm_log(kLogHistory, "set_system_voice_volume %d", v);
  return 1;
}

uint32_t cmd_system_voice_get_volume(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.sound.volumes[kCatSystemVoice] / 100));
  vm_log(kLogHistory, "system_voice_get_volume");
  return 1;
}

uint32_t cmd_system_voice_mute(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  sound_category_mute(vm.sound, kCatSystemVoice, kSoundTypeSystemVoice, flag);
  vm_log(kLogHistory, "system_voice_mute %d", static_cast<int32_t>(flag));
  return 1;
}

const CommandEntry kVoiceCommands[] = {VOICE_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList voice_commands = command_list(kVoiceCommands);

}  // namespace engine
