// The background-voice commands of group 0x0d and the pause of keyed slots for line voices.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/sound/bgv.h"
#include "text/sound/bgv_command_list.h"
#include "text/sound/sound_load.h"
#include "text/sound/sound_settings.h"
#include "text/sound/voices.h"

namespace engine {
namespace {

// Handle, file, flags and the reserved area; the enabled, paused and key fields stay.
constexpr size_t kBgvPlayBytes = 48;
static_assert(offsetof(BgvSlot, enabled) == kBgvPlayBytes);
constexpr int32_t kVoicePauseFade = 100;
constexpr int32_t kVoiceResumeFade = 1000;

int32_t pop_i32(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

// A slot 0-7, or -1 (every slot) where all is allowed; anything else is refused with a line.
bool slot_ok(int32_t slot, bool all, const char* command) {
  if ((all && slot == -1) || (slot >= 0 && slot < kBgvSlots)) return true;
  vm_log(kLogMain, "error %s slot [%d]", command, slot);
  return false;
}

bool in_range(int32_t slot, int32_t i) {
  return slot == -1 || slot == i;
}

// The key begins the name, ASCII letters in any case; an empty key begins every name.
bool key_begins(const char (&key)[32], const char* name, size_t name_size) {
  const std::string k = stored_name(key);
  return k.empty() || name_starts_with_nocase(std::string(name, name_size), k);
}

uint32_t cmd_bgv_play(VmContext& vm) {
  int32_t n = pop_i32(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t flags = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  if (!slot_ok(n, true, "bgv_play")) return 1;
  SoundState& s = vm.sound;
  if (n == -1) {
    n = 0;
    for (int i = 0; i < kBgvSlots; ++i) {
      if (s.bgv[i].sound == 0) {
        n = i;
        break;
      }
    }
  }
  BgvSlot& slot = s.bgv[n];
  if (slot.sound != 0) {
    orv.OrvSoundRelease(slot.sound);
    slot = {};  // key, paused and enabled go with the old voice
  }
  slot.file = file;
  slot.flags = flags;
  // A pause left by the slot's last voice (stopped at once) is not the new voice's: it plays,
  // and the frame update must release it when it ends.
  slot.paused = 0;
  const std::string name = sound_file_name(vm, file, nullptr);
  slot.sound = sound_load(vm, name, kSoundTypeBgv, nullptr);
  if (slot.sound != 0) {
    const int32_t loop = (flags & kBgvLoop) ? 1 : 0;
    if ((flags & kBgvFadeIn) && !(get_skip_state(vm) & kSkipSkipping)) {
      orv.OrvSoundPlayFade(slot.sound, loop, fade);
    } else {
      orv.OrvSoundPlay(slot.sound, loop);
    }
  }
  vm_set_result(vm, static_cast<uint32_t>(n));
  vm_log(kLogHistory, "bgv_play %d, %s, %d, %d", n, name.c_str(), static_cast<int32_t>(flags),
         fade);
  return 1;
}

uint32_t cmd_bgv_stop(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  int32_t fade = pop_i32(vm);
  if (!slot_ok(n, true, "bgv_stop")) return 1;
  SoundState& s = vm.sound;
  if (!s.switches[kCatBgv]) fade = 0;
  const bool fading = fade != 0 && get_skip_state(vm) == 0;
  for (int i = 0; i < kBgvSlots; ++i) {
    if (!in_range(n, i)) continue;
    BgvSlot& slot = s.bgv[i];
    if (slot.sound != 0) {
      slot.flags &= ~kBgvLoop;
      if (fading) {
        // The frame update releases it once the fade has ended. It skips paused slots, whose
        // sound is silent but not over; a voice on its way out is no longer paused (the
        // platform's stop ends a pause too), or its channel would never be let go.
        slot.hasKey = 0;
        slot.paused = 0;
        orv.OrvSoundStopFade(slot.sound, fade);
        continue;
      }
      orv.OrvSoundRelease(slot.sound);
    }
    std::memset(&slot, 0, kBgvPlayBytes);
  }
  vm_log(kLogHistory, "bgv_stop  %d, %d", n, fade);
  return 1;
}

uint32_t cmd_bgv_enable(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t flag = vm_pop(vm);
  if (!slot_ok(n, true, "bgv_enable")) return 1;
  for (int i = 0; i < kBgvSlots; ++i) {
    if (in_range(n, i)) vm.sound.bgv[i].enabled = flag;
  }
  vm_log(kLogHistory, "bgv_enable %d, %d", n, static_cast<int32_t>(flag));
  return 1;
}

uint32_t cmd_bgv_pause(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t pause = vm_pop(vm) != 0 ? 1 : 0;
  const int32_t fade = pop_i32(vm);
  if (!slot_ok(n, true, "bgv_pause")) return 1;
  for (int i = 0; i < kBgvSlots; ++i) {
    BgvSlot& slot = vm.sound.bgv[i];
    if (!in_range(n, i) || slot.sound == 0 || slot.paused == pause) continue;
    slot.paused = pause;
    orv.OrvSoundPause(slot.sound, static_cast<int32_t>(pause), fade);
  }
  vm_log(kLogHistory, "bgv_pause %d, %d, %d", n, static_cast<int32_t>(pause), fade);
  return 1;
}

uint32_t cmd_bgv_mute(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  sound_category_mute(vm.sound, kCatBgv, kSoundTypeBgv, flag);
  vm_log(kLogHistory, "bgv_mute %d", static_cast<int32_t>(flag));
  return 1;
}

uint32_t cmd_set_bgv_volume(VmContext& vm) {
  const int32_t v = pop_i32(vm);
  sound_category_set_volume(vm.sound, kCatBgv, kSoundTypeBgv, v);
  vm_log(kLogHistory, "set_bgv_volume %d", v);
  return 1;
}

uint32_t cmd_get_bgv_volume(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.sound.volumes[kCatBgv] / 100));
  vm_log(kLogHistory, "get_bgv_volume");
  return 1;
}

uint32_t cmd_set_bgv_auto_volume(VmContext& vm) {
  const int32_t n = pop_i32(vm);
  const uint32_t key = vm_pop(vm);
  if (n < 0 || n >= kBgvSlots) {
    vm_log(kLogMain, "set_bgv_auto_volume error : failed ch %d", n);
    return 0;
  }
  uint8_t buffer[260] = {};
  get_file_name_operand(vm, buffer, sizeof buffer, key, 0);
  buffer[sizeof buffer - 1] = 0;
  const std::string name(reinterpret_cast<const char*>(buffer));
  BgvSlot& slot = vm.sound.bgv[n];
  if (name.size() > sizeof slot.key - 1) {
    vm_log(kLogMain, "set_bgv_auto_volume_key : size over[%s]", name.c_str());
    return 0;
  }
  std::memset(slot.key, 0, sizeof slot.key);
  std::memcpy(slot.key, name.data(), name.size());
  slot.hasKey = 1;
  // A line voice of that speaker playing now silences it at once.
  for (int i = 0; i < kLineVoiceSlots; ++i) {
    const VoiceSlot& v = vm.sound.voice[i];
    if (v.sound == 0 || !key_begins(slot.key, v.name, strnlen(v.name, sizeof v.name))) continue;
    orv.OrvSoundPause(slot.sound, 1, kVoicePauseFade);
  }
  vm_log(kLogHistory, "set_bgv_auto_volume %d, %s", n, name.c_str());
  return 1;
}

const CommandEntry kBgvCommands[] = {BGV_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList bgv_commands = command_list(kBgvCommands);

void bgv_pause_for_voice(SoundState& s, const std::string& name) {
  for (BgvSlot& slot : s.bgv) {
    if (slot.sound == 0 || !slot.hasKey || slot.paused) continue;
    if (!key_begins(slot.key, name.data(), name.size())) continue;
    orv.OrvSoundPause(slot.sound, 1, kVoicePauseFade);
  }
}

void bgv_resume_for_voices(SoundState& s) {
  for (BgvSlot& slot : s.bgv) {
    if (slot.sound == 0 || !slot.hasKey || slot.paused) continue;
    orv.OrvSoundPause(slot.sound, 0, kVoiceResumeFade);
  }
}

}  // namespace engine
