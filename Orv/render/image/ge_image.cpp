#include "Orv/render/image/ge_image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "Orv/render/image/ge_lz.h"
#include "Orv/render/image/row_filter.h"
#include "shared/byte_codec.h"

namespace {

constexpr uint16_t kGeMagic = 0x4547;  // "GE"

uint8_t clamp_byte(int v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

bool fail(std::string* error, ImageBuffer* out, const char* why) {
  if (error) *error = why;
  out->reset(0, 0);
  return false;
}

// Type 3: inner header {not read, bits per pixel, width, height} (u16 each), a filter byte per
// row, then the filtered rows. The inner size may not exceed the header's picture.
bool decode_rows(const uint8_t* data, uint32_t size, ImageBuffer* out, std::string* error) {
  codec::ByteReader r(data, size);
  r.skip(2);
  const int bpp = r.u16() == 24 ? 3 : 4;
  const int32_t w = r.u16();
  const int32_t h = r.u16();
  if (r.failed()) return fail(error, out, "GE row-filter data is shorter than its header");
  if (w > out->width || h > out->height)
    return fail(error, out, "GE row-filter size exceeds the picture size");
  const uint64_t need = 8 + static_cast<uint64_t>(h) + static_cast<uint64_t>(w) * h * bpp;
  if (need > size) return fail(error, out, "GE row-filter data is shorter than its rows");
  const uint8_t* filters = data + 8;
  const uint8_t* pixels = filters + h;
  if (bpp == 3)
    GeRowFilterDecode24(out->pixels.data(), filters, pixels, w, h, out->width);
  else
    GeRowFilterDecode32(out->pixels.data(), filters, pixels, w, h, out->width);
  return true;
}

}  // namespace

bool ge_is(const uint8_t* data, size_t size) {
  return codec::ByteReader(data, size).u16() == kGeMagic;
}

bool ge_read_header(const uint8_t* data, size_t size, GeHeader* header) {
  codec::ByteReader r(data, size);
  GeHeader h;
  const bool magic = r.u16() == kGeMagic;
  h.data_offset = r.u16();
  h.x = r.i32();
  h.y = r.i32();
  h.width = r.i32();
  h.height = r.i32();
  h.cell_width = r.i32();
  h.cell_height = r.i32();
  if (!magic || r.failed()) return false;
  h.type = r.u16();  // 0 when the header stops before it
  *header = h;
  return true;
}

uint64_t ge_ycc_size(int32_t width, int32_t height) {
  const uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  return n / 4 * 2 + n;
}

void GePlanesToArgb(uint32_t* dst, const uint8_t* planes, uint32_t unpacked, int32_t width,
                    int32_t pitch, int32_t rows) {
  const uint32_t n = unpacked / 4;
  const uint8_t* a = planes;
  const uint8_t* r = a + n;
  const uint8_t* g = r + n;
  const uint8_t* b = g + n;
  const uint64_t limit = static_cast<uint64_t>(width) * static_cast<uint64_t>(rows);
  const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(n, limit));
  for (uint32_t i = 0; i < count; ++i) {
    dst[static_cast<size_t>(i / width) * pitch + i % width] =
        static_cast<uint32_t>(a[i]) << 24 | static_cast<uint32_t>(r[i]) << 16 |
        static_cast<uint32_t>(g[i]) << 8 | b[i];
  }
}

void GeYccToArgb(uint32_t* dst, int32_t pitch, const uint8_t* planes, int32_t width,
                 int32_t height) {
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  const int8_t* cb = reinterpret_cast<const int8_t*>(planes);
  const int8_t* cr = cb + n / 4;
  const uint8_t* luma = planes + n / 4 * 2;
  size_t c = 0;
  for (int32_t j = 0; j + 1 < height; j += 2) {
    for (int32_t i = 0; i + 1 < width; i += 2, ++c) {
      // Right shifts of negative products round toward minus infinity: floor of the division.
      const int blue = cb[c], red = cr[c];
      const int dr = (179 * red) >> 7;
      const int dg = (-43 * blue - 89 * red) >> 7;
      const int db = (226 * blue) >> 7;
      static constexpr int kDx[4] = {0, 1, 0, 1};
      static constexpr int kDy[4] = {0, 0, 1, 1};
      for (int k = 0; k < 4; ++k) {
        const size_t x = static_cast<size_t>(i + kDx[k]);
        const size_t y = static_cast<size_t>(j + kDy[k]);
        const int yv = luma[y * width + x];
        dst[y * pitch + x] = 0xFF000000u | static_cast<uint32_t>(clamp_byte(yv + dr)) << 16 |
                             static_cast<uint32_t>(clamp_byte(yv + dg)) << 8 | clamp_byte(yv + db);
      }
    }
  }
}

bool ge_decode(const uint8_t* data, size_t size, ImageBuffer* out, std::string* error) {
  GeHeader h;
  if (size < kGeHeaderSize || !ge_read_header(data, size, &h))
    return fail(error, out, "GE header is truncated");
  if (!image_size_ok(h.width, h.height))
    return fail(error, out, "GE picture size is not supported");
  const uint64_t pixels = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height);
  const size_t payload = static_cast<size_t>(h.data_offset) + 8;
  if (payload > size) return fail(error, out, "GE data block lies outside the file");
  const uint8_t* body = data + payload;
  const size_t body_size = size - payload;
  const uint32_t type = h.type <= 3 ? h.type : 0;
  if (type == 0) {
    const size_t row_bytes = static_cast<size_t>(h.width) * 4;
    if (body_size / row_bytes < static_cast<size_t>(h.height))
      return fail(error, out, "GE raw pixels are shorter than the picture");
    out->reset(h.width, h.height);
    std::memcpy(out->pixels.data(), body, row_bytes * h.height);
    return true;
  }
  codec::ByteReader block(data, size);
  block.seek(h.data_offset);
  const uint32_t unpacked = block.u32();
  if (unpacked > kGeScratchSize) return fail(error, out, "GE unpacked size exceeds the scratch");
  // Each type must unpack to at least what its picture reads; the picture is allocated only
  // after the stream has proven that long.
  const uint64_t need = type == 1 ? pixels * 4 : type == 2 ? ge_ycc_size(h.width, h.height) : 8;
  if (unpacked < need) return fail(error, out, "GE unpacked size is smaller than the picture");
  if (unpacked > GeLzMostUnpacked(body_size))
    return fail(error, out, "GE packed stream is too short for its unpacked size");
  // Not zeroed: a stream that succeeds has written every byte.
  std::unique_ptr<uint8_t[]> scratch(new uint8_t[unpacked ? unpacked : 1]);
  if (!GeLzDecode(scratch.get(), unpacked, body, body_size))
    return fail(error, out, "GE packed stream is corrupt");
  out->reset(h.width, h.height);
  switch (type) {
    case 1:
      GePlanesToArgb(out->pixels.data(), scratch.get(), unpacked, out->width, out->width,
                     out->height);
      return true;
    case 2:
      GeYccToArgb(out->pixels.data(), out->width, scratch.get(), out->width, out->height);
      return true;
    default:
      return decode_rows(scratch.get(), unpacked, out, error);
  }
}
