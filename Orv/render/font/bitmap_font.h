// Bitmap font files: pre-rendered glyphs for one pixel size, scaled to others.
//
// Layout (little-endian): at offset 0 a table of i32 glyph record offsets (a one-byte code c
// uses entry c, a two-byte code with lead L and trail T entry 255 * (L - 128) + T); each record
// is i32 black-box width, height, origin x, origin y, i16 advance x, y, u32 bitmap bytes, then
// the bitmap in the GDI 8-bit grey layout (rows of the width rounded up to 4 bytes, coverage
// 0..64); the file ends with a 56-byte metrics block whose first i32 (the height) is the size
// the font was made for. Every offset and count is checked against the file: a record that
// does not fit gives a glyph without pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Orv/render/font/font_state.h"
#include "platform/font_face.h"

using Glyph = platform::GlyphImage;

// v * scale truncated toward zero, saturated to the int32 range (metrics come from files and
// scales from scripts, so the product may not fit).
int32_t scale_trunc(int32_t v, float scale);

// Checks that data can be a bitmap font (room for the metrics block) and reads its size key.
bool bitmap_font_parse(const uint8_t* data, size_t size, int32_t* size_key, std::string* error);
// The metrics block at the end of the file.
TextMetric bitmap_font_metrics(const BitmapFont& font);
// Index of the font to use for a requested size: the first with that key; else, when the size
// is below every key, the first with the smallest key; else the first with the largest key.
// -1 for an empty list.
int32_t bitmap_font_pick(const std::vector<BitmapFont>& fonts, int32_t size);
// The glyph of a Shift-JIS code (one byte below 0x100, else lead << 8 | trail) at `scale`.
// At 1.0 the stored glyph; otherwise every metric times the scale (truncated, 0 becoming 1),
// the bitmap scaled bilinearly, the advance at least the box width. Returns false when the
// code has no usable record; *out then has no pixels.
bool bitmap_font_glyph(const BitmapFont& font, uint16_t code, float scale, Glyph* out);
