// The music channels of save data in: whatever the bytes, the restored channels hold volumes
// 0..100, no running fade and only sounds the reload gave; written again, they read the same.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "text/sound/music.h"

namespace {

constexpr uint32_t kLoaded = 0x30000001;

void install_fakes() {
  orv.OrvtimeGetTime = []() -> uint32_t { return 1000; };
  orv.OrvSoundLoad = [](const char* name, int32_t, const BgmLoopPoints*) -> uint32_t {
    return name[0] == 'A' ? kLoaded : 0;
  };
  orv.OrvSoundSetVolume = [](int32_t, int32_t) -> OrvBool { return 1; };
  orv.OrvSoundSetVolumeChannel = [](uint32_t, int32_t v) -> OrvBool {
    if (v < 0 || v > 10000) std::abort();
    return 1;
  };
  orv.OrvSoundPlayFade = [](uint32_t, int32_t, int32_t) -> OrvBool { return 1; };
  orv.OrvSoundGetState = [](uint32_t) -> int32_t { return 1; };
  orv.OrvSoundPlayIs = [](uint32_t) -> int32_t { return 1; };
  orv.OrvSoundRelease = [](uint32_t) -> OrvBool { return 1; };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  install_fakes();
  engine::set_log_sink([](int, const char*, void*) {}, nullptr);
  auto gs = std::make_unique<engine::GameState>();
  engine::VmContext& vm = gs->vm;
  codec::ByteReader in(data, size);
  const bool whole = engine::bgm_state_restore(vm, in, (size & 1) != 0);
  if (whole != (size >= 2 * engine::kBgmRecordBytes)) std::abort();
  for (const engine::BgmChannel& ch : vm.sound.bgm) {
    if (ch.volume < 0 || ch.volume > 100) std::abort();
    if (ch.flags & engine::kBgmFading) std::abort();
    if (ch.sound != 0 && ch.sound != kLoaded) std::abort();
  }
  // A frame may step what was restored without leaving the volume scale.
  engine::bgm_frame_update(vm);
  std::vector<uint8_t> saved;
  codec::ByteWriter w(&saved);
  engine::bgm_state_save(vm.sound, w);
  if (saved.size() != 2 * engine::kBgmRecordBytes) std::abort();
  return 0;
}
