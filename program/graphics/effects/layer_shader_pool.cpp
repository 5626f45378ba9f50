#include "graphics/effects/layer_shader_pool.h"

#include <cstring>

#include "engine/orv_api.h"
#include "graphics/layers/image_record.h"

namespace layers {
namespace {

constexpr uint32_t kPerSprite = 0x0FFFFFFF;

void unlink(ShaderEffectPool& pool, uint32_t index) {
  uint32_t k = 0;
  while (k < pool.nInUse && pool.order[k] != index) ++k;
  if (k == pool.nInUse) return;
  for (; k + 1 < pool.nInUse; ++k) pool.order[k] = pool.order[k + 1];
  --pool.nInUse;
}

void drop(engine::VmContext& vm, FxEffectNode& node) {
  ShaderEffectPool& pool = shader_effect_pool;
  const uint32_t index = static_cast<uint32_t>(&node - pool.nodes);
  if (node.nLayer >= 0 && node.nLayer < 128 && vm.layers[node.nLayer].lpEffectNode == &node) {
    vm.layers[node.nLayer].lpEffectNode = nullptr;
  }
  unlink(pool, index);
  node = FxEffectNode{};
}

// Values given to the platform in hundredths, counted as unsigned.
float hundredths(int32_t v) {
  return static_cast<float>(static_cast<uint32_t>(v)) * 0.01f;
}

}  // namespace

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

void shader_effect_sweep(engine::VmContext& vm) {
  for (FxEffectNode& node : shader_effect_pool.nodes) {
    if (node.dwState != kShaderReleasing) continue;
    const ImageRecord* image = image_record_at(node.nLayer + 16);
    const uint32_t sprite = image ? image->hSprite : 0;
    if (orv.OrvSpriteGetFxEffectState(sprite) == 0) drop(vm, node);
  }
}

void shader_effect_start(engine::VmContext& vm, uint32_t layer, uint32_t kind,
                         const int32_t (&params)[3]) {
  if (layer >= 128 || !vm.layers[layer].lpImage) return;
  shader_effect_sweep(vm);
  FxEffectNode* node = shader_effect_node_take(static_cast<int32_t>(layer), kind, params);
  if (!node) return;
  vm.layers[layer].lpEffectNode = node;
  const int32_t a = params[0], b = params[1], c = params[2];
  uint32_t block[3];
  uint32_t duration = 0;
  if (kind == kShaderRaster) {
    block[0] = static_cast<uint32_t>(c);
    const float fa = hundredths(a), fb = hundredths(b);
    std::memcpy(&block[1], &fa, 4);
    std::memcpy(&block[2], &fb, 4);
    duration = static_cast<uint32_t>(c);
  } else {
    const float f[3] = {hundredths(c), hundredths(a), hundredths(b)};
    std::memcpy(block, f, sizeof block);
  }
  orv.OrvSetFxEffect(&vm.layers[layer].lpImage->hSprite, kind, 1, duration, block);
}

void shader_effect_node_release(engine::VmContext& vm, void* p) {
  if (!p) return;
  auto* node = static_cast<FxEffectNode*>(p);
  if (node < shader_effect_pool.nodes || node >= shader_effect_pool.nodes + kShaderNodes) return;
  if (node->nLayer >= 0 && node->nLayer < 128 && vm.layers[node->nLayer].lpImage) {
    orv.OrvReleaseFxEffect(&vm.layers[node->nLayer].lpImage->hSprite, kPerSprite);
  }
  drop(vm, *node);
}

void shader_effect_pool_reset(engine::VmContext& vm) {
  shader_effect_pool = ShaderEffectPool{};
  for (engine::LayerSlot& slot : vm.layers) slot.lpEffectNode = nullptr;
}

}  // namespace layers
