// Creating and releasing sprites.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "Orv/core/error_report.h"
#include "Orv/core/handle_table.h"
#include "Orv/render/float_int.h"
#include "Orv/render/fx_blend.h"
#include "Orv/render/image/sprite_pictures.h"
#include "Orv/render/image/vkx_image.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/render_state.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sprite_info_cache.h"
#include "orv/orv.h"

namespace {

// A file read whole must fit the work pool's scratch buffer.
constexpr size_t kLoadScratchBytes = 0x8000001;

OrvHandle fail(uint32_t error) {
  orv_set_last_error(error);
  return 0;
}

void track(OrvHandle id, bool alive) {
  RenderState& st = orv_render();
  std::lock_guard<std::mutex> lock(st.sprites_mutex);
  if (alive) {
    st.sprites.insert(id);
  } else {
    st.sprites.erase(id);
  }
}

}  // namespace

void sprite_release_all() {
  std::vector<OrvHandle> ids;
  {
    RenderState& st = orv_render();
    std::lock_guard<std::mutex> lock(st.sprites_mutex);
    ids.assign(st.sprites.begin(), st.sprites.end());
  }
  for (OrvHandle id : ids) OrvSpriteRelease(0, id);
}

OrvSprite* sprite_from(OrvHandle sprite) {
  return orv_handles().get_as<OrvSprite>(sprite, HandleKind::kSprite);
}

OrvSprite* sprite_new(int32_t priority) {
  void* block = OrvMemoryAlloc(sizeof(OrvSprite), 1);
  if (!block) return nullptr;
  auto* sprite = new (block) OrvSprite;
  sprite->priority = priority;
  sprite->id = orv_handles().add(HandleKind::kSprite, sprite);
  if (!sprite->id) {
    sprite->~OrvSprite();
    OrvMemoryFree(block);
    return nullptr;
  }
  track(sprite->id, true);
  return sprite;
}

void sprite_discard(OrvSprite* sprite) {
  if (!sprite) return;
  track(sprite->id, false);
  orv_handles().remove(sprite->id, HandleKind::kSprite);
  image_release(sprite->image);
  sprite->~OrvSprite();
  OrvMemoryFree(sprite);
}

bool sprite_insert(OrvSprite* sprite, OrvHandle list) {
  sprite->list = list;
  sprite->node = OrvRenderInsert(list, sprite->id, sprite_draw_callback, sprite->priority);
  if (!sprite->node) {
    sprite_discard(sprite);
    return false;
  }
  return true;
}

int32_t sprite_key(const OrvSprite* sprite) {
  return add_sat(sprite->priority, trunc_to_int(sprite->z));
}

OrvHandle sprite_create_from_bgra(OrvHandle list, int32_t width, int32_t height,
                                  const uint32_t* pixels, int32_t pitch, int32_t priority) {
  if (!render_list_from(list)) return fail(kErrorInvalidHandle);
  OrvSprite* sprite = sprite_new(priority);
  if (!sprite) return fail(kErrorInvalidHandle);
  sprite->image = image_create_from_bgra(width, height, pixels, pitch, nullptr);
  if (!sprite->image) {
    sprite_discard(sprite);
    return fail(kErrorInvalidHandle);
  }
  sprite->width = sprite->cell_width = width;
  sprite->height = sprite->cell_height = height;
  sprite->rect = OrvRect{0, 0, width, height};
  return sprite_insert(sprite, list) ? sprite->id : fail(kErrorInvalidHandle);
}

extern "C" {

OrvHandle OrvSpriteCreate(OrvHandle list, int32_t width, int32_t height, int32_t priority) {
  if (!render_list_from(list)) return fail(kErrorInvalidHandle);
  OrvSprite* sprite = sprite_new(priority);
  if (!sprite) return fail(kErrorInvalidHandle);
  sprite->image = image_create(width, height, "");
  if (!sprite->image) {
    sprite_discard(sprite);
    return fail(kErrorInvalidHandle);
  }
  sprite->width = sprite->cell_width = width;
  sprite->height = sprite->cell_height = height;
  sprite->rect = OrvRect{0, 0, width, height};
  return sprite_insert(sprite, list) ? sprite->id : fail(kErrorInvalidHandle);
}

OrvHandle OrvSpriteLoadMemory(OrvHandle list, const char* name, const void* data, uint32_t size,
                              int32_t priority) {
  if (!render_list_from(list) || !data) return fail(kErrorInvalidHandle);
  ImageDecoder decode = orv_render().decode_image;
  if (!decode) return fail(kErrorInvalidHandle);
  OrvSprite* sprite = sprite_new(priority);
  if (!sprite) return fail(kErrorInvalidHandle);
  DecodedImageInfo info;
  sprite->image = decode(name ? name : "", static_cast<const uint8_t*>(data), size, &info);
  if (!sprite->image) {
    error_report("error LoadMemory ");
    sprite_discard(sprite);
    return fail(kErrorInvalidHandle);
  }
  sprite->width = sprite->image->width;
  sprite->height = sprite->image->height;
  if (info.has_header) {
    sprite->x = static_cast<float>(info.x);
    sprite->y = static_cast<float>(info.y);
    sprite->cell_width = info.cell_width;
    sprite->cell_height = info.cell_height;
  } else {
    sprite->cell_width = sprite->width;
    sprite->cell_height = sprite->height;
  }
  sprite->rect = OrvRect{0, 0, sprite->cell_width, sprite->cell_height};
  return sprite_insert(sprite, list) ? sprite->id : fail(kErrorInvalidHandle);
}

OrvHandle OrvSpriteLoad(OrvHandle list, const char* path, int32_t priority) {
  if (!render_list_from(list) || !path) return fail(kErrorInvalidHandle);
  FileReader read = orv_render().read_file;
  if (!read) return fail(kErrorInvalidHandle);
  std::vector<uint8_t> bytes;
  int32_t got = read(path, &bytes, kLoadScratchBytes);
  if (got == -1) error_reportf(ErrorLog::kSkip, "error OrvSpriteLoad : file too large: %s", path);
  if (got != 1 || bytes.size() > kLoadScratchBytes) return fail(kErrorInvalidHandle);
  // A VKX file is a difference onto another picture, which it loads itself.
  OrvHandle id = vkx_is(bytes.data(), bytes.size())
                     ? SpriteLoadVkx(list, path, bytes.data(), bytes.size(), priority)
                     : OrvSpriteLoadMemory(list, path, bytes.data(),
                                           static_cast<uint32_t>(bytes.size()), priority);
  if (OrvSprite* s = sprite_from(id)) {
    sprite_info_cache_store(path, trunc_to_int(s->x), trunc_to_int(s->y), s->width, s->height,
                            s->cell_width, s->cell_height);
  }
  return id;
}

OrvHandle OrvSpriteCopy(OrvHandle list, OrvHandle source, const OrvRect* src_rect,
                        const OrvRect* dst_rect, int32_t priority) {
  OrvSprite* from = sprite_from(source);
  if (!render_list_from(list) || !from || !src_rect || !dst_rect) return fail(kErrorInvalidHandle);
  int32_t pitch = 0;
  const uint32_t* src_pixels = image_pixels(from->image, &pitch, nullptr);
  if (!src_pixels) return fail(kErrorInvalidHandle);
  // The source rectangle is read only where it lies inside the source image.
  int32_t l = std::max(src_rect->left, 0), t = std::max(src_rect->top, 0);
  int32_t r = std::min(src_rect->right, from->image->width);
  int32_t b = std::min(src_rect->bottom, from->image->height);
  int64_t dw = int64_t{dst_rect->right} - dst_rect->left;
  int64_t dh = int64_t{dst_rect->bottom} - dst_rect->top;
  if (r <= l || b <= t || dw < 1 || dh < 1 || dw > kMaxImageSide || dh > kMaxImageSide) {
    return fail(kErrorInvalidHandle);
  }
  int32_t sw = r - l, sh = b - t;
  float rx = static_cast<float>(dw) / static_cast<float>(sw);
  float ry = static_cast<float>(dh) / static_cast<float>(sh);

  OrvSprite* sprite = sprite_new(priority);
  if (!sprite) return fail(kErrorInvalidHandle);
  sprite->x = from->x;
  sprite->y = from->y;
  sprite->z = from->z;
  sprite->rotation_resolution = from->rotation_resolution;
  sprite->width = static_cast<int32_t>(dw);
  sprite->height = static_cast<int32_t>(dh);
  sprite->cell_width = trunc_to_int(static_cast<float>(from->cell_width) * rx);
  sprite->cell_height = trunc_to_int(static_cast<float>(from->cell_height) * ry);
  sprite->rect = OrvRect{0, 0, sprite->cell_width, sprite->cell_height};
  sprite->image = image_create(sprite->width, sprite->height, "");
  if (!sprite->image) {
    sprite_discard(sprite);
    return fail(kErrorInvalidHandle);
  }
  std::vector<uint32_t> copy(static_cast<size_t>(sw) * sh);
  for (int32_t y = 0; y < sh; ++y) {
    std::memcpy(&copy[static_cast<size_t>(y) * sw], src_pixels + int64_t{t + y} * pitch + l,
                static_cast<size_t>(sw) * 4u);
  }
  int32_t dst_pitch = 0, dst_rows = 0;
  uint32_t* dst = image_pixels(sprite->image, &dst_pitch, &dst_rows);
  if (rx == 1.0f && ry == 1.0f) {
    for (int32_t y = 0; y < sh; ++y) {
      std::memcpy(dst + int64_t{y} * dst_pitch, &copy[static_cast<size_t>(y) * sw],
                  static_cast<size_t>(sw) * 4u);
    }
  } else {
    scale_bilinear32(dst, dst_pitch, dst_rows, copy.data(), sw, sh, rx, ry);
  }
  return sprite_insert(sprite, list) ? sprite->id : fail(kErrorInvalidHandle);
}

OrvBool OrvSpriteRelease(OrvHandle list, OrvHandle handle) {
  (void)list;  // the sprite's own list is used; a sprite lives in exactly one
  std::lock_guard<std::recursive_mutex> guard(orv_render().list_lock);
  OrvSprite* sprite = sprite_from(handle);
  if (!sprite) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  orv_handles().remove(handle, HandleKind::kSprite);
  track(handle, false);
  if (sprite->movie && orv_render().release_movie) {
    orv_render().release_movie(sprite->movie);
  }
  sprite->movie = nullptr;
  if (RenderList* owner = render_list_from(sprite->list)) render_node_remove(owner, sprite->id);
  fx_record_free(sprite->fx);
  sprite->fx = nullptr;
  if (sprite->backup) OrvMemoryFree(sprite->backup);
  sprite->backup = nullptr;
  image_release(sprite->image);
  sprite->image = nullptr;
  sprite->~OrvSprite();
  OrvMemoryFree(sprite);
  return 1;
}

OrvBool OrvSpriteReleaseArray(OrvHandle list, OrvHandle* sprites, int32_t count) {
  if (!sprites) return 1;
  OrvBool any_failed = 0;
  for (int32_t i = count - 1; i >= 0; --i) {
    if (!sprites[i]) continue;
    if (!OrvSpriteRelease(list, sprites[i])) any_failed = 1;
    sprites[i] = 0;
  }
  return any_failed;
}

}  // extern "C"
