#include "Orv/render/font/glyph_table.h"

const platform::GlyphImage* GlyphTable::add(uint16_t code, platform::GlyphImage glyph) {
  if (glyphs_.size() >= kCapacity) return nullptr;
  std::unique_ptr<uint16_t[]>& page = pages_[code >> 8];
  if (!page) page = std::make_unique<uint16_t[]>(256);  // zeroed: no glyphs
  glyphs_.push_back(std::move(glyph));
  page[code & 0xFF] = static_cast<uint16_t>(glyphs_.size());
  return &glyphs_.back();
}

void GlyphTable::clear() {
  for (auto& page : pages_) page.reset();
  glyphs_.clear();
}
