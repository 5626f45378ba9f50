// The pool of layer shader effects: which layer runs which platform shader effect (a raster
// wave or a radial blur) with which start values, so that the effects can be stopped,
// released with their layer and stored in save data.
//
// One pool for the program (the layers' own effect-node field points into it); the script
// reset empties it. Nodes in use are listed newest first.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace layers {

constexpr uint32_t kShaderNodes = 8;
constexpr uint32_t kShaderFree = 0;
constexpr uint32_t kShaderRunning = 1;
constexpr uint32_t kShaderReleasing = 2;
constexpr uint32_t kShaderRaster = 0;
constexpr uint32_t kShaderRadialBlur = 1;

struct FxEffectNode {
  int32_t nLayer;     // 0-127
  uint32_t dwState;   // kShader{Free,Running,Releasing}
  uint32_t dwKind;    // kShaderRaster or kShaderRadialBlur
  int32_t params[3];  // a, b, c as the start command popped them
};

struct ShaderEffectPool {
  uint32_t bWaiting;  // an fx_effect_wait is in progress
  int32_t nWaitLayer;
  FxEffectNode nodes[kShaderNodes];
  uint32_t order[kShaderNodes];  // node indices in use, newest first
  uint32_t nInUse;
};

extern ShaderEffectPool shader_effect_pool;

// Takes a free node, fills it and lists it first; null when all eight are in use.
FxEffectNode* shader_effect_node_take(int32_t layer, uint32_t kind, const int32_t (&params)[3]);
// Empties the pool and clears every layer's effect-node field (script reset).
void shader_effect_pool_reset(engine::VmContext& vm);

}  // namespace layers
