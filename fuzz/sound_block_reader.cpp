// The sound settings of system.dat in: whatever the bytes, every value read is in its range,
// and what is read writes back to a block that reads as the same values.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "text/sound/sound_settings.h"

namespace {

void ranges_hold(const engine::SoundState& s) {
  for (int32_t v : s.volumes)
    if (v < 0 || v > 10000) std::abort();
  for (uint32_t w : s.switches)
    if (w > 1) std::abort();
  if (s.bgmAuto.on > 1 || s.bgmAuto.keep > 1 || s.bVoiceCut > 1 || s.bVoiceExVolume > 1 ||
      s.bAutopan > 1 || s.nAutopanRange < 0 || s.nAutopanRange > 10000)
    std::abort();
  for (const engine::VoiceInfo& v : s.voiceInfo)
    if (v.used > 1 || v.enabled > 1 || v.volume > 100) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv.OrvSoundSetPrimaryVolume = [](int32_t) -> OrvBool { return 1; };
  orv.OrvSoundSetVolume = [](int32_t v, int32_t) -> OrvBool {
    if (v < 0 || v > 10000) std::abort();
    return 1;
  };
  engine::set_log_sink([](int, const char*, void*) {}, nullptr);
  engine::SoundState s{};
  const bool whole = engine::sound_settings_read(data, size, s);
  if (whole != (size >= engine::kSoundBlockBytes)) std::abort();
  ranges_hold(s);
  std::vector<uint8_t> out(engine::kSoundBlockBytes);
  engine::sound_settings_write(s, out.data());
  engine::SoundState again{};
  if (!engine::sound_settings_read(out.data(), out.size(), again)) std::abort();
  std::vector<uint8_t> twice(engine::kSoundBlockBytes);
  engine::sound_settings_write(again, twice.data());
  if (out != twice) std::abort();
  return 0;
}
