// The per-frame sums of an image's transform sets and their push to the sprite.
#include <cstring>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "graphics/layers/image_record.h"

namespace layers {
namespace {

engine::GameState& game_state_of(engine::VmContext& vm) {
  return *reinterpret_cast<engine::GameState*>(reinterpret_cast<char*>(&vm) -
                                               offsetof(engine::GameState, vm));
}

// Position of one axis without the shake: base, offset, both frame halves and both sets.
int32_t pos_sum(const ImageRecord& r, int32_t Vec3i::*axis) {
  return r.base.pos.*axis + r.base.posOfs.*axis + r.frame.actionPos.*axis + r.frame.animPos.*axis +
         r.actionSet.pos.*axis + r.animSet.pos.*axis;
}
int32_t rot_sum(const ImageRecord& r, int32_t Vec3i::*axis) {
  return r.base.rot.*axis + r.base.rotOfs.*axis + r.frame.actionRot.*axis + r.frame.animRot.*axis +
         r.actionSet.rot.*axis + r.animSet.rot.*axis;
}
float fpos_sum(const ImageRecord& r, float Vec3f::*axis) {
  return ((r.animSet.fPos.*axis + r.actionSet.fPos.*axis) +
          (r.frame.animFPos.*axis + r.frame.actionFPos.*axis)) +
         (r.base.fPosOfs.*axis + r.base.fPos.*axis);
}
float frot_sum(const ImageRecord& r, float Vec3f::*axis) {
  return ((r.animSet.fRot.*axis + r.actionSet.fRot.*axis) +
          (r.frame.animFRot.*axis + r.frame.actionFRot.*axis)) +
         (r.base.fRotOfs.*axis + r.base.fRot.*axis);
}
float scale_sum(const ImageRecord& r, float Vec2f::*axis) {
  return ((r.animSet.scale.*axis + r.actionSet.scale.*axis) +
          (r.frame.animScale.*axis + r.frame.actionScale.*axis)) +
         (r.base.scaleOfs.*axis + r.base.scale.*axis);
}

// 16-bit wrapping sum, then clamped to a byte.
uint32_t clamp_channel(int16_t sum) {
  return sum > 255 ? 255u : sum < 0 ? 0u : static_cast<uint32_t>(sum);
}
int16_t add16(int16_t a, int16_t b) {
  return static_cast<int16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(b));
}

uint32_t channel(const ImageRecord& r, int shift, int16_t ColorDelta::*c) {
  int16_t sum = static_cast<int16_t>((r.base.dwColor >> shift) & 0xFF);
  sum = add16(sum, r.base.colorOfs.*c);
  sum = add16(sum, r.frame.actionColor.*c);
  sum = add16(sum, r.frame.animColor.*c);
  sum = add16(sum, r.actionSet.color.*c);
  sum = add16(sum, r.animSet.color.*c);
  return clamp_channel(sum);
}

}  // namespace

uint32_t image_effective_color(const ImageRecord& r) {
  return channel(r, 24, &ColorDelta::a) << 24 | channel(r, 16, &ColorDelta::r) << 16 |
         channel(r, 8, &ColorDelta::g) << 8 | channel(r, 0, &ColorDelta::b);
}

Vec3i image_effective_pos(const ImageRecord& r) {
  return {pos_sum(r, &Vec3i::x), pos_sum(r, &Vec3i::y), pos_sum(r, &Vec3i::z)};
}

Vec3i image_effective_rot(const ImageRecord& r) {
  return {rot_sum(r, &Vec3i::x), rot_sum(r, &Vec3i::y), rot_sum(r, &Vec3i::z)};
}

int32_t image_scale_percent(const ImageRecord& r, int axis) {
  float Vec2f::*a = axis == 0 ? &Vec2f::x : &Vec2f::y;
  const float sum = r.base.scaleOfs.*a + r.base.scale.*a + r.frame.actionScale.*a +
                    r.frame.animScale.*a + r.actionSet.scale.*a + r.animSet.scale.*a;
  return static_cast<int32_t>((sum + 0.005f) * 100.0f);
}

void image_apply_transform(engine::VmContext& vm, ImageRecord& r) {
  const uint32_t s = r.hSprite;
  if (!s) return;
  const int32_t x = pos_sum(r, &Vec3i::x) + r.frame.shakeX;
  const int32_t y = pos_sum(r, &Vec3i::y) + r.frame.shakeY;
  const int32_t z = pos_sum(r, &Vec3i::z);
  orv.OrvSpriteSetPos(s, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  if (game_state_of(vm).settings.bAspectPos) {
    orv.OrvSpriteConvertAspectPosition(s, static_cast<int32_t>(r.base.dwAspectType));
  }
  if (g_float_rotation) {
    orv.OrvSpriteSetRotateExFloat(s, frot_sum(r, &Vec3f::x), frot_sum(r, &Vec3f::y),
                                  frot_sum(r, &Vec3f::z));
  } else {
    orv.OrvSpriteSetRotateEx(s, rot_sum(r, &Vec3i::x), rot_sum(r, &Vec3i::y),
                             rot_sum(r, &Vec3i::z));
  }
  orv.OrvSpriteSetScale(s, scale_sum(r, &Vec2f::x), scale_sum(r, &Vec2f::y));
  orv.OrvSpriteSetColor(s, image_effective_color(r));
  if (r.base.bRect) {
    auto edge = [&](int32_t RectI::*e) {
      return r.base.rect.*e + r.frame.actionRect.*e + r.actionSet.rect.*e + r.animSet.rect.*e;
    };
    OrvRect rect{edge(&RectI::left), edge(&RectI::top), edge(&RectI::right), edge(&RectI::bottom)};
    orv.OrvSpriteSetRect(s, &rect);
  }
}

void images_apply_all(engine::VmContext& vm) {
  images_for_each([&](ImageRecord& r) { image_apply_transform(vm, r); });
}

void images_frame_deltas_clear(engine::VmContext&) {
  images_for_each([](ImageRecord& r) { r.frame = FrameDeltas{}; });
}

void image_commit_action_deltas() {
  images_for_each([](ImageRecord& r) {
    TransformSet& a = r.actionSet;
    r.base.pos.x += a.pos.x;
    r.base.pos.y += a.pos.y;
    r.base.rot.x += a.rot.x;
    r.base.rot.y += a.rot.y;
    r.base.rot.z += a.rot.z;
    r.base.scale.x += a.scale.x;
    r.base.scale.y += a.scale.y;
    r.base.fPos.x += a.fPos.x;
    r.base.fPos.y += a.fPos.y;
    r.base.fRot.x += a.fRot.x;
    r.base.fRot.y += a.fRot.y;
    r.base.fRot.z += a.fRot.z;
    auto fold = [&](int shift, int16_t ColorDelta::*c) {
      const int16_t sum = add16(static_cast<int16_t>((r.base.dwColor >> shift) & 0xFF), a.color.*c);
      return clamp_channel(sum) << shift;
    };
    r.base.dwColor = fold(24, &ColorDelta::a) | fold(16, &ColorDelta::r) | fold(8, &ColorDelta::g) |
                     fold(0, &ColorDelta::b);
    if (r.base.bRect) {
      r.base.rect.left += a.rect.left;
      r.base.rect.top += a.rect.top;
      r.base.rect.right += a.rect.right;
      r.base.rect.bottom += a.rect.bottom;
    }
    a = TransformSet{};
  });
}

void image_follow_transform(ImageRecord& child, const ImageRecord& parent) {
  const ImageRecord& p = parent;
  child.base.dwColor = image_effective_color(p);
  const float sx = p.base.scale.x + p.base.scaleOfs.x + p.frame.actionScale.x +
                   p.frame.animScale.x + p.actionSet.scale.x + p.animSet.scale.x;
  const float sy = p.base.scale.y + p.base.scaleOfs.y + p.frame.actionScale.y +
                   p.frame.animScale.y + p.actionSet.scale.y + p.animSet.scale.y;
  child.base.scale = {sx, sy};
  const Vec3i ppos{pos_sum(p, &Vec3i::x), pos_sum(p, &Vec3i::y), pos_sum(p, &Vec3i::z)};
  child.base.pos = ppos;
  child.base.rot = {rot_sum(p, &Vec3i::x), rot_sum(p, &Vec3i::y), rot_sum(p, &Vec3i::z)};
  child.base.dwAspectType = p.base.dwAspectType;
  const Vec3f pf{fpos_sum(p, &Vec3f::x), fpos_sum(p, &Vec3f::y), fpos_sum(p, &Vec3f::z)};
  child.base.fPos = pf;
  child.base.fRot = {frot_sum(p, &Vec3f::x), frot_sum(p, &Vec3f::y), frot_sum(p, &Vec3f::z)};
  const int32_t pw = p.hSprite ? orv.OrvSpriteGetWidth(p.hSprite) : 0;
  const int32_t ph = p.hSprite ? orv.OrvSpriteGetHeight(p.hSprite) : 0;
  const int32_t cw = child.hSprite ? orv.OrvSpriteGetWidth(child.hSprite) : 0;
  const int32_t ch = child.hSprite ? orv.OrvSpriteGetHeight(child.hSprite) : 0;
  auto correct = [&](int32_t Vec3i::*ax, float Vec3f::*fax, int32_t psize, int32_t csize,
                     float scale) {
    const int32_t d = (ppos.*ax + (psize >> 1)) - (pos_sum(child, ax) + (csize >> 1));
    child.base.pos.*ax += d - static_cast<int32_t>(static_cast<float>(d) * scale);
    const float e = (pf.*fax + static_cast<float>(psize / 2)) -
                    (fpos_sum(child, fax) + static_cast<float>(csize / 2));
    child.base.fPos.*fax += e - e * scale;
  };
  correct(&Vec3i::x, &Vec3f::x, pw, cw, sx);
  correct(&Vec3i::y, &Vec3f::y, ph, ch, sy);
}

}  // namespace layers
