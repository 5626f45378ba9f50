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
  e.caret = edit_boundary_before(e.text, std::min(at, e.text.size()));
}

void edit_set_text(EditText& e, std::string_view sjis) {
  e.text.assign(sjis);
  e.caret = e.text.size();
  e.composition.clear();
}

bool edit_type(EditText& e, std::string_view sjis) {
  // The typed text as the control keeps it.
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
  if (e.limit > 0) {
    const size_t room = e.text.size() < e.limit ? e.limit - e.text.size() : 0;
    add.resize(edit_boundary_before(add, room));
  }
  if (add.empty()) return false;
  e.caret = edit_boundary_before(e.text, e.caret);
  e.text.insert(e.caret, add);
  e.caret += add.size();
  return true;
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

bool edit_key(EditText& e, uint32_t vk, bool* changed) {
  *changed = false;
  std::string_view t = e.text;
  e.caret = edit_boundary_before(t, std::min(e.caret, t.size()));
  switch (vk) {
    case 0x08:  // Backspace
      if (e.caret > 0) {
        const size_t from = edit_boundary_before(t, e.caret - 1);
        e.text.erase(from, e.caret - from);
        e.caret = from;
        *changed = true;
      }
      return true;
    case 0x2E:  // Delete
      if (e.caret < t.size()) {
        e.text.erase(e.caret, unit_at(t, e.caret));
        *changed = true;
      }
      return true;
    case 0x25:  // Left
      if (e.caret > 0) e.caret = edit_boundary_before(t, e.caret - 1);
      return true;
    case 0x27:  // Right
      e.caret += unit_at(t, e.caret);
      return true;
    case 0x24:  // Home
      e.caret = e.multi_line ? line_start(t, e.caret) : 0;
      return true;
    case 0x23:  // End
      e.caret = e.multi_line ? line_end(t, e.caret) : t.size();
      return true;
    case 0x26:    // Up
    case 0x28: {  // Down
      if (!e.multi_line) return true;
      const size_t start = line_start(t, e.caret);
      const size_t column = e.caret - start;
      if (vk == 0x26) {
        if (start == 0) return true;
        const size_t before = edit_boundary_before(t, start - 1);  // the break above
        e.caret = column_in_line(t, line_start(t, before), column);
      } else {
        const size_t end = line_end(t, e.caret);
        if (end >= t.size()) return true;
        e.caret = column_in_line(t, end + unit_at(t, end), column);
      }
      return true;
    }
    default:
      return false;
  }
}
