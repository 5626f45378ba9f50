// The renderer's walk over zero-terminated markup: one character unit at a time, never past
// the terminating zero.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textrender {

enum class UnitKind : uint8_t {
  kEnd,     // the terminating zero
  kDouble,  // a two-byte Shift-JIS character
  kField,   // "%" and decimal digits (at most 7 bytes)
  kEscape,  // "\" and one byte
  kTag,     // "<" up to and including ">" (an unclosed "<" runs to the end)
  kSingle,  // any other byte
};

struct TextUnit {
  UnitKind kind;
  uint8_t bFieldOverflow;  // a field whose digits went on past 7 bytes (cut to 7)
  size_t length;           // bytes of the unit; 0 at the end
};

constexpr size_t kFieldMaxBytes = 7;

// The unit at text (text points inside a zero-terminated string).
TextUnit text_unit_at(const char* text);

// Bytes of the whole digit run of a field at text ("%" included), for its overflow line.
size_t text_field_run(const char* text);

// The two-byte code of a kDouble unit.
inline uint16_t text_unit_code(const char* text) {
  return static_cast<uint16_t>(static_cast<uint8_t>(text[0]) << 8 | static_cast<uint8_t>(text[1]));
}

// Whether text starts with the zero-terminated prefix.
bool text_starts_with(const char* text, const char* prefix);

// Reads decimal digits at text (no sign) into *value, saturating at 0x7FFFFFFF; returns how
// many digits were read.
size_t text_read_decimal(const char* text, int64_t* value);

// The size tag "<s" n ">": "<s", the digits and one more byte (none at the terminator).
size_t size_tag_length(const char* tag);
// Its n, clamped to 0..kMaxTagSize (the platform keeps sizes in 16 bits; no face is drawn
// larger than this).
constexpr int64_t kMaxTagSize = 1024;
int64_t size_tag_value(const char* tag);

}  // namespace textrender
