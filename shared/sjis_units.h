// Shift-JIS character units inside the game's text.
//
// Different parts of the game disagree on which bytes start a two-byte character: the text
// renderer takes 0x81-0x9F and 0xE0-0xFC, the backlog's tail cut 0x80-0x9F and 0xE0-0xEF, the
// dialogs 0x81-0x9F and 0xE0-0xEF. Stored games depend on each reading, so every caller names
// its own table and all of them walk text through these routines.
//
// All routines work on byte ranges: they never read past `size`, and a zero byte is an ordinary
// byte to them (callers that stop at a terminator pass its position as the size).
#pragma once

#include <cstddef>
#include <cstdint>

struct SjisUnits {
  uint8_t lead1_lo, lead1_hi;    // first lead-byte range
  uint8_t lead2_lo, lead2_hi;    // second lead-byte range
  uint8_t trail1_lo, trail1_hi;  // first trail-byte range
  uint8_t trail2_lo, trail2_hi;  // second trail-byte range (may repeat the first)
};

// The text renderer's units: lead 0x81-0x9F or 0xE0-0xFC, trail 0x40-0xFC.
inline constexpr SjisUnits kSjisRendererUnits{0x81, 0x9F, 0xE0, 0xFC, 0x40, 0xFC, 0x40, 0xFC};
// The backlog's tail cut: lead 0x80-0x9F or 0xE0-0xEF, trail 0x40-0x7E or 0x80-0xFC.
inline constexpr SjisUnits kSjisBacklogUnits{0x80, 0x9F, 0xE0, 0xEF, 0x40, 0x7E, 0x80, 0xFC};
// The dialogs' units: lead 0x81-0x9F or 0xE0-0xEF, any following byte.
inline constexpr SjisUnits kSjisDialogUnits{0x81, 0x9F, 0xE0, 0xEF, 0x00, 0xFF, 0x00, 0xFF};

bool sjis_is_lead(const SjisUnits& units, uint8_t byte);
bool sjis_is_trail(const SjisUnits& units, uint8_t byte);

// Length of the unit starting at text[0]: 2 for a lead byte followed (within size) by a trail
// byte, else 1; 0 when size is 0.
size_t sjis_unit_length(const SjisUnits& units, const char* text, size_t size);

// The longest prefix of text[0, size) no longer than `limit` bytes that ends on a unit boundary
// (a two-byte unit is never split). Returns its length.
size_t sjis_fit(const SjisUnits& units, const char* text, size_t size, size_t limit);

// The tail cut of kept bytes text[0, size): walks pairing lead bytes with the following trail
// byte; a lead byte followed by a byte that is no trail byte ends the text at that byte; a lead
// byte whose trail byte was cut off (the last kept byte) ends the text before it. Returns the
// length to keep.
size_t sjis_cut_incomplete_tail(const SjisUnits& units, const char* text, size_t size);
