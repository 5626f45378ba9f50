// Kinds that shake an image or carry it round a circle: the random shake (1), the sine shake
// (10) and the circle or ellipse, kept at its end (18) or given back (19).
#include <cmath>

#include "graphics/actions/action_kind_common.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/actions/easing.h"
#include "graphics/sine.h"

namespace actions {
namespace {

using engine::VmContext;

void set_shake(ImageRecord* image, int32_t x, int32_t y) {
  if (!image) return;
  image->frame.shakeX = x;
  image->frame.shakeY = y;
}

// ---- ActionShake: random offsets whose range falls from amplitude + 1 to 1 ----

struct Shake {
  ImageRecord* image;
  uint32_t mode;
  int32_t amplitude;
  uint32_t duration, start;
};

void* shake_create(VmContext&, ActionSection s) {
  Shake* m = state_alloc<Shake>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  m->mode = s.params[1];
  m->amplitude = as_i32(s.params[2]);
  m->duration = s.dwDuration;
  m->start = frame_now();
  return m;
}
void shake_step(VmContext& vm, void* state) {
  const Shake& m = *static_cast<Shake*>(state);
  if (!step_image_ok(vm, m.image, "ActionShake")) return;
  const float r = linear_rate(frame_now() - m.start, m.duration);
  uint32_t a =
      static_cast<uint32_t>(wrap_add(trunc_i32((1.0f - r) * static_cast<float>(m.amplitude)), 1));
  if (a == 0) a = 1;
  auto draw = [a] {
    return static_cast<int32_t>(static_cast<uint32_t>(orv.OrvRandomEx()) % a - (a >> 1));
  };
  switch (m.mode) {
    case 0:
      set_shake(m.image, 0, draw());
      break;
    case 1:
      set_shake(m.image, draw(), 0);
      break;
    case 2: {
      const int32_t x = draw();
      set_shake(m.image, x, draw());
      break;
    }
    default:
      set_shake(m.image, 0, 0);
      break;
  }
}
void shake_finish(VmContext&, void* state, uint32_t) {
  set_shake(static_cast<Shake*>(state)->image, 0, 0);
  state_free(state);
}

// ---- ActionShake2: a sine swing of one period, repeated; modes 2 and 3 decay ----

struct Shake2 {
  ImageRecord* image;
  uint32_t mode;
  int32_t amplitude;
  uint32_t duration, period, start, cycleStart;
};

void* shake2_create(VmContext&, ActionSection s) {
  Shake2* m = state_alloc<Shake2>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  m->mode = s.params[1];
  m->amplitude = as_i32(s.params[2]);
  m->period = s.params[3];
  m->duration = s.dwDuration;
  m->start = m->cycleStart = frame_now();
  return m;
}
void shake2_step(VmContext& vm, void* state) {
  Shake2& m = *static_cast<Shake2*>(state);
  if (!step_image_ok(vm, m.image, "ActionShake2")) return;
  const uint32_t now = frame_now();
  // A period of 0 ends its cycle in every frame: the swing stays at its start (sin 360 = 0).
  float u = m.period ? static_cast<float>(now - m.cycleStart) / static_cast<float>(m.period) : 2.0f;
  if (u > 1.0f) {
    u = 1.0f;
    m.cycleStart = now;
  }
  const int32_t degrees = trunc_i32(u * 360.0f);
  const float s = static_cast<float>(
      std::sin(static_cast<double>(static_cast<float>(degrees) * 3.141592f / 180.0f)));
  const float amp = static_cast<float>(m.amplitude);
  // The decaying amplitude of modes 2 and 3; a section of no time has none left.
  const float left =
      m.duration ? 1.0f - static_cast<float>(now - m.start) / static_cast<float>(m.duration) : 0.0f;
  const float decayed = static_cast<float>(trunc_i32(left * amp));
  switch (m.mode) {
    case 0:
      set_shake(m.image, 0, trunc_i32(s * amp));
      break;
    case 1:
      set_shake(m.image, trunc_i32(s * amp), 0);
      break;
    case 2:
      set_shake(m.image, 0, trunc_i32(s * decayed));
      break;
    case 3:
      set_shake(m.image, trunc_i32(s * decayed), 0);
      break;
    default:
      set_shake(m.image, 0, 0);
      break;
  }
}
void shake2_finish(VmContext&, void* state, uint32_t) {
  set_shake(static_cast<Shake2*>(state)->image, 0, 0);
  state_free(state);
}

// ---- ActionCircle: angles in 1/512 turn, radii and angles change along a curve ----

struct Circle {
  ImageRecord* image;
  uint32_t keep;
  int32_t p[9];  // p[1]..p[8]: start angles x, y, radii x, y, angle changes x, y, radius changes
  uint32_t type, start, duration;
};

void circle_at(const Circle& m, float r, int32_t* x, int32_t* y) {
  const auto& sine = graphics::SineTable512;
  const auto part = [r](int32_t v) { return trunc_i32(static_cast<float>(v) * r); };
  const uint32_t ax = static_cast<uint32_t>(wrap_add(part(m.p[5]), m.p[1])) & 511;
  const uint32_t ay = static_cast<uint32_t>(wrap_add(wrap_add(part(m.p[6]), m.p[2]), 128)) & 511;
  *x = trunc_i32(static_cast<float>(wrap_add(part(m.p[7]), m.p[3])) * sine[ax]);
  *y = trunc_i32(static_cast<float>(wrap_add(part(m.p[8]), m.p[4])) * sine[ay]);
}
Circle circle_from(const ActionSection& s) {
  Circle m{};
  m.image = section_image(s.params[0]);
  for (int i = 1; i <= 8; ++i) m.p[i] = as_i32(s.params[i]);
  m.type = s.params[9];
  m.keep = s.params[10];
  m.duration = s.dwDuration;
  return m;
}
float circle_rate(const Circle& m) {
  return easing_rate(m.type, at_most(frame_now() - m.start, m.duration), m.duration);
}

void* circle_create(VmContext&, ActionSection s) {
  Circle* m = state_alloc<Circle>();
  if (!m) return nullptr;
  *m = circle_from(s);
  m->start = frame_now();
  return m;
}
void circle_step(VmContext& vm, void* state) {
  const Circle& m = *static_cast<Circle*>(state);
  if (!step_image_ok(vm, m.image, "ActionCircle")) return;
  int32_t x, y;
  circle_at(m, circle_rate(m), &x, &y);
  add_to(m.image->frame.animPos.x, x);
  add_to(m.image->frame.animPos.y, y);
}
// Kept: the end point stays in actionSet. Given back: it shows for this frame only.
void circle_finish(VmContext&, void* state, uint32_t stop) {
  const Circle& m = *static_cast<Circle*>(state);
  if (m.image) {
    int32_t x, y;
    circle_at(m, stop ? circle_rate(m) : 1.0f, &x, &y);
    layers::Vec3i& v = m.keep ? m.image->actionSet.pos : m.image->frame.animPos;
    add_to(v.x, x);
    add_to(v.y, y);
  }
  state_free(state);
}
void circle_apply(VmContext&, const ActionSection& s) {
  const Circle m = circle_from(s);
  if (!m.image || !m.keep) return;
  int32_t x, y;
  circle_at(m, 1.0f, &x, &y);
  add_to(m.image->actionSet.pos.x, x);
  add_to(m.image->actionSet.pos.y, y);
}

}  // namespace

const ActionKindOps kShake = {shake_create, shake_step, shake_finish, nullptr};
const ActionKindOps kShake2 = {shake2_create, shake2_step, shake2_finish, nullptr};
const ActionKindOps kCircle = {circle_create, circle_step, circle_finish, circle_apply};

}  // namespace actions
