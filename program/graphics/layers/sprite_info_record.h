// The platform's sprite info as the save blocks store it: 372 bytes, little-endian, in the
// field order of OrvSpriteInfo. One field list for both directions.
#pragma once

#include <cstddef>

#include "orv/render_types.h"
#include "shared/byte_codec.h"

namespace layers {

template <class IO, class Info>
constexpr void sync_sprite_info(IO& io, Info& s) {
  io.i32(s.visible);
  io.u32(s.color);
  io.f32(s.x);
  io.f32(s.y);
  io.f32(s.z);
  io.i32(s.offset_x);
  io.i32(s.offset_y);
  io.i32(s.width);
  io.i32(s.height);
  io.i32(s.cell_width);
  io.i32(s.cell_height);
  io.i32(s.center_x);
  io.i32(s.center_y);
  io.i32(s.priority);
  io.f32(s.scale_x);
  io.f32(s.scale_y);
  io.f32(s.rotation_x);
  io.f32(s.rotation_y);
  io.f32(s.rotation_z);
  io.i32(s.render_mode);
  io.i32(s.layer);
  io.bytes(s.name);
  io.i32(s.texture_width);
  io.i32(s.texture_height);
  io.i32(s.address_mode);
  io.f32(s.skew_x);
  io.f32(s.skew_y);
  io.i32(s.perspective);
  io.f32(s.rotation_resolution);
}

constexpr size_t kSpriteInfoBytes = 372;
static_assert(codec::stored_size<OrvSpriteInfo>([](auto& io, auto& r) {
                sync_sprite_info(io, r);
              }) == kSpriteInfoBytes);

// The largest side a stored sprite may ask for when it is made again.
constexpr int32_t kMaxStoredSpriteSide = 16384;

// False when a stored info's width or height lies outside 0..kMaxStoredSpriteSide: a sprite
// made again at that size could not be allocated, so the save check refuses such a block.
inline bool sprite_info_sizes_ok(const OrvSpriteInfo& s) {
  return s.width >= 0 && s.width <= kMaxStoredSpriteSide && s.height >= 0 &&
         s.height <= kMaxStoredSpriteSide;
}

}  // namespace layers
