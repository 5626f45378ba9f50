// The layer shader effects' block of save data, all u32: per node in use, newest first, its
// state; a running node (1) then its layer and kind, and for kind 0 or 1 its three start
// values. The end mark 0xFFFFFFFF closes the block (idle: the end mark alone). At most eight
// entries.
//
// A load takes the running entries again in the order stored; nodes that were releasing (2)
// are dropped. Layers from 64 up have no image after a load, so their effects do not return.
#include "graphics/effects/layer_shader_pool.h"
#include "graphics/layers/image_record.h"
#include "save/save_blocks.h"

namespace save {
namespace {

using layers::FxEffectNode;
using layers::shader_effect_pool;

constexpr uint32_t kEndMark = 0xFFFFFFFFu;
constexpr uint32_t kMaxLayer = 127;

bool has_params(uint32_t kind) {
  return kind == layers::kShaderRaster || kind == layers::kShaderRadialBlur;
}

}  // namespace

void layer_shader_save_write(const engine::VmContext&, codec::ByteWriter& out) {
  const layers::ShaderEffectPool& pool = shader_effect_pool;
  for (uint32_t k = 0; k < pool.nInUse && k < layers::kShaderNodes; ++k) {
    const FxEffectNode& node = pool.nodes[pool.order[k] % layers::kShaderNodes];
    out.u32(node.dwState);
    if (node.dwState != layers::kShaderRunning) continue;
    out.i32(node.nLayer);
    out.u32(node.dwKind);
    if (has_params(node.dwKind)) {
      for (int32_t p : node.params) out.i32(p);
    }
  }
  out.u32(kEndMark);
}

bool layer_shader_save_check(codec::ByteReader& in, SaveCheck& check) {
  for (uint32_t n = 0;; ++n) {
    const uint32_t state = in.u32();
    if (!check.whole(in, "shader effect state")) return false;
    if (state == kEndMark) return true;
    if (n == layers::kShaderNodes) return check.fail("shader effect entries");
    if (!check.range(state, layers::kShaderRunning, layers::kShaderReleasing,
                     "shader effect state")) {
      return false;
    }
    if (state != layers::kShaderRunning) continue;
    const uint32_t layer = in.u32();
    const uint32_t kind = in.u32();
    if (!check.whole(in, "shader effect") ||
        !check.range(layer, 0, kMaxLayer, "shader effect layer") ||
        !check.range(kind, layers::kShaderRaster, layers::kShaderRadialBlur,
                     "shader effect kind")) {
      return false;
    }
    in.skip(12);
  }
}

void layer_shader_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  for (uint32_t n = 0; n <= layers::kShaderNodes && in.ok(); ++n) {
    const uint32_t state = in.u32();
    if (state == kEndMark || !in.ok()) return;
    if (state != layers::kShaderRunning) continue;
    const int32_t layer = in.i32();
    const uint32_t kind = in.u32();
    int32_t params[3] = {};
    if (has_params(kind)) {
      for (int32_t& p : params) p = in.i32();
    }
    // Started as the script started it; a layer without its picture (64 and up) has none.
    if (layer >= 0 && static_cast<uint32_t>(layer) <= kMaxLayer) {
      layers::shader_effect_start(vm, static_cast<uint32_t>(layer), kind, params);
    }
  }
}

}  // namespace save
