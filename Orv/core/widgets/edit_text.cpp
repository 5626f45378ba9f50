#include "Orv/core/widgets/edit_text.h"

#include <algorithm>

#include "platform/sjis.h"

namespace {

bool lead(char c) {
  return platform::sjis_is_lead(static_cast<uint8_t>(c));
}

// The length of the character (or CR LF) at `at`.
size_t unit_at(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  if (lead(text[at]) && at + 1 < text.size()) return 2;
  if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') return 2;
  return 1;
}

// The boundary before the character that ends at `at` (at must be a boundary).
size_t unit_before(std::string_view text, size_t at) {
  return at == 0 ? 0 : edit_boundary_before(text, at - 1);
}

// The start of the line that holds `at`, and its end (before its line break).
size_t line_start(std::string_view text, size_t at) {
  size_t start = 0;
  for (size_t i = 0; i < at && i < text.size(); i += unit_at(text, i)) {
    if (text[i] == '\r' || text[i] == '\n') start = i + unit_at(text, i);
  }
  return std::min(start, at);
}
size_t line_end(std::string_view text, size_t at) {
  size_t i = at;
  while (i < text.size() && text[i] != '\r' && text[i] != '\n') i += unit_at(text, i);
  return std::min(i, text.size());
}

// The caret `column` bytes into the line beginning at `start`, on a boundary.
size_t column_in_line(std::string_view text, size_t start, size_t column) {
  const size_t end = line_end(text, start);
  size_t i = start;
  while (i < end && i + unit_at(text, i) <= start + column) i += unit_at(text, i);
  return i;
}

// The kinds of character that make a word, for Ctrl+Left/Right and the double click.
enum class CharKind { kSpace, kBreak, kWord, kSign, kHiragana, kKatakana, kWide };

CharKind kind_at(std::string_view text, size_t at) {
  const uint8_t b = static_cast<uint8_t>(text[at]);
  if (unit_at(text, at) == 2 && lead(text[at])) {
    const uint16_t code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[at + 1]));
    if (code == 0x8140) return CharKind::kSpace;  // the full-width space
    if (code >= 0x829F && code <= 0x82F1) return CharKind::kHiragana;
    if ((code >= 0x8340 && code <= 0x8396) || code == 0x815B) return CharKind::kKatakana;
    return CharKind::kWide;
  }
  if (b == '\r' || b == '\n') return CharKind::kBreak;
  if (b == ' ' || b == '\t') return CharKind::kSpace;
  if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' ||
      b >= 0x80) {
    return CharKind::kWord;  // half-width kana too
  }
  return CharKind::kSign;
}

// The end of the run of characters of one kind that starts at `at` (a line break alone).
size_t run_end(std::string_view text, size_t at) {
  if (at >= text.size()) return at;
  const CharKind k = kind_at(text, at);
  size_t i = at + unit_at(text, at);
  if (k == CharKind::kBreak) return i;
  while (i < text.size() && kind_at(text, i) == k) i += unit_at(text, i);
  return i;
}
size_t run_start(std::string_view text, size_t at) {
  if (at == 0) return 0;
  size_t i = unit_before(text, at);
  const CharKind k = kind_at(text, i);
  if (k == CharKind::kBreak) return i;
  while (i > 0) {
    const size_t before = unit_before(text, i);
    if (kind_at(text, before) != k) break;
    i = before;
  }
  return i;
}
bool space_at(std::string_view text, size_t at) {
  return at < text.size() && kind_at(text, at) == CharKind::kSpace;
}

// Ctrl+Right: past the word and the spaces after it. Ctrl+Left: back over spaces to the
// word's start.
size_t word_right(std::string_view text, size_t at) {
  size_t i = space_at(text, at) ? at : run_end(text, at);
  while (space_at(text, i)) i += unit_at(text, i);
  return i;
}
size_t word_left(std::string_view text, size_t at) {
  size_t i = at;
  while (i > 0 && space_at(text, unit_before(text, i))) i = unit_before(text, i);
  return run_start(text, i);
}

// The text as the control keeps it: line breaks by kind of control, control bytes and a lone
// lead byte dropped.
std::string filtered(const EditText& e, std::string_view sjis) {
  std::string add;
  for (size_t i = 0; i < sjis.size();) {
    const uint8_t b = static_cast<uint8_t>(sjis[i]);
    if (platform::sjis_is_lead(b)) {
      if (i + 1 < sjis.size()) add.append(sjis.substr(i, 2));
      i += 2;
      continue;
    }
    if (b == '\r' || b == '\n') {
      i += b == '\r' && i + 1 < sjis.size() && sjis[i + 1] == '\n' ? 2 : 1;
      if (e.multi_line) add += "\r\n";
      continue;
    }
    if (b >= 0x20 && b != 0x7F) add += static_cast<char>(b);
    ++i;
  }
  return add;
}

// Keeps caret and anchor inside the text and on boundaries (the text may have been set).
void settle(EditText& e) {
  e.caret = edit_boundary_before(e.text, std::min(e.caret, e.text.size()));
  e.anchor = edit_boundary_before(e.text, std::min(e.anchor, e.text.size()));
}

// Remembers the state before a change of kind `run`, unless the change continues the last one.
void begin_change(EditText& e, EditText::Run run) {
  if (run != EditText::Run::kNone && e.run == run && e.caret == e.anchor && e.can_undo) return;
  e.undo = EditText::Snapshot{e.text, e.caret, e.anchor};
  e.can_undo = true;
  e.run = run;
}

// Replaces the selection by text already filtered, cut to the limit. False when nothing fits.
bool replace_selection(EditText& e, std::string add, EditText::Run run) {
  if (add.empty()) return false;
  settle(e);
  const size_t from = std::min(e.caret, e.anchor), to = std::max(e.caret, e.anchor);
  const size_t limit = e.limit > 0 ? e.limit : kEditDefaultLimit;
  const size_t kept = e.text.size() - (to - from);
  const size_t room = kept < limit ? limit - kept : 0;
  add.resize(edit_boundary_before(add, std::min(room, add.size())));
  if (add.empty()) return false;
  begin_change(e, run);
  e.text.replace(from, to - from, add);
  e.caret = e.anchor = from + add.size();
  return true;
}

// Deletes [from, to) as a change of kind `run`.
bool erase(EditText& e, size_t from, size_t to, EditText::Run run) {
  if (from >= to) return false;
  begin_change(e, run);
  e.text.erase(from, to - from);
  e.caret = e.anchor = from;
  return true;
}

}  // namespace

size_t edit_boundary_before(std::string_view text, size_t at) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t n = unit_at(text, i);
    if (i + n > at) break;
    i += n;
  }
  return i;
}

void edit_set_caret(EditText& e, size_t at) {
  e.caret = e.anchor = edit_boundary_before(e.text, std::min(at, e.text.size()));
  e.run = EditText::Run::kNone;
}

void edit_select(EditText& e, size_t anchor, size_t caret) {
  e.anchor = edit_boundary_before(e.text, std::min(anchor, e.text.size()));
  e.caret = edit_boundary_before(e.text, std::min(caret, e.text.size()));
  e.run = EditText::Run::kNone;
}

void edit_select_all(EditText& e) {
  edit_select(e, 0, e.text.size());
}

void edit_select_word(EditText& e, size_t at) {
  const std::string_view t = e.text;
  at = edit_boundary_before(t, std::min(at, t.size()));
  // At the end of the text or of a line the word is the one before.
  if (at > 0 && (at == t.size() || kind_at(t, at) == CharKind::kBreak)) at = unit_before(t, at);
  if (at >= t.size() || kind_at(t, at) == CharKind::kBreak) {
    edit_set_caret(e, at);
    return;
  }
  const size_t start = run_start(t, at + unit_at(t, at));
  size_t end = run_end(t, at);
  if (kind_at(t, at) != CharKind::kSpace) {
    while (space_at(t, end)) end += unit_at(t, end);
  }
  edit_select(e, start, end);
}

bool edit_selection(const EditText& e, size_t* from, size_t* to) {
  const size_t a = std::min(e.anchor, e.text.size()), c = std::min(e.caret, e.text.size());
  *from = std::min(a, c);
  *to = std::max(a, c);
  return *from < *to;
}

std::string edit_selected_text(const EditText& e) {
  size_t from = 0, to = 0;
  return edit_selection(e, &from, &to) ? e.text.substr(from, to - from) : std::string();
}

void edit_set_text(EditText& e, std::string_view sjis) {
  e.text.assign(sjis);
  e.caret = e.anchor = e.text.size();
  e.composition.clear();
  e.can_undo = false;
  e.undo = EditText::Snapshot{};
  e.run = EditText::Run::kNone;
}

bool edit_type(EditText& e, std::string_view sjis) {
  return replace_selection(e, filtered(e, sjis), EditText::Run::kTyping);
}

bool edit_type_utf8(EditText& e, std::string_view utf8) {
  std::string sjis;
  // Convert character by character so that one without a Shift-JIS form drops alone.
  for (size_t i = 0; i < utf8.size();) {
    const uint8_t b = static_cast<uint8_t>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    std::string one;
    if (platform::utf8_to_sjis(utf8.substr(i, n), one)) sjis += one;
    i += n;
  }
  return edit_type(e, sjis);
}

bool edit_paste(EditText& e, std::string_view sjis) {
  if (!e.multi_line) {
    // A single line takes the text up to its first line break, as the system's control does.
    const size_t end = sjis.find_first_of("\r\n");
    if (end != std::string_view::npos) sjis = sjis.substr(0, end);
  }
  // A paste is an undo step of its own, never a continuation of typing.
  return replace_selection(e, filtered(e, sjis), EditText::Run::kNone);
}

bool edit_clear(EditText& e) {
  settle(e);
  size_t from = 0, to = 0;
  if (!edit_selection(e, &from, &to)) return false;
  return erase(e, from, to, EditText::Run::kNone);
}

bool edit_cut(EditText& e, std::string* cut) {
  *cut = edit_selected_text(e);
  return edit_clear(e);
}

bool edit_undo(EditText& e) {
  if (!e.can_undo) return false;
  EditText::Snapshot now{e.text, e.caret, e.anchor};
  const bool changed = now.text != e.undo.text;
  e.text = std::move(e.undo.text);
  e.caret = e.undo.caret;
  e.anchor = e.undo.anchor;
  e.undo = std::move(now);
  e.run = EditText::Run::kNone;
  settle(e);
  return changed;
}

bool edit_key(EditText& e, uint32_t vk, bool* changed, uint32_t mods) {
  *changed = false;
  settle(e);
  const std::string_view t = e.text;
  const bool shift = (mods & kEditShift) != 0, ctrl = (mods & kEditCtrl) != 0;
  size_t from = 0, to = 0;
  const bool selected = edit_selection(e, &from, &to);
  if (vk == 0x08 || vk == 0x2E) {  // Backspace, Delete
    if (selected) {
      e.run = EditText::Run::kNone;
      *changed = erase(e, from, to, EditText::Run::kNone);
    } else if (vk == 0x08) {
      *changed = erase(e, unit_before(t, e.caret), e.caret, EditText::Run::kDeleting);
    } else {
      *changed = erase(e, e.caret, e.caret + unit_at(t, e.caret), EditText::Run::kDeleting);
    }
    return true;
  }
  // A single line takes Up and Down as Left and Right.
  if (!e.multi_line && vk == 0x26) vk = 0x25;
  if (!e.multi_line && vk == 0x28) vk = 0x27;
  size_t to_caret = e.caret;
  switch (vk) {
    case 0x25:  // Left
      if (ctrl) {
        to_caret = word_left(t, e.caret);
      } else if (selected && !shift) {
        to_caret = from;  // the selection collapses to its start
      } else {
        to_caret = unit_before(t, e.caret);
      }
      break;
    case 0x27:  // Right
      if (ctrl) {
        to_caret = word_right(t, e.caret);
      } else if (selected && !shift) {
        to_caret = to;
      } else {
        to_caret = e.caret + unit_at(t, e.caret);
      }
      break;
    case 0x24:  // Home
      to_caret = e.multi_line && !ctrl ? line_start(t, e.caret) : 0;
      break;
    case 0x23:  // End
      to_caret = e.multi_line && !ctrl ? line_end(t, e.caret) : t.size();
      break;
    case 0x26:    // Up
    case 0x28: {  // Down
      const size_t start = line_start(t, e.caret);
      const size_t column = e.caret - start;
      if (vk == 0x26) {
        if (start > 0) {
          const size_t before = unit_before(t, start);  // the break above
          to_caret = column_in_line(t, line_start(t, before), column);
        }
      } else {
        const size_t end = line_end(t, e.caret);
        if (end < t.size()) to_caret = column_in_line(t, end + unit_at(t, end), column);
      }
      break;
    }
    default:
      return false;
  }
  if (shift) {
    edit_select(e, e.anchor, to_caret);
  } else {
    edit_set_caret(e, to_caret);
  }
  return true;
}
