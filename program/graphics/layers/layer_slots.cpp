#include "graphics/layers/layer_slots.h"

#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_services.h"
#include "graphics/effects/layer_shader_pool.h"
#include "graphics/layers/layer_text_items.h"
#include "platform/sleep.h"

namespace layers {
namespace {

// Zeroes a slot (the text-item list pointer is set again by the text items once they exist).
void slot_clear(engine::LayerSlot& slot) {
  std::memset(static_cast<void*>(&slot), 0, sizeof slot);
}

// Sprites that a queued transition holds but no commit has handed to the platform yet.
void release_unhanded(engine::VmContext& vm, engine::LayerSlot& slot, bool now) {
  if (!slot.bTransQueued) return;
  const uint32_t owned = slot.lpImage ? slot.lpImage->hSprite : 0;
  for (uint32_t sprite : {slot.hTransOut, slot.hTransIn}) {
    if (!sprite || sprite == owned) continue;
    if (now) {
      orv.OrvSpriteRelease(orv.OrvRenderGetActive(), sprite);
    } else {
      engine::DisplayOp op{};
      op.dwId = 0x30005;
      op.args[0] = sprite;
      engine::display_op_push(vm, op);
    }
    if (sprite == slot.hTransOut) slot.hTransOut = 0;
    if (sprite == slot.hTransIn) slot.hTransIn = 0;
  }
}

}  // namespace

int32_t layer_priority(const engine::VmContext& vm, uint32_t layer, int32_t priority_step,
                       int32_t face_offset) {
  return 4999 + static_cast<int32_t>(vm.run.dwSpritePriorityBase) - face_offset -
         static_cast<int32_t>(layer) + 134 * priority_step;
}

uint32_t layer_async_wait(engine::VmContext& vm, engine::LayerSlot& slot) {
  if (!(slot.dwFlags & kLayerAsyncLoad) || !slot.dwAsyncRequest) return 0;
  const uint32_t start = orv.OrvClockGetTime();
  uint32_t waited = 0;
  // Bounded by sleeps as well, so that a clock that stands still cannot hold the script.
  for (uint32_t sleeps = 0;
       slot.dwAsyncRequest && slot.lpImage && waited < kAsyncWaitMs && sleeps < 2 * kAsyncWaitMs;
       ++sleeps) {
    // The worker stores its result under the render lock: let it in while we sleep.
    orv.OrvRenderLockLeave();
    platform::sleep_ms(1);
    orv.OrvRenderLockEnter();
    waited = orv.OrvClockGetTime() - start;
  }
  (void)vm;
  return waited;
}

uint32_t layer_release(engine::VmContext& vm, engine::LayerSlot& slot) {
  layer_async_wait(vm, slot);
  if (slot.dwTransState == 1 && slot.lpImage && slot.hTransOut) {
    // A prepared fade-out: the outgoing sprite is the picture; it goes with the image.
    slot.lpImage->hSprite = slot.hTransOut;
  }
  release_unhanded(vm, slot, false);
  shader_effect_node_release(vm, slot.lpEffectNode);
  if (const int32_t n = layer_index_of(vm, &slot); n >= 0) {
    layer_text_items_clear(static_cast<uint32_t>(n));
  }
  image_release(vm, slot.lpImage);
  if (slot.hTransition) orv.OrvSpriteReleaseTransitionHandle(slot.hTransition);
  slot_clear(slot);
  return 1;
}

uint32_t layer_release_now(engine::VmContext& vm, engine::LayerSlot& slot) {
  release_unhanded(vm, slot, true);
  shader_effect_node_release(vm, slot.lpEffectNode);
  if (const int32_t n = layer_index_of(vm, &slot); n >= 0) {
    layer_text_items_clear(static_cast<uint32_t>(n));
  }
  image_release_now(slot.lpImage);
  if (slot.hTransition) orv.OrvSpriteReleaseTransitionHandle(slot.hTransition);
  slot_clear(slot);
  return 1;
}

void layers_clear_all(engine::VmContext& vm) {
  for (engine::LayerSlot& slot : vm.layers) {
    slot.dwAsyncRequest = 0;  // a worker still running finds its request gone
    layer_release_now(vm, slot);
  }
  std::memset(vm.faceTable, 0xFF, sizeof vm.faceTable);
}

void layers_frame_update(engine::VmContext& vm) {
  auto children = [&](engine::LayerSlot& slot, auto fn) {
    for (const auto& entry : slot.graphChild) {
      if (!(entry[0] & kChildLink) || entry[1] >= kLayers) continue;
      fn(vm.layers[entry[1]]);
    }
  };
  for (engine::LayerSlot& slot : vm.layers) {
    ImageRecord* image = slot.lpImage;
    if (!image) continue;
    if (slot.dwFlags & kLayerShake) {
      const uint32_t now = orv.OrvtimeGetTime();
      if (slot.dwShakeLength != 0xFFFFFFFFu && now - slot.dwShakeStart >= slot.dwShakeLength) {
        slot.dwFlags &= ~kLayerShake;
        auto stop = [](engine::LayerSlot& s) {
          s.nShakeMode = s.nShakeAmplitude = 0;
          s.dwShakeLength = s.dwShakeStart = 0;
        };
        stop(slot);
        children(slot, stop);
      } else if (slot.nShakeAmplitude > 0) {
        const int32_t amp = slot.nShakeAmplitude;
        auto draw = [&] { return orv.OrvRandomEx() % amp - (amp >> 1); };
        if (slot.nShakeMode == 0) image->frame.shakeY += draw();
        if (slot.nShakeMode == 1) image->frame.shakeX += draw();
        if (slot.nShakeMode == 2) {
          image->frame.shakeX += draw();
          image->frame.shakeY += draw();
        }
        children(slot, [&](engine::LayerSlot& child) {
          if (!child.lpImage) return;
          if (slot.nShakeMode == 1 || slot.nShakeMode == 2) {
            child.lpImage->frame.shakeX = image->frame.shakeX;
          }
          if (slot.nShakeMode == 0 || slot.nShakeMode == 2) {
            child.lpImage->frame.shakeY = image->frame.shakeY;
          }
        });
      }
    }
    if (slot.hTransition && orv.OrvSpriteGetTransitionState(slot.hTransition) == 2) {
      orv.OrvSpriteCancelTransition(slot.hTransition);
      if (slot.dwTransState == 1) {
        image->hSprite = 0;  // the platform owned it and has released it
        layer_release_now(vm, slot);
        continue;
      }
      slot.dwTransState = 0;
    }
  }
  for (uint32_t n = 0; n < 64; ++n) {
    engine::LayerSlot& parent = vm.layers[n];
    if (!parent.lpImage || !(parent.dwFlags & kLayerChildren)) continue;
    children(parent, [&](engine::LayerSlot& child) {
      if (child.lpImage && child.lpImage != parent.lpImage) {
        image_follow_transform(*child.lpImage, *parent.lpImage);
      }
    });
  }
}

uint32_t layer_transition_handle(engine::LayerSlot& slot) {
  if (!slot.hTransition) slot.hTransition = orv.OrvSpriteCreateTransitionHandle();
  return slot.hTransition;
}

uint32_t layer_transition_cancel(engine::VmContext& vm, engine::LayerSlot& slot) {
  if (!slot.dwTransState) return 1;
  if (!orv.OrvSpriteCancelTransition(slot.hTransition)) return 0;
  if (slot.dwTransState == 1) {
    if (slot.lpImage) slot.lpImage->hSprite = 0;
    layer_release_now(vm, slot);
  }
  slot.dwTransState = 0;
  return 1;
}

void face_view_ctrl(engine::VmContext& vm, int32_t show) {
  for (const engine::FaceEntry& f : vm.faceTable) {
    if (f.dwLayer >= kLayers || !vm.layers[f.dwLayer].lpImage) continue;
    const engine::LayerSlot& slot = vm.layers[f.dwLayer];
    if (slot.dwTransState && slot.hTransOut) orv.OrvSpriteViewCtrl(slot.hTransOut, show);
    orv.OrvSpriteViewCtrl(slot.lpImage->hSprite, show);
  }
}

uint32_t layer_image_is_child(const engine::VmContext& vm, const ImageRecord* image) {
  if (!image) return 0;
  for (uint32_t n = 0; n < 64; ++n) {
    const engine::LayerSlot& parent = vm.layers[n];
    if (!parent.lpImage || !(parent.dwFlags & kLayerChildren)) continue;
    for (const auto& entry : parent.graphChild) {
      if ((entry[0] & kChildLink) && entry[1] < kLayers && vm.layers[entry[1]].lpImage == image) {
        return 1;
      }
    }
  }
  return 0;
}

uint32_t is_face_layer(const engine::VmContext& vm, uint32_t layer) {
  if (layer == kNoFaceLayer) return 0;
  for (const engine::FaceEntry& f : vm.faceTable) {
    if (f.dwLayer == layer) return 1;
  }
  return 0;
}

int32_t layer_index_of(const engine::VmContext& vm, const engine::LayerSlot* slot) {
  if (slot < vm.layers || slot >= vm.layers + kLayers) return -1;
  return static_cast<int32_t>(slot - vm.layers);
}

}  // namespace layers
