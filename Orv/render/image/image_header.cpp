#include "Orv/render/image/image_header.h"

#include <algorithm>

#include "Orv/render/image/ge_image.h"
#include "Orv/render/image/image_buffer.h"
#include "Orv/render/image/vkx_image.h"
#include "shared/byte_codec.h"

namespace {

constexpr uint32_t kPngMagic = 0x474E5089;  // "\x89PNG" read little-endian
constexpr uint16_t kJpegMagic = 0xD8FF;
constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"

// Walks the segments from the one after the start marker to the first start of frame.
// Every position must leave 11 bytes before the end of what was read.
bool jpeg_frame_size(const uint8_t* d, size_t size, int32_t* w, int32_t* h) {
  codec::ByteReader r(d, std::min(size, kJpegHeaderScan));
  r.seek(4);
  size_t p = 4 + size_t{r.u16be()};
  if (r.failed()) return false;
  for (;;) {
    if (p + 11 > r.size()) return false;
    r.seek(p);
    if (r.u8() != 0xFF) return false;
    const uint8_t marker = r.u8();
    const uint16_t length = r.u16be();
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      r.skip(1);  // sample precision
      *h = r.u16be();
      *w = r.u16be();
      return true;
    }
    p += 2 + size_t{length};
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
  codec::ByteReader r(d, size);
  const uint32_t magic = r.u32();
  if (magic == kPngMagic) {
    if (size < 33) return false;
    r.seek(16);
    info->width = static_cast<int32_t>(r.u32be());
    info->height = static_cast<int32_t>(r.u32be());
  } else if ((magic & 0xFFFF) == kJpegMagic) {
    if (!jpeg_frame_size(d, size, &info->width, &info->height)) return false;
  } else if ((magic & 0xFFFF) == kBmpMagic) {
    if (size < 14 + 40) return false;
    r.seek(18);
    info->width = r.i32();
    info->height = r.i32();
  } else {
    if (size < 18) return false;
    r.seek(12);
    info->width = r.u16();
    info->height = r.u16();
  }
  info->cell_width = info->width;
  info->cell_height = info->height;
  return true;
}
