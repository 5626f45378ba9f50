#include "ge_writer.h"

#include <algorithm>
#include <cstring>

#include "shared/byte_codec.h"

namespace gewriter {
namespace {

// Accumulates tokens under control bytes.
struct TokenWriter {
  std::string out;
  size_t control_at = 0;
  int bits = 8;
  void token(bool reference) {
    if (bits == 8) {
      control_at = out.size();
      out += '\0';
      bits = 0;
    }
    if (reference) out[control_at] = static_cast<char>(out[control_at] | (1 << bits));
    ++bits;
  }
};

}  // namespace

std::string lz_pack(const std::string& raw, int max_distance) {
  TokenWriter w;
  const size_t n = raw.size();
  std::vector<int64_t> last(1 << 16, -1);
  auto hash = [&](size_t i) {
    uint32_t v;
    std::memcpy(&v, raw.data() + i, 4);
    return (v * 2654435761u) >> 16;
  };
  std::string literals;
  auto flush = [&] {
    for (size_t i = 0; i < literals.size(); i += 255) {
      const size_t c = std::min<size_t>(255, literals.size() - i);
      w.token(false);
      w.out += static_cast<char>(c);
      w.out.append(literals, i, c);
    }
    literals.clear();
  };
  size_t i = 0;
  while (i < n) {
    size_t best_len = 0, best_dist = 0;
    if (i + 4 <= n) {
      const uint32_t h = hash(i);
      const int64_t cand = last[h];
      last[h] = static_cast<int64_t>(i);
      if (cand >= 0 && i - cand <= static_cast<size_t>(max_distance)) {
        size_t len = 0;
        const size_t limit = std::min<size_t>(2051, n - i);
        while (len < limit && raw[cand + len] == raw[i + len]) ++len;
        if (len >= 4) best_len = len, best_dist = i - cand;
      }
      // Runs of one byte: distance 1 catches them where the hash has no older candidate.
      if (best_len < 4 && i >= 1) {
        size_t len = 0;
        const size_t limit = std::min<size_t>(2051, n - i);
        while (len < limit && raw[i - 1 + len] == raw[i + len]) ++len;
        if (len >= 4) best_len = len, best_dist = 1;
      }
    }
    if (best_len < 4) {
      literals += raw[i++];
      continue;
    }
    flush();
    w.token(true);
    codec::StringByteWriter token(&w.out);
    if (best_len <= 11) {
      token.u16(static_cast<uint16_t>(best_dist << 4 | 8 | (best_len - 4)));
    } else {
      const uint32_t l = static_cast<uint32_t>(best_len - 4);
      token.u16(static_cast<uint16_t>(best_dist << 4 | (l >> 8)));
      token.u8(static_cast<uint8_t>(l));
    }
    i += best_len;
  }
  flush();
  return w.out;
}

std::string filter_rows(int32_t width, int32_t height, const std::vector<uint32_t>& pixels, int bpp,
                        const std::vector<uint8_t>& filters) {
  const size_t row = static_cast<size_t>(width) * bpp;
  std::string raw(row * height, '\0');
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
    for (int c = 0; c < bpp; ++c) raw[i * bpp + c] = static_cast<char>(pixels[i] >> (8 * c));
  std::string out;
  for (int32_t y = 0; y < height; ++y)
    out += static_cast<char>(filters.empty() ? 0 : filters[y % filters.size()]);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t f = filters.empty() ? 0 : filters[y % filters.size()];
    const auto* cur = reinterpret_cast<const uint8_t*>(raw.data() + y * row);
    const uint8_t* up = y ? cur - row : nullptr;
    for (size_t i = 0; i < row; ++i) {
      const int left = i >= static_cast<size_t>(bpp) ? cur[i - bpp] : -1;
      const int above = up ? up[i] : 0;
      int v = cur[i];
      if (f & 1)
        v = left < 0 ? cur[i] : left - cur[i];
      else if (f & 2)
        v = above - cur[i];
      else if (f & 4)
        v = left < 0 ? cur[i] : ((left + above) >> 1) - cur[i];
      out += static_cast<char>(v & 0xFF);
    }
  }
  return out;
}

std::string ge_write(int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                     const GeOptions& o) {
  std::string body;
  codec::StringByteWriter b(&body);
  const size_t n = static_cast<size_t>(width) * height;
  switch (o.type) {
    case 1:
      body.resize(n * 4);
      for (size_t i = 0; i < n; ++i) {
        body[i] = static_cast<char>(pixels[i] >> 24);
        body[n + i] = static_cast<char>(pixels[i] >> 16);
        body[2 * n + i] = static_cast<char>(pixels[i] >> 8);
        body[3 * n + i] = static_cast<char>(pixels[i]);
      }
      break;
    case 2: {
      // Chroma from the block's top-left pixel; luma per pixel. Exactness is not the point:
      // tests compare against the decoding formula, not against the source pixels.
      const size_t q = n / 4;
      body.assign(q * 2 + n, '\0');
      size_t c = 0;
      for (int32_t j = 0; j + 1 < height; j += 2)
        for (int32_t i = 0; i + 1 < width; i += 2, ++c) {
          const uint32_t p = pixels[static_cast<size_t>(j) * width + i];
          const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
          const int y = (77 * r + 150 * g + 29 * b) >> 8;
          body[c] = static_cast<char>(std::clamp((b - y) * 128 / 226, -128, 127));
          body[q + c] = static_cast<char>(std::clamp((r - y) * 128 / 179, -128, 127));
        }
      for (size_t i = 0; i < n; ++i) {
        const uint32_t p = pixels[i];
        body[q * 2 + i] = static_cast<char>(
            (77 * ((p >> 16) & 255) + 150 * ((p >> 8) & 255) + 29 * (p & 255)) >> 8);
      }
      break;
    }
    case 3:
      b.u16(0);
      b.u16(static_cast<uint16_t>(o.bits));
      b.u16(static_cast<uint16_t>(width));
      b.u16(static_cast<uint16_t>(height));
      body += filter_rows(width, height, pixels, o.bits == 24 ? 3 : 4, o.filters);
      break;
    default:
      b.u32s(pixels.data(), n);
  }
  std::string f = "GE";
  codec::StringByteWriter h(&f);
  h.u16(o.data_offset);
  h.i32(o.x);
  h.i32(o.y);
  h.i32(width);
  h.i32(height);
  h.i32(o.cell_width ? o.cell_width : width);
  h.i32(o.cell_height ? o.cell_height : height);
  h.u16(static_cast<uint16_t>(o.stored_type != 0xFFFF ? o.stored_type : o.type));
  f.resize(o.data_offset, '\0');
  const std::string packed = o.type >= 1 && o.type <= 3 ? lz_pack(body) : body;
  h.u32(static_cast<uint32_t>(body.size()));
  h.u32(static_cast<uint32_t>(packed.size()));
  return f + packed;
}

std::string vkx_write(uint16_t width, uint16_t height, const std::vector<uint32_t>& diff,
                      const VkxOptions& o) {
  const std::string body = filter_rows(width, height, diff, o.bits == 24 ? 3 : 4, o.filters);
  std::string f(o.magic, 4);
  codec::StringByteWriter h(&f);
  h.u16(o.x);
  h.u16(o.y);
  h.u16(width);
  h.u16(height);
  h.u16(static_cast<uint16_t>(o.bits));
  std::string name = o.base_name.substr(0, 34);
  name.resize(34, '\0');
  h.bytes(name.data(), name.size());
  const std::string packed = lz_pack(body);
  h.u32(static_cast<uint32_t>(body.size()));
  h.u32(static_cast<uint32_t>(packed.size()));
  return f + packed;
}

}  // namespace gewriter
