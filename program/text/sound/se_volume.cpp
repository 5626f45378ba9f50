#include "text/sound/se_volume.h"

#include <algorithm>
#include <cstring>

#include "engine/orv_api.h"

namespace engine {

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
