// The autopan table of save data in: whatever the bytes, the table reads whole or not at all,
// binding voices to it and panning them never reaches outside the image table or the pan range,
// and written again it gives the bytes back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "text/sound/voice_autopan.h"

namespace {

int32_t g_range = 0;

void install_fakes() {
  orv.OrvSpriteGetInfo = [](OrvHandle, OrvSpriteInfo* info) -> OrvBool {
    std::memset(info, 0, sizeof *info);
    info->x = 300.5f;
    info->cell_width = 64;
    return 1;
  };
  orv.OrvSoundSetPanChannel = [](OrvSoundHandle, int32_t pan) -> OrvBool {
    if (pan < -g_range || pan > g_range) std::abort();
    return 1;
  };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  install_fakes();
  // Only the sound state takes part; a fresh one per input (a whole game state per input cost
  // more than the run itself: half a megabyte of new pages each time).
  static auto* const state = new engine::SoundState();
  engine::SoundState& s = *state;
  std::destroy_at(&s);
  std::construct_at(&s);
  codec::ByteReader in(data, size);
  const bool whole = engine::autopan_state_restore(s, in);
  if (whole != (size >= engine::kAutopanBlockBytes)) std::abort();
  s.nAutopanRange = 10000;
  g_range = s.nAutopanRange;
  for (int slot = 0; slot < 9; ++slot) {
    const engine::AutopanEntry& e = s.autopan[slot];
    // A voice named by the entry's key (plus a tail) binds to it and is panned.
    const std::string name = std::string(e.key, strnlen(e.key, sizeof e.key)) + "_001";
    s.voice[slot].sound = 0x30000001;
    engine::voice_autopan_find(s, slot, name);
    engine::voice_autopan_apply(s, slot);
  }
  std::vector<uint8_t> saved;
  codec::ByteWriter w(&saved);
  engine::autopan_state_save(s, w);
  if (saved.size() != engine::kAutopanBlockBytes) std::abort();
  if (whole && std::memcmp(saved.data(), data, saved.size()) != 0) std::abort();
  return 0;
}
