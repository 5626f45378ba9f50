#include "Orv/render/image/vkx_image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/ge_lz.h"
#include "Orv/render/image/row_filter.h"
#include "shared/byte_codec.h"

bool vkx_is(const uint8_t* data, size_t size) {
  return size >= 4 && (std::memcmp(data, "VKX2", 4) == 0 || std::memcmp(data, "VKX3", 4) == 0);
}

bool vkx_read_header(const uint8_t* data, size_t size, VkxHeader* h) {
  if (size < kVkxHeaderSize || !vkx_is(data, size)) return false;
  codec::ByteReader r(data, size);
  r.skip(4);  // the magic
  h->x = r.u16();
  h->y = r.u16();
  h->width = r.u16();
  h->height = r.u16();
  h->bytes_per_pixel = r.u16() == 24 ? 3 : 4;
  r.bytes(h->base_name, kVkxBaseNameSize);
  h->base_name[strnlen(h->base_name, kVkxBaseNameSize)] = 0;
  h->unpacked = r.u32();  // 0 when the header stops before it
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
