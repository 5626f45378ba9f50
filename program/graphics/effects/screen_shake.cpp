// The shake: random offsets in the layers' (and the text window's) shake deltas, shrinking
// to nothing over a timed shake's length, or at full range while an endless one runs.
#include <algorithm>

#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/effects/screen_effect_handlers.h"
#include "graphics/effects/screen_effects.h"
#include "graphics/layers/image_record.h"

namespace effects {
namespace {

using engine::ScreenEffectState;
using engine::VmContext;

constexpr uint32_t kShakenLayers = 64;
constexpr uint32_t kLayerLocked = 0x1000000;
constexpr uint32_t kTargetTextWindow = 1;
constexpr uint32_t kTargetTogether = 2;

struct Offset {
  int32_t x, y;
};

Offset draw_offset(uint32_t mode, uint32_t range) {
  auto one = [&]() -> int32_t {
    const uint32_t r = static_cast<uint32_t>(orv.OrvRandomEx());
    return static_cast<int32_t>(r % range) - static_cast<int32_t>(range >> 1);
  };
  Offset o{0, 0};
  if (range == 0) return o;
  if (mode == 1 || mode == 2) o.x = one();
  if (mode == 0 || mode == 2) o.y = one();
  return o;
}

void put(layers::ImageRecord* image, Offset o) {
  if (!image) return;
  image->frame.shakeX = o.x;
  image->frame.shakeY = o.y;
}

void shake_end(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  for (uint32_t n = 0; n < kShakenLayers; ++n) put(vm.layers[n].lpImage, {0, 0});
  if (fx.shakeArgs[3] & kTargetTextWindow) put(vm.text.lpBase, {0, 0});
  if (fx.dwSyncBits & kSyncShake) {
    engine::script_point_pop(vm);
    fx.dwSyncBits &= ~kSyncShake;
  }
  fx.dwShakeState = engine::kEffectOff;
  fx.dwShakeStart = 0;
  fx.dwShakeDuration = 0;
  for (uint32_t& a : fx.shakeArgs) a = 0;
}

}  // namespace

uint32_t cmd_shake(VmContext& vm) {
  uint32_t args[4];
  for (uint32_t& a : args) a = engine::vm_pop(vm);
  engine::vm_log(engine::kLogHistory, "shake %d, %d, %d, %d", as_int(args[0]), as_int(args[1]),
                 as_int(args[2]), as_int(args[3]));
  const uint32_t time = args[2];
  if (time != kEndless && (!orv.OrvEffectEnableIs() || engine::get_skip_state(vm) != 0)) {
    engine::vm_log(engine::kLogHistory, "shake off");
    return 1;
  }
  ScreenEffectState& fx = vm.screenEffects;
  std::copy(args, args + 4, fx.shakeArgs);
  fx.dwShakeStart = orv.OrvtimeGetTime();
  fx.dwShakeDuration = time;
  fx.dwShakeState = engine::kEffectRunning;
  fx.dwActiveJobs |= kJobShake;
  if (time != kEndless) {
    if (fx.dwSyncBits & kSyncShake) engine::script_point_pop(vm);
    fx.dwSyncBits |= kSyncShake;
    engine::script_point_push(vm);
    vm.runner.bYield = 1;
  }
  return 1;
}

void shake_stop(VmContext& vm, uint32_t fade) {
  ScreenEffectState& fx = vm.screenEffects;
  if (fx.dwSyncBits & kSyncFlush) {
    engine::script_point_pop(vm);
    fx.dwSyncBits &= ~kSyncFlush;
  }
  if (fx.dwShakeState != engine::kEffectRunning) return;
  // The shake decays to nothing over the fade time without holding the script.
  fx.dwShakeState = engine::kEffectFading;
  fx.dwShakeStart = orv.OrvtimeGetTime();
  fx.dwShakeDuration = fade;
  if (fx.dwSyncBits & kSyncShake) {
    engine::script_point_pop(vm);
    fx.dwSyncBits &= ~kSyncShake;
  }
}

bool effect_shake_update(VmContext& vm) {
  ScreenEffectState& fx = vm.screenEffects;
  const uint32_t duration = fx.dwShakeDuration;
  const uint32_t e = std::min(orv.OrvtimeGetTime() - fx.dwShakeStart, duration);
  const int32_t amplitude = as_int(fx.shakeArgs[1]);
  // A negative amplitude shakes as little as the smallest range rather than across the whole
  // 32-bit range; an endless shake of amplitude 0 stands still.
  const int64_t full = amplitude > 0 ? 2 * int64_t{amplitude} : 0;
  uint32_t range = static_cast<uint32_t>(full);
  if (duration != kEndless) {
    if (duration == 0 || e >= duration || engine::get_skip_state(vm) != 0) {
      shake_end(vm);
      return true;
    }
    const float left = 1.0f - static_cast<float>(e) / static_cast<float>(duration);
    const float r = left * 2.0f * static_cast<float>(amplitude);
    range = r >= 1.0f ? static_cast<uint32_t>(r) : 1;
  }
  const uint32_t mode = fx.shakeArgs[0];
  const uint32_t target = fx.shakeArgs[3];
  if (target & kTargetTextWindow) put(vm.text.lpBase, draw_offset(mode, range));
  const Offset together = (target & kTargetTogether) ? draw_offset(mode, range) : Offset{0, 0};
  for (uint32_t n = 0; n < kShakenLayers; ++n) {
    const engine::LayerSlot& slot = vm.layers[n];
    if (!slot.lpImage || (slot.dwFlags & kLayerLocked)) continue;
    put(slot.lpImage, (target & kTargetTogether) ? together : draw_offset(mode, range));
  }
  return false;
}

}  // namespace effects
