#include "graphics/layers/graph_child.h"

#include <cstring>
#include <vector>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/sprite_loader.h"

namespace layers {
namespace {

using engine::kLogMain;
using engine::vm_log;
using engine::VmContext;

constexpr int32_t kMaskPriority = 4999;

// A file image loaded for one operation and released after it.
class FileSprite {
 public:
  FileSprite(VmContext& vm, const GraphChild& r, int32_t priority) {
    char name[33] = {};
    if (r.dwSource & engine::kStringHandleBit) {
      std::memcpy(name, r.szSourceName, sizeof r.szSourceName);
    } else {
      engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, r.dwSource,
                                    1);
    }
    name[32] = 0;
    const ScreenSize sc = screen_size();
    sprite_ = sprite_load_by_name_unlocked(vm, name, sc.w, sc.h, priority);
  }
  ~FileSprite() {
    if (sprite_) orv.OrvSpriteRelease(orv.OrvRenderGetActive(), sprite_);
  }
  FileSprite(const FileSprite&) = delete;
  FileSprite& operator=(const FileSprite&) = delete;
  uint32_t get() const { return sprite_; }

 private:
  uint32_t sprite_ = 0;
};

// A layer's sprite for an operation; false when the layer is outside 0-127 or has no image.
bool sprite_of(VmContext& vm, uint32_t layer, uint32_t* sprite) {
  const ImageRecord* image = layer_image(vm, layer);
  *sprite = image ? image->hSprite : 0;
  return image != nullptr;
}

uint32_t mix_file(VmContext& vm, uint32_t layer, const GraphChild& r, bool both_alphas) {
  uint32_t dst;
  if (!sprite_of(vm, layer, &dst)) return 0;
  FileSprite file(vm, r, 0);
  if (!file.get()) return 0;
  (both_alphas ? orv.OrvMixSpriteToSpriteEx : orv.OrvMixSpriteToSprite)(
      dst, r.lX, r.lY, r.lWidth, r.lHeight, file.get(), r.lSrcX, r.lSrcY);
  return 1;
}

uint32_t bitblt_file(VmContext& vm, uint32_t layer, const GraphChild& r) {
  uint32_t dst;
  if (!sprite_of(vm, layer, &dst)) return 0;
  // A file that does not load copies nothing (the platform ignores a null sprite).
  FileSprite file(vm, r, 0);
  orv.OrvCopySpriteToSpriteRGB(dst, r.lX, r.lY, file.get(), r.lSrcX, r.lSrcY, r.lWidth, r.lHeight);
  return 1;
}

// Modes 4 and 15: the mask file's pixels copied out, then multiplied into the layer's alpha.
uint32_t mask_file(VmContext& vm, uint32_t layer, const GraphChild& r, bool inverted) {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  {
    FileSprite file(vm, r, kMaskPriority);
    if (!file.get()) return 0;
    const uint32_t* locked = orv.OrvSpriteLock(file.get(), &w, &h);
    if (!locked) return 0;
    if (w > 0 && h > 0) pixels.assign(locked, locked + size_t(w) * size_t(h));
    orv.OrvSpriteUnlock(file.get());
  }
  uint32_t dst;
  if (!sprite_of(vm, layer, &dst)) {
    vm_log(kLogMain, "*** ERROR: layer is NULL");
    return 0;
  }
  const OrvAlphaMask mask{pixels.empty() ? 0 : w, pixels.empty() ? 0 : h, pixels.data()};
  (inverted ? orv.OrvSpriteMaskAlpha2 : orv.OrvSpriteMaskAlpha)(dst, r.lX, r.lY, r.lWidth,
                                                                r.lHeight, &mask, r.lSrcX, r.lSrcY);
  return 1;
}

// Modes 5, 10, 12, 13: destination layer lX and source layer dwSource, both checked.
bool blur_sprites(VmContext& vm, const GraphChild& r, uint32_t* dst, uint32_t* src) {
  const uint32_t to = static_cast<uint32_t>(r.lX);
  if (!layer_in_range(to) || !layer_in_range(r.dwSource)) return false;
  return sprite_of(vm, to, dst) && sprite_of(vm, r.dwSource, src);
}

// Modes 17 and 18 end a transition of a listed layer first, so that the list draws what
// the layer shows now.
void end_listed_transition(VmContext& vm, uint32_t layer) {
  engine::LayerSlot& slot = vm.layers[layer];
  if (slot.hTransition) {
    const int32_t state = orv.OrvSpriteGetTransitionState(slot.hTransition);
    if (state == 1 || state == 2) {
      orv.OrvSpriteCancelTransition(slot.hTransition);
      if (slot.dwTransState == 1) {
        if (slot.lpImage) slot.lpImage->hSprite = 0;  // the platform owned it
        layer_release_now(vm, slot);
      } else {
        slot.dwTransState = 0;
      }
    } else if (state != 0) {
      vm_log(kLogMain, "*** ERROR SpriteTransitionCancel  state = %08X / layer=%d",
             static_cast<uint32_t>(state), as_int(layer));
    }
  }
  if (slot.lpImage) image_apply_transform(vm, *slot.lpImage);
}

uint32_t render_list_add(VmContext& vm, const GraphChild& r, uint32_t slot_index) {
  if (slot_index == 0) orv.OrvTargetRenderListClear();
  uint32_t src;
  if (!sprite_of(vm, r.dwSource, &src)) {
    vm_log(kLogMain, "*** ERROR GRAPH_CHILD_MODE_RENDER_LIST_ADD [%d] is NULL", as_int(r.dwSource));
    return 0;
  }
  orv.OrvTargetRenderListAdd(src);
  return 1;
}

uint32_t render_list_run(VmContext& vm, uint32_t layer, bool replay) {
  const engine::LayerSlot& owner = vm.layers[layer];
  for (uint32_t k = 0; k < kGraphChildSlots; ++k) {
    const GraphChild listed = graph_child_get(owner, k);
    if ((listed.dwMode & 0xFFFF) == GRAPH_CHILD_MODE_RENDER_LIST_ADD && listed.dwSource < kLayers) {
      end_listed_transition(vm, listed.dwSource);
    }
  }
  if (!orv.OrvTargetRenderListDraw()) return 0;
  uint32_t dst;
  if (!sprite_of(vm, layer, &dst)) {
    if (replay)
      vm_log(kLogMain, "*** ERROR GRAPH_CHILD_MODE_RENDER_LIST_RUN [%d] is NULL", as_int(layer));
    return 0;
  }
  orv.OrvSpriteRenderCopy(dst);
  return 1;
}

uint32_t cleaning_alpha(VmContext& vm, const GraphChild& r) {
  uint32_t sprite;
  if (!sprite_of(vm, r.dwSource, &sprite)) return 0;
  int32_t w = 0, h = 0;
  uint32_t* pixels = orv.OrvSpriteLock(sprite, &w, &h);
  if (!pixels) return 0;
  const uint32_t threshold = static_cast<uint32_t>(r.lX);
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = pixels + size_t(y) * size_t(w);
    for (int32_t x = 0; x < w; ++x) {
      if ((row[x] >> 24) <= threshold) row[x] &= 0x00FFFFFFu;
    }
  }
  orv.OrvSpriteUnlock(sprite);
  return 1;
}

bool skip_exempt(uint32_t mode) {
  return mode == GRAPH_CHILD_MODE_STRETCH || mode == GRAPH_CHILD_MODE_RENDER_LIST_ADD ||
         mode == GRAPH_CHILD_MODE_RENDER_LIST_RUN;
}

}  // namespace

GraphChild graph_child_get(const engine::LayerSlot& slot, uint32_t k) {
  GraphChild r{};
  if (k < kGraphChildSlots) std::memcpy(&r, slot.graphChild[k], sizeof r);
  return r;
}

void graph_child_put(engine::LayerSlot& slot, uint32_t k, const GraphChild& record) {
  static_assert(sizeof slot.graphChild[0] == sizeof(GraphChild));
  if (k < kGraphChildSlots) std::memcpy(slot.graphChild[k], &record, sizeof record);
}

double motion_blur_radians(int32_t units) {
  const int32_t a = ((units % 4096) + 4096) % 4096;
  constexpr float kPi = 3.1415927410125732f;
  return static_cast<double>(a) * static_cast<double>(kPi) / 2048.0;
}

uint32_t graph_child_run(VmContext& vm, uint32_t layer, const GraphChild& r, uint32_t slot_index,
                         bool replay) {
  const uint32_t mode = r.dwMode & ~0x10000000u;
  if (layer >= kLayers || mode < 1 || mode > GRAPH_CHILD_MODE_CLEANING_ALPHA) return 0;
  if (!skip_exempt(mode) && skipping_scene(vm)) return 1;  // carried out again by the replay
  uint32_t dst = 0, src = 0;
  switch (mode) {
    case GRAPH_CHILD_MODE_MIX_FILE:
      return mix_file(vm, layer, r, false);
    case GRAPH_CHILD_MODE_MIX_FILE_EX:
      return mix_file(vm, layer, r, true);
    case GRAPH_CHILD_MODE_BITBLT:
      if (!sprite_of(vm, layer, &dst) || !sprite_of(vm, r.dwSource, &src)) return 0;
      orv.OrvCopySpriteToSpriteRGB(dst, r.lX, r.lY, src, r.lSrcX, r.lSrcY, r.lWidth, r.lHeight);
      return 1;
    case GRAPH_CHILD_MODE_BITBLT_FILE:
      return bitblt_file(vm, layer, r);
    case GRAPH_CHILD_MODE_MASK:
      return mask_file(vm, layer, r, false);
    case GRAPH_CHILD_MODE_MASK2:
      return mask_file(vm, layer, r, true);
    case GRAPH_CHILD_MODE_BOX_BLUR:
      if (!blur_sprites(vm, r, &dst, &src)) return 0;
      return orv.OrvBoxBlurFilter(dst, src, r.lY, r.lSrcX, r.lSrcY) ? 1 : 0;
    case GRAPH_CHILD_MODE_GAUSSIAN_BLUR:
      if (!blur_sprites(vm, r, &dst, &src)) return 0;
      return orv.OrvGaussianBlurFilter(dst, src, r.lY) ? 1 : 0;
    case GRAPH_CHILD_MODE_ALPHA_COPY:
      if (!blur_sprites(vm, r, &dst, &src)) return 0;
      return orv.OrvAlphaCopyFilter(dst, src, r.lY < 0 ? 0 : r.lY > 255 ? 255 : r.lY) ? 1 : 0;
    case GRAPH_CHILD_MODE_MOTION_BLUR:
      if (!blur_sprites(vm, r, &dst, &src)) return 0;
      return orv.OrvMotionBlurFilter(dst, src, r.lY, motion_blur_radians(r.lSrcX), r.lSrcY) ? 1 : 0;
    case GRAPH_CHILD_MODE_CHANNEL_COPY:
      if (!sprite_of(vm, layer, &dst) || !sprite_of(vm, r.dwSource, &src)) return 0;
      orv.OrvCopySpriteToSpriteChannel(dst, r.lX, r.lY, as_int(r.dwDstChannel), src, r.lSrcX,
                                       r.lSrcY, r.lWidth, r.lHeight, as_int(r.dwSrcChannel));
      return 1;
    case GRAPH_CHILD_MODE_DELETE_NO_ALPHA:
      if (!sprite_of(vm, layer, &dst)) return 0;
      orv.OrvSpriteDeleteNoAlpha(dst, r.lX, r.lY, r.lWidth, r.lHeight);
      return 1;
    case GRAPH_CHILD_MODE_DELETE_NO_ALPHA255:
      if (!sprite_of(vm, layer, &dst)) return 0;
      orv.OrvSpriteDeleteNoAlpha255(dst, r.lX, r.lY, r.lWidth, r.lHeight);
      return 1;
    case GRAPH_CHILD_MODE_STRETCH:
      if (!sprite_of(vm, static_cast<uint32_t>(r.lX), &dst) || !sprite_of(vm, r.dwSource, &src)) {
        return 0;
      }
      orv.StretchImage(dst, src, r.lY);
      return 1;
    case GRAPH_CHILD_MODE_NONE:
      return 1;
    case GRAPH_CHILD_MODE_MASK_EX:
      if (!sprite_of(vm, layer, &dst) || !sprite_of(vm, r.dwSource >> 16, &src)) return 0;
      orv.OrvSpriteMaskAlphaEx(dst, r.lX, r.lY, r.lWidth, r.lHeight, src, r.lSrcX, r.lSrcY,
                               as_int(r.dwSource & 0xFFFF));
      return 1;
    case GRAPH_CHILD_MODE_RENDER_LIST_ADD:
      return render_list_add(vm, r, slot_index);
    case GRAPH_CHILD_MODE_RENDER_LIST_RUN:
      return render_list_run(vm, layer, replay);
    case GRAPH_CHILD_MODE_BOX_FILL:
      if (!sprite_of(vm, layer, &dst)) return 0;
      orv.OrvSpriteBoxFill(dst, r.lX, r.lY, r.lWidth, r.lHeight, static_cast<uint32_t>(r.lSrcX));
      return 1;
    case GRAPH_CHILD_MODE_CIRCLE_FILL:
      if (!sprite_of(vm, layer, &dst)) return 0;
      orv.OrvSpriteCircleFill(dst, r.lX, r.lY, r.lWidth, static_cast<uint32_t>(r.lHeight));
      return 1;
    case GRAPH_CHILD_MODE_WAVEFORM_WARP:
      if (!sprite_of(vm, layer, &dst) || !sprite_of(vm, r.dwSource, &src)) return 0;
      orv.OrvSpriteWaveformWarp(dst, src, static_cast<float>(r.lX) / 1000.0f,
                                static_cast<float>(r.lY), static_cast<float>(r.lSrcX),
                                static_cast<float>(r.lSrcY) / 10000.0f,
                                static_cast<float>(r.lWidth), r.lHeight);
      return 1;
    case GRAPH_CHILD_MODE_CHANNEL_COPY_EX: {
      if (!sprite_of(vm, layer, &dst) || !sprite_of(vm, r.dwSource, &src)) return 0;
      const OrvRect rect{r.lX, r.lY, r.lX + r.lWidth, r.lY + r.lHeight};
      return orv.OrvChannelCopyEx(dst, &rect, as_int(r.dwDstChannel), src, r.lSrcX, r.lSrcY,
                                  as_int(r.dwSrcChannel), as_int(r.dwExMode))
                 ? 1
                 : 0;
    }
    case GRAPH_CHILD_MODE_CLEANING_ALPHA:
      return cleaning_alpha(vm, r);
    default:
      return 0;
  }
}

void graph_child_replay(VmContext& vm, uint32_t layer) {
  if (layer >= kLayers || !(vm.layers[layer].dwFlags & kLayerChildren)) return;
  for (uint32_t k = 0; k < kGraphChildSlots; ++k) {
    const GraphChild r = graph_child_get(vm.layers[layer], k);
    graph_child_run(vm, layer, r, k, true);
  }
}

}  // namespace layers
