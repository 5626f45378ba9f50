// The rendered glyphs of one face at one size, by Shift-JIS code (one byte below 0x100, else
// lead << 8 | trail): a page of 256 slots per lead byte, made on its first glyph, so that a
// lookup is two indexed loads and no hash. A text uses a few hundred codes from a few dozen
// lead bytes; a page is 512 bytes.
//
// Not thread-safe: FontState::mutex guards it with the rest of the font state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/font_face.h"

class GlyphTable {
 public:
  // The kept glyph of code, null when there is none.
  const platform::GlyphImage* find(uint16_t code) const {
    const uint16_t* page = pages_[code >> 8].get();
    if (!page) return nullptr;
    const uint16_t slot = page[code & 0xFF];
    return slot ? &glyphs_[slot - 1u] : nullptr;
  }
  // Keeps glyph as code's (which has none yet) and returns it; it stays at that address until
  // the next add or clear. Null when the table holds kCapacity glyphs.
  const platform::GlyphImage* add(uint16_t code, platform::GlyphImage glyph);
  size_t size() const { return glyphs_.size(); }
  void clear();

  static constexpr size_t kCapacity = 0xFFFF;  // the slot values (0 is "none")

 private:
  std::unique_ptr<uint16_t[]> pages_[256];
  std::vector<platform::GlyphImage> glyphs_;
};
