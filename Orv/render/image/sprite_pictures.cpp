#include "Orv/render/image/sprite_pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Orv/core/error_report.h"
#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/image_header.h"
#include "Orv/render/image/image_load.h"
#include "Orv/render/image/image_save.h"
#include "Orv/render/image/vkx_image.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sprite_info_cache.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "platform/whole_file.h"

namespace {

// Whole files a loader reads must fit the work pool's scratch buffer.
constexpr size_t kLoadLimit = 0x8000001;

bool read_game_file(const char* path, std::vector<uint8_t>* out) {
  FileReader read = orv_render().read_file;
  return read && path && read(path, out, kLoadLimit) == 1;
}

OrvSprite* live_sprite(OrvHandle handle) {
  OrvSprite* s = sprite_from(handle);
  if (!s) orv_set_last_error(kErrorInvalidHandle);
  return s;
}

int save(OrvHandle handle, const char* path,
         int (*writer)(const char*, const uint32_t*, int32_t, int32_t, int32_t)) {
  OrvSprite* s = live_sprite(handle);
  if (!s) return 0;
  int32_t pitch = 0, rows = 0;
  const uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  if (!pixels) return 0;
  const int result = writer(path, pixels, s->image->width, s->image->height, pitch);
  if (!result)
    error_reportf(ErrorLog::kSkip, "%s: the picture could not be written", path ? path : "");
  return result;
}

// The first bytes of a file, as many as the longest header needs: a skipping game makes these
// records for many pictures, which must not be read whole.
bool read_game_file_head(const char* path, std::vector<uint8_t>* out) {
  FileReader read = orv_render().read_file_head;
  return read && path && read(path, out, kJpegHeaderScan) == 1;
}

// Reads a header from a file's first bytes; a VKX file is measured by the base picture it
// names.
bool header_of_file(const char* path, ImageHeaderInfo* info) {
  std::vector<uint8_t> bytes;
  if (!read_game_file_head(path, &bytes)) return false;
  if (!image_read_header(bytes.data(), bytes.size(), info)) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8)
      error_reportf(ErrorLog::kSkip, "JPEG header analyze fail: %s", path);
    else
      error_reportf(ErrorLog::kSkip, "%s: the picture header is truncated", path);
    return false;
  }
  if (info->vkx_base_name.empty()) return true;
  const std::string base = info->vkx_base_name;
  ImageHeaderInfo base_info;
  if (!read_game_file_head(base.c_str(), &bytes) ||
      !image_read_header(bytes.data(), bytes.size(), &base_info) ||
      !base_info.vkx_base_name.empty())
    return false;
  *info = base_info;
  return true;
}

}  // namespace

int32_t game_file_read(const char* path, std::vector<uint8_t>* out, size_t limit) {
  out->clear();
  FileRange range{};
  const OrvFileHandle file = path ? OrvFileCreate(path, &range) : kOrvInvalidFile;
  if (file == kOrvInvalidFile) return 0;
  int32_t result = 1;
  if (range.size > limit) {
    result = -1;
  } else {
    out->resize(range.size);
    if (range.size && !platform::file_read_at(file, out->data(), range.size, range.offset)) {
      out->clear();
      result = 0;
    }
  }
  platform::file_close(file);
  return result;
}

int32_t game_file_read_head(const char* path, std::vector<uint8_t>* out, size_t limit) {
  out->clear();
  FileRange range{};
  const OrvFileHandle file = path ? OrvFileCreate(path, &range) : kOrvInvalidFile;
  if (file == kOrvInvalidFile) return 0;
  const size_t size = static_cast<size_t>(std::min<uint64_t>(range.size, limit));
  out->resize(size);
  int32_t result = 1;
  if (size &&
      !platform::file_read_at(file, out->data(), static_cast<uint32_t>(size), range.offset)) {
    out->clear();
    result = 0;
  }
  platform::file_close(file);
  return result;
}

ImageObject* decode_image_object(const char* name, const uint8_t* data, size_t size,
                                 DecodedImageInfo* info) {
  // BMP and TGA: the GPU renderer reads every form their headers describe (RLE, colour maps,
  // 16-bit, top-down); the software renderer keeps its own narrower decoder.
  const Renderer* renderer = render_renderer();
  const bool gpu = renderer && renderer->caps && renderer->caps().max_texture_side > 0;
  ImageBuffer picture;
  std::string error;
  if (!image_decode(data, size, gpu ? BmpTgaMode::kFollowHeaders : BmpTgaMode::kDib, &picture,
                    &error)) {
    error_reportf(ErrorLog::kSkip, "%s: %s", name && *name ? name : "(memory image)",
                  error.c_str());
    return nullptr;
  }
  GeHeader header;
  if (info && ge_is(data, size) && ge_read_header(data, size, &header)) {
    info->has_header = true;
    info->x = header.x;
    info->y = header.y;
    info->cell_width = header.cell_width;
    info->cell_height = header.cell_height;
  }
  return image_create_from_bgra(picture.width, picture.height, picture.pixels.data(), picture.width,
                                name);
}

OrvHandle SpriteLoadVkx(OrvHandle list, const char* name, const uint8_t* data, size_t size,
                        int32_t priority) {
  VkxHeader header;
  if (!vkx_read_header(data, size, &header)) return 0;
  std::vector<uint8_t> base;
  if (!read_game_file(header.base_name, &base)) return 0;
  const OrvHandle id =
      OrvSpriteLoadMemory(list, "", base.data(), static_cast<uint32_t>(base.size()), priority);
  OrvSprite* s = sprite_from(id);
  if (!s) return 0;
  s->busy.store(1);
  int32_t pitch = 0, rows = 0;
  uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  std::string error = "the base picture has no pixels";
  const bool ok = pixels && vkx_apply_pixels(data, size, pixels, s->image->width, s->image->height,
                                             pitch, &error);
  s->busy.store(0);
  if (!ok) {
    error_reportf(ErrorLog::kSkip, "%s: %s", name ? name : "", error.c_str());
    OrvSpriteRelease(list, id);
    return 0;
  }
  return id;
}

extern "C" {

OrvHandle OrvSpriteInfoCreate(const char* path, int32_t width, int32_t height, int32_t priority) {
  ImageHeaderInfo info;
  if (path && !header_of_file(path, &info)) return 0;
  OrvSprite* s = sprite_new(priority);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (path) {
    std::strncpy(s->name, path, sizeof s->name - 1);
    s->name[sizeof s->name - 1] = '\0';
    s->x = info.x;
    s->y = info.y;
    s->width = info.width;
    s->height = info.height;
    s->cell_width = info.cell_width;
    s->cell_height = info.cell_height;
    sprite_info_cache_store(path, static_cast<int32_t>(info.x), static_cast<int32_t>(info.y),
                            info.width, info.height, info.cell_width, info.cell_height);
  } else {
    s->name[0] = '\0';
    s->width = s->cell_width = width;
    s->height = s->cell_height = height;
  }
  s->rect = OrvRect{0, 0, s->cell_width, s->cell_height};
  return s->id;
}

OrvBool OrvSpriteLoadTextureToFile(OrvHandle sprite, const char* path) {
  OrvSprite* s = live_sprite(sprite);
  if (!s || !path) return 0;
  std::vector<uint8_t> bytes;
  if (!platform::load_file_bytes(path, &bytes, kLoadLimit)) return 0;
  ImageBuffer picture;
  std::string error;
  if (!image_decode(bytes.data(), bytes.size(), BmpTgaMode::kFollowHeaders, &picture, &error)) {
    error_reportf(ErrorLog::kSkip, "%s: %s", path, error.c_str());
    return 0;
  }
  ImageObject* image = image_create_from_bgra(picture.width, picture.height, picture.pixels.data(),
                                              picture.width, path);
  if (!image) return 0;
  s->busy.store(1);
  image_release(s->image);
  s->image = image;
  s->busy.store(0);
  return 1;
}

OrvBool OrvSpriteSaveTextureToFile(OrvHandle sprite, const char* path) {
  return save(sprite, path, image_save_jpeg);
}

OrvBool OrvSpriteSaveTextureToPngFile(OrvHandle sprite, const char* path) {
  return save(sprite, path, image_save_png);
}

OrvBool OrvSpriteSaveTextureToPng24File(OrvHandle sprite, const char* path) {
  return save(sprite, path, image_save_png24);
}

}  // extern "C"
