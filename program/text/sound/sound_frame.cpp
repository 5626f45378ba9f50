#include "text/sound/sound_frame.h"

#include <cstddef>
#include <cstring>

#include "engine/orv_api.h"
#include "text/sound/bgv.h"
#include "text/sound/music.h"
#include "text/sound/sound_effects.h"
#include "text/sound/voice_autopan.h"

namespace engine {
namespace {

// Handle, file, flags and the reserved area; the enabled, paused and key fields stay.
constexpr size_t kBgvPlayBytes = 48;
static_assert(offsetof(BgvSlot, enabled) == kBgvPlayBytes);

}  // namespace

void se_frame_update(VmContext& vm) {
  for (SeChannel& ch : vm.sound.se) {
    if (ch.sound == 0 || (ch.flags & kSeReserved)) continue;
    if (!orv.OrvSoundPlayIs(ch.sound)) {
      orv.OrvSoundRelease(ch.sound);
      ch = {};
    }
  }
}

void voice_frame_update(VmContext& vm) {
  SoundState& s = vm.sound;
  if (s.bVoiceUpdateSuspended) return;  // a line voice is loading into the slots
  bool any_playing = false;
  for (int i = 0; i < 9; ++i) {
    VoiceSlot& slot = s.voice[i];
    if (slot.sound == 0) continue;
    if (orv.OrvSoundPlayIs(slot.sound)) {
      any_playing = true;
      // The voice follows the layer it is bound to.
      if (s.bAutopan) voice_autopan_apply(s, i);
      continue;
    }
    if (i != 8) bgv_resume_for_voices(s);
    // The name and autopan fields stay: the voice commands still read them.
    orv.OrvSoundRelease(slot.sound);
    slot.sound = 0;
  }
  if (!any_playing && s.bgmAuto.on) bgm_type_volume_restore(s);
  for (BgvSlot& slot : s.bgv) {
    if (slot.sound == 0 || slot.hasKey || (slot.flags & kBgvLoop) || slot.paused) continue;
    if (orv.OrvSoundPlayIs(slot.sound)) continue;
    orv.OrvSoundRelease(slot.sound);
    std::memset(&slot, 0, kBgvPlayBytes);
  }
}

void sound_channels_update(VmContext& vm) {
  se_frame_update(vm);
  bgm_frame_update(vm);
  voice_frame_update(vm);
}

void se_release_all(VmContext& vm) {
  for (SeChannel& ch : vm.sound.se) {
    if (ch.sound != 0) orv.OrvSoundRelease(ch.sound);
    ch = {};
  }
  // A wait left over from before would swallow the next effect command's first run.
  vm.sound.dwBlockingSe = 0;
}

}  // namespace engine
