// Kinds that change an image's colour: the alpha fade (2) and its eased form (27), the colour
// change (17) and the fixed alpha (24). Colour deltas are 16-bit and wrap.
#include "engine/vm_log.h"
#include "graphics/actions/action_kind_common.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/actions/easing.h"

namespace actions {
namespace {

using engine::VmContext;

// ---- alpha fades: linear (2) and eased, clamped to 0..1 (27) ----

struct AlphaFade {
  ImageRecord* image;
  int16_t change;
  uint32_t type;  // eased form only
  uint32_t start, duration;
};

struct AlphaSpec {
  uint32_t typeParam;  // 0: linear
};
constexpr AlphaSpec kLinearAlpha{0};
constexpr AlphaSpec kEasedAlpha{2};

template <const AlphaSpec& S>
float alpha_rate(const AlphaFade& m) {
  const uint32_t t = frame_now() - m.start;
  if (!S.typeParam) return linear_rate(t, m.duration);
  // Curves that overshoot do not overshoot the alpha.
  const float r = easing_rate(m.type, at_most(t, m.duration), m.duration);
  return r < 0.0f ? 0.0f : r > 1.0f ? 1.0f : r;
}
int32_t alpha_at(const AlphaFade& m, float r) {
  return trunc_i32(static_cast<float>(m.change) * r);
}

template <const AlphaSpec& S>
void* alpha_create(VmContext&, ActionSection s) {
  AlphaFade* m = state_alloc<AlphaFade>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  m->change = static_cast<int16_t>(s.params[1]);
  m->type = S.typeParam ? s.params[S.typeParam] : 0;
  m->duration = s.dwDuration;
  m->start = frame_now();
  return m;
}
// Both fades step silently when the image has no sprite.
template <const AlphaSpec& S>
void alpha_step(VmContext&, void* state) {
  const AlphaFade& m = *static_cast<AlphaFade*>(state);
  if (!m.image || !m.image->hSprite) return;
  int16_t& a = m.image->frame.actionColor.a;
  a = add16(a, alpha_at(m, alpha_rate<S>(m)));
}
template <const AlphaSpec& S>
void alpha_finish(VmContext&, void* state, uint32_t stop) {
  const AlphaFade& m = *static_cast<AlphaFade*>(state);
  if (m.image) {
    int16_t& a = m.image->actionSet.color.a;
    a = add16(a, stop ? alpha_at(m, alpha_rate<S>(m)) : m.change);
  }
  state_free(state);
}
void alpha_apply(VmContext&, const ActionSection& s) {
  if (ImageRecord* image = section_image(s.params[0])) {
    image->actionSet.color.a = add16(image->actionSet.color.a, static_cast<int16_t>(s.params[1]));
  }
}

// ---- ActionColor: red, green and blue changes ----

struct ColorChange {
  ImageRecord* image;
  int16_t c[3];  // red, green, blue
  uint32_t start, duration;
};

void add_rgb(layers::ColorDelta& d, const int32_t (&c)[3]) {
  d.r = add16(d.r, c[0]);
  d.g = add16(d.g, c[1]);
  d.b = add16(d.b, c[2]);
}
void color_at(const ColorChange& m, float r, int32_t (&out)[3]) {
  for (int i = 0; i < 3; ++i) out[i] = trunc_i32(static_cast<float>(m.c[i]) * r);
}
float color_rate(const ColorChange& m) {
  return linear_rate(frame_now() - m.start, m.duration);
}

void* color_create(VmContext&, ActionSection s) {
  ColorChange* m = state_alloc<ColorChange>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  for (int i = 0; i < 3; ++i) m->c[i] = static_cast<int16_t>(s.params[1 + i]);
  m->duration = s.dwDuration;
  m->start = frame_now();
  return m;
}
void color_step(VmContext& vm, void* state) {
  const ColorChange& m = *static_cast<ColorChange*>(state);
  if (!step_image_ok(vm, m.image, "ActionColor")) return;
  int32_t c[3];
  color_at(m, color_rate(m), c);
  add_rgb(m.image->frame.actionColor, c);
}
void color_finish(VmContext&, void* state, uint32_t stop) {
  const ColorChange& m = *static_cast<ColorChange*>(state);
  if (m.image) {
    int32_t c[3] = {m.c[0], m.c[1], m.c[2]};
    if (stop) color_at(m, color_rate(m), c);
    add_rgb(m.image->actionSet.color, c);
  }
  state_free(state);
}
void color_apply(VmContext&, const ActionSection& s) {
  if (ImageRecord* image = section_image(s.params[0])) {
    const int32_t c[3] = {static_cast<int16_t>(s.params[1]), static_cast<int16_t>(s.params[2]),
                          static_cast<int16_t>(s.params[3])};
    add_rgb(image->actionSet.color, c);
  }
}

// ---- set alpha: the image's alpha held at one value for the section's time ----

struct SetAlpha {
  ImageRecord* image;  // null: the image was missing at the start, the section does nothing
  uint8_t alpha;
  uint32_t start, duration;
};

void hold_alpha(ImageRecord& image, uint8_t alpha) {
  image.base.dwColor = (image.base.dwColor & 0x00FFFFFFu) | uint32_t{alpha} << 24;
  image.base.colorOfs.a = 0;
  image.frame.actionColor.a = 0;
  image.actionSet.color.a = 0;
  image.animSet.color.a = 0;
}

void* set_alpha_create(VmContext& vm, ActionSection s) {
  SetAlpha* m = state_alloc<SetAlpha>();
  if (!m) return nullptr;
  const int32_t index = layers::decode_image_no(s.params[0]);
  ImageRecord* image = index < 0 ? nullptr : section_image(static_cast<uint32_t>(index));
  m->duration = s.dwDuration;
  m->start = frame_now();
  if (!image || !image->hSprite) {
    report_missing(vm, "action_set_alpha not Image");
    return m;
  }
  m->image = image;
  m->alpha = static_cast<uint8_t>(s.params[1]);
  hold_alpha(*image, m->alpha);
  return m;
}
void set_alpha_step(VmContext&, void* state) {
  const SetAlpha& m = *static_cast<SetAlpha*>(state);
  if (m.image && m.image->hSprite) hold_alpha(*m.image, m.alpha);
}
void set_alpha_finish(VmContext&, void* state, uint32_t) {
  state_free(state);
}

}  // namespace

const ActionKindOps kAlpha = {alpha_create<kLinearAlpha>, alpha_step<kLinearAlpha>,
                              alpha_finish<kLinearAlpha>, alpha_apply};
const ActionKindOps kAlphaEase = {alpha_create<kEasedAlpha>, alpha_step<kEasedAlpha>,
                                  alpha_finish<kEasedAlpha>, alpha_apply};
const ActionKindOps kColor = {color_create, color_step, color_finish, color_apply};
const ActionKindOps kSetAlpha = {set_alpha_create, set_alpha_step, set_alpha_finish, nullptr};

}  // namespace actions
