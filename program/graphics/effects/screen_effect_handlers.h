// The group 0x10 handlers and the helpers the effect files share (inside the effects folder).
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace effects {

uint32_t cmd_effect_stop(engine::VmContext& vm);
uint32_t cmd_shake(engine::VmContext& vm);
uint32_t cmd_flush(engine::VmContext& vm);
uint32_t cmd_snow(engine::VmContext& vm);
uint32_t cmd_sakura(engine::VmContext& vm);
uint32_t cmd_raster(engine::VmContext& vm);

// effect_stop's part for the shake, the falling effects and the raster.
void shake_stop(engine::VmContext& vm, uint32_t fade);
void raster_stop(engine::VmContext& vm, uint32_t fade);
// Releases the sprites of the flakes or of the petals and zeroes their records.
void flakes_release(engine::VmContext& vm);
void petals_release(engine::VmContext& vm);

constexpr uint32_t kJobShake = 1;
constexpr uint32_t kJobFlush = 2;
constexpr uint32_t kJobSnow = 4;
constexpr uint32_t kJobPetals = 8;
constexpr uint32_t kJobRaster = 16;
constexpr uint32_t kSyncShake = 1;
constexpr uint32_t kSyncFlush = 2;
constexpr uint32_t kEndless = 0xFFFFFFFFu;

inline int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

}  // namespace effects
