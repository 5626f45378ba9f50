// Kinds that move or turn an image: straight moves with four speed curves (0, 7, 8, 15), the
// rotations (4, 14), the eased move with its ease window (26), the move to a layout position
// (6), the two-phase move (25) and the move of the source rectangle's edges (16).
#include "engine/formats/startup_info.h"
#include "engine/orv_calls.h"
#include "graphics/actions/action_kind_common.h"
#include "graphics/actions/action_kinds.h"
#include "graphics/actions/easing.h"
#include "graphics/layers/layer_layout.h"

namespace actions {
namespace {

using engine::VmContext;
using layers::FrameDeltas;
using layers::TransformSet;
using layers::Vec3f;
using layers::Vec3i;

// One change of three components along a rate curve.
struct Move3 {
  ImageRecord* image;
  int32_t c[3];
  float f[3];
  float h[3];  // rounding terms
  uint32_t start, duration;
  uint32_t type;  // easing type, where the kind has one
  uint32_t easeStart, easeEnd;
};

struct MoveSpec {
  const char* name;    // for the missing-sprite line
  bool rotation;       // rotation fields instead of position fields
  uint32_t first;      // parameter index of the x change
  uint32_t typeParam;  // parameter index of the easing type, 0 none
  bool rounding;       // rounding terms by sign; else 0
  bool easeWindow;     // the section's ease window shapes the end state
  float (*rate)(const Move3& m, uint32_t now);
};

uint32_t since(const Move3& m, uint32_t now) {
  return now - m.start;
}

// The rate at which a section counts as complete: 1 but for a window that ends before 1000.
float end_rate(const Move3& m) {
  if (m.easeEnd == 1000) return 1.0f;
  return action_ease_time(m.type, m.duration, m.duration, m.easeStart, m.easeEnd);
}

constexpr MoveSpec kStraightSpec{
    "ActionStraight", false, 1, 0, true, false, [](const Move3& m, uint32_t now) {
      return linear_rate(since(m, now), m.duration);
    }};
// Decele and accele count their time from one ms before the start.
constexpr MoveSpec kDeceleSpec{
    "ActionDecele", false, 1, 0, true, false, [](const Move3& m, uint32_t now) {
      return easing_decele_log(at_most(since(m, now) + 1, m.duration), m.duration);
    }};
constexpr MoveSpec kAcceleSpec{
    "ActionAccele", false, 1, 0, true, false, [](const Move3& m, uint32_t now) {
      return easing_accele_log(at_most(since(m, now) + 1, m.duration), m.duration);
    }};
constexpr MoveSpec kStraight2Spec{
    "ActionStraight2", false, 1, 0, true, false, [](const Move3& m, uint32_t now) {
      return easing_sine_out(at_most(since(m, now), m.duration), m.duration);
    }};
constexpr MoveSpec kRotateSpec{
    "ActionRotate", true, 1, 0, false, false, [](const Move3& m, uint32_t now) {
      return linear_rate(since(m, now), m.duration);
    }};
constexpr MoveSpec kRotateExSpec{
    "ActionRotateEx", true, 2, 1, true, false, [](const Move3& m, uint32_t now) {
      return easing_rate(m.type, at_most(since(m, now), m.duration), m.duration);
    }};
constexpr MoveSpec kEaseMoveSpec{
    "ActionEaseMove", false, 1, 4, true, true, [](const Move3& m, uint32_t now) {
      return action_ease_time(m.type, since(m, now), m.duration, m.easeStart, m.easeEnd);
    }};

// The integer and float fields a spec writes, in the frame deltas and in actionSet.
template <const MoveSpec& S>
Vec3i& frame_int(FrameDeltas& d) {
  return S.rotation ? d.actionRot : d.actionPos;
}
template <const MoveSpec& S>
Vec3f& frame_float(FrameDeltas& d) {
  return S.rotation ? d.actionFRot : d.actionFPos;
}
template <const MoveSpec& S>
Vec3i& set_int(TransformSet& t) {
  return S.rotation ? t.rot : t.pos;
}
template <const MoveSpec& S>
Vec3f& set_float(TransformSet& t) {
  return S.rotation ? t.fRot : t.fPos;
}

void add3(Vec3i& v, const int32_t (&d)[3]) {
  add_to(v.x, d[0]);
  add_to(v.y, d[1]);
  add_to(v.z, d[2]);
}
void add3(Vec3f& v, const float (&d)[3]) {
  v.x += d[0];
  v.y += d[1];
  v.z += d[2];
}

// The change reached at rate r, with the rounding terms.
void at_rate(const Move3& m, float r, int32_t (&di)[3], float (&df)[3]) {
  for (int i = 0; i < 3; ++i) {
    di[i] = trunc_i32((static_cast<float>(m.c[i]) + m.h[i]) * r);
    df[i] = (m.f[i] + m.h[i]) * r;
  }
}
// The change at the section's end: the values themselves, or for a window that ends early the
// change at its end rate, without rounding terms.
void at_end(const Move3& m, bool window, int32_t (&di)[3], float (&df)[3]) {
  const float r = window ? end_rate(m) : 1.0f;
  for (int i = 0; i < 3; ++i) {
    di[i] = r == 1.0f ? m.c[i] : trunc_i32(static_cast<float>(m.c[i]) * r);
    df[i] = r == 1.0f ? m.f[i] : m.f[i] * r;
  }
}

template <const MoveSpec& S>
Move3 from_section(const ActionSection& s) {
  Move3 m{};
  m.image = section_image(s.params[0]);
  for (int i = 0; i < 3; ++i) {
    m.c[i] = as_i32(s.params[S.first + i]);
    m.f[i] = static_cast<float>(m.c[i]);
    m.h[i] = S.rounding ? half_toward(m.c[i]) : 0.0f;
  }
  m.duration = s.dwDuration;
  m.type = S.typeParam ? s.params[S.typeParam] : 0;
  m.easeStart = S.easeWindow ? s.wEaseStart : 0;
  m.easeEnd = S.easeWindow ? s.wEaseEnd : 1000;
  return m;
}

template <const MoveSpec& S>
void* move_create(VmContext&, ActionSection s) {
  Move3* m = state_alloc<Move3>();
  if (!m) return nullptr;
  *m = from_section<S>(s);
  m->start = frame_now();
  return m;
}

template <const MoveSpec& S>
void move_step(VmContext& vm, void* state) {
  const Move3& m = *static_cast<Move3*>(state);
  if (!step_image_ok(vm, m.image, S.name)) return;
  int32_t di[3];
  float df[3];
  at_rate(m, S.rate(m, frame_now()), di, df);
  add3(frame_int<S>(m.image->frame), di);
  add3(frame_float<S>(m.image->frame), df);
}

template <const MoveSpec& S>
void move_finish(VmContext&, void* state, uint32_t stop) {
  const Move3& m = *static_cast<Move3*>(state);
  if (m.image) {
    int32_t di[3];
    float df[3];
    if (stop) {
      at_rate(m, S.rate(m, frame_now()), di, df);
    } else {
      at_end(m, S.easeWindow, di, df);
    }
    add3(set_int<S>(m.image->actionSet), di);
    add3(set_float<S>(m.image->actionSet), df);
  }
  state_free(state);
}

template <const MoveSpec& S>
void move_apply(VmContext&, const ActionSection& s) {
  const Move3 m = from_section<S>(s);
  if (!m.image) return;
  int32_t di[3];
  float df[3];
  at_end(m, S.easeWindow, di, df);
  add3(set_int<S>(m.image->actionSet), di);
  add3(set_float<S>(m.image->actionSet), df);
}

template <const MoveSpec& S>
constexpr ActionKindOps move_ops() {
  return {move_create<S>, move_step<S>, move_finish<S>, move_apply<S>};
}

// ---- ActionMovepos: horizontally to a layout position ----

struct Movepos {
  ImageRecord* image;
  int32_t dx;
  float fdx, hx;
  uint32_t type, start, duration;
};

int32_t layout_target_x(const ImageRecord& image, uint32_t code) {
  OrvSpriteInfo si{};
  if (image.hSprite) orv.OrvSpriteGetInfo(image.hSprite, &si);
  uint32_t w, h;
  engine::game_screen_size(&w, &h);
  const layers::LayoutGrid grid = engine::startup_settings().bLayoutGrid
                                      ? layers::LayoutGrid::kTwentyColumns
                                      : layers::LayoutGrid::kEightColumns;
  return layers::layout_x(grid, as_i32(code), as_i32(w), si.width);
}
int32_t current_x(const ImageRecord& image) {
  return wrap_add(wrap_add(image.base.pos.x, image.base.posOfs.x),
                  wrap_add(image.frame.actionPos.x, image.actionSet.pos.x));
}

void* movepos_create(VmContext&, ActionSection s) {
  Movepos* m = state_alloc<Movepos>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  if (m->image) {
    const int32_t target = layout_target_x(*m->image, s.params[1]);
    const int32_t current = current_x(*m->image);
    m->dx = wrap_sub(target, current);
    m->fdx = static_cast<float>(target) - static_cast<float>(current);
    m->hx = half_toward(m->dx);
  }
  m->type = s.params[2];
  m->duration = s.dwDuration;
  m->start = frame_now();
  return m;
}
float movepos_rate(const Movepos& m) {
  return easing_rate(m.type, at_most(frame_now() - m.start, m.duration), m.duration);
}
void movepos_step(VmContext& vm, void* state) {
  const Movepos& m = *static_cast<Movepos*>(state);
  if (!step_image_ok(vm, m.image, "ActionMovepos")) return;
  add_to(m.image->frame.actionPos.x,
         trunc_i32((static_cast<float>(m.dx) + m.hx) * movepos_rate(m)));
}
void movepos_finish(VmContext&, void* state, uint32_t stop) {
  const Movepos& m = *static_cast<Movepos*>(state);
  if (m.image) {
    TransformSet& set = m.image->actionSet;
    if (stop) {
      const float r = movepos_rate(m);
      add_to(set.pos.x, trunc_i32((static_cast<float>(m.dx) + m.hx) * r));
      set.fPos.x += (static_cast<float>(m.dx) + m.hx) * r;
    } else {
      add_to(set.pos.x, m.dx);
      set.fPos.x += m.fdx;
    }
  }
  state_free(state);
}
void movepos_apply(VmContext&, const ActionSection& s) {
  ImageRecord* image = section_image(s.params[0]);
  if (!image) return;
  const int32_t target = layout_target_x(*image, s.params[1]);
  const float fcurrent = image->base.fPos.x + image->base.fPosOfs.x + image->frame.actionFPos.x +
                         image->actionSet.fPos.x;
  add_to(image->actionSet.pos.x, wrap_sub(target, current_x(*image)));
  image->actionSet.fPos.x += static_cast<float>(target) - fcurrent;
}

// ---- ActionStraightDecele: a linear first change, then a decelerating second ----

struct StraightDecele {
  ImageRecord* image;
  int32_t c1[3];
  float f1[3], h1[3];
  uint32_t t1;
  int32_t c2[3];
  float f2[3], h2[3];
  uint32_t t2;
  uint32_t duration, start, last;
};

void straight_decele_at(StraightDecele& m, uint32_t now, int32_t (&di)[3], float (&df)[3]) {
  const uint32_t t = at_most(now - m.start, m.duration);
  m.last = t;
  if (t <= m.t1) {
    const float r = easing_linear(t, m.t1);
    for (int i = 0; i < 3; ++i) {
      di[i] = trunc_i32((static_cast<float>(m.c1[i]) + m.h1[i]) * r);
      df[i] = (m.f1[i] + m.h1[i]) * r;
    }
    return;
  }
  const float r2 = easing_decele_quad(at_most(t - m.t1, m.t2), m.t2);
  for (int i = 0; i < 3; ++i) {
    const float first = static_cast<float>(m.c1[i]);
    di[i] = trunc_i32((static_cast<float>(m.c2[i]) + m.h2[i]) * r2 + first);
    df[i] = (m.f2[i] + m.h2[i]) * r2 + first;
  }
}

void* straight_decele_create(VmContext&, ActionSection s) {
  StraightDecele* m = state_alloc<StraightDecele>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  for (int i = 0; i < 3; ++i) {
    m->c1[i] = as_i32(s.params[1 + i]);
    m->f1[i] = static_cast<float>(m->c1[i]);
    m->h1[i] = half_toward(m->c1[i]);
    m->c2[i] = as_i32(s.params[5 + i]);
    m->f2[i] = static_cast<float>(m->c2[i]);
    m->h2[i] = half_toward(m->c2[i]);
  }
  m->t1 = s.params[4];
  m->t2 = s.params[8];
  m->duration = s.dwDuration;
  m->start = frame_now();
  return m;
}
void straight_decele_step(VmContext& vm, void* state) {
  StraightDecele& m = *static_cast<StraightDecele*>(state);
  if (!step_image_ok(vm, m.image, "ActionStraightDecele")) return;
  int32_t di[3];
  float df[3];
  straight_decele_at(m, frame_now(), di, df);
  add3(m.image->frame.actionPos, di);
  add3(m.image->frame.actionFPos, df);
}
void straight_decele_finish(VmContext&, void* state, uint32_t stop) {
  StraightDecele& m = *static_cast<StraightDecele*>(state);
  if (m.image) {
    int32_t di[3];
    float df[3];
    if (stop) {
      straight_decele_at(m, frame_now(), di, df);
    } else {
      for (int i = 0; i < 3; ++i) {
        di[i] = wrap_add(m.c1[i], m.c2[i]);
        df[i] = m.f1[i] + m.f2[i];
      }
    }
    add3(m.image->actionSet.pos, di);
    add3(m.image->actionSet.fPos, df);
  }
  state_free(state);
}
void straight_decele_apply(VmContext&, const ActionSection& s) {
  ImageRecord* image = section_image(s.params[0]);
  if (!image) return;
  int32_t di[3];
  float df[3];
  for (int i = 0; i < 3; ++i) {
    const int32_t a = as_i32(s.params[1 + i]), b = as_i32(s.params[5 + i]);
    di[i] = wrap_add(a, b);
    df[i] = static_cast<float>(a) + static_cast<float>(b);
  }
  add3(image->actionSet.pos, di);
  add3(image->actionSet.fPos, df);
}

// ---- ActionMoveRect: the source rectangle's four edges along a curve ----

struct MoveRect {
  ImageRecord* image;
  int32_t c[4];  // left, top, right, bottom
  float h[4];
  uint32_t start, duration, type;
};

void add_rect(layers::RectI& r, const int32_t (&d)[4]) {
  add_to(r.left, d[0]);
  add_to(r.top, d[1]);
  add_to(r.right, d[2]);
  add_to(r.bottom, d[3]);
}
// Counted, as decele and accele are, from one ms before the start.
void move_rect_at(const MoveRect& m, int32_t (&d)[4]) {
  const float r = easing_rate(m.type, at_most(frame_now() - m.start + 1, m.duration), m.duration);
  for (int i = 0; i < 4; ++i) d[i] = trunc_i32((static_cast<float>(m.c[i]) + m.h[i]) * r);
}

void* move_rect_create(VmContext&, ActionSection s) {
  MoveRect* m = state_alloc<MoveRect>();
  if (!m) return nullptr;
  m->image = section_image(s.params[0]);
  m->type = s.params[1];
  for (int i = 0; i < 4; ++i) {
    m->c[i] = as_i32(s.params[2 + i]);
    m->h[i] = half_toward(m->c[i]);
  }
  m->duration = s.dwDuration;
  m->start = frame_now();
  return m;
}
void move_rect_step(VmContext& vm, void* state) {
  const MoveRect& m = *static_cast<MoveRect*>(state);
  if (!step_image_ok(vm, m.image, "ActionMoveRect")) return;
  int32_t d[4];
  move_rect_at(m, d);
  add_rect(m.image->frame.actionRect, d);
}
void move_rect_finish(VmContext&, void* state, uint32_t stop) {
  const MoveRect& m = *static_cast<MoveRect*>(state);
  if (m.image) {
    int32_t d[4] = {m.c[0], m.c[1], m.c[2], m.c[3]};
    if (stop) move_rect_at(m, d);
    add_rect(m.image->actionSet.rect, d);
  }
  state_free(state);
}
void move_rect_apply(VmContext&, const ActionSection& s) {
  if (ImageRecord* image = section_image(s.params[0])) {
    const int32_t d[4] = {as_i32(s.params[2]), as_i32(s.params[3]), as_i32(s.params[4]),
                          as_i32(s.params[5])};
    add_rect(image->actionSet.rect, d);
  }
}

}  // namespace

const ActionKindOps kMoveRect = {move_rect_create, move_rect_step, move_rect_finish,
                                 move_rect_apply};
const ActionKindOps kStraight = move_ops<kStraightSpec>();
const ActionKindOps kDecele = move_ops<kDeceleSpec>();
const ActionKindOps kAccele = move_ops<kAcceleSpec>();
const ActionKindOps kStraight2 = move_ops<kStraight2Spec>();
const ActionKindOps kRotate = move_ops<kRotateSpec>();
const ActionKindOps kRotateEx = move_ops<kRotateExSpec>();
const ActionKindOps kEaseMove = move_ops<kEaseMoveSpec>();
const ActionKindOps kMovepos = {movepos_create, movepos_step, movepos_finish, movepos_apply};
const ActionKindOps kStraightDecele = {straight_decele_create, straight_decele_step,
                                       straight_decele_finish, straight_decele_apply};

}  // namespace actions
