// Sprites: one image, its place, size, colour, transform and blend mode, and one render node.
//
// A sprite handle is a 32-bit id (HandleKind::kSprite); the record stays inside the library.
// The game copies the drawable state out and back through OrvSpriteInfo and reaches the pixels
// through OrvSpriteLock/OrvSpriteUnlock. Sprites are created, changed and released under the
// render lock; the frame draw reads them under the same lock. A released handle is dead at
// once: every export, and every cross-fade that named it, then finds nothing.
//
// Exports (sprite_create.cpp, sprite_setters.cpp, sprite_info.cpp, sprite_draw.cpp). Handles
// that are null, released or of another kind fail: last error 6 and 0 (creators return 0).
// - OrvSpriteCreate(list, w, h, priority): a hidden sprite with a zeroed w x h image (sides
//   1..16384); 0 when the image pool (256 slots by default) is full.
// - OrvSpriteLoadMemory(list, name, data, size, priority): the picture decoded by the image
//   decoder (RenderState::decode_image); a picture with its own header (GE) takes its position
//   and cell size from it. OrvSpriteLoad(list, path, priority): reads the file through
//   RenderState::read_file (at most 128 MiB + 1 byte; larger files fail) and records the
//   sprite in the sprite-info cache.
// - OrvSpriteCopy(list, source, src_rect, dst_rect, priority): the source rectangle, clipped to
//   the source image, resized bilinearly to the destination rectangle's size.
// - Setters and getters: position (the node moves to priority + trunc(z)), offset, priority
//   (the node moves to the priority alone), scale, rotation, colour, visibility, rectangle,
//   cell size and cell (OrvSpriteRectSetPos, never left of 0 or above 0), centre offset
//   (stored negated), render mode, layer, aspect correction.
// - OrvSpriteGetInfo / OrvSpriteSetInfo: the 372-byte OrvSpriteInfo; names are cut to 259
//   characters and always terminated; SetInfo does not move the node.
// - OrvSpriteLock(sprite, &w, &h): pixels with the storage size (rows w pixels apart); sets the
//   busy flag, which the draw waits on until OrvSpriteUnlock.
// - OrvSpriteHit / OrvSpriteGetForeground: hit tests on the source rectangle (scale and
//   rotation not considered), optionally on the pixel's alpha; the front-most hit sprite of the
//   active list by priority, later nodes winning ties.
// - OrvSpriteRelease / OrvSpriteReleaseArray: release under the render-list lock; the array is
//   released from its last entry down, entries set to 0; 1 when any release failed.
// - OrvSpriteIsUseSpriteInfoCache: 1. OrvSpriteInfoCreateFromCache(name, -, -, priority): an
//   image-less info sprite from the cache, 0 when the name is not cached.
#pragma once

#include <atomic>
#include <cstdint>

#include "Orv/render/render_list.h"
#include "orv/types.h"

struct ImageObject;
struct FxRecord;

struct OrvSprite {
  ImageObject* image = nullptr;  // null for an info sprite
  // Option backup kept by the image option filter.
  uint32_t* backup = nullptr;
  uint32_t backup_bytes = 0;
  int32_t backup_w = 0, backup_h = 0;
  void* movie = nullptr;         // movie record of a movie sprite
  int32_t transition_mark = 0;   // kind of the cross-fade drawing this sprite, 0 when none
  FxRecord* fx = nullptr;        // effect blend, made on first use
  OrvHandle node = 0;            // its render node; 0 for an info sprite
  std::atomic<int32_t> busy{0};  // set while the pixels are locked
  int32_t visible = 0;
  OrvRect rect{};
  uint32_t color = 0xFFFFFFFFu;
  float x = 0, y = 0, z = 0;
  int32_t offset_x = 0, offset_y = 0;
  int32_t width = 0, height = 0;
  int32_t cell_width = 0, cell_height = 0;
  int32_t center_x = 0, center_y = 0;  // negated pivot
  int32_t priority = 0;
  float scale_x = 1.0f, scale_y = 1.0f;
  float rotation_x = 0, rotation_y = 0, rotation_z = 0;
  int32_t render_mode = 1;
  int32_t option = 0;
  int32_t address_mode = 0;
  float skew_x = 0, skew_y = 0;
  int32_t perspective = 0;
  float rotation_resolution = 512.0f;
  int32_t layer = 0;
  char name[260] = {};
  OrvHandle id = 0;
  OrvHandle list = 0;
};

// The sprite behind a handle, or null (a null, stale or foreign id).
OrvSprite* sprite_from(OrvHandle sprite);

// A new sprite record with the creation defaults (hidden, colour 0xFFFFFFFF, scale 1, render
// mode 1, rotation resolution 512) and its handle; not yet in any list. Null when out of memory.
OrvSprite* sprite_new(int32_t priority);
// Frees a record that never got a node (creation failed half way), with its image.
void sprite_discard(OrvSprite* sprite);
// Gives the sprite its node at key = priority in list; false (and the sprite discarded) when
// the node cannot be made.
bool sprite_insert(OrvSprite* sprite, OrvHandle list);

// Releases every sprite still alive (the game's leftovers at shutdown). Call under the render
// lock or with no other thread drawing.
void sprite_release_all();

// Creates a hidden sprite holding a copy of a BGRA picture (`pitch` pixels a row) at
// `priority` in list: width, height and cell size are the picture's, the rectangle the whole
// picture. Null (last error 6) for a bad list or size, a full image pool or no memory. This is
// what the image decoders and the movie player use to put pictures into new sprites.
OrvHandle sprite_create_from_bgra(OrvHandle list, int32_t width, int32_t height,
                                  const uint32_t* pixels, int32_t pitch, int32_t priority);

// The draw callback of every sprite node; user data is the sprite id.
int32_t sprite_draw_callback(void* renderer, uintptr_t sprite_id);

// Builds the software draw request of a sprite as its own node would draw it (no effect).
struct DrawRequest;
void sprite_draw_request(const OrvSprite* sprite, DrawRequest* request);

// The key the sprite's node should have after a position change: priority + trunc(z).
int32_t sprite_key(const OrvSprite* sprite);

// Hidden text tag of the text creators: "<bkcolor=AARRGGBB size=N>text". Returns the text
// after the tag (the whole text when there is none); *background and *size are set only
// when the tag names them. Null when the text is null.
const char* sprite_text_tag(const char* text, uint32_t* background, int32_t* size);
