#include "Orv/render/font/extra_font.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Orv/core/error_report.h"
#include "Orv/render/font/glyph_scale.h"
#include "Orv/render/image/image_buffer.h"
#include "shared/byte_codec.h"

bool extra_font_parse(const uint8_t* data, size_t size, ExtraFont* font, std::string* error) {
  *font = ExtraFont{};
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (size < 44) return fail("extra font is shorter than its header");
  codec::ByteReader r(data, size);
  r.seek(12);
  const int32_t width = r.u16(), cell = r.u16();
  if (cell == 0 || width == 0) return fail("extra font has no cells");
  const size_t bytes = size - 44;
  const int32_t rows = static_cast<int32_t>(std::min<size_t>(bytes / width, 0x7FFFFFFF));
  if (rows < cell) return fail("extra font is shorter than one row of cells");
  font->strip.resize(static_cast<size_t>(width) * rows);
  for (int32_t r = 0; r < rows; ++r)
    std::memcpy(&font->strip[static_cast<size_t>(rows - 1 - r) * width],
                data + 18 + static_cast<size_t>(r) * width, width);
  font->strip_width = width;
  font->rows = rows;
  font->cell = cell;
  return true;
}

int32_t extra_font_count(const ExtraFont& font) {
  return font.cell ? font.strip_width / font.cell : 0;
}

void ExFontGlyph(const ExtraFont& font, int64_t n, int32_t size, Glyph* out) {
  *out = Glyph{};
  const int32_t cell = font.cell;
  if (cell <= 0) return;
  std::vector<uint8_t> src(static_cast<size_t>(cell) * cell, 255);
  if (n >= 0 && n < extra_font_count(font)) {
    for (int32_t y = 0; y < cell; ++y)
      std::memcpy(&src[static_cast<size_t>(y) * cell],
                  &font.strip[static_cast<size_t>(y) * font.strip_width + n * cell], cell);
  } else {
    error_reportf(ErrorLog::kSkip, "overflow %%Value TEXT [%lld]", static_cast<long long>(n));
  }
  for (uint8_t& v : src) v = static_cast<uint8_t>((v + 1) >> 2);
  const float scale = static_cast<float>(size) / static_cast<float>(cell);
  const int32_t side = static_cast<int32_t>(static_cast<float>(cell) * scale);
  if (side <= 0 || side > 4096) return;
  std::vector<uint8_t> scaled(static_cast<size_t>(side) * side, 0);
  ScaleBilinear8(scaled.data(), side, side, src.data(), cell, cell, scale, scale);
  const size_t pitch = (static_cast<size_t>(side) + 3) & ~size_t{3};
  out->box_width = out->box_height = side;
  out->advance_x = static_cast<int16_t>(side);
  out->bits.assign(pitch * side, 0);
  for (int32_t y = 0; y < side; ++y)
    std::memcpy(&out->bits[y * pitch], &scaled[static_cast<size_t>(y) * side], side);
}
