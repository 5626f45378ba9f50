// The text of an edit control: Shift-JIS bytes with a caret, a selection, a byte limit, one
// level of undo and the input method's unfinished text, apart from any window, so that editing
// can be tested without one.
//
// Characters: a byte 0x81-0x9F or 0xE0-0xFC starts a two-byte character; in multi-line text CR
// LF is one line break, which the caret steps over whole. The caret and the selection's anchor
// always rest on character boundaries, so no edit ever splits a character.
//
// Selection: the bytes between the anchor and the caret (none when they are equal). Typing and
// pasting replace it; Backspace and Delete delete it.
//
// Undo: one level, as the system's control has: the text and selection before the last change.
// Undoing swaps them with the current ones, so a second undo brings the change back. Typing
// continued without moving the caret is one change, and so are deletions in a row.
//
// Thread: the owner serialises the calls (widgets.cpp holds its lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The most bytes the player may bring a control to that has no limit of its own: the
// system's default limit of an edit control.
constexpr size_t kEditDefaultLimit = 32767;

struct EditText {
  std::string text;   // Shift-JIS
  size_t caret = 0;   // byte offset
  size_t anchor = 0;  // the selection's other end; equal to caret: nothing selected
  // Most bytes that typing and pasting may bring the text to; 0: kEditDefaultLimit. Text set
  // by the program is kept whole, as a window's text is.
  size_t limit = 0;
  bool multi_line = false;
  // The input method's unfinished text (Shift-JIS), shown at the caret, not yet part of text.
  std::string composition;

  // The state before the last change, while there is one to undo.
  struct Snapshot {
    std::string text;
    size_t caret = 0, anchor = 0;
  };
  Snapshot undo;
  bool can_undo = false;
  // The kind of the last change, which a change of the same kind continues as one undo step;
  // cleared when the caret moves.
  enum class Run : uint8_t { kNone, kTyping, kDeleting };
  Run run = Run::kNone;
};

// Modifiers of edit_key.
constexpr uint32_t kEditShift = 1;  // extends the selection
constexpr uint32_t kEditCtrl = 2;   // by words; Home and End to the text's ends

// Replaces the text; the caret goes to its end with nothing selected, the composition is
// dropped and there is nothing to undo.
void edit_set_text(EditText& e, std::string_view sjis);
// Types text over the selection. Line breaks (CR LF, CR, LF) become CR LF in multi-line text
// and are dropped from a single line; other control bytes and a lead byte without its trail
// byte are dropped; what does not fit the limit is cut on a character boundary (nothing at all
// fitting changes nothing, the selection included). True when the text changed.
bool edit_type(EditText& e, std::string_view sjis);
// Typed text from the keyboard or the input method (UTF-8), converted with the CP932 rules;
// characters without a Shift-JIS form are dropped. True when the text changed.
bool edit_type_utf8(EditText& e, std::string_view utf8);
// Pastes Shift-JIS text over the selection, as typing does, except that a single line takes the
// text only up to its first line break (the rest is not pasted) and that a paste is always an
// undo step of its own. True when the text changed.
bool edit_paste(EditText& e, std::string_view sjis);
// The editing keys, by virtual-key code: Backspace (0x08) and Delete (0x2E) delete the
// selection or a character; Left, Right (0x25, 0x27), Up, Down (0x26, 0x28; between lines of
// multi-line text, like Left and Right in a single line), Home (0x24) and End (0x23) move the
// caret, extending the selection with kEditShift; with kEditCtrl Left and Right move by words,
// Home and End to the ends of the text. *changed tells whether the text changed; returns
// whether the key was an editing key.
bool edit_key(EditText& e, uint32_t vk, bool* changed, uint32_t mods = 0);

// The selection as byte offsets [*from, *to); false when nothing is selected.
bool edit_selection(const EditText& e, size_t* from, size_t* to);
// The selected text (empty when nothing is selected): what copying puts on the clipboard.
std::string edit_selected_text(const EditText& e);
// Selects from `anchor` to `caret` (each placed on the boundary at or before it).
void edit_select(EditText& e, size_t anchor, size_t caret);
void edit_select_all(EditText& e);
// Selects the word at byte offset `at` with the spaces after it (a double click): a run of
// characters of one kind (letters and digits, other signs, hiragana, katakana, other two-byte
// characters, spaces).
void edit_select_word(EditText& e, size_t at);
// Deletes the selection (the system's clear). True when the text changed.
bool edit_clear(EditText& e);
// Takes the selection out of the text into *cut. True when the text changed.
bool edit_cut(EditText& e, std::string* cut);
// Undoes the last change, or brings it back after an undo. True when the text changed.
bool edit_undo(EditText& e);

// Places the caret on the character boundary at or before byte offset `at`, with nothing
// selected.
void edit_set_caret(EditText& e, size_t at);

// Byte offset of the character boundary at or before `at`.
size_t edit_boundary_before(std::string_view text, size_t at);
