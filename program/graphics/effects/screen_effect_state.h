// ScreenEffectState: the screen-wide effects the script starts (shake, flush, snow, petals,
// raster) inside the VmContext; zero at start, cleared by the script reset.
//
// The flush fields drive the flush's colour sprite in the frame procedure. The state words and
// start arguments of shake, snow, petals and raster are what save data keeps of them: a
// running effect is stored as its four start arguments.
#pragma once

#include <cstdint>

namespace engine {

// States of shake, snow, petals and raster.
constexpr uint32_t kEffectOff = 0;
constexpr uint32_t kEffectRunning = 1;
constexpr uint32_t kEffectFading = 2;

struct ScreenEffectState {
  uint32_t dwSyncBits;
  uint32_t dwActiveJobs;  // bit 0 shake, 1 flush colour sprite, 2 snow, 3 petals, 4 raster
  // The flush colour sprite: its sprite on the game's render list, a second word, start and
  // length (ms).
  uint32_t dwFlushSprite;
  uint32_t dwFlushWord2;
  uint32_t dwFlushStart;
  uint32_t dwFlushLength;
  // Each effect's state (kEffect...) and its start arguments as the command received them:
  // shake mode, amplitude, time, target; snow and petals file, keep flag, count, drift; raster
  // layer and its three values.
  uint32_t dwShakeState;
  uint32_t shakeArgs[4];
  uint32_t dwSnowState;
  uint32_t snowArgs[4];
  uint32_t dwPetalState;
  uint32_t petalArgs[4];
  uint32_t dwRasterState;
  uint32_t rasterArgs[4];
};

}  // namespace engine
