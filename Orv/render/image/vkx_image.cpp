#include "Orv/render/image/vkx_image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/ge_lz.h"
#include "Orv/render/image/row_filter.h"

bool vkx_is(const uint8_t* data, size_t size) {
  return size >= 4 && (std::memcmp(data, "VKX2", 4) == 0 || std::memcmp(data, "VKX3", 4) == 0);
}

bool vkx_read_header(const uint8_t* data, size_t size, VkxHeader* h) {
  if (size < kVkxHeaderSize || !vkx_is(data, size)) return false;
  h->x = le16(data + 4);
  h->y = le16(data + 6);
  h->width = le16(data + 8);
  h->height = le16(data + 10);
  h->bytes_per_pixel = le16(data + 12) == 24 ? 3 : 4;
  const uint8_t* name = data + 14;
  size_t n = 0;
  while (n < kVkxBaseNameSize && name[n]) ++n;
  std::memcpy(h->base_name, name, n);
  h->base_name[n] = 0;
  h->unpacked = size >= kVkxPayloadOffset ? le32(data + 48) : 0;
  return true;
}

bool vkx_apply(const uint8_t* data, size_t size, ImageBuffer* base, std::string* error) {
  return vkx_apply_pixels(data, size, base->pixels.data(), base->width, base->height, base->width,
                          error);
}

bool vkx_apply_pixels(const uint8_t* data, size_t size, uint32_t* pixels, int32_t width,
                      int32_t height, int32_t pitch, std::string* error) {
  VkxHeader h;
  if (size < kVkxPayloadOffset || !vkx_read_header(data, size, &h)) {
    if (error) *error = "VKX header is truncated";
    return false;
  }
  const int32_t w = h.width, rows = h.height, bpp = h.bytes_per_pixel;
  const uint64_t need = static_cast<uint64_t>(rows) + static_cast<uint64_t>(w) * rows * bpp;
  if (h.unpacked > kGeScratchSize || need > h.unpacked) {
    if (error) *error = "VKX unpacked size does not match its rectangle";
    return false;
  }
  if (h.unpacked > GeLzMostUnpacked(size - kVkxPayloadOffset)) {
    if (error) *error = "VKX packed stream is too short for its unpacked size";
    return false;
  }
  // Not zeroed: a stream that succeeds has written every byte.
  std::unique_ptr<uint8_t[]> packed(new uint8_t[h.unpacked ? h.unpacked : 1]);
  if (!GeLzDecode(packed.get(), h.unpacked, data + kVkxPayloadOffset, size - kVkxPayloadOffset)) {
    if (error) *error = "VKX packed stream is corrupt";
    return false;
  }
  const uint8_t* filters = packed.get();
  const uint8_t* stored = filters + rows;
  // Only the part of the rectangle that lies on the base changes; the rest is dropped.
  const int32_t cols = std::clamp(width - static_cast<int32_t>(h.x), 0, w);
  const int32_t lines = std::clamp(height - static_cast<int32_t>(h.y), 0, rows);
  if (bpp == 3) {
    std::vector<uint8_t> diff(static_cast<size_t>(w) * rows * 3);
    VkxRowFilterDecode24(diff.data(), filters, stored, w, rows);
    for (int32_t j = 0; j < lines; ++j) {
      uint32_t* out = pixels + static_cast<size_t>(h.y + j) * pitch + h.x;
      const uint8_t* d = diff.data() + static_cast<size_t>(j) * w * 3;
      for (int32_t i = 0; i < cols; ++i, d += 3)
        out[i] ^= static_cast<uint32_t>(d[2]) << 16 | static_cast<uint32_t>(d[1]) << 8 | d[0];
    }
  } else {
    std::vector<uint32_t> diff(static_cast<size_t>(w) * rows);
    GeRowFilterDecode32(diff.data(), filters, stored, w, rows, w);
    for (int32_t j = 0; j < lines; ++j) {
      uint32_t* out = pixels + static_cast<size_t>(h.y + j) * pitch + h.x;
      const uint32_t* d = diff.data() + static_cast<size_t>(j) * w;
      for (int32_t i = 0; i < cols; ++i) out[i] ^= d[i];
    }
  }
  return true;
}
