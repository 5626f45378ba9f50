#include "save/save_stream.h"

#include <new>

#include "engine/orv_api.h"

namespace engine {

namespace {

void free_block(uint8_t** block) {
  if (*block) orv.OrvMemoryFree(*block);
  *block = nullptr;
}

}  // namespace

bool save_stream_init(SaveStream& s) {
  if (!s.lpSnapshot) {
    try {
      auto* buffer = new std::vector<uint8_t>();
      s.lpSnapshot = buffer;
      buffer->reserve(kSaveBufferBytes);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  if (!s.lpPrevData) s.lpPrevData = static_cast<uint8_t*>(orv.OrvMemoryAlloc(kPrevDataBytes, 1));
  if (!s.lpThumbPixels && s.dwThumbSize) {
    s.lpThumbPixels = static_cast<uint8_t*>(orv.OrvMemoryAlloc(s.dwThumbSize, 0));
  }
  return s.lpPrevData && (s.lpThumbPixels || !s.dwThumbSize);
}

void save_stream_free(SaveStream& s) {
  delete s.lpSnapshot;
  s.lpSnapshot = nullptr;
  free_block(&s.lpPrevData);
  free_block(&s.lpThumbPixels);
  s.dwSnapOffset = 0;
  s.dwSnapLength = 0;
  s.dwPrevRawLength = 0;
  s.dwPrevPackedLength = 0;
}

bool save_thumbnail_resize(SaveStream& s, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
  if (bytes > kThumbMaxBytes) return false;
  auto* pixels = static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(bytes), 0));
  if (!pixels) return false;
  free_block(&s.lpThumbPixels);
  s.lpThumbPixels = pixels;
  s.dwThumbWidth = static_cast<uint32_t>(width);
  s.dwThumbHeight = static_cast<uint32_t>(height);
  s.dwThumbSize = static_cast<uint32_t>(bytes);
  return true;
}

}  // namespace engine
