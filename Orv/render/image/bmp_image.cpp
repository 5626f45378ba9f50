#include "Orv/render/image/bmp_tga.h"

#include <bit>
#include <cstring>
#include <vector>

#include "shared/byte_codec.h"
namespace {

bool fail(ImageBuffer* out, std::string* error, const std::string& why) {
  out->reset(0, 0);
  if (error) *error = why;
  return false;
}

uint32_t argb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
  return a << 24 | r << 16 | g << 8 | b;
}

// One channel of a bit-field pixel, widened to 8 bits.
struct Field {
  uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit Field(uint32_t m) : mask(m) {
    if (m) {
      shift = std::countr_zero(m);
      bits = std::popcount(m >> shift);
      if (bits > 8) shift += bits - 8, bits = 8;
    }
  }
  uint32_t get(uint32_t v, uint32_t absent) const {
    if (!mask) return absent;
    const uint32_t max = (1u << bits) - 1;
    return (((v >> shift) & max) * 255 + max / 2) / max;
  }
};

// Unpacks run-length pixels (8 bits: RLE8, 4 bits: RLE4) into one index a pixel, rows
// bottom-up as stored; pixels that the runs skip stay 0, and pixels beyond the picture are
// dropped (writers pad rows with runs past the width). False when a run reaches past the data.
bool rle_unpack(const uint8_t* s, size_t n, int bpp, int64_t w, int64_t h,
                std::vector<uint8_t>* indexes) {
  indexes->assign(size_t(w) * size_t(h), 0);
  int64_t x = 0, y = 0;
  size_t i = 0;
  auto put = [&](uint8_t index) {
    if (x >= 0 && x < w && y >= 0 && y < h) (*indexes)[size_t(y) * size_t(w) + size_t(x)] = index;
    ++x;
  };
  auto nibble = [&](uint8_t byte, int64_t k) -> uint8_t {
    return bpp == 8 ? byte : (k & 1) ? (byte & 15) : (byte >> 4);
  };
  while (i + 1 < n) {
    const uint8_t count = s[i], value = s[i + 1];
    i += 2;
    if (count > 0) {
      for (int64_t k = 0; k < count; ++k) put(nibble(value, k));
      continue;
    }
    if (value == 0) {  // end of the row
      x = 0;
      ++y;
    } else if (value == 1) {  // end of the picture
      return true;
    } else if (value == 2) {  // move right and up
      if (i + 1 >= n) return false;
      x += s[i];
      y += s[i + 1];
      i += 2;
    } else {  // `value` pixels as they are, padded to a whole word
      const size_t bytes = bpp == 8 ? value : (size_t{value} + 1) / 2;
      if (bytes > n - i) return false;
      for (int64_t k = 0; k < value; ++k) put(nibble(s[i + size_t(bpp == 8 ? k : k / 2)], k));
      i += (bytes + 1) & ~size_t{1};
    }
  }
  return true;  // data that ends without its end mark keeps what it gave
}

// The software renderer's decoder: fixed offsets, 8/24/32 bits, rows bottom-up.
bool decode_dib(const uint8_t* d, size_t n, ImageBuffer* out, std::string* error) {
  if (n < 54) return fail(out, error, kBrokenImageMessage);
  codec::ByteReader r(d, n);
  r.seek(10);
  const uint32_t offset = r.u32();
  r.seek(18);
  const uint32_t w = r.u32(), h = r.u32();
  r.skip(2);  // planes
  const int bpp = r.u8();
  if (bpp != 8 && bpp != 24 && bpp != 32) return fail(out, error, kBrokenImageMessage);
  // Packed pixels would be read as raw rows and draw garbage: refuse them like a depth the
  // decoder does not know. Bit fields of 32-bit pixels in the usual places read as they are.
  const uint32_t info = codec::load_u32(d + 14), compression = codec::load_u32(d + 30);
  const bool plain_fields = compression == 3 && bpp == 32 && n >= 66 &&
                            codec::load_u32(d + 54) == 0xFF0000 &&
                            codec::load_u32(d + 58) == 0xFF00 && codec::load_u32(d + 62) == 0xFF;
  if (compression != 0 && !plain_fields) return fail(out, error, kBrokenImageMessage);
  // The palette follows the information header, whose size the file gives (40 in most files).
  const size_t palette_at = 14 + size_t{info};
  if (!image_size_ok(w, h)) return fail(out, error, kBrokenImageMessage);
  const size_t stride = bpp == 32 ? size_t{w} * 4 : (size_t{w} * (bpp / 8) + 3) & ~size_t{3};
  if (offset > n || (n - offset) / stride < h) return fail(out, error, kBrokenImageMessage);
  if (bpp == 8 && (info < 40 || palette_at > n || (n - palette_at) / 4 < 256))
    return fail(out, error, kBrokenImageMessage);
  out->reset(w, h);
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* s = d + offset + size_t{h - 1 - y} * stride;
    uint32_t* o = out->row(static_cast<int32_t>(y));
    for (uint32_t x = 0; x < w; ++x) {
      if (bpp == 8) {
        const uint8_t* p = d + palette_at + s[x] * 4;
        o[x] = argb(p[2], p[1], p[0]);
      } else if (bpp == 24) {
        const uint8_t* p = s + x * 3;
        o[x] = argb(p[2], p[1], p[0]);
      } else {
        o[x] = codec::load_u32(s + x * 4);
      }
    }
  }
  return true;
}

bool decode_full(const uint8_t* d, size_t n, ImageBuffer* out, std::string* error) {
  codec::ByteReader r(d, n);
  r.seek(10);
  const uint32_t offset = r.u32();
  const uint32_t info = r.u32();
  int64_t w = 0, h = 0;
  int bpp = 0;
  uint32_t compression = 0, colours = 0;
  size_t entry = 4;
  if (info == 12) {  // the old core header: 16-bit sizes and 3-byte palette entries
    w = r.u16();
    h = r.u16();
    r.skip(2);  // planes
    bpp = r.u16();
    entry = 3;
  } else if (info >= 40) {
    w = r.i32();
    h = r.i32();
    r.skip(2);  // planes
    bpp = r.u16();
    compression = r.u32();
    r.skip(12);  // image size, resolution
    colours = r.u32();
    r.seek(54);  // the whole 40-byte header must be there
  } else {
    r.fail();
  }
  if (r.failed()) return fail(out, error, "BMP header is truncated");
  const bool top_down = h < 0;
  if (top_down) h = -h;
  if (!image_size_ok(w, h)) return fail(out, error, "BMP picture size is not supported");
  const bool rle = (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4);
  if (compression != 0 && compression != 3 && !rle)
    return fail(out, error, "BMP compression " + std::to_string(compression) + " is not supported");
  if (rle && top_down) return fail(out, error, "a run-length BMP cannot be top-down");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return fail(out, error, "BMP bit depth " + std::to_string(bpp) + " is not supported");

  // Palette for indexed pixels; indexes beyond it read black.
  uint32_t palette[256];
  std::memset(palette, 0, sizeof palette);
  if (bpp <= 8) {
    const size_t at = 14 + size_t{info};
    size_t count = colours && colours < (1u << bpp) ? colours : (1u << bpp);
    if (at > n)
      count = 0;
    else if ((n - at) / entry < count)
      count = (n - at) / entry;
    for (size_t i = 0; i < 256; ++i) palette[i] = 0xFF000000u;
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = d + at + i * entry;
      palette[i] = argb(p[2], p[1], p[0]);
    }
  }
  // Bit fields: after a 40-byte header, or inside the larger ones at the same place.
  uint32_t masks[4] = {0x7C00, 0x03E0, 0x001F, 0};  // 16-bit default: 5-5-5
  if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF, masks[3] = 0;
  if (compression == 3) {
    for (int i = 0; i < 3; ++i) masks[i] = r.u32();
    if (r.failed()) return fail(out, error, "BMP bit fields are truncated");
    codec::ByteReader alpha(d, n);
    alpha.seek(66);
    masks[3] = info >= 56 ? alpha.u32() : 0;  // 0 when the file stops before it
  }
  const Field fr(masks[0]), fg(masks[1]), fb(masks[2]), fa(masks[3]);

  if (rle) {
    if (offset > n) return fail(out, error, "BMP pixel data lies outside the file");
    std::vector<uint8_t> indexes;
    if (!rle_unpack(d + offset, n - offset, bpp, w, h, &indexes))
      return fail(out, error, "BMP run-length data is broken");
    out->reset(w, h);
    for (int64_t y = 0; y < h; ++y) {
      uint32_t* o = out->row(static_cast<int32_t>(y));
      const uint8_t* s = indexes.data() + size_t(h - 1 - y) * size_t(w);
      for (int64_t x = 0; x < w; ++x) o[x] = palette[s[x]];
    }
    return true;
  }

  const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
  if (offset > n || (n - offset) / stride < size_t(h))
    return fail(out, error, "BMP pixel data lies outside the file");
  out->reset(w, h);
  for (int64_t y = 0; y < h; ++y) {
    const uint8_t* s = d + offset + size_t(top_down ? y : h - 1 - y) * stride;
    uint32_t* o = out->row(static_cast<int32_t>(y));
    for (int64_t x = 0; x < w; ++x) {
      switch (bpp) {
        case 1:
          o[x] = palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          o[x] = palette[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
          break;
        case 8:
          o[x] = palette[s[x]];
          break;
        case 24:
          o[x] = argb(s[x * 3 + 2], s[x * 3 + 1], s[x * 3]);
          break;
        default: {
          const uint32_t v = bpp == 16 ? codec::load_u16(s + x * 2) : codec::load_u32(s + x * 4);
          o[x] = argb(fr.get(v, 0), fg.get(v, 0), fb.get(v, 0), fa.get(v, 255));
        }
      }
    }
  }
  return true;
}

}  // namespace

bool bmp_is(const uint8_t* data, size_t size) {
  return codec::ByteReader(data, size).u16() == 0x4D42;  // "BM"
}

bool bmp_decode(const uint8_t* data, size_t size, BmpTgaMode mode, ImageBuffer* out,
                std::string* error) {
  return mode == BmpTgaMode::kDib ? decode_dib(data, size, out, error)
                                  : decode_full(data, size, out, error);
}
