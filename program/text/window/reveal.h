// The reveal of a message: its pixels' alpha is taken away when the text has been drawn
// (capture) and handed back every frame up to a growing distance along the text (apply), with
// a soft edge of 64 pixels when the fade is on.
//
// Every captured pixel gets an order, the distance at which it starts to show, by one of three
// orderings:
//   - line wipe: the whole area left to right, one line (line pitch rows) after the other;
//     order = line index x area width + column;
//   - glyph wipe: each glyph from its left edge, glyph after glyph;
//   - glyph order: each glyph whole once the distance passes its place.
// Pixels that no ordering captures are never touched by apply.
//
// Buffers come from OrvMemoryAlloc and belong to the RevealState (reveal_free releases them).
// Pixel rows are addressed with the locked image's own width; everything is clipped to the
// locked image, so an area wider or taller than the sprite never reads or writes past it.
//
// Thread: the thread that runs the script, under the render lock while a sprite is locked.
#pragma once

#include <cstdint>

#include "orv/types.h"
#include "text/render/text_render.h"

namespace textwindow {

using textrender::RevealState;

enum class RevealOrdering { kLineWipe, kGlyphWipe, kGlyphOrder };

// Reveal type not 0: glyph order; else fade on and space skip off: line wipe; else glyph wipe.
RevealOrdering reveal_ordering(const textrender::TextRenderSettings& settings);

// Frees the old buffers and makes new ones for an area of width (raised to a multiple of 4,
// plus 8) x height; line pitch = base line pitch; ready = 0. Sizes are computed in 64 bits: a
// negative or too large area (over 64 Mi pixels) or a failed allocation leaves the state
// without buffers (nothing is ever captured) and returns false.
bool reveal_init(RevealState& state, int32_t width, int32_t height, int32_t base_line_pitch);
// Releases the buffers and zeroes the sizes; the glyph lists stay.
void reveal_free(RevealState& state);

// Captures the pixels of a locked image (stride pixels per row, rows rows) by the ordering;
// font_effect widens the glyph rectangles (0-3). Sets ready.
void reveal_capture_pixels(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& state,
                           RevealOrdering ordering, int32_t font_effect);
// Locks the sprite and captures it. False when the sprite cannot be locked (ready unchanged)
// or the state has no buffers; true without doing anything while skipping.
bool reveal_capture(OrvHandle sprite, RevealState& state, RevealOrdering ordering,
                    int32_t font_effect, bool skipping);

// Gives back the alpha of every captured pixel whose order is below distance: whole when it
// lies more than 64 below it (or the fade is off), else ((m - order + 64) x alpha) >> 6 with
// m = max(distance - 64, 0). Nothing when the state is not ready.
void reveal_apply_pixels(uint32_t* pixels, int32_t stride, int32_t rows, RevealState& state,
                         int32_t distance, bool fade);
void reveal_apply(OrvHandle sprite, RevealState& state, int32_t distance, bool fade);

}  // namespace textwindow
