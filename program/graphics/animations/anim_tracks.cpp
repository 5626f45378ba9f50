#include "graphics/animations/anim_tracks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "graphics/animations/anim_player.h"
#include "graphics/int_math.h"
#include "graphics/sine.h"

namespace animations {
namespace {

using layers::ImageRecord;
using layers::Vec3f;
using layers::Vec3i;

constexpr uint32_t kEndless = 0xFFFFFFFFu;

int16_t add16(int16_t a, int32_t b) {
  return static_cast<int16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(b));
}

void add3(Vec3i& v, int32_t x, int32_t y, int32_t z) {
  v.x = wrap_add(v.x, x);
  v.y = wrap_add(v.y, y);
  v.z = wrap_add(v.z, z);
}
void add3(Vec3f& v, float x, float y, float z) {
  v.x += x;
  v.y += y;
  v.z += z;
}

struct Progress {
  uint32_t e;  // elapsed, at most the time
  float r;     // e / time
  bool done;
};
Progress progress(uint32_t start, uint32_t time, uint32_t now) {
  const uint32_t e = std::min(now - start, time);
  const float t = static_cast<float>(time);
  return {e, t == 0.0f ? 1.0f : static_cast<float>(e) / t, e == time};
}

// The move curves; the logarithmic ones are those of easing curves 1 and 2, with their
// constants, computed here on the track's own elapsed time.
float move_rate(uint32_t curve, const Progress& p, uint32_t time) {
  if (curve & 2) {
    const float l = static_cast<float>(std::log10(static_cast<double>(p.r))) * 80.0f * -0.01f;
    return 1.0f - std::min(1.0f, l);
  }
  if (curve & 1) {
    if (static_cast<float>(time) == 0.0f) return 1.0f;
    const float x = static_cast<float>(time - p.e) / static_cast<float>(time);
    const float l = static_cast<float>(std::log10(static_cast<double>(x))) * 55.0f * -0.01f;
    return std::min(1.0f, l);
  }
  if (curve & 4) return graphics::sine_out(p.r);
  return std::min(1.0f, p.r);
}

// A product that leaves the int range (a file may hold any position and a sine curve may
// turn it round) stops at the range's end instead of being undefined.
int32_t trunc_mul(int32_t v, float k) {
  return graphics::trunc_i32(static_cast<float>(v) * k);
}

// ---- move ----

uint32_t move_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  const MoveTrack& m = t.move;
  const Progress p = progress(m.start, m.time, now);
  const float k = move_rate(m.curve, p, m.time);
  if (ImageRecord* img = pl.lpImageRec) {
    Vec3i& pos = p.done ? img->animSet.pos : img->frame.animPos;
    Vec3f& fpos = p.done ? img->animSet.fPos : img->frame.animFPos;
    add3(pos, trunc_mul(m.dx, k), trunc_mul(m.dy, k), trunc_mul(m.dz, k));
    add3(fpos, m.fdx * k, m.fdy * k, m.fdz * k);
  }
  return p.done ? 0 : 1;
}
void move_end(AnimSlot& pl, AniTrack& t) {
  const MoveTrack& m = t.move;
  if (ImageRecord* img = pl.lpImageRec) {
    add3(img->animSet.pos, m.dx, m.dy, m.dz);
    add3(img->animSet.fPos, m.fdx, m.fdy, m.fdz);
  }
}

// ---- wait ----

uint32_t wait_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  const WaitTrack& w = t.wait;
  if (w.endless) return 1;
  if (now - w.start < w.time) return 1;
  pl.dwState = kAnimRunning;
  return 0;
}

// ---- scale ----

uint32_t scale_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  const ScaleTrack& s = t.scale;
  const Progress p = progress(s.start, s.time, now);
  const float v = p.r * static_cast<float>(s.percent) / 100.0f;
  if (ImageRecord* img = pl.lpImageRec) {
    layers::Vec2f& scale = p.done ? img->animSet.scale : img->frame.animScale;
    scale.x += v;
    scale.y += v;
  }
  return p.done ? 0 : 1;
}
void scale_end(AnimSlot& pl, AniTrack& t) {
  if (ImageRecord* img = pl.lpImageRec) {
    const float v = static_cast<float>(t.scale.percent) / 100.0f;
    img->animSet.scale.x += v;
    img->animSet.scale.y += v;
  }
}

// ---- alpha ----

uint32_t alpha_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  const AlphaTrack& a = t.alpha;
  const Progress p = progress(a.start, a.time, now);
  const int32_t v = trunc_mul(a.delta, p.r);
  if (ImageRecord* img = pl.lpImageRec) {
    int16_t& d = p.done ? img->animSet.color.a : img->frame.animColor.a;
    d = add16(d, v);
  }
  return p.done ? 0 : 1;
}
void alpha_end(AnimSlot& pl, AniTrack& t) {
  if (ImageRecord* img = pl.lpImageRec) {
    img->animSet.color.a = add16(img->animSet.color.a, t.alpha.delta);
    img->frame.animColor.a = 0;
  }
}

// ---- rotate ----

uint32_t rotate_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  const RotateTrack& r = t.rotate;
  const Progress p = progress(r.start, r.time, now);
  if (ImageRecord* img = pl.lpImageRec) {
    Vec3i& rot = p.done ? img->animSet.rot : img->frame.animRot;
    Vec3f& frot = p.done ? img->animSet.fRot : img->frame.animFRot;
    add3(rot, trunc_mul(r.rx, p.r), trunc_mul(r.ry, p.r), trunc_mul(r.rz, p.r));
    add3(frot, r.frx * p.r, r.fry * p.r, r.frz * p.r);
  }
  return p.done ? 0 : 1;
}
void rotate_end(AnimSlot& pl, AniTrack& t) {
  const RotateTrack& r = t.rotate;
  if (ImageRecord* img = pl.lpImageRec) {
    add3(img->animSet.rot, r.rx, r.ry, r.rz);
    add3(img->animSet.fRot, r.frx, r.fry, r.frz);
  }
}

// ---- circle ----

struct CirclePoint {
  int32_t x, y;
};
CirclePoint circle_at(const CircleTrack& c, float k) {
  const int32_t radius_x = wrap_add(trunc_mul(c.drx, k), c.rx);
  const uint32_t angle_x = static_cast<uint32_t>(wrap_add(trunc_mul(c.dax, k), c.ax));
  const int32_t radius_y = wrap_add(trunc_mul(c.dry, k), c.ry);
  const uint32_t angle_y =
      static_cast<uint32_t>(wrap_add(wrap_add(trunc_mul(c.day, k), c.ay), 128));
  return {trunc_mul(radius_x, graphics::sine512(angle_x)),
          trunc_mul(radius_y, graphics::sine512(angle_y))};
}
void circle_add(Vec3i& pos, Vec3f& fpos, CirclePoint c) {
  pos.x = wrap_add(pos.x, c.x);
  pos.y = wrap_add(pos.y, c.y);
  fpos.x += static_cast<float>(c.x);
  fpos.y += static_cast<float>(c.y);
}

uint32_t circle_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  const CircleTrack& c = t.circle;
  const Progress p = progress(c.start, c.time, now);
  const CirclePoint at = circle_at(c, std::min(1.0f, p.r));
  if (ImageRecord* img = pl.lpImageRec) {
    // A returning circle shows its end point for its last frame only.
    if (p.done && c.keep) {
      circle_add(img->animSet.pos, img->animSet.fPos, at);
    } else {
      circle_add(img->frame.animPos, img->frame.animFPos, at);
    }
  }
  return p.done ? 0 : 1;
}
void circle_end(AnimSlot& pl, AniTrack& t) {
  const CircleTrack& c = t.circle;
  ImageRecord* img = pl.lpImageRec;
  if (img && c.keep) circle_add(img->animSet.pos, img->animSet.fPos, circle_at(c, 1.0f));
}

// ---- step (a walk of one unit per interval toward a point) ----

void step_arrive(ImageRecord* img, const StepTrack& s) {
  if (!img) return;
  img->animSet.pos.x = wrap_add(img->animSet.pos.x, s.tx);
  img->animSet.pos.y = wrap_add(img->animSet.pos.y, s.ty);
  img->animSet.fPos.x += s.ftx;
  img->animSet.fPos.y += s.fty;
}

uint32_t step_step(AnimSlot& pl, AniTrack& t, uint32_t now) {
  StepTrack& s = t.walk;
  if (now - s.last >= s.interval) {
    s.last = now;
    s.cx += s.ux;
    s.cy += s.uy;
    const bool there =
        static_cast<int32_t>(s.cx + 0.5f) == s.tx && static_cast<int32_t>(s.cy + 0.5f) == s.ty;
    // A walk whose rounded point misses the target (a target at the start point, say) ends
    // once it has gone the whole distance instead of walking away for ever.
    const float walked = s.cx * s.cx + s.cy * s.cy;
    const float distance = s.ftx * s.ftx + s.fty * s.fty;
    if (there || walked > distance) {
      step_arrive(pl.lpImageRec, s);
      // The op stream waited for the walk; it goes on in the next frame, as after a wait.
      pl.dwState = kAnimRunning;
      return 0;
    }
  }
  if (ImageRecord* img = pl.lpImageRec) {
    img->frame.animPos.x += static_cast<int32_t>(s.cx);
    img->frame.animPos.y += static_cast<int32_t>(s.cy);
    img->frame.animFPos.x += s.cx;
    img->frame.animFPos.y += s.cy;
  }
  return 1;
}
void step_end(AnimSlot& pl, AniTrack& t) {
  step_arrive(pl.lpImageRec, t.walk);
}

uint32_t time_of(int32_t v) {
  return v == 0 ? 1u : static_cast<uint32_t>(v);
}

void make_move(AniTrack* t, const int32_t* d, uint32_t curve, uint32_t now, int32_t time) {
  t->move = MoveTrack{d[0],
                      d[1],
                      d[2],
                      curve,
                      now,
                      time_of(time),
                      static_cast<float>(d[0]),
                      static_cast<float>(d[1]),
                      static_cast<float>(d[2])};
  t->step = move_step;
  t->end = move_end;
}

void make_wait(AniTrack* t, uint32_t now, uint32_t time, bool can_be_endless) {
  t->wait = WaitTrack{now, time, can_be_endless && time == kEndless ? 1u : 0u};
  t->step = wait_step;
  t->blocking = 1;
}

}  // namespace

bool track_from_op(const AnimSlot& player, const AniOp& op, uint32_t now, uint32_t random,
                   AniTrack* t) {
  *t = AniTrack{};
  const int32_t* v = op.v;
  switch (op.code) {
    case kOpMove:
      make_move(t, v, 0, now, v[3]);
      return true;
    case kOpMoveAccel:
      make_move(t, v, 1, now, v[3]);
      return true;
    case kOpMoveDecel:
      make_move(t, v, 2, now, v[3]);
      return true;
    case kOpMoveSine:
      make_move(t, v, 4, now, v[3]);
      return true;
    case kOpMoveTo: {
      make_move(t, v + 1, static_cast<uint32_t>(v[0]), now, v[4]);
      MoveTrack& m = t->move;
      m.dx = m.dy = m.dz = 0;
      m.fdx = m.fdy = m.fdz = 0.0f;
      if (const ImageRecord* img = player.lpImageRec) {
        const layers::BaseTransform& b = img->base;
        m.dx = v[1] - b.pos.x - b.posOfs.x;
        m.dy = v[2] - b.pos.y - b.posOfs.y;
        m.dz = v[3] - b.pos.z - b.posOfs.z;
        m.fdx = static_cast<float>(v[1]) - (b.fPosOfs.x + b.fPos.x);
        m.fdy = static_cast<float>(v[2]) - (b.fPosOfs.y + b.fPos.y);
        m.fdz = static_cast<float>(v[3]) - (b.fPosOfs.z + b.fPos.z);
      }
      return true;
    }
    case kOpWait:
      make_wait(t, now, static_cast<uint32_t>(v[0]), true);
      return true;
    case kOpWaitFixed:
      make_wait(t, now, static_cast<uint32_t>(v[0]), false);
      return true;
    case kOpWaitRandom: {
      const uint32_t lo = static_cast<uint32_t>(v[0]);
      const uint32_t span = static_cast<uint32_t>(v[1]) - lo;
      // An empty span waits the minimum (the range would divide by zero).
      make_wait(t, now, (span ? random % span : 0) + lo, true);
      return true;
    }
    case kOpScale:
      t->scale = ScaleTrack{v[0], now, time_of(v[1])};
      t->step = scale_step;
      t->end = scale_end;
      return true;
    case kOpAlpha:
      t->alpha = AlphaTrack{v[0], now, time_of(v[1])};
      t->step = alpha_step;
      t->end = alpha_end;
      return true;
    case kOpRotate:
      t->rotate = RotateTrack{v[0],
                              v[1],
                              v[2],
                              now,
                              time_of(v[3]),
                              static_cast<float>(v[0]),
                              static_cast<float>(v[1]),
                              static_cast<float>(v[2])};
      t->step = rotate_step;
      t->end = rotate_end;
      return true;
    case kOpCircleKeep:
    case kOpCircleBack:
      t->circle = CircleTrack{v[0], v[1],         v[2],
                              v[3], v[4],         v[5],
                              v[6], v[7],         op.code == kOpCircleKeep ? 1u : 0u,
                              now,  time_of(v[8])};
      t->step = circle_step;
      t->end = circle_end;
      return true;
    case kOpStep: {
      const float a = static_cast<float>(std::atan2(static_cast<double>(v[1]), double(v[0])));
      t->walk = StepTrack{v[0],
                          v[1],
                          0.0f,
                          0.0f,
                          static_cast<float>(std::cos(static_cast<double>(a))),
                          static_cast<float>(std::sin(static_cast<double>(a))),
                          now,
                          static_cast<uint32_t>(v[2]),
                          static_cast<float>(v[0]),
                          static_cast<float>(v[1])};
      t->step = step_step;
      t->end = step_end;
      t->blocking = 1;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace animations
