// The system clipboard's text, in place of the clipboard calls of the system (CF_TEXT).
//
// Inside the system text is Shift-JIS; the clipboard holds UTF-8. The conversion happens here,
// at the edge: text put on the clipboard is converted to UTF-8, text taken from it to CP932,
// where a character without a CP932 form becomes '?' (what the system's clipboard gives a
// program that reads its text in the Japanese code page).
//
// Thread: the window thread (SDL's clipboard belongs to the video subsystem). Without video
// started the clipboard is empty and cannot be written.
//
// Stateless: SDL keeps the clipboard (its own copy where the video driver has no clipboard).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The clipboard's text as Shift-JIS; empty when it holds no text or cannot be read.
std::string clipboard_text_sjis();
// Puts Shift-JIS text on the clipboard; false (and a message on stderr) when it cannot.
bool clipboard_set_text_sjis(std::string_view sjis);

}  // namespace platform
