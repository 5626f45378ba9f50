// Shift-JIS (code page 932) at the edges of the system.
//
// Inside the system every text is CP932 bytes. These conversions are used only where text
// leaves or enters it: file names, window titles, message boxes, font lookup, the edit box.
// They use the CP932 rules (0x5C is a backslash, 0x7E a tilde; the NEC and IBM extension
// rows convert), never plain SHIFT_JIS.
//
// Stateless: both binaries use it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// True for a byte that starts a two-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
inline bool sjis_is_lead(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Converts CP932 bytes to UTF-8 (and the escapes of utf8_to_sjis_path back to their
// characters). On an invalid or truncated sequence returns false; out then holds everything
// converted before the bad byte.
bool sjis_to_utf8(std::string_view sjis, std::string& out);
// Converts UTF-8 to CP932. Characters with no CP932 form make it return false; out then holds
// everything converted before them.
bool utf8_to_sjis(std::string_view utf8, std::string& out);

// Convenience forms for display text: an unconvertible byte becomes U+FFFD / '?'.
std::string sjis_to_utf8_lossy(std::string_view sjis);
std::string utf8_to_sjis_lossy(std::string_view utf8);

// A native path (the program folder, the player's home and data folders, names read from a
// folder) into the system: characters without a CP932 form (é is one, so is an emoji) become
// escapes of three user-defined characters that never hold an ASCII byte, and the conversions
// to UTF-8 above turn them back, so such a path reaches the file system unchanged. Invalid
// UTF-8 bytes become '?'.
std::string utf8_to_sjis_path(std::string_view utf8);

}  // namespace platform
