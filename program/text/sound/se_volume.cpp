#include "text/sound/se_volume.h"

#include <algorithm>
#include <cstring>

#include "engine/orv_api.h"

namespace engine {

int32_t se_category(uint32_t type) {
  constexpr int32_t kCategory[3] = {kSoundTypeSe0, kSoundTypeSe1, kSoundTypeSe2};
  return type < 3 ? kCategory[type] : 0;
}

SoundCategory se_volume_index(uint32_t type) {
  constexpr SoundCategory kIndex[3] = {kCatSe0, kCatSe1, kCatSe2};
  return type < 3 ? kIndex[type] : kCatSe0;
}

void se_apply_volume(const SoundState& s, OrvSoundHandle sound, const char* name) {
  if (sound == 0) return;
  auto channel_volume = [](uint32_t volume) {
    return static_cast<int32_t>(std::min<uint64_t>(uint64_t{volume} * 100, 10000));
  };
  if (name) {
    bool matched = false;
    for (const SeInfo& info : s.seInfo) {
      if (!info.used) continue;
      const size_t n = strnlen(info.prefix, sizeof info.prefix);
      if (std::strncmp(name, info.prefix, n) != 0) continue;
      orv.OrvSoundSetVolumeChannel(sound, channel_volume(info.volume));
      matched = true;
    }
    if (matched) return;
  }
  for (int i = 0; i < 16; ++i) {
    if (s.se[i].sound != sound) continue;
    const SeChannelOverride& o = s.seOverrides[i];
    if (o.flags & 0x1) orv.OrvSoundSetVolumeChannel(sound, channel_volume(o.volume));
    if (o.flags & 0x2) orv.OrvSoundSetFreq(sound, o.frequency);
    return;
  }
}

}  // namespace engine
