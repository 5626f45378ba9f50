// Beginning and ending the current font, and fetching its glyphs.
//
// Begin prepares the font that FontState's type and size name: a system face (types 0-3; type
// 1 in weight 700) or the bitmap font picked for the size (type 4), and sets the metrics, whose
// height is always the requested size (for type 4 the picked font's height times the scale).
// When no face can be opened or no bitmap font is loaded, the metrics still get the size and
// every glyph comes out empty, so text measures but draws nothing. The caller holds
// FontState::mutex for all of these.
#pragma once

#include <cstdint>

#include "Orv/render/font/bitmap_font.h"
#include "Orv/render/font/font_state.h"

// The part of font_begin for a bitmap font or a face not yet kept (opened and kept here).
void font_begin_other(FontState& s);

// Begins the font. A text that changes size between characters begins once per change: a face
// met before at a size below kDirectSizes is found here, inline, in one indexed load, and begun
// with two stores (the bitmap font's index and scale are left as they are: only a begin of a
// bitmap font sets them, and only its glyphs read them).
inline void font_begin(FontState& s) {
  s.begun = 1;  // first: an end just before then stores nothing
  if (s.type <= 3 && s.size < FontState::kDirectSizes) {
    if (FontState::KeptFace* kept = s.by_size[s.type][s.size]) {
      s.current = kept;
      return;
    }
  }
  font_begin_other(s);
}

// Lets every kept face and its glyphs go (the face files and the lookup stay); begun no more.
void font_forget_faces(FontState& s);

// Ends a begun font: clears begun. What the begin prepared stays until the next begin, unread:
// every reader of the metrics and the glyphs runs between a begin and its end.
inline void font_end(FontState& s) {
  s.begun = 0;
}

// The part of font_glyph for a glyph not kept yet, or a bitmap font's.
const Glyph& font_glyph_other(FontState& s, uint16_t code);

// The glyph of a Shift-JIS code in the begun font; an empty one (no pixels, advance 0) when it
// has none. A system face's glyph is rendered on first use and kept in the glyph cache, so that
// measuring and drawing a text render it once; a bitmap font's is made in s.glyph_scratch. The
// reference stays valid until the next font_glyph, font_begin or fonts_release on s. A kept
// glyph is found here, inline: right after a begin the compiler still holds the face it stored, so
// a change of size adds no trip through memory to the fetch that follows.
inline const Glyph& font_glyph(FontState& s, uint16_t code) {
  const FontState::KeptFace* face = s.current;
  if (face && s.type != kFontTypeBitmap) {
    if (const Glyph* kept = face->glyphs.find(code)) return *kept;
  }
  return font_glyph_other(s, code);
}
