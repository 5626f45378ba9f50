// Measurements of the renderer that need no font: the centred line, the fixed-pitch width of
// ruby readings and bases, and the split of a ruby group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace textrender {

// Width and height of the rest of a text centred as one line: per unit, "<s" n ">" sets the
// size (height raised to it), other tags add nothing, a two-byte character or a value field
// adds size + pitch, any other unit size / 2 + pitch. Stops after the unit that takes the
// width past width, unless that unit is a line-start character still within width + size.
// A value field over 7 bytes logs "*** ERROR: CENTER TEXT %VALUE overflow: ..." (key 0).
void text_center_measure(const char* text, int32_t size, int32_t width, int32_t pitch,
                         int64_t* out_width, int64_t* out_height);

// Fixed-pitch width of text[0, length): with a font type other than 0, (pitch + size) x
// (length / 2); with type 0, size + pitch per two-byte character and size / 2 + pitch per
// other byte.
int64_t text_fixed_width(const char* text, size_t length, int32_t size, int32_t pitch,
                         int32_t font_type);

// A ruby group from the text after "<r": the tips tags "<d...>" and "</d>" taken out, the
// reading up to the first ">", the base from there up to "</r".
struct RubyGroup {
  std::string reading;
  std::string base;
  bool closed;    // a "</r" follows the base
  size_t resume;  // offset in the text just past the reading's ">" (the base's first byte)
};
RubyGroup ruby_split(const char* after_r);

}  // namespace textrender
