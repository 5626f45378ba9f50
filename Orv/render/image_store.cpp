#include "Orv/render/image_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "Orv/render/render_state.h"

namespace {

ImagePool& pool() {
  return orv_render().images;
}

int32_t next_pow2(int32_t v) {
  int32_t p = 1;
  while (p < v) p <<= 1;
  return p;
}

void free_storage(SurfaceSlot& slot) {
  if (slot.buffer) {
    std::free(slot.buffer->pixels);
    delete slot.buffer;
  }
  // The revision outlives the picture: the next image in the slot counts on from it, so that
  // a texture cached for this one (freed storage is often handed out again at the same
  // address) is seen as stale until the cache drops it.
  const uint32_t revision = slot.revision;
  slot = SurfaceSlot{};
  slot.revision = revision;
}

// Every slot free: indexes 0..n-1 in ascending order already form a valid min-heap.
void reset_free_slots(ImagePool& p) {
  p.free_slots.resize(p.slots.size());
  for (size_t i = 0; i < p.slots.size(); ++i) p.free_slots[i] = static_cast<int32_t>(i);
}

void ensure_pool(ImagePool& p) {
  if (!p.slots.empty()) return;
  p.slots.resize(256);
  reset_free_slots(p);
}

}  // namespace

void image_pool_init(int32_t slot_count) {
  image_pool_uninit();
  ImagePool& p = pool();
  std::lock_guard<std::mutex> lock(p.mutex);
  p.slots.assign(static_cast<size_t>(slot_count > 0 ? slot_count : 0), SurfaceSlot{});
  reset_free_slots(p);
  p.used = 0;
}

void image_pool_uninit() {
  ImagePool& p = pool();
  std::lock_guard<std::mutex> lock(p.mutex);
  for (SurfaceSlot& slot : p.slots) free_storage(slot);
  p.slots.clear();
  p.free_slots.clear();
  p.used = 0;
}

int32_t image_pool_used() {
  std::lock_guard<std::mutex> lock(pool().mutex);
  return pool().used;
}

int32_t image_pool_size() {
  std::lock_guard<std::mutex> lock(pool().mutex);
  ensure_pool(pool());
  return static_cast<int32_t>(pool().slots.size());
}

void image_store_set_pow2(bool on) {
  std::lock_guard<std::mutex> lock(pool().mutex);
  pool().pow2 = on;
}

bool image_store_pow2() {
  std::lock_guard<std::mutex> lock(pool().mutex);
  return pool().pow2;
}

ImageObject* image_create(int32_t width, int32_t height, const char* name) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return nullptr;
  ImagePool& p = pool();
  std::lock_guard<std::mutex> lock(p.mutex);
  ensure_pool(p);
  if (p.used >= static_cast<int32_t>(p.slots.size()) || p.free_slots.empty()) return nullptr;
  SurfaceSlot* slot = &p.slots[static_cast<size_t>(p.free_slots.front())];

  int32_t sw = p.pow2 ? next_pow2(width) : width;
  int32_t sh = p.pow2 ? next_pow2(height) : height;
  size_t bytes = static_cast<size_t>(sw) * static_cast<size_t>(sh) * 4u;
  auto* buffer = new (std::nothrow) PixelBuffer;
  auto* image = new (std::nothrow) ImageObject;
  uint32_t* pixels = static_cast<uint32_t*>(std::calloc(bytes, 1));
  if (!buffer || !image || !pixels) {
    std::free(pixels);
    delete buffer;
    delete image;
    return nullptr;
  }
  buffer->width = sw;
  buffer->height = sh;
  buffer->pixels = pixels;
  buffer->bytes = bytes;
  slot->buffer = buffer;
  slot->width = width;
  slot->height = height;
  slot->refcount = 1;
  ++slot->revision;  // a new picture in the slot: a texture cached for the old one is stale
  std::pop_heap(p.free_slots.begin(), p.free_slots.end(), std::greater<int32_t>());
  p.free_slots.pop_back();
  std::memset(slot->name, 0, sizeof slot->name);
  if (name) std::memcpy(slot->name, name, strnlen(name, sizeof slot->name));
  ++p.used;
  image->width = width;
  image->height = height;
  image->slot = slot;
  return image;
}

ImageObject* image_create_from_bgra(int32_t width, int32_t height, const uint32_t* pixels,
                                    int32_t pitch, const char* name) {
  if (!pixels || pitch < width) return nullptr;
  ImageObject* image = image_create(width, height, name);
  if (!image) return nullptr;
  int32_t dst_pitch = 0;
  uint32_t* dst = image_pixels(image, &dst_pitch, nullptr);
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(dst + static_cast<size_t>(y) * dst_pitch, pixels + static_cast<size_t>(y) * pitch,
                static_cast<size_t>(width) * 4u);
  }
  return image;
}

void image_release(ImageObject* image) {
  if (!image) return;
  ImagePool& p = pool();
  {
    std::lock_guard<std::mutex> lock(p.mutex);
    SurfaceSlot* slot = image->slot;
    bool ours =
        !p.slots.empty() && slot >= p.slots.data() && slot < p.slots.data() + p.slots.size();
    if (ours && slot->refcount > 0 && --slot->refcount == 0) {
      free_storage(*slot);
      --p.used;
      p.free_slots.push_back(static_cast<int32_t>(slot - p.slots.data()));
      std::push_heap(p.free_slots.begin(), p.free_slots.end(), std::greater<int32_t>());
    }
  }
  delete image;
}

uint32_t* image_pixels(const ImageObject* image, int32_t* pitch, int32_t* rows) {
  if (!image || !image->slot || !image->slot->buffer) return nullptr;
  if (pitch) *pitch = image->slot->buffer->width;
  if (rows) *rows = image->slot->buffer->height;
  return image->slot->buffer->pixels;
}

void image_mark_changed(ImageObject* image) {
  if (image && image->slot) ++image->slot->revision;
}

uint32_t image_revision(const ImageObject* image) {
  return image && image->slot ? image->slot->revision : 0;
}
