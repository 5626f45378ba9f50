// Walking, measuring and drawing Shift-JIS text with the begun font.
//
// The walk: a NUL ends the text; a backslash makes the next character an ordinary glyph; CR
// and LF break the line; "<name>" is a tag: "br" and "BR" break the line, every other tag is
// skipped; "%" with decimal digits is extra glyph N (when an extra font is loaded; otherwise
// the characters are ordinary glyphs); a space advances half the height, the ideographic space
// (0x8140) the height; anything else is a glyph with its own advance.
//
// Drawing writes 32-bit pixels (0xAARRGGBB) into a buffer of the given width and height,
// clipped to it. With an effect the effect colour is drawn first (1: a one-pixel outline,
// 2: a shadow two pixels down and right, 3: a two-pixel outline), then the glyph in the text
// colour offset by OrvDrawTextStepX(effect); effects above 3 draw nothing. Coverage v (0..64)
// becomes alpha 4v - 1. Callers hold FontState::mutex with the font begun.
#pragma once

#include <cstdint>

#include "Orv/render/font/font_state.h"

// The extra horizontal offset an effect adds: 1 for effects 0-2, 2 for effect 3, else 0.
int32_t draw_text_step_x(int32_t effect);
// Width and height of the text: the widest line + 3, and the line count times the height + 2.
void FontMeasureText(FontState& s, const char* text, int32_t* width, int32_t* height);
// Draws the text with its first line's top-left at (x, y) and updates s.last.
void FontDrawTextInto(FontState& s, uint32_t* buffer, const char* text, int32_t x, int32_t y,
                      int32_t width, int32_t height);
