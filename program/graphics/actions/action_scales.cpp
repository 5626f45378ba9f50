// Kinds that scale an image: the linear scale (5) on the animation pair of the frame deltas,
// and the eased scales with an ease window, even (13) and per axis (28). Changes are percent.
#include "graphics/actions/action_kind_common.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/actions/easing.h"

namespace actions {
namespace {

using engine::VmContext;
using layers::Vec2f;

struct Scale {
  ImageRecord* image;
  int32_t px, py;  // percent per axis
  uint32_t type, start, duration, easeStart, easeEnd;
};

struct ScaleSpec {
  const char* name;
  bool eased;  // easing type and ease window; else linear over the animation pair
  uint32_t typeParam, xParam, yParam;
};
constexpr ScaleSpec kScaleSpec{"ActionScale", false, 0, 1, 1};
constexpr ScaleSpec kScaleExSpec{"ActionScaleEx", true, 1, 2, 2};
constexpr ScaleSpec kScaleXYSpec{"ActionScaleXY", true, 1, 2, 3};

template <const ScaleSpec& S>
Scale from_section(const ActionSection& s) {
  Scale m{};
  m.image = section_image(s.params[0]);
  m.px = as_i32(s.params[S.xParam]);
  m.py = as_i32(s.params[S.yParam]);
  m.type = S.eased ? s.params[S.typeParam] : 0;
  m.duration = s.dwDuration;
  m.easeStart = S.eased ? s.wEaseStart : 0;
  m.easeEnd = S.eased ? s.wEaseEnd : 1000;
  return m;
}

template <const ScaleSpec& S>
float rate_after(const Scale& m, uint32_t t) {
  if (!S.eased) return linear_rate(t, m.duration);
  if (m.easeEnd == 1000 && t >= m.duration) return 1.0f;
  return action_ease_time(m.type, at_most(t, m.duration), m.duration, m.easeStart, m.easeEnd);
}

void add_scale(Vec2f& v, const Scale& m, float r) {
  v.x += static_cast<float>(m.px) * r / 100.0f;
  v.y += static_cast<float>(m.py) * r / 100.0f;
}
// The end state: the whole change, or for a window that ends early its change at the end.
template <const ScaleSpec& S>
void add_end(Vec2f& v, const Scale& m) {
  if (m.easeEnd == 1000) {
    v.x += static_cast<float>(m.px) / 100.0f;
    v.y += static_cast<float>(m.py) / 100.0f;
  } else {
    add_scale(v, m, rate_after<S>(m, m.duration));
  }
}

template <const ScaleSpec& S>
void* scale_create(VmContext&, ActionSection s) {
  Scale* m = state_alloc<Scale>();
  if (!m) return nullptr;
  *m = from_section<S>(s);
  m->start = frame_now();
  return m;
}
template <const ScaleSpec& S>
void scale_step(VmContext& vm, void* state) {
  const Scale& m = *static_cast<Scale*>(state);
  if (!step_image_ok(vm, m.image, S.name)) return;
  // The linear scale shares the pair of the .ani scale tracks; both pairs are summed alike.
  Vec2f& v = S.eased ? m.image->frame.actionScale : m.image->frame.animScale;
  add_scale(v, m, rate_after<S>(m, frame_now() - m.start));
}
template <const ScaleSpec& S>
void scale_finish(VmContext&, void* state, uint32_t stop) {
  const Scale& m = *static_cast<Scale*>(state);
  if (m.image) {
    if (stop) {
      add_scale(m.image->actionSet.scale, m, rate_after<S>(m, frame_now() - m.start));
    } else {
      add_end<S>(m.image->actionSet.scale, m);
    }
  }
  state_free(state);
}
template <const ScaleSpec& S>
void scale_apply(VmContext&, const ActionSection& s) {
  const Scale m = from_section<S>(s);
  if (m.image) add_end<S>(m.image->actionSet.scale, m);
}

template <const ScaleSpec& S>
constexpr ActionKindOps scale_ops() {
  return {scale_create<S>, scale_step<S>, scale_finish<S>, scale_apply<S>};
}

}  // namespace

const ActionKindOps kScale = scale_ops<kScaleSpec>();
const ActionKindOps kScaleEx = scale_ops<kScaleExSpec>();
const ActionKindOps kScaleXY = scale_ops<kScaleXYSpec>();

}  // namespace actions
