// The script's printf: our own formatter for the conversions scripts may use.
//
// Script text decides the format, so nothing here hands a format to the C library: a piece the
// formatter does not know is copied as it stands and takes no value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// Formats one integer conversion piece, "%" [flags] [width] ["." precision] [size] letter,
// where flags are '-', '#' and '0', width and precision are decimal digits, size is 'h' or 'l'
// and the letter is 'd' (signed decimal), 'x' / 'X' (hexadecimal) or 'c' (one byte). Appends
// the result to out and returns true; returns false (out unchanged) for any other piece.
// Width and precision above 2,047 are taken as 2,047.
bool format_int_piece(std::string_view piece, uint32_t value, std::string* out);

// Expands a wsprint format: "%%" a percent sign, "%'" a double quote, "%n" CR LF; "%s", "%S",
// "%t", "%T" the next value as a text and "%f", "%F" as a file name, both through the
// callbacks; any other "%" starts a piece that runs to the first 'd', 'D', 'x', 'X' or 'c'
// (a two-byte character skipped whole) and is formatted by format_int_piece. A piece it
// refuses (the letter 'D', stray bytes, no letter at all) and a conversion after the eighth
// value copy the "%" alone, take no value, and formatting goes on after the "%". A "%" that
// is the format's last byte ends it. The output stops growing at max_bytes, cut on a
// character boundary.
struct FormatSource {
  const uint32_t* values;  // the eight values
  std::string (*text)(uint32_t value, void* context);
  std::string (*file_name)(uint32_t value, void* context);
  void* context;
};
std::string wsprint_format(std::string_view format, const FormatSource& source, size_t max_bytes);

}  // namespace engine
