// Value types of the render list and the sprites, shared by the library and the game program.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orv/types.h"

// The draw callback of a render node. `renderer` identifies the active renderer (opaque to
// the game); `user_data` is the value the node was inserted with. Returning 0 asks the frame walk
// to drop the node after the call.
using OrvRenderCallback = int32_t (*)(void* renderer, uintptr_t user_data);

// The drawable state of a sprite, copied out and back by OrvSpriteGetInfo/OrvSpriteSetInfo.
// Games keep this record in their own memory and save data, so its layout is fixed: 372
// bytes, little-endian, no gaps. sprite_info_to_bytes/from_bytes (Orv/render/sprite_info.h)
// read and write it field by field.
struct OrvSpriteInfo {
  int32_t visible;
  uint32_t color;  // ARGB
  float x, y, z;
  int32_t offset_x, offset_y;
  int32_t width, height;
  int32_t cell_width, cell_height;
  int32_t center_x, center_y;  // stored negated, as OrvSpriteSetCenterOffset keeps them
  int32_t priority;
  float scale_x, scale_y;
  float rotation_x, rotation_y, rotation_z;
  int32_t render_mode;
  int32_t layer;
  char name[260];
  int32_t texture_width, texture_height;  // the storage behind the image
  int32_t address_mode;
  float skew_x, skew_y;
  int32_t perspective;
  float rotation_resolution;
};
static_assert(sizeof(OrvSpriteInfo) == 372, "the sprite info is a fixed 372-byte record");
static_assert(offsetof(OrvSpriteInfo, name) == 84);
static_assert(offsetof(OrvSpriteInfo, texture_width) == 344);
static_assert(offsetof(OrvSpriteInfo, rotation_resolution) == 368);

// What the 3D renderer's device can do, for the game's queries (Orv3DGetCaps).
struct Orv3DCaps {
  int32_t max_texture_width, max_texture_height;  // pixels
  int32_t pow2_required;                          // 1: texture sides must be powers of two
  int32_t reserved;                               // 0
  uint64_t texture_memory;                        // bytes still free for textures
};
static_assert(sizeof(Orv3DCaps) == 24);

// A grey-scale mask in the caller's memory for OrvSpriteMaskAlpha and OrvSpriteMaskAlpha2:
// width x height 32-bit pixels in rows of width; a pixel's mask value is its first byte (B).
struct OrvAlphaMask {
  int32_t width;
  int32_t height;
  const uint32_t* pixels;
};
