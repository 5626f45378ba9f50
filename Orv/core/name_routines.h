// Name, tag and number routines of the sound loaders, the video player, the text drawing and
// the renderers. Library-internal; plain functions, any thread.
#pragma once

#include <cstdint>

// 1 when the extension of name (from its last '.') equals ext (with its dot, lower case, e.g.
// ".wmv"), ignoring ASCII case; 0 when it differs or no '.' follows the name's first character
// (so ".wmv" alone is no name with that extension).
int32_t ExtensionIs(const char* name, const char* ext);

// Copies the name of an inline tag, the text up to the first '>', into out (out_size bytes,
// always zero-terminated; a longer name is cut at a character boundary). A byte with its high
// bit set is copied with the byte after it, so the second byte of a Shift-JIS character never
// ends the name. Returns the length up to and including the '>' (font>... gives 5) even when
// the copy was cut, so callers that advance by it step over the whole tag. Reading stops at
// the text's terminating zero: without a '>' the result is the text's length, which leaves the
// caller on that zero.
int32_t CopyTagName(char* out, uint32_t out_size, const char* text);

// The greatest common divisor by Euclid's remainder loop (a when b is 0). Signs follow C's
// remainder; Gcd(1280, 720) is 80.
int32_t Gcd(int32_t a, int32_t b);
