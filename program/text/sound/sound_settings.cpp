#include "text/sound/sound_settings.h"

#include <algorithm>
#include <cstring>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "shared/byte_codec.h"

namespace engine {
namespace {

template <class IO>
constexpr void sync(IO& io, VoiceInfo& v) {
  io.u32(v.used);
  io.u32(v.enabled);
  io.u32(v.volume);
  io.bytes(v.prefix);
}

// The categories in the order the file keeps them.
constexpr int kFileOrder[8] = {kCatMaster, kCatBgm, kCatBgv, kCatVoice,
                               kCatSe0,    kCatSe1, kCatSe2, kCatSystemVoice};

// The block as one field list. Settings is SoundState (a reader or writer): only its settings
// parts are listed.
template <class IO>
constexpr void sync(IO& io, SoundState& s) {
  for (int c : kFileOrder) io.i32(s.volumes[c]);
  for (int c : kFileOrder) io.u32(s.switches[c]);
  io.u32(s.bgmAuto.on);
  io.u32(s.bgmAuto.factor);
  io.u32(s.bgmAuto.keep);
  io.u32(s.bVoiceCut);
  io.u32(s.bVoiceExVolume);
  for (VoiceInfo& v : s.voiceInfo) sync(io, v);
  sync(io, s.defaultVoiceInfo);
  io.u32(s.bAutopan);
  io.i32(s.nAutopanRange);
}

uint32_t as_switch(uint32_t v) {
  return v != 0 ? 1u : 0u;
}

void clamp_voice_info(VoiceInfo& v) {
  v.used = as_switch(v.used);
  v.enabled = as_switch(v.enabled);
  v.volume = std::min<uint32_t>(v.volume, 100);
}

// What a file may hold is not trusted: every value is brought into its range.
void clamp_settings(SoundState& s) {
  for (int32_t& v : s.volumes) v = std::clamp(v, 0, 10000);
  for (uint32_t& w : s.switches) w = as_switch(w);
  s.bgmAuto.on = as_switch(s.bgmAuto.on);
  s.bgmAuto.keep = as_switch(s.bgmAuto.keep);
  s.bVoiceCut = as_switch(s.bVoiceCut);
  s.bVoiceExVolume = as_switch(s.bVoiceExVolume);
  for (VoiceInfo& v : s.voiceInfo) clamp_voice_info(v);
  clamp_voice_info(s.defaultVoiceInfo);
  s.bAutopan = as_switch(s.bAutopan);
  s.nAutopanRange = std::clamp(s.nAutopanRange, 0, 10000);
}

int32_t switched(const SoundState& s, int c) {
  return s.switches[c] ? s.volumes[c] : 0;
}

}  // namespace

static_assert(kSoundBlockBytes == kSoundSettingsBytes);
static_assert(codec::stored_size<SoundState>([](auto& io, auto& r) { sync(io, r); }) ==
              kSoundBlockBytes);

void sound_settings_apply(const SoundState& s) {
  orv.OrvSoundSetPrimaryVolume(switched(s, kCatMaster));
  orv.OrvSoundSetVolume(switched(s, kCatVoice), kSoundTypeVoice);
  orv.OrvSoundSetVolume(switched(s, kCatBgm), kSoundTypeBgm);
  orv.OrvSoundSetVolume(switched(s, kCatSe0), kSoundTypeSe0);
  orv.OrvSoundSetVolume(switched(s, kCatSe1), kSoundTypeSe1);
  orv.OrvSoundSetVolume(switched(s, kCatSe2), kSoundTypeSe2);
  orv.OrvSoundSetVolume(switched(s, kCatSystemVoice), kSoundTypeSystemVoice);
}

bool sound_settings_read(const uint8_t* bytes, size_t size, SoundState& s) {
  // Read into a copy, so that a short block leaves nothing half-read behind.
  SoundState read = s;
  codec::ByteReader r(bytes, std::min(size, kSoundBlockBytes));
  sync(r, read);
  if (r.failed()) {
    sound_settings_default(s);
    return false;
  }
  clamp_settings(read);
  s = read;
  sound_settings_apply(s);
  return true;
}

void sound_settings_write(const SoundState& s, uint8_t* out) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kSoundBlockBytes);
  codec::ByteWriter w(&bytes);
  SoundState copy = s;  // the field list takes references; the writer only reads them
  sync(w, copy);
  std::memcpy(out, bytes.data(), kSoundBlockBytes);
}

void sound_settings_default(SoundState& s) {
  for (int c = 0; c < 8; ++c) {
    s.volumes[c] = c == kCatBgv ? 0 : 5000;
    s.switches[c] = 1;
  }
  s.bgmAuto = BgmAutoVolume{0, 5000, 0};
  s.bVoiceCut = 0;
  s.bVoiceExVolume = 0;
  for (VoiceInfo& v : s.voiceInfo) v = VoiceInfo{};
  s.defaultVoiceInfo = VoiceInfo{};
  s.bAutopan = 0;
  s.nAutopanRange = 0;
  sound_settings_apply(s);
}

void sound_category_apply(const SoundState& s, SoundCategory cat, int32_t type) {
  orv.OrvSoundSetVolume(s.switches[cat] ? s.volumes[cat] : 0, type);
}

void sound_category_set_volume(SoundState& s, SoundCategory cat, int32_t type, int32_t percent) {
  s.volumes[cat] = std::clamp(percent, 0, 100) * 100;
  sound_category_apply(s, cat, type);
}

void sound_category_mute(SoundState& s, SoundCategory cat, int32_t type, uint32_t flag) {
  s.switches[cat] = flag == 0 ? 1 : 0;
  sound_category_apply(s, cat, type);
}

}  // namespace engine
