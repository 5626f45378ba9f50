#include "graphics/effects/layer_shader_pool.h"

namespace layers {

ShaderEffectPool shader_effect_pool{};

FxEffectNode* shader_effect_node_take(int32_t layer, uint32_t kind, const int32_t (&params)[3]) {
  ShaderEffectPool& pool = shader_effect_pool;
  for (uint32_t i = 0; i < kShaderNodes; ++i) {
    FxEffectNode& node = pool.nodes[i];
    if (node.dwState != kShaderFree) continue;
    node = FxEffectNode{layer, kShaderRunning, kind, {params[0], params[1], params[2]}};
    for (uint32_t k = pool.nInUse; k > 0; --k) pool.order[k] = pool.order[k - 1];
    pool.order[0] = i;
    ++pool.nInUse;
    return &node;
  }
  return nullptr;
}

void shader_effect_pool_reset(engine::VmContext& vm) {
  shader_effect_pool = ShaderEffectPool{};
  for (engine::LayerSlot& slot : vm.layers) slot.lpEffectNode = nullptr;
}

}  // namespace layers
