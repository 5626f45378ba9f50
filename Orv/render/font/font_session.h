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

void font_begin(FontState& s);
// Ends a begun font: clears begun, the metrics and the picked bitmap font.
void font_end(FontState& s);
// The glyph of a Shift-JIS code in the begun font; false (and no pixels) when it has none.
bool font_glyph(FontState& s, uint16_t code, Glyph* out);
