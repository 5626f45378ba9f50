// Loading and starting voices, the line-voice rules, the queries and the voice waits.
#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/file_handle.h"
#include "text/sound/bgv.h"
#include "text/sound/music.h"
#include "text/sound/sound_load.h"
#include "text/sound/voice_autopan.h"
#include "text/sound/voice_calls.h"
#include "text/sound/voice_mix_list.h"
#include "text/sound/voices.h"

namespace engine {
namespace {

constexpr size_t kVoicePrefixLength = sizeof kVoicePrefix - 1;
constexpr int32_t kWaitFadeOut = 1000;

bool prefix_rule_voice(const std::string& name) {
  return name.compare(0, kVoicePrefixLength, kVoicePrefix) == 0;
}

void copy_name(char (&field)[32], const std::string& name) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, name.data(), std::min(name.size(), sizeof field - 1));
}

// The record that speaks for a name: the first used one whose prefix starts it, else null.
const VoiceInfo* voice_info_for(const SoundState& s, const std::string& name) {
  for (const VoiceInfo& info : s.voiceInfo) {
    if (info.used && name_starts_with_nocase(name, stored_name(info.prefix))) return &info;
  }
  return nullptr;
}

void release_slot(VoiceSlot& slot) {
  if (slot.sound != 0) orv.OrvSoundRelease(slot.sound);
  slot = {};
}

void start_slot(const VoiceSlot& slot, uint32_t flags, int32_t fade) {
  const int32_t loop = (flags & kVoiceLoop) ? 1 : 0;
  if (flags & kVoiceFadeIn) {
    orv.OrvSoundPlayFade(slot.sound, loop, fade);
  } else {
    orv.OrvSoundPlay(slot.sound, loop);
  }
}

// Volume and pan of a freshly loaded voice.
void dress_voice(SoundState& s, int32_t slot, const std::string& name, uint32_t flags) {
  if (!(flags & kVoiceNoCharVolume)) {
    orv.OrvSoundSetVolumeChannel(s.voice[slot].sound, voice_channel_volume(s, name));
  }
  if (!(flags & kVoiceNoAutopan) && s.bAutopan) {
    voice_autopan_find(s, slot, name);
    voice_autopan_apply(s, slot);
  }
}

void report_missing(VmContext& vm, const std::string& name) {
  if (voice_check_word(vm)) vm_log(kLogMain, "voice file read : %s", name.c_str());
}

// Loads on the script's thread: nothing while a scene or history skip runs.
OrvSoundHandle load_on_script(VmContext& vm, const std::string& name, int32_t kind) {
  return sound_load(vm, name, kind, nullptr);
}
// Loads on the work thread, which must not read the script's skip state.
OrvSoundHandle load_on_worker(VmContext&, const std::string& name, int32_t kind) {
  return sound_load_file(name, kind, nullptr);
}
using VoiceLoader = OrvSoundHandle (*)(VmContext&, const std::string&, int32_t);

// A mix list's voices into slots 0-7 (emptied before), dressed and named, with their wait bits;
// the music is lowered unless flag 0x100 says otherwise.
void load_mix_list(VmContext& vm, const std::vector<std::string>& names, uint32_t flags,
                   VoiceLoader load) {
  SoundState& s = vm.sound;
  for (size_t i = 0; i < names.size(); ++i) {
    VoiceSlot& slot = s.voice[i];
    slot.sound = load(vm, names[i], kSoundTypeVoice);
    if (slot.sound != 0) {
      dress_voice(s, static_cast<int32_t>(i), names[i], flags);
    } else {
      report_missing(vm, names[i]);
    }
    copy_name(slot.name, names[i]);
    if (flags & kVoiceWait) s.dwVoiceWaitMask |= 1u << i;
  }
  if (!(flags & kVoiceNoBgmAuto)) bgm_auto_volume_apply(s, true);
}

int32_t play_mix_list(VmContext& vm, const std::vector<std::string>& names, uint32_t flags,
                      int32_t fade) {
  line_voices_clear(vm);
  load_mix_list(vm, names, flags, load_on_script);
  for (int i = 0; i < kLineVoiceSlots; ++i) {
    if (vm.sound.voice[i].sound != 0) start_slot(vm.sound.voice[i], flags, fade);
  }
  return kVoicePlayed;
}

// One voice into `slot`, dressed and named, lowering the music (not for the system voice),
// pausing the background voices keyed to it and joining the wait mask. False when it did not
// load (reported under the voice check).
bool load_single(VmContext& vm, int32_t slot, const std::string& name, uint32_t flags, int32_t kind,
                 VoiceLoader load) {
  SoundState& s = vm.sound;
  VoiceSlot& v = s.voice[slot];
  v.sound = load(vm, name, kind);
  if (v.sound == 0) {
    report_missing(vm, name);
    return false;
  }
  copy_name(v.name, name);
  dress_voice(s, slot, name, flags);
  if (!(flags & kVoiceNoBgmAuto) && slot != kSystemVoiceSlot) bgm_auto_volume_apply(s, true);
  bgv_pause_for_voice(s, name);
  if (flags & kVoiceWait) s.dwVoiceWaitMask |= 1u << slot;
  return true;
}

}  // namespace

uint32_t& voice_check_word(VmContext& vm) {
  // Every VmContext is the tail of the game state, which keeps the word just before it.
  auto* gs = reinterpret_cast<GameState*>(reinterpret_cast<char*>(&vm) - offsetof(GameState, vm));
  return gs->bVoiceCheck;
}

int32_t voice_channel_volume(const SoundState& s, const std::string& name) {
  if (!s.bVoiceExVolume) return 10000;
  const bool character = name.size() >= 4 && name_starts_with_nocase(name, "vo") &&
                         static_cast<uint8_t>(name[2]) >= 0x30 &&
                         static_cast<uint8_t>(name[2]) <= 0x7F;
  if (!character) return 10000;
  const VoiceInfo* info = voice_info_for(s, name);
  if (!info) info = &s.defaultVoiceInfo;
  return info->enabled ? static_cast<int32_t>(info->volume) * 100 : 0;
}

bool voice_info_allows(const SoundState& s, const std::string& name) {
  if (const VoiceInfo* info = voice_info_for(s, name)) return info->enabled && info->volume > 0;
  const VoiceInfo& d = s.defaultVoiceInfo;
  return d.used && d.enabled && d.volume > 0;
}

int32_t voice_play_core(VmContext& vm, int32_t slot, const std::string& name, uint32_t flags,
                        int32_t fade, bool check_skip) {
  SoundState& s = vm.sound;
  s.dwVoiceWaitMask = 0;
  if (name.empty() || slot < 0 || slot > kSystemVoiceSlot) return kVoiceNotPlayed;
  if (check_skip && (get_skip_state(vm) & kSkipSkipping)) {
    if (prefix_rule_voice(name) && !s.bVoicePrefixPresent) return kVoiceNotPlayed;
    return kVoiceSkipped;
  }
  std::vector<std::string> names;
  if (voice_mix_list_read(name, &names)) return play_mix_list(vm, names, flags, fade);
  const int32_t kind = slot == kSystemVoiceSlot ? kSoundTypeSystemVoice : kSoundTypeVoice;
  if (!load_single(vm, slot, name, flags, kind, load_on_script)) return kVoiceNotPlayed;
  start_slot(s.voice[slot], flags, fade);
  return kVoicePlayed;
}

int32_t voice_load_job(VmContext& vm, int32_t slot, const std::string& name, uint32_t flags) {
  SoundState& s = vm.sound;
  s.dwVoiceWaitMask = 0;
  if (name.empty() || slot < 0 || slot > kSystemVoiceSlot) return kVoiceNotPlayed;
  std::vector<std::string> names;
  if (voice_mix_list_read(name, &names)) {
    // The caller ended the voice calls on the script's thread before the job was posted.
    for (int i = 0; i < kLineVoiceSlots; ++i) release_slot(s.voice[i]);
    bgv_resume_for_voices(s);
    load_mix_list(vm, names, flags, load_on_worker);
    return kVoicePlayed;
  }
  return load_single(vm, slot, name, flags, kSoundTypeVoice, load_on_worker) ? kVoicePlayed
                                                                             : kVoiceNotPlayed;
}

void line_voices_clear(VmContext& vm) {
  voice_call_end(vm);
  for (int i = 0; i < kLineVoiceSlots; ++i) release_slot(vm.sound.voice[i]);
  bgv_resume_for_voices(vm.sound);
}

LineVoice line_voice_play(VmContext& vm, const std::string& name) {
  SoundState& s = vm.sound;
  if (!name.empty() && !(prefix_rule_voice(name) && !s.bVoicePrefixPresent)) {
    if (!voice_info_allows(s, name)) return LineVoice::kSilent;
    line_voices_clear(vm);
    if (voice_play_core(vm, 0, name, 0, 0, true) != kVoiceNotPlayed) return LineVoice::kPlays;
  }
  if (s.bVoiceCut) line_voices_clear(vm);
  return LineVoice::kNone;
}

void voice_release_all(VmContext& vm) {
  SoundState& s = vm.sound;
  for (BgvSlot& b : s.bgv) {
    if (b.sound != 0) orv.OrvSoundRelease(b.sound);
    b = {};
    b.enabled = 1;
  }
  for (VoiceSlot& v : s.voice) release_slot(v);
  s.dwVoiceWaitMask = 0;
  for (AutopanEntry& e : s.autopan) e = {};
}

void voice_system_init(VmContext& vm) {
  SoundState& s = vm.sound;
  s.bVoicePrefixPresent = 0;
  for (const char* extension : {".ogg", ".wav"}) {
    const std::string file = std::string(kVoicePrefixProbe) + extension;
    FileRange range{};
    const OrvFileHandle h =
        orv.OrvFileCreate ? orv.OrvFileCreate(file.c_str(), &range) : kOrvInvalidFile;
    if (h == kOrvInvalidFile) continue;
    platform::file_close(h);
    s.bVoicePrefixPresent = 1;
    break;
  }
  for (BgvSlot& b : s.bgv) {
    b = {};
    b.enabled = 1;
  }
}

bool voice_any_playing(VmContext& vm) {
  for (int i = 0; i < kLineVoiceSlots; ++i) {
    const OrvSoundHandle h = vm.sound.voice[i].sound;
    if (h != 0 && orv.OrvSoundPlayIs(h)) return true;
  }
  return false;
}

bool voice_audible(VmContext& vm) {
  const SoundState& s = vm.sound;
  const int64_t master = static_cast<int64_t>(s.volumes[kCatMaster]) * s.switches[kCatMaster];
  const int64_t voice = static_cast<int64_t>(s.volumes[kCatVoice]) * s.switches[kCatVoice];
  if (master < 1 || voice < 1) return false;
  for (int i = 0; i < kLineVoiceSlots; ++i) {
    const OrvSoundHandle h = s.voice[i].sound;
    if (h != 0 && orv.OrvSoundGetVolumeChannel(h) > 0) return true;
  }
  return false;
}

bool voice_playing_muted(VmContext& vm) {
  return voice_any_playing(vm) && !voice_audible(vm);
}

bool voice_wait_poll(VmContext& vm) {
  SoundState& s = vm.sound;
  if (s.dwVoiceWaitMask == 0) return false;
  const uint32_t skip = get_skip_state(vm);
  const bool advance = sound_wait_advance(vm);
  for (int i = 0; i <= kSystemVoiceSlot; ++i) {
    const uint32_t bit = 1u << i;
    if (!(s.dwVoiceWaitMask & bit)) continue;
    VoiceSlot& v = s.voice[i];
    if (v.sound != 0 && orv.OrvSoundPlayIs(v.sound)) {
      if (advance) {
        s.dwVoiceWaitMask &= ~bit;
        orv.OrvSoundStopFade(v.sound, kWaitFadeOut);
      }
    } else {
      s.dwVoiceWaitMask &= ~bit;
      release_slot(v);
    }
  }
  if (s.dwVoiceWaitMask == 0) {
    vm.buttons.dwInvalidTime = 0;  // the buttons react again
  } else if (!(skip & kSkipFastForward)) {
    script_retry_call(vm);
  }
  vm.runner.bYield = 1;
  return true;
}

}  // namespace engine
