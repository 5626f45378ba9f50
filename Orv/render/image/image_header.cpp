#include "Orv/render/image/image_header.h"

#include <algorithm>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/image_buffer.h"
#include "Orv/render/image/vkx_image.h"

namespace {

uint32_t be16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] << 8 | p[1]);
}
uint32_t be32(const uint8_t* p) {
  return be16(p) << 16 | be16(p + 2);
}

// Walks the segments from the one after the start marker to the first start of frame.
// Every position must leave 11 bytes before the end of what was read.
bool jpeg_frame_size(const uint8_t* d, size_t size, int32_t* w, int32_t* h) {
  size = std::min(size, kJpegHeaderScan);
  if (size < 6) return false;
  size_t p = 4 + be16(d + 4);
  for (;;) {
    if (p + 11 > size || d[p] != 0xFF) return false;
    const uint8_t marker = d[p + 1];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      *h = static_cast<int32_t>(be16(d + p + 5));
      *w = static_cast<int32_t>(be16(d + p + 7));
      return true;
    }
    p += 2 + be16(d + p + 2);
  }
}

}  // namespace

bool image_read_header(const uint8_t* d, size_t size, ImageHeaderInfo* info) {
  *info = ImageHeaderInfo{};
  if (size < 4) return false;
  if (ge_is(d, size)) {
    GeHeader h;
    if (!ge_read_header(d, size, &h)) return false;
    info->x = static_cast<float>(h.x);
    info->y = static_cast<float>(h.y);
    info->width = h.width;
    info->height = h.height;
    info->cell_width = h.cell_width;
    info->cell_height = h.cell_height;
    return true;
  }
  if (vkx_is(d, size)) {
    VkxHeader h;
    if (!vkx_read_header(d, size, &h)) return false;
    info->vkx_base_name = h.base_name;
    return true;
  }
  if (le32(d) == 0x474E5089) {
    if (size < 33) return false;
    info->width = static_cast<int32_t>(be32(d + 16));
    info->height = static_cast<int32_t>(be32(d + 20));
  } else if (le16(d) == 0xD8FF) {
    if (!jpeg_frame_size(d, size, &info->width, &info->height)) return false;
  } else if (le16(d) == 0x4D42) {
    if (size < 14 + 40) return false;
    info->width = le32s(d + 18);
    info->height = le32s(d + 22);
  } else {
    if (size < 18) return false;
    info->width = le16(d + 12);
    info->height = le16(d + 14);
  }
  info->cell_width = info->width;
  info->cell_height = info->height;
  return true;
}
