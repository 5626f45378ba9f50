// Small text and number routines that both deliverables compile.
//
// Texts are zero-terminated Shift-JIS byte strings. The routines keep no state.
#pragma once

#include <cstdint>

// The hexadecimal number at the start of text: the run is the longest prefix of 0-9, a-f, A-F
// and 'x'; it is read from its last character backwards and stops at the first 'x', so
// "0x1f" is 0x1F and "12x34" is 0x34. *consumed (when given) receives the run's length.
uint32_t parse_color(const char* text, int32_t* consumed = nullptr);

// The decimal number at the start of text, with an optional sign; *digits receives the number
// of digits read. Arithmetic wraps at 32 bits. "-12ab" gives -12 with 2 digits.
int32_t str_to_int(const char* text, int32_t* digits);
