// Sprite info, pixel lock and the info sprites of the sprite-info cache.
#include "Orv/render/sprite_info.h"

#include <cstdio>
#include <cstring>

#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sprite_info_cache.h"
#include "orv/orv.h"

namespace {

// Copies a name of at most 259 characters and always ends it with a zero, so a long name can
// never leave the record unterminated.
void copy_name(char* dst, const char* src) {
  size_t n = strnlen(src, 259);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

template <typename T>
void put(uint8_t*& p, T value) {
  uint32_t bits;
  static_assert(sizeof(T) == 4);
  std::memcpy(&bits, &value, 4);
  for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(bits >> (8 * i));
}

template <typename T>
void get(const uint8_t*& p, T* value) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= uint32_t{*p++} << (8 * i);
  std::memcpy(value, &bits, 4);
}

// One description of the record's fields serves both directions.
template <typename Io, typename Info>
void each_field(Io io, Info& i) {
  io(i.visible), io(i.color), io(i.x), io(i.y), io(i.z), io(i.offset_x), io(i.offset_y);
  io(i.width), io(i.height), io(i.cell_width), io(i.cell_height), io(i.center_x);
  io(i.center_y), io(i.priority), io(i.scale_x), io(i.scale_y), io(i.rotation_x);
  io(i.rotation_y), io(i.rotation_z), io(i.render_mode), io(i.layer);
}

template <typename Io, typename Info>
void each_tail_field(Io io, Info& i) {
  io(i.texture_width), io(i.texture_height), io(i.address_mode), io(i.skew_x), io(i.skew_y);
  io(i.perspective), io(i.rotation_resolution);
}

}  // namespace

void sprite_info_to_bytes(const OrvSpriteInfo& info, uint8_t out[kSpriteInfoBytes]) {
  uint8_t* p = out;
  auto w = [&p](auto v) { put(p, v); };
  each_field(w, info);
  std::memcpy(p, info.name, sizeof info.name);
  p += sizeof info.name;
  each_tail_field(w, info);
}

void sprite_info_from_bytes(const uint8_t in[kSpriteInfoBytes], OrvSpriteInfo* info) {
  const uint8_t* p = in;
  auto r = [&p](auto& v) { get(p, &v); };
  each_field(r, *info);
  std::memcpy(info->name, p, sizeof info->name);
  info->name[sizeof info->name - 1] = '\0';
  p += sizeof info->name;
  each_tail_field(r, *info);
}

extern "C" {

OrvBool OrvSpriteGetInfo(OrvHandle handle, OrvSpriteInfo* info) {
  if (handle == 0xCCCCCCCCu || handle == 0xDDDDDDDDu || handle == 0xEEEEEEEEu) {
    std::fputs("error OrvSpriteGetInfo hSprite is Bad Pointer\n", stderr);
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
  return pixels;
}

void OrvSpriteUnlock(OrvHandle handle) {
  if (OrvSprite* s = sprite_from(handle)) s->busy.store(0);
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
