// Sprite info, pixel lock and the info sprites of the sprite-info cache.
#include "Orv/render/sprite_info.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "Orv/core/error_report.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sprite_info_cache.h"
#include "orv/orv.h"
#include "shared/byte_codec.h"

namespace {

// Copies a name of at most 259 characters and always ends it with a zero, so a long name can
// never leave the record unterminated.
void copy_name(char* dst, const char* src) {
  size_t n = strnlen(src, 259);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

// The record's one field list, for both directions.
template <class IO>
constexpr void sync(IO& io, OrvSpriteInfo& i) {
  io.i32(i.visible);
  io.u32(i.color);
  io.f32(i.x);
  io.f32(i.y);
  io.f32(i.z);
  io.i32(i.offset_x);
  io.i32(i.offset_y);
  io.i32(i.width);
  io.i32(i.height);
  io.i32(i.cell_width);
  io.i32(i.cell_height);
  io.i32(i.center_x);
  io.i32(i.center_y);
  io.i32(i.priority);
  io.f32(i.scale_x);
  io.f32(i.scale_y);
  io.f32(i.rotation_x);
  io.f32(i.rotation_y);
  io.f32(i.rotation_z);
  io.i32(i.render_mode);
  io.i32(i.layer);
  io.bytes(i.name);
  io.i32(i.texture_width);
  io.i32(i.texture_height);
  io.i32(i.address_mode);
  io.f32(i.skew_x);
  io.f32(i.skew_y);
  io.i32(i.perspective);
  io.f32(i.rotation_resolution);
}
static_assert(codec::stored_size<OrvSpriteInfo>([](auto& io, auto& r) { sync(io, r); }) ==
              kSpriteInfoBytes);

}  // namespace

void sprite_info_to_bytes(const OrvSpriteInfo& info, uint8_t out[kSpriteInfoBytes]) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kSpriteInfoBytes);
  codec::ByteWriter w(&bytes);
  sync(w, const_cast<OrvSpriteInfo&>(info));  // a writer only reads the fields
  std::memcpy(out, bytes.data(), kSpriteInfoBytes);
}

void sprite_info_from_bytes(const uint8_t in[kSpriteInfoBytes], OrvSpriteInfo* info) {
  codec::ByteReader r(in, kSpriteInfoBytes);
  sync(r, *info);
  info->name[sizeof info->name - 1] = '\0';
}

extern "C" {

OrvBool OrvSpriteGetInfo(OrvHandle handle, OrvSpriteInfo* info) {
  if (handle == 0xCCCCCCCCu || handle == 0xDDDDDDDDu || handle == 0xEEEEEEEEu) {
    error_report("error OrvSpriteGetInfo hSprite is Bad Pointer");
    return 0;
  }
  OrvSprite* s = sprite_from(handle);
  if (!s || !info) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  info->visible = s->visible;
  info->color = s->color;
  info->x = s->x;
  info->y = s->y;
  info->z = s->z;
  info->offset_x = s->offset_x;
  info->offset_y = s->offset_y;
  info->width = s->width;
  info->height = s->height;
  info->cell_width = s->cell_width;
  info->cell_height = s->cell_height;
  info->center_x = s->center_x;
  info->center_y = s->center_y;
  info->priority = s->priority;
  info->scale_x = s->scale_x;
  info->scale_y = s->scale_y;
  info->rotation_x = s->rotation_x;
  info->rotation_y = s->rotation_y;
  info->rotation_z = s->rotation_z;
  info->render_mode = s->render_mode;
  info->layer = s->layer;
  copy_name(info->name, s->name);
  int32_t pitch = 0, rows = 0;
  if (image_pixels(s->image, &pitch, &rows)) {
    info->texture_width = pitch;
    info->texture_height = rows;
  }
  info->address_mode = s->address_mode;
  info->skew_x = s->skew_x;
  info->skew_y = s->skew_y;
  info->perspective = s->perspective;
  info->rotation_resolution = s->rotation_resolution;
  return 1;
}

OrvBool OrvSpriteSetInfo(OrvHandle handle, const OrvSpriteInfo* info) {
  OrvSprite* s = sprite_from(handle);
  if (!s || !info) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  s->visible = info->visible;
  s->color = info->color;
  s->x = info->x;
  s->y = info->y;
  s->z = info->z;
  s->offset_x = info->offset_x;
  s->offset_y = info->offset_y;
  s->width = info->width;
  s->height = info->height;
  s->cell_width = info->cell_width;
  s->cell_height = info->cell_height;
  s->center_x = info->center_x;
  s->center_y = info->center_y;
  s->priority = info->priority;
  s->scale_x = info->scale_x;
  s->scale_y = info->scale_y;
  s->rotation_x = info->rotation_x;
  s->rotation_y = info->rotation_y;
  s->rotation_z = info->rotation_z;
  s->render_mode = info->render_mode;
  s->layer = info->layer;
  char name[260];
  std::memcpy(name, info->name, sizeof name);
  name[259] = '\0';
  copy_name(s->name, name);
  s->address_mode = info->address_mode;
  s->skew_x = info->skew_x;
  s->skew_y = info->skew_y;
  s->perspective = info->perspective;
  s->rotation_resolution = info->rotation_resolution;
  return 1;
}

uint32_t* OrvSpriteLock(OrvHandle handle, int32_t* width, int32_t* height) {
  OrvSprite* s = sprite_from(handle);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return nullptr;
  }
  s->busy.store(1);
  int32_t pitch = 0, rows = 0;
  uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  if (!pixels) {
    orv_set_last_error(kErrorInvalidHandle);
    s->busy.store(0);
    return nullptr;
  }
  if (width) *width = pitch;
  if (height) *height = rows;
  // The caller may write through the pointer: a renderer's texture of the image is stale.
  image_mark_changed(s->image);
  return pixels;
}

void OrvSpriteUnlock(OrvHandle handle) {
  OrvSprite* s = sprite_from(handle);
  if (!s) return;
  // Writes made while locked reach a renderer's texture at its next draw.
  if (s->image) image_mark_changed(s->image);
  s->busy.store(0);
}

OrvBool OrvSpritePaint(OrvHandle handle, const OrvRect* rect, uint32_t argb) {
  OrvSprite* s = sprite_from(handle);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  int32_t pitch = 0, rows = 0;
  uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  if (!pixels) return 1;
  OrvRect r = rect ? *rect : OrvRect{0, 0, pitch, rows};
  int32_t w = rect ? s->image->width : pitch, h = rect ? s->image->height : rows;
  int32_t l = r.left < 0 ? 0 : r.left, t = r.top < 0 ? 0 : r.top;
  int32_t rr = r.right > w ? w : r.right, b = r.bottom > h ? h : r.bottom;
  for (int32_t y = t; y < b; ++y) {
    for (int32_t x = l; x < rr; ++x) pixels[int64_t{y} * pitch + x] = argb;
  }
  image_mark_changed(s->image);
  return 1;
}

int32_t OrvSpriteIsUseSpriteInfoCache(void) {
  return 1;
}

OrvHandle OrvSpriteInfoCreateFromCache(const char* name, int32_t unused1, int32_t unused2,
                                       int32_t priority) {
  (void)unused1;
  (void)unused2;
  if (!name) return 0;
  SpriteInfoCacheEntry entry;
  if (!sprite_info_cache_lookup(name, &entry)) return 0;
  OrvSprite* s = sprite_new(priority);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  copy_name(s->name, name);
  s->x = entry.x;
  s->y = entry.y;
  s->width = entry.width;
  s->height = entry.height;
  s->rect = OrvRect{0, 0, entry.width, entry.height};
  s->cell_width = entry.cell_width;
  s->cell_height = entry.cell_height;
  return s->id;
}

}  // extern "C"
