// The text rules of the two entry dialogs, apart from any window: the character counter of the
// text-entry dialog and the conversion of the name-and-line dialog's input into a line of
// message markup for the text window (and back, to prefill the dialog).
//
// Both dialogs read Shift-JIS with lead bytes 0x81-0x9F and 0xE0-0xEF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// ---- the text-entry dialog ("EDIT") ----

// The counter's count: a byte of 0x80 or above counts 2 together with the byte after it, a line
// feed 1, a carriage return 0, every other byte 1.
int32_t edit_count(std::string_view text);
// "%d/%d", or "%d/%d(over %d)" when the count is above the maximum.
std::string edit_counter_text(int32_t count, int32_t maximum);
// OK is enabled while the count is neither 0 nor above the maximum.
bool edit_ok_enabled(int32_t count, int32_t maximum);
// The script's initial text as the dialog shows it: a backslash followed by "n" becomes CR LF.
std::string edit_initial_text(std::string_view text);

// ---- the name-and-line dialog (108) ----

enum class MarkupResult { kOk, kTooLong, kControl, kForbidden };

// Converts the player's input into message markup: lines of `width` half-width units, at most
// `lines` of them, a full line going on to the next by itself and a line break written as
// "<br>"; a single-byte character takes `half_width` units (1 or 2), a two-byte one 2. A
// control byte or a "\", "<" or "%" is refused; so is input that does not fit.
MarkupResult markup_from_input(std::string_view input, int32_t width, int32_t lines,
                               int32_t half_width, std::string* out);
// The stored markup turned back into editable text: "<br>" becomes CR LF; the text ends at a
// control byte, "\", "%" or a "<" that does not begin "<br>".
std::string markup_to_input(std::string_view markup);

}  // namespace ui
