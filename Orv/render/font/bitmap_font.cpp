#include "Orv/render/font/bitmap_font.h"

#include <algorithm>
#include <cstring>

#include "Orv/render/font/glyph_scale.h"
#include "Orv/render/image/image_buffer.h"
#include "shared/byte_codec.h"

namespace {

constexpr size_t kRecordHeader = 24;
constexpr int32_t kMaxGlyphSide = 4096;

size_t aligned(int64_t w) {
  return static_cast<size_t>((w + 3) & ~int64_t{3});
}

int32_t scaled(int32_t v, float scale) {
  const int32_t s = scale_trunc(v, scale);
  return s == 0 ? 1 : s;
}

}  // namespace

int32_t scale_trunc(int32_t v, float scale) {
  const double p = static_cast<double>(static_cast<float>(v) * scale);
  if (!(p > -2147483648.0)) return p != p ? 0 : INT32_MIN;
  if (p >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(p);
}

bool bitmap_font_parse(const uint8_t* data, size_t size, int32_t* size_key, std::string* error) {
  if (size < kTextMetricSize + 4) {
    if (error) *error = "bitmap font is shorter than its metrics block";
    return false;
  }
  codec::ByteReader r(data, size);
  r.seek(size - kTextMetricSize);
  *size_key = r.i32();
  return true;
}

TextMetric bitmap_font_metrics(const BitmapFont& font) {
  TextMetric m;
  codec::ByteReader r(font.data);
  r.seek(font.data.size() - kTextMetricSize);
  for (int32_t* f : {&m.height, &m.ascent, &m.descent, &m.internal_leading, &m.external_leading,
                     &m.average_width, &m.max_width, &m.weight})
    *f = r.i32();
  return m;
}

int32_t bitmap_font_pick(const std::vector<BitmapFont>& fonts, int32_t size) {
  if (fonts.empty()) return -1;
  int32_t smallest = 0, largest = 0;
  for (size_t i = 0; i < fonts.size(); ++i) {
    if (fonts[i].size_key == size) return static_cast<int32_t>(i);
    if (fonts[i].size_key < fonts[smallest].size_key) smallest = static_cast<int32_t>(i);
    if (fonts[i].size_key > fonts[largest].size_key) largest = static_cast<int32_t>(i);
  }
  return size < fonts[smallest].size_key ? smallest : largest;
}

bool bitmap_font_glyph(const BitmapFont& font, uint16_t code, float scale, Glyph* out) {
  *out = Glyph{};
  const uint8_t* d = font.data.data();
  const size_t end = font.data.size() - kTextMetricSize;  // glyph data lies before the metrics
  const size_t index = code < 0x100 ? code : 255u * ((code >> 8) - 128u) + (code & 0xFF);
  codec::ByteReader r(d, end);
  r.seek(index * 4);
  const int64_t offset = r.i32();
  if (r.failed() || offset < 0) return false;
  r.seek(static_cast<uint64_t>(offset));
  const int32_t w = r.i32(), h = r.i32();
  out->origin_x = r.i32();
  out->origin_y = r.i32();
  out->advance_x = r.i16();
  out->advance_y = r.i16();
  const uint32_t bytes = r.u32();
  if (r.failed()) {
    *out = Glyph{};
    return false;
  }
  const uint8_t* bits = d + offset + kRecordHeader;
  const bool fits = bytes <= end - offset - kRecordHeader;
  const bool usable = fits && w > 0 && h > 0 && w <= kMaxGlyphSide && h <= kMaxGlyphSide;
  if (scale == 1.0f) {
    if (!usable || aligned(w) * h > bytes) return false;
    out->box_width = w;
    out->box_height = h;
    out->bits.assign(bits, bits + aligned(w) * h);
    return true;
  }
  out->origin_x = scaled(out->origin_x, scale);
  out->origin_y = scaled(out->origin_y, scale);
  out->advance_x = static_cast<int16_t>(scaled(out->advance_x, scale));
  out->advance_y = static_cast<int16_t>(scaled(out->advance_y, scale));
  if (!usable) return false;
  // The stored rows may be wider than the box; the scaler works on whole stored rows.
  const int32_t src_w =
      static_cast<int32_t>(std::min<uint32_t>(bytes / h, kMaxGlyphSide * 4) & ~3u);
  if (src_w < w) return false;
  const int32_t nw = scaled(w, scale), nh = scaled(h, scale);
  if (nw > kMaxGlyphSide || nh > kMaxGlyphSide) return false;
  const int32_t sw = std::max(1, scale_trunc(src_w, scale));
  std::vector<uint8_t> big(static_cast<size_t>(sw) * nh, 0);
  ScaleBilinear8(big.data(), sw, nh, bits, src_w, h, scale, scale);
  out->box_width = nw;
  out->box_height = nh;
  out->advance_x = std::max<int16_t>(out->advance_x, static_cast<int16_t>(nw));
  const size_t pitch = aligned(nw);
  out->bits.assign(pitch * nh, 0);
  for (int32_t y = 0; y < nh; ++y)
    std::memcpy(&out->bits[y * pitch], &big[static_cast<size_t>(y) * sw], std::min(nw, sw));
  return true;
}
