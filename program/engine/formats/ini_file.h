// INI files: the reader that start-up and the script's profile commands use, and the writer
// that stands in for the platform's profile writer.
//
// INI text is Shift-JIS; lines end in CR LF, CR or LF; "[name]" starts a section; a key line is
// name=value; a line that starts with ';' is a comment. The reader is deliberately loose: it
// walks the text byte by byte, so a "[" or ";" anywhere counts, and a key matches the first
// line whose name part contains it. Files that games ship rely on that.
//
// Thread: any; nothing here keeps state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// Offset of the line after the first "[section]" in text; text.size() or more when none.
uint32_t ini_find_section(std::string_view section, std::string_view text);

// Finds key in section of an INI text already in memory. On success puts the raw value (from
// its first non-blank byte through its line end) in *out and returns true; *out is untouched
// otherwise (also for an empty value).
bool ini_find_value(std::string_view text, std::string_view section, std::string_view key,
                    std::string* out);

// ini_find_value on the file `path`, opened as data files are (an absolute path opens that
// file; a bare name is searched along the search folders). False when it cannot be read.
bool ini_read_value(std::string_view section, std::string_view key, std::string* out,
                    const std::string& path);

// Trailing space, TAB, LF, VT, FF and CR removed.
std::string ini_trim_end(std::string text);

// The default, replaced by the value when found; trailing blanks removed, then a pair of
// enclosing double quotes. Returns the result.
std::string ini_get_string(std::string_view section, std::string_view key,
                           std::string_view fallback, const std::string& path);

// Sets key=value in section of the file at path (the section and the file are created when
// missing; an existing key keeps its place). Keys and sections match without regard to ASCII
// case. The file is written whole to a temporary file and renamed into place. False when the
// file cannot be written.
bool ini_write_string(std::string_view section, std::string_view key, std::string_view value,
                      const std::string& path);

}  // namespace engine
