// Bitmap font files as the platform's font loader reads them.
//
// Layout (little-endian): a table of i32 file offsets of glyph records at offset 0 (a one-byte
// code c uses entry c, a two-byte code with lead L and trail T entry 255 x (L - 128) + T; -1
// marks a code without a glyph); each record is i32 box width, box height, origin x, origin y,
// i16 advance x, advance y, u32 bitmap bytes, then the rows of the box width rounded up to 4
// bytes, top row first, one coverage byte 0..64 per pixel; the file ends with a 56-byte metrics
// block: i32 height (the size the font is made for), ascent, descent, then zeros.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bitmapfont {

struct GlyphSpec {
  uint16_t code;  // one byte, or lead << 8 | trail
  int32_t width, height;
  int32_t origin_x,
      origin_y;  // the box's top-left lies at (pen + origin x, top + ascent - origin y)
  int16_t advance;
  std::vector<uint8_t> coverage;  // width x height bytes 0..64, top row first, unpadded
};

// The whole file for a font made for `size` pixels with the given ascent.
std::string bitmap_font_file(int32_t size, int32_t ascent, const std::vector<GlyphSpec>& glyphs);

// A plain font for trying text out: every printable ASCII character a box outline of
// size / 2 - 1 by size * 3 / 4 pixels standing on the baseline, and the Shift-JIS hiragana
// 0x829F-0x82F1 a full-size box outline.
std::vector<GlyphSpec> outline_glyphs(int32_t size, int32_t ascent);

}  // namespace bitmapfont
