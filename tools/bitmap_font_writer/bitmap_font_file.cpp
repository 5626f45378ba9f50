#include "bitmap_font_file.h"

#include <algorithm>
#include <map>

namespace bitmapfont {

namespace {

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>(v >> 8 & 255);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

size_t table_index(uint16_t code) {
  return code < 0x100 ? code : 255u * ((code >> 8) - 128u) + (code & 0xFF);
}

GlyphSpec outline(uint16_t code, int32_t w, int32_t h, int32_t ascent, int16_t advance) {
  GlyphSpec g{code, std::max(w, 1), std::max(h, 1), 0, std::min(h, ascent), advance, {}};
  g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
  for (int32_t y = 0; y < g.height; ++y)
    for (int32_t x = 0; x < g.width; ++x)
      if (x == 0 || y == 0 || x == g.width - 1 || y == g.height - 1)
        g.coverage[static_cast<size_t>(y) * g.width + x] = 64;
  return g;
}

}  // namespace

std::string bitmap_font_file(int32_t size, int32_t ascent, const std::vector<GlyphSpec>& glyphs) {
  size_t entries = 0x100;
  for (const GlyphSpec& g : glyphs) entries = std::max(entries, table_index(g.code) + 1);
  std::vector<int32_t> offsets(entries, -1);
  std::string records;
  for (const GlyphSpec& g : glyphs) {
    offsets[table_index(g.code)] = static_cast<int32_t>(entries * 4 + records.size());
    const int32_t pitch = (g.width + 3) & ~3;
    put32(records, static_cast<uint32_t>(g.width));
    put32(records, static_cast<uint32_t>(g.height));
    put32(records, static_cast<uint32_t>(g.origin_x));
    put32(records, static_cast<uint32_t>(g.origin_y));
    put16(records, static_cast<uint16_t>(g.advance));
    put16(records, 0);
    put32(records, static_cast<uint32_t>(pitch * g.height));
    for (int32_t y = 0; y < g.height; ++y) {
      std::string row(static_cast<size_t>(pitch), '\0');
      for (int32_t x = 0; x < g.width; ++x) {
        const size_t at = static_cast<size_t>(y) * g.width + x;
        row[x] = static_cast<char>(at < g.coverage.size() ? g.coverage[at] : 0);
      }
      records += row;
    }
  }
  std::string file;
  for (int32_t o : offsets) put32(file, static_cast<uint32_t>(o));
  file += records;
  std::string metrics;
  put32(metrics, static_cast<uint32_t>(size));
  put32(metrics, static_cast<uint32_t>(ascent));
  put32(metrics, static_cast<uint32_t>(size - ascent));
  metrics.resize(56, '\0');
  return file + metrics;
}

std::vector<GlyphSpec> outline_glyphs(int32_t size, int32_t ascent) {
  std::vector<GlyphSpec> glyphs;
  for (uint16_t c = 0x21; c < 0x7F; ++c)
    glyphs.push_back(
        outline(c, size / 2 - 1, size * 3 / 4, ascent, static_cast<int16_t>(size / 2)));
  for (uint16_t c = 0x829F; c <= 0x82F1; ++c)
    glyphs.push_back(outline(c, size - 2, size - 2, ascent, static_cast<int16_t>(size)));
  return glyphs;
}

}  // namespace bitmapfont
