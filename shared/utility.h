// Small text, number, file and monitor routines that both deliverables compile.
//
// Texts are zero-terminated Shift-JIS byte strings. The routines keep no state and may be
// called from any thread. The routines that split texts treat a two-byte character as one
// unit, so that its second byte is never taken for a separator. "Rule A" below: any byte of
// 0x80 or above starts a two-byte unit (the one-byte katakana 0xA1-0xDF too, which therefore
// take the next byte along); a lead byte that is the text's last byte ends the text.
#pragma once

#include <cstdint>

// Removes from the first `length` bytes of a 260-byte buffer every byte that is one of the
// `set_size` bytes of `set` (bytes compared singly, no two-byte units) and keeps the rest in
// order, zero-terminated, with the remainder of the buffer cleared. Returns the number of bytes
// kept; 0 when length is 0 (the buffer is then empty). A length beyond the 259 bytes that a
// 260-byte buffer holds with its zero is taken as 259.
uint32_t str_remove_chars(char* buffer, const char* set, uint32_t length, uint32_t set_size);

// The hexadecimal number at the start of text: the run is the longest prefix of 0-9, a-f, A-F
// and 'x'; it is read from its last character backwards and stops at the first 'x', so
// "0x1f" is 0x1F and "12x34" is 0x34. *consumed (when given) receives the run's length.
// Callers pass the text after a leading '#'. Only the last eight digits count.
uint32_t parse_color(const char* text, int32_t* consumed = nullptr);

// The decimal number at the start of text, with an optional sign; *digits receives the number
// of digits read. Arithmetic wraps at 32 bits. "-12ab" gives -12 with 2 digits.
int32_t str_to_int(const char* text, int32_t* digits);

// The length of the first line including its line end (CR LF, CR or LF); the text's length
// when it has no line end.
uint32_t line_length(const char* text);

// Copies units (rule A) of src to dest up to a one-byte unit found in the separator set
// `separators` (the separator is not copied), the end of src, or the unit that takes the copy
// past `maximum` bytes (that unit is still copied: dest needs maximum + 3 bytes). dest is
// always zero-terminated. Returns the bytes copied + 1, so a caller that advances by it steps
// over the separator (and, after a cut, over the byte after the cut). An empty src gives "" and 1.
int32_t str_split_copy(char* dest, const char* src, const char* separators, int32_t maximum);

// Field n (from 0) of src split at the one-byte unit `separator` (rule A). Copies the field
// into dest (dest_size bytes, always zero-terminated; a longer field is cut at a unit
// boundary) and returns the field's full length + 1 (1 for an empty field). 0 when there is no
// field n (the text ends before its n-th separator); dest is then untouched. Field 0 always
// exists. "a,b,": field 2 is empty; "a,b": field 2 does not exist.
int32_t str_get_field(char* dest, uint32_t dest_size, const char* src, int32_t n, char separator);

// A monitor's rectangle in desktop pixels.
struct MonitorRect {
  int32_t left, top, right, bottom;
};

// The record a monitor search carries through the enumeration: seven 32-bit words.
struct MonitorSearch {
  uint32_t monitor;  // find by handle: the monitor sought; find by index: receives the monitor
  int32_t counter;   // by handle: start at -1, ends at the found monitor's position from 0;
                     // by index: start at the index, ends at the mode word's low 16 bits
  MonitorRect rect;  // receives the found monitor's whole rectangle
  uint32_t mode;     // kMonitorFindByHandle, or anything else: find by index
};
static_assert(sizeof(MonitorSearch) == 28, "the monitor search record is seven words");
constexpr uint32_t kMonitorFindByHandle = 0x11000000u;

// The per-monitor callback of a monitor enumeration. `monitor` is the enumerator's nonzero id
// for the monitor and `rect` its whole rectangle (not the work area). Returns 1 to go on, 0
// to stop when the monitor was found (its rectangle then in search->rect).
int32_t monitor_enum_proc(uint32_t monitor, const MonitorRect& rect, MonitorSearch* search);
