#include "save/save_head.h"

#include <cstring>

#include "save/save_fixed.h"
#include "save/save_stream.h"
#include "shared/byte_codec.h"

namespace save {

bool save_head_read(const uint8_t* data, size_t size, SaveHead* head) {
  codec::ByteReader in(data, size);
  head->dwLock = in.u32();
  head->dwTitle = in.u32();
  const auto text = in.take(kHeadTextBytes);
  in.seek(kHeadThumbWidth);
  const uint32_t width = in.u32(), height = in.u32(), bytes = in.u32();
  in.u32();
  if (in.failed()) return false;
  if (static_cast<uint64_t>(width) * height * 4 != bytes || bytes > engine::kThumbMaxBytes) {
    return false;
  }
  const auto pixels = in.take(bytes);
  if (in.failed()) return false;
  const void* end = std::memchr(text.data(), 0, text.size());
  head->text.assign(reinterpret_cast<const char*>(text.data()),
                    end ? static_cast<const uint8_t*>(end) - text.data() : text.size() - 1);
  head->dwThumbWidth = width;
  head->dwThumbHeight = height;
  head->lpThumbPixels = pixels.data();
  return true;
}

bool save_head_user_word(const uint8_t* data, size_t size, int32_t index, uint32_t* word) {
  if (index < 0 || index >= 1024) return false;
  codec::ByteReader in(data, size);
  in.seek(kHeadThumbSize);
  const uint32_t bytes = in.u32();
  if (in.failed() || bytes > engine::kThumbMaxBytes) return false;
  in.seek(size_t{kHeadThumbPixels} + bytes + size_t{4} * static_cast<uint32_t>(index));
  *word = in.u32();
  return in.ok();
}

}  // namespace save
