#include "Orv/render/image/bmp_tga.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "shared/byte_codec.h"
namespace {

// The 18-byte header.
struct TgaHeader {
  uint8_t id_length = 0, map_type = 0, image_type = 0;
  uint16_t map_first = 0, map_length = 0;
  uint8_t map_bits = 0;
  uint16_t width = 0, height = 0;
  uint8_t bits = 0, descriptor = 0;
};

// False when the data is shorter than the header.
bool read_header(const uint8_t* d, size_t n, TgaHeader* h) {
  codec::ByteReader r(d, n);
  h->id_length = r.u8();
  h->map_type = r.u8();
  h->image_type = r.u8();
  h->map_first = r.u16();
  h->map_length = r.u16();
  h->map_bits = r.u8();
  r.skip(4);  // the origin
  h->width = r.u16();
  h->height = r.u16();
  h->bits = r.u8();
  h->descriptor = r.u8();
  return !r.failed();
}

bool fail(ImageBuffer* out, std::string* error, const std::string& why) {
  out->reset(0, 0);
  if (error) *error = why;
  return false;
}

uint32_t argb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
  return a << 24 | r << 16 | g << 8 | b;
}

uint32_t five(uint32_t v) {
  return (v << 3) | (v >> 2);
}

// One pixel of `bytes` bytes (1 grey, 2 for A1R5G5B5, 3 BGR, 4 BGRA) as ARGB.
uint32_t read_pixel(const uint8_t* p, int bytes, bool alpha_bit) {
  switch (bytes) {
    case 1:
      return argb(p[0], p[0], p[0]);
    case 2: {
      const uint32_t v = codec::load_u16(p);
      return argb(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31),
                  alpha_bit ? ((v & 0x8000) ? 255 : 0) : 255);
    }
    case 3:
      return argb(p[2], p[1], p[0]);
    default:
      return argb(p[2], p[1], p[0], p[3]);
  }
}

// The software renderer's decoder: no colour maps, no packets, rows bottom-up.
bool decode_dib(const uint8_t* d, size_t n, ImageBuffer* out, std::string* error) {
  TgaHeader t;
  if (!read_header(d, n, &t)) return fail(out, error, kBrokenImageMessage);
  if (t.map_type == 1) return fail(out, error, kTgaIndexColorMessage);
  const int bpp = t.bits;
  // Run-length packets would be read as raw rows and draw garbage: refuse them like a depth
  // the decoder does not know.
  if ((bpp != 8 && bpp != 24 && bpp != 32) || (t.image_type & 8))
    return fail(out, error, kBrokenImageMessage);
  const uint32_t w = t.width, h = t.height;
  if (!image_size_ok(w, h)) return fail(out, error, kBrokenImageMessage);
  const size_t offset = 18 + size_t{t.id_length};
  const size_t stride = size_t{w} * (bpp / 8);
  if (offset > n || (n - offset) / stride < h) return fail(out, error, kBrokenImageMessage);
  out->reset(w, h);
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* s = d + offset + size_t{h - 1 - y} * stride;
    uint32_t* o = out->row(static_cast<int32_t>(y));
    for (uint32_t x = 0; x < w; ++x) o[x] = read_pixel(s + x * (bpp / 8), bpp / 8, false);
  }
  return true;
}

bool decode_full(const uint8_t* d, size_t n, ImageBuffer* out, std::string* error) {
  TgaHeader t;
  if (!read_header(d, n, &t)) return fail(out, error, "TGA header is truncated");
  const int map_type = t.map_type, kind = t.image_type & ~8;
  const bool rle = t.image_type & 8;
  const uint32_t map_first = t.map_first, map_length = t.map_length;
  const int map_bits = t.map_bits;
  const uint32_t w = t.width, h = t.height;
  const int bpp = t.bits, descriptor = t.descriptor;
  const bool alpha_bit = (descriptor & 15) != 0;
  if (kind != 1 && kind != 2 && kind != 3)
    return fail(out, error, "TGA image type " + std::to_string(t.image_type) + " is not supported");
  if (map_type > 1) return fail(out, error, "TGA colour map type is not supported");
  const int map_bytes = (map_bits + 7) / 8;
  if (map_type == 1 && (map_bytes < 2 || map_bytes > 4))
    return fail(out, error, "TGA colour map entries are not supported");
  if (!image_size_ok(w, h)) return fail(out, error, "TGA picture size is not supported");
  int bytes;
  if (kind == 1)
    bytes = bpp == 8 ? 1 : bpp == 16 ? 2 : 0;
  else if (kind == 3)
    bytes = bpp == 8 ? 1 : 0;
  else
    bytes = bpp == 15 || bpp == 16 ? 2 : bpp == 24 ? 3 : bpp == 32 ? 4 : 0;
  if (!bytes || (kind == 1 && map_type != 1))
    return fail(out, error, "TGA bit depth " + std::to_string(bpp) + " is not supported");

  size_t at = 18 + size_t{t.id_length};
  std::vector<uint32_t> map;
  if (map_type == 1) {
    const size_t map_size = size_t{map_length} * map_bytes;
    if (at > n || n - at < map_size)
      return fail(out, error, "TGA colour map lies outside the file");
    map.resize(map_length);
    for (uint32_t i = 0; i < map_length; ++i)
      map[i] = read_pixel(d + at + size_t{i} * map_bytes, map_bytes, alpha_bit);
    at += map_size;
  }
  if (at > n) return fail(out, error, "TGA pixel data lies outside the file");

  // Pixels in file order, then placed by the origin bits. The data must be able to hold them
  // before anything is sized from the header: a run-length packet gives at most 128 pixels.
  const size_t count = size_t{w} * h;
  const size_t least = rle ? (count + 127) / 128 * (1 + size_t(bytes)) : count * size_t(bytes);
  if (n - at < least) {
    return fail(out, error,
                rle ? "TGA run-length data is truncated" : "TGA pixel data lies outside the file");
  }
  std::vector<uint32_t> seq(count);
  auto convert = [&](const uint8_t* p) -> uint32_t {
    if (kind != 1) return read_pixel(p, bytes, alpha_bit);
    const uint32_t index = bytes == 1 ? p[0] : codec::load_u16(p);
    return index >= map_first && index - map_first < map.size() ? map[index - map_first] : 0;
  };
  if (!rle) {
    if ((n - at) / bytes < count) return fail(out, error, "TGA pixel data lies outside the file");
    for (size_t i = 0; i < count; ++i) seq[i] = convert(d + at + i * bytes);
  } else {
    size_t i = 0;
    while (i < count) {
      if (at >= n) return fail(out, error, "TGA run-length data is truncated");
      const uint8_t head = d[at++];
      const size_t run = std::min<size_t>((head & 0x7F) + 1u, count - i);
      if (head & 0x80) {
        if (n - at < size_t(bytes)) return fail(out, error, "TGA run-length data is truncated");
        const uint32_t v = convert(d + at);
        at += bytes;
        for (size_t k = 0; k < run; ++k) seq[i++] = v;
      } else {
        if ((n - at) / bytes < run) return fail(out, error, "TGA run-length data is truncated");
        for (size_t k = 0; k < run; ++k, at += bytes) seq[i++] = convert(d + at);
      }
    }
  }
  out->reset(w, h);
  const bool top_down = descriptor & 0x20, right_to_left = descriptor & 0x10;
  for (uint32_t y = 0; y < h; ++y) {
    const uint32_t* s = seq.data() + size_t{top_down ? y : h - 1 - y} * w;
    uint32_t* o = out->row(static_cast<int32_t>(y));
    for (uint32_t x = 0; x < w; ++x) o[x] = s[right_to_left ? w - 1 - x : x];
  }
  return true;
}

}  // namespace

bool tga_decode(const uint8_t* data, size_t size, BmpTgaMode mode, ImageBuffer* out,
                std::string* error) {
  return mode == BmpTgaMode::kDib ? decode_dib(data, size, out, error)
                                  : decode_full(data, size, out, error);
}
