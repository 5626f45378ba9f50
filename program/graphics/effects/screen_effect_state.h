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

// A falling snow flake; a petal adds its cell animation.
struct SnowFlake {
  uint32_t hSprite;
  int32_t nStartX, nStartY;
  int32_t nTargetX;  // start x plus the drift
  int32_t nBottom;   // screen height plus the cell height
  uint32_t dwFallStart, dwFallTime;
  uint32_t dwSwayPhase;  // 1/512 turn, one step a frame
};
struct SakuraPetal {
  SnowFlake fall;
  uint32_t dwCellTime, dwCellInterval;  // last cell change; 50-99 ms between changes
  uint16_t wCell;                       // 0-7
};

constexpr uint32_t kSnowFlakes = 255;
constexpr uint32_t kSakuraPetals = 127;

struct ScreenEffectState {
  uint32_t dwSyncBits;    // bit 0: a timed shake holds the script; bit 1: a flush does
  uint32_t dwActiveJobs;  // bit 0 shake, 1 flush colour sprite, 2 snow, 3 petals, 4 raster
  // The flush colour sprite: its sprite on the game's render list, a second word, start and
  // length (ms of OrvClockGetTime, the clock of the frame procedure that ends it).
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
  // The running effects' own records (times in OrvtimeGetTime ms).
  uint32_t dwShakeStart;
  uint32_t dwShakeDuration;  // 0xFFFFFFFF endless
  SnowFlake flakes[kSnowFlakes];
  uint32_t dwSnowFadeStart, dwSnowFadeTime;
  SakuraPetal petals[kSakuraPetals];
  uint32_t dwPetalFadeStart, dwPetalFadeTime;
  // What the platform's full-screen effect reads while the raster runs: the priority of its
  // node and the parameter block {period ms, amplitude x, amplitude y as floats}.
  int32_t nRasterPriority;
  uint32_t rasterBlock[3];
};

}  // namespace engine
