// The mask wipes (20 reveals, 21 hides): a copy of the source image in the target layer's
// sprite whose alpha follows a grey mask, pixel by pixel, with an edge 31 grey levels wide.
//
// The three images should have one size; where they differ, the pixel loops cover only the
// rows and columns that all of them have.
#include <algorithm>

#include "engine/vm_log.h"
#include "graphics/actions/action_kind_common.h"
#include "graphics/actions/action_kinds.h"

namespace actions {
namespace {

using engine::VmContext;

struct MaskWipe {
  ImageRecord* source;  // all three null: an image was missing, the section does nothing
  ImageRecord* target;
  ImageRecord* mask;
  uint8_t flag;
  uint32_t start, duration;
};

// A locked sprite's pixels; unlocked when it goes.
class Locked {
 public:
  explicit Locked(uint32_t sprite) : sprite_(sprite) {
    if (sprite_) pixels_ = orv.OrvSpriteLock(sprite_, &w_, &h_);
    if (!pixels_ || w_ < 0 || h_ < 0) w_ = h_ = 0;
  }
  ~Locked() {
    if (pixels_) orv.OrvSpriteUnlock(sprite_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  uint32_t* row(int32_t y) const { return pixels_ + static_cast<size_t>(y) * w_; }
  int32_t w() const { return w_; }
  int32_t h() const { return h_; }

 private:
  uint32_t sprite_;
  uint32_t* pixels_ = nullptr;
  int32_t w_ = 0, h_ = 0;
};

ImageRecord* decoded(uint32_t image_no) {
  const int32_t index = layers::decode_image_no(image_no);
  ImageRecord* image = index < 0 ? nullptr : section_image(static_cast<uint32_t>(index));
  return image && image->hSprite ? image : nullptr;
}

// The source's pixels into the target, with their alpha or with alpha 0.
enum class CopyAlpha { kZero, kSource };
void copy_source(const MaskWipe& m, CopyAlpha alpha) {
  const Locked src(m.source->hSprite), dst(m.target->hSprite);
  const int32_t w = std::min(src.w(), dst.w()), h = std::min(src.h(), dst.h());
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* s = src.row(y);
    uint32_t* d = dst.row(y);
    for (int32_t x = 0; x < w; ++x) d[x] = alpha == CopyAlpha::kZero ? s[x] & 0x00FFFFFFu : s[x];
  }
}

template <bool Reverse>
void wipe_at(const MaskWipe& m, float r) {
  const Locked src(m.source->hSprite), msk(m.mask->hSprite), dst(m.target->hSprite);
  const int32_t w = std::min({src.w(), msk.w(), dst.w()});
  const int32_t h = std::min({src.h(), msk.h(), dst.h()});
  const int32_t threshold = trunc_i32(r * 255.0f) & 0xFF;
  const int32_t edge = threshold < 224 ? threshold + 31 : 255;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* s = src.row(y);
    const uint32_t* k = msk.row(y);
    uint32_t* d = dst.row(y);
    for (int32_t x = 0; x < w; ++x) {
      const int32_t level = 255 - static_cast<int32_t>(k[x] & 0xFF);
      const int32_t a = static_cast<int32_t>(s[x] >> 24);
      int32_t out;
      if (level < threshold) {
        out = Reverse ? 0 : a;
      } else if (level < edge) {
        const int32_t soft = (edge - level) * a / 32;
        out = Reverse ? a - soft : soft;
      } else {
        out = Reverse ? a : 0;
      }
      d[x] = (d[x] & 0x00FFFFFFu) | static_cast<uint32_t>(out & 0xFF) << 24;
    }
  }
}

template <bool Reverse>
void* wipe_create(VmContext& vm, ActionSection s) {
  MaskWipe* m = state_alloc<MaskWipe>();
  if (!m) return nullptr;
  m->start = frame_now();
  m->duration = s.dwDuration;
  ImageRecord* source = decoded(s.params[0]);
  ImageRecord* mask = decoded(s.params[1]);
  ImageRecord* target = decoded(s.params[2]);
  if (!source) {
    report_missing(vm, "action_set_mask not [from] Image");
    return m;
  }
  if (!mask) {
    report_missing(
        vm, Reverse ? "action_set_mask not [msak] Image" : "action_set_mask not [mask] Image");
    return m;
  }
  if (!target) {
    report_missing(vm, "action_set_mask not [to] Image");
    return m;
  }
  const int32_t mw = orv.OrvSpriteGetWidth(mask->hSprite);
  const int32_t mh = orv.OrvSpriteGetHeight(mask->hSprite);
  const int32_t tw = orv.OrvSpriteGetWidth(target->hSprite);
  const int32_t th = orv.OrvSpriteGetHeight(target->hSprite);
  if (mw != tw || mh != th) {
    engine::vm_log(engine::kLogMain, "action_set_mask size error w=[%d]!=[%d] h=[%d]!=[%d]", mw, tw,
                   mh, th);
    report_current_line(vm);
  }
  // One sprite in two roles would be locked twice: the wipe then does nothing.
  const uint32_t a = source->hSprite, b = mask->hSprite, c = target->hSprite;
  if (a == b || b == c || a == c) return m;
  m->source = source;
  m->mask = mask;
  m->target = target;
  copy_source(*m, Reverse ? CopyAlpha::kSource : CopyAlpha::kZero);
  return m;
}
template <bool Reverse>
void wipe_step(VmContext&, void* state) {
  const MaskWipe& m = *static_cast<MaskWipe*>(state);
  if (!m.source) return;
  wipe_at<Reverse>(m, linear_rate(frame_now() - m.start, m.duration));
}
// Without stop the wipe ends complete: the source shown whole (20) or hidden whole (21).
template <bool Reverse>
void wipe_finish(VmContext&, void* state, uint32_t stop) {
  const MaskWipe& m = *static_cast<MaskWipe*>(state);
  if (m.source) {
    if (stop) {
      wipe_at<Reverse>(m, linear_rate(frame_now() - m.start, m.duration));
    } else {
      copy_source(m, Reverse ? CopyAlpha::kZero : CopyAlpha::kSource);
    }
  }
  state_free(state);
}

}  // namespace

const ActionKindOps kMaskWipe = {wipe_create<false>, wipe_step<false>, wipe_finish<false>, nullptr};
const ActionKindOps kMaskWipeReverse = {wipe_create<true>, wipe_step<true>, wipe_finish<true>,
                                        nullptr};

}  // namespace actions
