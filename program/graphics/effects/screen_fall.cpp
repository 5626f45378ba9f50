// Snow and petals: sprites that fall from above the screen to below it with a drift and a
// sway, and start over at the top; petals also turn through the eight cells of their row.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/effects/screen_effect_handlers.h"
#include "graphics/effects/screen_effects.h"
#include "graphics/layers/sprite_loader.h"
#include "graphics/sine.h"

namespace effects {
namespace {

using engine::kSakuraPetals;
using engine::kSnowFlakes;
using engine::SakuraPetal;
using engine::ScreenEffectState;
using engine::SnowFlake;
using engine::VmContext;

struct Screen {
  int32_t w, h;
};
Screen screen() {
  uint32_t w, h;
  engine::game_screen_size(&w, &h);
  return {as_int(w), as_int(h)};
}

uint32_t random_u32() {
  return static_cast<uint32_t>(orv.OrvRandomEx());
}

int32_t clamp_drift(uint32_t drift) {
  return std::clamp(as_int(drift), -512, 512);
}

struct Args {
  uint32_t file, keep, drift, count;
  char name[33];
};
Args pop_args(VmContext& vm, uint32_t max_count) {
  Args a{};
  a.file = engine::vm_pop(vm);
  a.keep = engine::vm_pop(vm);
  a.drift = engine::vm_pop(vm);
  a.count = engine::vm_pop(vm);
  a.count = std::clamp(a.count, 1u, max_count);
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(a.name), sizeof a.name, a.file, 1);
  a.name[32] = 0;
  return a;
}

// A new fall from above the screen: start and target x apart by the drift, start y up to two
// screens above the top.
void place(SnowFlake& f, Screen sc, int32_t drift, int32_t cell_height) {
  const uint32_t span = static_cast<uint32_t>(sc.w + sc.w / 2);
  f.nTargetX = (span ? as_int(random_u32() % span) : 0) - (sc.w / 2) / 2;
  f.nStartX = f.nTargetX - drift;
  const uint32_t above = static_cast<uint32_t>(2 * sc.h);
  f.nStartY = -((above ? as_int(random_u32() % above) : 0) + cell_height);
  f.nBottom = sc.h + cell_height;
}

void release_sprite(VmContext& vm, uint32_t& sprite) {
  if (sprite) orv.OrvSpriteRelease(vm.hRender, sprite);
  sprite = 0;
}

// One frame of the first count records. Petals (cells non-null) also turn their cell.
void fall_move(SnowFlake& f, uint32_t now) {
  const uint32_t e = std::min(now - f.dwFallStart, f.dwFallTime);
  // A record that never got its fall (started with keep on an empty record) stands still.
  const float r = f.dwFallTime ? static_cast<float>(e) / static_cast<float>(f.dwFallTime) : 0.0f;
  const uint32_t phase = f.dwSwayPhase & 511;
  f.dwSwayPhase += 1;
  const int32_t oy = static_cast<int32_t>(static_cast<float>(f.nBottom - f.nStartY) * r);
  const int32_t sway = static_cast<int32_t>(graphics::SineTable512[phase] * -50.0f);
  const int32_t ox = static_cast<int32_t>(static_cast<float>(f.nTargetX - f.nStartX) * r) - sway;
  orv.OrvSpriteSetOffsetPos(f.hSprite, ox, oy);
  if (e == f.dwFallTime) f.dwFallStart = now;
}

// The fade-out: true when it has ended (the caller then releases everything).
bool fade_step(uint32_t start, uint32_t time, uint32_t now, uint32_t* color) {
  const uint32_t e = std::min(now - start, time);
  const uint32_t alpha =
      time ? static_cast<uint32_t>((1.0f - static_cast<float>(e) / static_cast<float>(time)) *
                                   255.0f)
           : 255u;
  *color = alpha << 24 | 0xFFFFFFu;
  return e >= time;
}

}  // namespace

void flakes_release(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  for (SnowFlake& f : fx.flakes) {
    release_sprite(vm, f.hSprite);
    f = SnowFlake{};
  }
}

void petals_release(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  for (SakuraPetal& p : fx.petals) {
    release_sprite(vm, p.fall.hSprite);
    p = SakuraPetal{};
  }
}

uint32_t cmd_snow(VmContext& vm) {
  Args a = pop_args(vm, kSnowFlakes);
  int32_t drift = clamp_drift(a.drift);
  if (drift == 0) drift = 1;
  ScreenEffectState& fx = vm.screenEffects;
  const Screen sc = screen();
  const int32_t still = 512 - std::abs(drift);
  const int32_t speed = still / 51 + 1;
  const uint32_t now = orv.OrvtimeGetTime();
  // Started again: the running flakes' sprites go, their records stay for keep.
  for (SnowFlake& f : fx.flakes) release_sprite(vm, f.hSprite);
  for (uint32_t i = 0; i < kSnowFlakes; ++i) {
    SnowFlake& f = fx.flakes[i];
    const int32_t cell = as_int(i % 3);
    f.hSprite = layers::sprite_load_by_name_unlocked(vm, a.name, sc.w, sc.h, (499 - cell) * 10);
    if (!f.hSprite) {
      engine::vm_log(engine::kLogMain,
                     "[%d]\x83\x58\x83\x76\x83\x89\x83\x43\x83\x67\x82\xCC\x93\xC7\x82\xDD\x8D"
                     "\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73\x81\x42[%s]",
                     as_int(vm.runner.dwPc), a.name);
      // The flakes made before the failure are not left on the screen.
      flakes_release(vm);
      fx.dwSnowState = engine::kEffectOff;
      fx.dwActiveJobs &= ~kJobSnow;
      return 0;
    }
    orv.OrvSpriteViewCtrl(f.hSprite, 1);
    f.dwSwayPhase = random_u32() & 511;
    if (a.keep) continue;
    OrvSpriteInfo info{};
    orv.OrvSpriteGetInfo(f.hSprite, &info);
    place(f, sc, drift, info.cell_height);
    f.dwFallTime = static_cast<uint32_t>((f.nBottom - f.nStartY) * speed - cell * still);
    f.dwFallStart = now;
    orv.OrvSpriteSetPos(f.hSprite, static_cast<float>(f.nStartX), static_cast<float>(f.nStartY),
                        0.0f);
    orv.OrvSpriteRectSetPos(f.hSprite, cell, 0);
  }
  fx.snowArgs[0] = a.file;
  fx.snowArgs[1] = a.keep;
  fx.snowArgs[2] = a.count;
  fx.snowArgs[3] = static_cast<uint32_t>(drift);
  fx.dwActiveJobs |= kJobSnow;
  fx.dwSnowState = engine::kEffectRunning;
  engine::vm_log(engine::kLogHistory, "snow %s, %d, %d, %d", a.name, as_int(a.keep), drift,
                 as_int(a.count));
  return 1;
}

uint32_t cmd_sakura(VmContext& vm) {
  Args a = pop_args(vm, kSakuraPetals);
  const int32_t drift = clamp_drift(a.drift);
  ScreenEffectState& fx = vm.screenEffects;
  const Screen sc = screen();
  const uint32_t sheet = layers::sprite_load_by_name_unlocked(vm, a.name, sc.w, sc.h, 5000);
  if (!sheet) {
    engine::vm_log(engine::kLogMain, "sakura graphic load error [%s]", a.name);
    return 0;
  }
  OrvSpriteInfo info{};
  orv.OrvSpriteGetInfo(sheet, &info);
  // A sheet without a cell grid is one row of its own height.
  const int32_t cell_h = info.cell_height > 0 ? info.cell_height : info.height;
  const uint32_t rows = cell_h > 0 ? static_cast<uint32_t>(std::max(1, info.height / cell_h)) : 1;
  const uint32_t now = orv.OrvtimeGetTime();
  for (SakuraPetal& p : fx.petals) release_sprite(vm, p.fall.hSprite);
  for (uint32_t i = 0; i < kSakuraPetals; ++i) {
    SakuraPetal& p = fx.petals[i];
    const int32_t f = as_int(i % 3);
    const float s = 1.0f - static_cast<float>(2 - f) * 0.25f;
    const int32_t row = as_int(random_u32() % rows);
    const OrvRect src{0, row * cell_h, info.width, row * cell_h + cell_h};
    const OrvRect dst{0, 0, static_cast<int32_t>(static_cast<float>(info.width) * s),
                      static_cast<int32_t>(static_cast<float>(cell_h) * s)};
    p.fall.hSprite = orv.OrvSpriteCopy(vm.hRender, sheet, &src, &dst, (500 - f) * 10);
    orv.OrvSpriteViewCtrl(p.fall.hSprite, 1);
    p.fall.dwSwayPhase = random_u32() & 511;
    if (!a.keep) {
      place(p.fall, sc, drift, cell_h);
      p.fall.dwFallTime = static_cast<uint32_t>(10 * (p.fall.nBottom - p.fall.nStartY) - 1024 * f);
      orv.OrvSpriteSetPos(p.fall.hSprite, static_cast<float>(p.fall.nStartX),
                          static_cast<float>(p.fall.nStartY), 0.0f);
    }
    p.wCell = 0;
    p.dwCellInterval = random_u32() % 50 + 50;
    p.fall.dwFallStart = p.dwCellTime = now;
  }
  orv.OrvSpriteRelease(vm.hRender, sheet);
  fx.petalArgs[0] = a.file;
  fx.petalArgs[1] = a.keep;
  fx.petalArgs[2] = a.count;
  fx.petalArgs[3] = static_cast<uint32_t>(drift);
  fx.dwActiveJobs |= kJobPetals;
  fx.dwPetalState = engine::kEffectRunning;
  engine::vm_log(engine::kLogHistory, "sakura %s, %d, %d, %d", a.name, as_int(a.keep), drift,
                 as_int(a.count));
  return 1;
}

bool effect_snow_update(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  const uint32_t now = orv.OrvtimeGetTime();
  const uint32_t count = std::min(fx.snowArgs[2], kSnowFlakes);
  if (fx.dwSnowState == engine::kEffectFading) {
    uint32_t color = 0;
    const bool ended = fade_step(fx.dwSnowFadeStart, fx.dwSnowFadeTime, now, &color);
    for (uint32_t i = 0; i < count; ++i) orv.OrvSpriteSetColor(fx.flakes[i].hSprite, color);
    if (ended) {
      flakes_release(vm);
      fx.dwSnowState = engine::kEffectOff;
      fx.dwSnowFadeStart = fx.dwSnowFadeTime = 0;
      for (uint32_t& v : fx.snowArgs) v = 0;
      return true;
    }
  }
  for (uint32_t i = 0; i < count; ++i) fall_move(fx.flakes[i], now);
  return false;
}

bool effect_sakura_update(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  const uint32_t now = orv.OrvtimeGetTime();
  const uint32_t count = std::min(fx.petalArgs[2], kSakuraPetals);
  if (fx.dwPetalState == engine::kEffectFading) {
    uint32_t color = 0;
    const bool ended = fade_step(fx.dwPetalFadeStart, fx.dwPetalFadeTime, now, &color);
    for (uint32_t i = 0; i < count; ++i) orv.OrvSpriteSetColor(fx.petals[i].fall.hSprite, color);
    if (ended) {
      petals_release(vm);
      fx.dwPetalState = engine::kEffectOff;
      fx.dwPetalFadeStart = fx.dwPetalFadeTime = 0;
      for (uint32_t& v : fx.petalArgs) v = 0;
      return true;
    }
  }
  for (uint32_t i = 0; i < count; ++i) {
    SakuraPetal& p = fx.petals[i];
    if (now - p.dwCellTime >= p.dwCellInterval) {
      p.wCell = static_cast<uint16_t>((p.wCell + 1) & 7);
      orv.OrvSpriteRectSetPos(p.fall.hSprite, p.wCell, 0);
      p.dwCellTime = now;
    }
    fall_move(p.fall, now);
  }
  return false;
}

}  // namespace effects
