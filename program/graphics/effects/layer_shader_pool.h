// The pool of layer shader effects: which layer runs which platform shader effect (a raster
// wave or a radial blur) with which start values, so that the effects can be waited for,
// stopped, released with their layer and stored in save data.
//
// One pool for the program (the layers' own effect-node field points into it); the script
// reset empties it. Nodes in use are listed newest first. The platform keeps the effect per
// sprite and is reached through the address of the layer image's sprite id.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
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
// Frees the nodes whose blend-out has ended (the platform reports the effect off).
void shader_effect_sweep(engine::VmContext& vm);
// Starts an effect of kind on layer 0-127 with the start values a, b, c: a node, the layer's
// effect field and the platform's effect. Nothing for a layer without image or a full pool.
void shader_effect_start(engine::VmContext& vm, uint32_t layer, uint32_t kind,
                         const int32_t (&params)[3]);
// Ends the node's platform effect, unlinks the node and zeroes it; clears the effect field of
// its layer when that points to it. Null does nothing.
void shader_effect_node_release(engine::VmContext& vm, void* node);
// Empties the pool and clears every layer's effect-node field (script reset).
void shader_effect_pool_reset(engine::VmContext& vm);

extern const engine::CommandList layer_shader_commands;

}  // namespace layers
