// The extra font: numbered picture glyphs that text embeds as "%N".
//
// The file is an 8-bit TGA-style strip: width u16 at 12, cell size u16 at 14, coverage bytes
// from 18 filling (file size - 44) bytes, rows bottom-up; glyph N is the square cell at
// x = N * cell. A cell of 0, or a strip with fewer rows than a cell, is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/font/bitmap_font.h"
#include "Orv/render/font/font_state.h"

// Reads the strip into font (turned top-down). False with a reason in *error when refused.
bool extra_font_parse(const uint8_t* data, size_t size, ExtraFont* font, std::string* error);
int32_t extra_font_count(const ExtraFont& font);
// Glyph N scaled to the font size: coverage (v + 1) >> 2, side trunc(cell * (size / cell)).
// An N outside the strip gives a solid square and logs "overflow %Value TEXT [N]". The glyph's
// box is the scaled side; origins are 0.
void ExFontGlyph(const ExtraFont& font, int64_t n, int32_t size, Glyph* out);
