// The screen effects' block of save data: a mask of the running effects (1 shake, 4 snow,
// 8 petals, 16 raster), then for each bit in that order the effect's four start arguments.
// A flush and effects that fade out are not stored. Idle: the 4-byte mask 0.
#include <algorithm>

#include "graphics/effects/screen_effects.h"
#include "save/save_blocks.h"

namespace save {
namespace {

constexpr uint32_t kMaskShake = 1;
constexpr uint32_t kMaskSnow = 4;
constexpr uint32_t kMaskPetals = 8;
constexpr uint32_t kMaskRaster = 16;
constexpr uint32_t kMaskAll = kMaskShake | kMaskSnow | kMaskPetals | kMaskRaster;

struct Group {
  uint32_t bit;
  uint32_t engine::ScreenEffectState::*state;
  uint32_t (engine::ScreenEffectState::*args)[4];
};
constexpr Group kGroups[] = {
    {kMaskShake, &engine::ScreenEffectState::dwShakeState, &engine::ScreenEffectState::shakeArgs},
    {kMaskSnow, &engine::ScreenEffectState::dwSnowState, &engine::ScreenEffectState::snowArgs},
    {kMaskPetals, &engine::ScreenEffectState::dwPetalState, &engine::ScreenEffectState::petalArgs},
    {kMaskRaster, &engine::ScreenEffectState::dwRasterState,
     &engine::ScreenEffectState::rasterArgs},
};

}  // namespace

void screen_effect_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const engine::ScreenEffectState& fx = vm.screenEffects;
  uint32_t mask = 0;
  for (const Group& g : kGroups) {
    if (fx.*g.state == engine::kEffectRunning) mask |= g.bit;
  }
  out.u32(mask);
  for (const Group& g : kGroups) {
    if (mask & g.bit) out.u32s(fx.*g.args, 4);
  }
}

bool screen_effect_save_check(codec::ByteReader& in, SaveCheck& check) {
  const uint32_t mask = in.u32();
  if (!check.whole(in, "screen effect mask")) return false;
  if (mask & ~kMaskAll) return check.fail("screen effect mask");
  for (const Group& g : kGroups) {
    if (mask & g.bit) in.skip(16);
  }
  return check.whole(in, "screen effects");
}

// Each stored effect starts again through its command, with its full time (a timed shake
// holds the script again). Its state and arguments are kept even when the restart cannot make
// its sprites (a sheet gone from the game), so that the effect is not lost from the next save.
void screen_effect_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  engine::ScreenEffectState& fx = vm.screenEffects;
  const uint32_t mask = in.u32();
  for (const Group& g : kGroups) {
    if (!(mask & g.bit)) continue;
    uint32_t stored[4];
    in.u32s(stored, 4);
    effects::screen_effect_restart(vm, g.bit, stored);
    if (fx.*g.state == engine::kEffectOff) {
      std::copy(stored, stored + 4, fx.*g.args);
      fx.*g.state = engine::kEffectRunning;
    }
  }
}

}  // namespace save
