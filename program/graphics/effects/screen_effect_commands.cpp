// effect_stop, flush and raster; the command list, the release at a reset, the restart of a
// saved effect, and the attach.
#include <algorithm>
#include <bit>

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/effects/screen_effect_command_list.h"
#include "graphics/effects/screen_effect_handlers.h"
#include "graphics/effects/screen_effects.h"

namespace effects {

using engine::ScreenEffectState;
using engine::VmContext;

namespace {

constexpr uint32_t kFxFullScreen = 0x10000000;
constexpr uint32_t kFxRaster = 0;
constexpr int32_t kFxStart = 1;
constexpr int32_t kFxReverse = 2;

void fading(uint32_t& state, uint32_t& start, uint32_t& time, uint32_t fade, uint32_t now) {
  if (state != engine::kEffectRunning) return;
  state = engine::kEffectFading;
  start = now;
  time = fade;
}

void release_flush(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  if (fx.dwFlushSprite) orv.OrvSpriteRelease(vm.hRender, fx.dwFlushSprite);
  fx.dwFlushSprite = 0;
}

}  // namespace

uint32_t cmd_effect_stop(VmContext& vm) {
  const uint32_t kinds = engine::vm_pop(vm);
  uint32_t fade = engine::vm_pop(vm);
  if (engine::get_skip_state(vm) != 0) {
    fade = 0;
    engine::vm_log(engine::kLogHistory, "effect_stop skip");
  } else {
    engine::vm_log(engine::kLogHistory, "effect_stop %d, %d", as_int(kinds), as_int(fade));
  }
  ScreenEffectState& fx = vm.screenEffects;
  const uint32_t now = orv.OrvtimeGetTime();
  if (kinds & kJobShake) shake_stop(vm, fade);
  if (kinds & kJobSnow) fading(fx.dwSnowState, fx.dwSnowFadeStart, fx.dwSnowFadeTime, fade, now);
  if (kinds & kJobPetals) {
    fading(fx.dwPetalState, fx.dwPetalFadeStart, fx.dwPetalFadeTime, fade, now);
  }
  if (kinds & kJobRaster) raster_stop(vm, fade);
  return 1;
}

uint32_t cmd_flush(VmContext& vm) {
  const uint32_t red = engine::vm_pop(vm);
  const uint32_t green = engine::vm_pop(vm);
  const uint32_t blue = engine::vm_pop(vm);
  const uint32_t time = engine::vm_pop(vm);
  const uint32_t color = 0xFF000000u | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
  ScreenEffectState& fx = vm.screenEffects;
  if (orv.OrvEffectEnableIs() && engine::get_skip_state(vm) == 0) {
    release_flush(vm);
    uint32_t w, h;
    engine::game_screen_size(&w, &h);
    fx.dwFlushSprite = orv.OrvSpriteCreate(vm.hRender, as_int(w), as_int(h), 0);
    orv.OrvSpriteViewCtrl(fx.dwFlushSprite, 1);
    orv.OrvSpritePaint(fx.dwFlushSprite, nullptr, color);
    fx.dwFlushLength = time;
    fx.dwFlushStart = orv.OrvClockGetTime();
    fx.dwFlushWord2 = 1;
    if (fx.dwSyncBits & kSyncFlush) engine::script_point_pop(vm);
    fx.dwActiveJobs |= kJobFlush;
    fx.dwSyncBits |= kSyncFlush;
    engine::script_point_push(vm);
    engine::vm_log(engine::kLogHistory, "flush 0x%06X", color);
  } else {
    engine::vm_log(engine::kLogHistory, "flush off");
  }
  vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_raster(VmContext& vm) {
  uint32_t args[4];
  for (uint32_t& a : args) a = engine::vm_pop(vm);
  engine::vm_log(engine::kLogHistory, "raster %d, %d, %d, %d", as_int(args[0]), as_int(args[1]),
                 as_int(args[2]), as_int(args[3]));
  ScreenEffectState& fx = vm.screenEffects;
  std::copy(args, args + 4, fx.rasterArgs);
  fx.dwRasterState = engine::kEffectRunning;
  fx.dwActiveJobs |= kJobRaster;
  // The priority of the layer's picture.
  fx.nRasterPriority = as_int(vm.run.dwSpritePriorityBase - args[0] + 4999);
  fx.rasterBlock[0] = args[3];
  fx.rasterBlock[1] = std::bit_cast<uint32_t>(static_cast<float>(args[1]) * 0.01f);
  fx.rasterBlock[2] = std::bit_cast<uint32_t>(static_cast<float>(args[2]) * 0.01f);
  orv.OrvSetFxEffect(&fx.nRasterPriority, kFxRaster | kFxFullScreen, kFxStart, args[3],
                     fx.rasterBlock);
  vm.runner.bYield = 1;
  return 1;
}

void raster_stop(VmContext& vm, uint32_t fade) {
  ScreenEffectState& fx = vm.screenEffects;
  if (fx.dwRasterState != engine::kEffectRunning) return;
  fx.dwRasterState = engine::kEffectFading;
  orv.OrvSetFxEffect(&fx.nRasterPriority, kFxRaster | kFxFullScreen, kFxReverse, fade,
                     fx.rasterBlock);
}

bool effect_raster_update(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  if (fx.dwRasterState != engine::kEffectFading) return false;
  if (orv.OrvGetFxEffectState(&fx.nRasterPriority, kFxFullScreen) != 0) return false;
  orv.OrvReleaseFxEffect(&fx.nRasterPriority, kFxFullScreen);
  fx.dwRasterState = engine::kEffectOff;
  return true;
}

void screen_effects_release(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  flakes_release(vm);
  petals_release(vm);
  if (fx.dwActiveJobs & kJobRaster) orv.OrvReleaseFxEffect(&fx.nRasterPriority, kFxFullScreen);
  // A flush showing at the reset would otherwise stay on the screen for good.
  release_flush(vm);
}

void screen_effect_restart(VmContext& vm, uint32_t bit, const uint32_t (&args)[4]) {
  uint32_t in_order[4] = {args[0], args[1], args[2], args[3]};
  engine::CommandHandler handler = cmd_raster;
  switch (bit) {
    case kJobShake:
      handler = cmd_shake;
      break;
    case kJobSnow:
    case kJobPetals:
      // Stored as file, keep, count, drift; the commands take file, keep, drift, count.
      std::swap(in_order[2], in_order[3]);
      handler = bit == kJobSnow ? cmd_snow : cmd_sakura;
      break;
    default:
      break;
  }
  for (int i = 3; i >= 0; --i) engine::vm_push(vm, in_order[i]);
  handler(vm);
}

namespace {
constexpr engine::CommandEntry kEntries[] = {SCREEN_EFFECT_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const engine::CommandList screen_effect_commands = engine::command_list(kEntries);

void screen_effects_attach() {
  engine::command_list_install(screen_effect_commands);
  engine::LayerServices& l = engine::neighbours.layers;
  l.effect_shake_update = effect_shake_update;
  l.effect_snow_update = effect_snow_update;
  l.effect_sakura_update = effect_sakura_update;
  l.effect_raster_update = effect_raster_update;
  l.screen_effects_release = screen_effects_release;
}

}  // namespace effects
