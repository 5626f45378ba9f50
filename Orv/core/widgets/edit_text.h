// The text of an edit control: Shift-JIS bytes with a caret, a byte limit and the input
// method's unfinished text, apart from any window, so that typing can be tested without one.
//
// Characters: a byte 0x81-0x9F or 0xE0-0xFC starts a two-byte character; in multi-line text CR
// LF is one line break, which the caret steps over whole. The caret always rests on a
// character boundary.
//
// Thread: the owner serialises the calls (widgets.cpp holds its lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct EditText {
  std::string text;  // Shift-JIS
  size_t caret = 0;  // byte offset
  // Most bytes that typing may bring the text to; 0: no limit. Text set by the program is
  // kept whole, as a window's text is.
  size_t limit = 0;
  bool multi_line = false;
  // The input method's unfinished text (Shift-JIS), shown at the caret, not yet part of text.
  std::string composition;
};

// Replaces the text; the caret goes to its end and the composition is dropped.
void edit_set_text(EditText& e, std::string_view sjis);
// Types text at the caret. Line breaks (CR LF, CR, LF) become CR LF in multi-line text and are
// dropped from a single line; other control bytes and a lead byte without its trail byte are
// dropped; what does not fit the limit is cut on a character boundary. True when the text
// changed.
bool edit_type(EditText& e, std::string_view sjis);
// Typed text from the keyboard or the input method (UTF-8), converted with the CP932 rules;
// characters without a Shift-JIS form are dropped. True when the text changed.
bool edit_type_utf8(EditText& e, std::string_view utf8);
// The editing keys, by virtual-key code: Backspace (0x08), Delete (0x2E), Left, Right, Up,
// Down (0x25-0x28; Up and Down move between lines of multi-line text), Home (0x24), End
// (0x23). *changed tells whether the text changed; returns whether the key was an editing key.
bool edit_key(EditText& e, uint32_t vk, bool* changed);
// Places the caret on the character boundary at or before byte offset `at`.
void edit_set_caret(EditText& e, size_t at);

// Byte offset of the character boundary at or before `at`.
size_t edit_boundary_before(std::string_view text, size_t at);
