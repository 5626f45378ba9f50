// Kinds that start something once and keep no state: a sound effect (9), a cell of the
// image's cell grid (11) or a source rectangle (12), and showing (22) or hiding (23) a layer.
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/actions/action_kind_common.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/layers/layer_args.h"

namespace actions {
namespace {

using engine::VmContext;

// Skip toggle, Ctrl held, scene or history skip: only looping sound effects play then.
constexpr uint32_t kSkipQuiet = 0x35;
constexpr uint32_t kSeLoop = 0x1, kSeFadeIn = 0x4;
constexpr uint32_t kSeChannels = sizeof(engine::SoundState::se) / sizeof(engine::SeChannel);

// Plays the sound that se_load put on the channel; the section's time is the fade-in time.
void* se_play_create(VmContext& vm, ActionSection s) {
  const uint32_t channel = s.params[0];
  if (channel >= kSeChannels) {
    engine::vm_log(engine::kLogMain, "action_se_play channel over [%d]", as_i32(channel));
    return kNoStateMarker;
  }
  const uint32_t loop = s.params[1], fade = s.params[2];
  if ((engine::get_skip_state(vm) & kSkipQuiet) && !loop) return kNoStateMarker;
  engine::SeChannel& se = vm.sound.se[channel];
  if (loop) se.flags |= kSeLoop;
  if (fade) se.flags |= kSeFadeIn;
  if (!se.sound) return kNoStateMarker;
  const int32_t looped = loop ? 1 : 0;
  if (fade) {
    orv.OrvSoundPlayFade(se.sound, looped, as_i32(s.dwDuration));
  } else {
    orv.OrvSoundPlay(se.sound, looped);
  }
  return kNoStateMarker;
}

// The source-rectangle delta of actionSet, overwritten, relative to the base rectangle when
// that is in force.
void set_rect_delta(ImageRecord& image, const OrvRect& r) {
  layers::RectI& d = image.actionSet.rect;
  d = {r.left, r.top, r.right, r.bottom};
  if (image.base.bRect) {
    d.left = wrap_sub(d.left, image.base.rect.left);
    d.top = wrap_sub(d.top, image.base.rect.top);
    d.right = wrap_sub(d.right, image.base.rect.right);
    d.bottom = wrap_sub(d.bottom, image.base.rect.bottom);
  }
}

void* animation_create(VmContext& vm, ActionSection s) {
  ImageRecord* image = section_image(s.params[0]);
  if (!image || !image->hSprite) {
    report_missing(vm, "ActionAnimation" ACTION_NO_LAYER);
    return nullptr;
  }
  orv.OrvSpriteRectSetPos(image->hSprite, as_i32(s.params[1]), as_i32(s.params[2]));
  OrvRect r{};
  orv.OrvSpriteGetRect(image->hSprite, &r);
  set_rect_delta(*image, r);
  return nullptr;
}

void* animation_ex_create(VmContext& vm, ActionSection s) {
  ImageRecord* image = section_image(s.params[0]);
  if (!image || !image->hSprite) {
    report_missing(vm, "ActionAnimationEx" ACTION_NO_LAYER);
    return nullptr;
  }
  const int32_t x = as_i32(s.params[1]), y = as_i32(s.params[2]);
  const OrvRect r{x, y, wrap_add(x, as_i32(s.params[3])), wrap_add(y, as_i32(s.params[4]))};
  set_rect_delta(*image, r);
  // The sprite takes the rectangle itself; the per-frame push gives it the same sum.
  orv.OrvSpriteSetRect(image->hSprite, &r);
  return nullptr;
}

// The layer's sprite, or 0 with the section not started (a bad number is logged each try).
uint32_t layer_sprite(VmContext& vm, uint32_t layer) {
  if (layer >= layers::kLayerImages) {
    layers::log_range_error(layer);
    return 0;
  }
  const ImageRecord* image = vm.layers[layer].lpImage;
  return image ? image->hSprite : 0;
}

template <int32_t Visible>
void* graph_view_create(VmContext& vm, ActionSection s) {
  const uint32_t sprite = layer_sprite(vm, s.params[0]);
  if (!sprite) return nullptr;
  orv.OrvSpriteViewCtrl(sprite, Visible);
  return kNoStateMarker;
}

}  // namespace

const ActionKindOps kSePlayKind = {se_play_create, nullptr, nullptr, nullptr};
const ActionKindOps kAnimation = {animation_create, nullptr, nullptr, nullptr};
const ActionKindOps kAnimationEx = {animation_ex_create, nullptr, nullptr, nullptr};
const ActionKindOps kGraphShow = {graph_view_create<1>, nullptr, nullptr, nullptr};
const ActionKindOps kGraphHide = {graph_view_create<0>, nullptr, nullptr, nullptr};

}  // namespace actions
