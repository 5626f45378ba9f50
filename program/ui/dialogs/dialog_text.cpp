#include "ui/dialogs/dialog_text.h"

#include <cstdio>

#include "shared/sjis_units.h"

namespace ui {

namespace {

constexpr std::string_view kBreak = "<br>";

bool is_lead(uint8_t c) {
  return sjis_is_lead(kSjisDialogUnits, c);
}

}  // namespace

int32_t edit_count(std::string_view text) {
  int32_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    if (c >= 0x80) {
      count += 2;
      ++i;
    } else if (c != '\r') {
      count += 1;
    }
  }
  return count;
}

std::string edit_counter_text(int32_t count, int32_t maximum) {
  char buf[64];
  if (count > maximum) {
    std::snprintf(buf, sizeof buf, "%d/%d(over %d)", count, maximum, count - maximum);
  } else {
    std::snprintf(buf, sizeof buf, "%d/%d", count, maximum);
  }
  return buf;
}

bool edit_ok_enabled(int32_t count, int32_t maximum) {
  return count != 0 && count <= maximum;
}

std::string edit_initial_text(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

MarkupResult markup_from_input(std::string_view input, int32_t width, int32_t lines,
                               int32_t half_width, std::string* out) {
  out->clear();
  int32_t line = 0, column = 0;
  size_t i = 0;
  while (i < input.size()) {
    if (line >= lines) return MarkupResult::kTooLong;
    const uint8_t c = static_cast<uint8_t>(input[i]);
    if (c == '\r' || c == '\n') {
      i += (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n') ? 2 : 1;
      if (lines < 2) return MarkupResult::kTooLong;
      *out += kBreak;
      column = 0;
      if (++line >= lines) return MarkupResult::kTooLong;
      continue;
    }
    if (c < 0x20) return MarkupResult::kControl;
    if (c == '\\' || c == '<' || c == '%') return MarkupResult::kForbidden;
    if (is_lead(c)) {
      if (i + 1 >= input.size()) break;  // a lead byte without its second byte is dropped
      if (column + 2 <= width) {
        out->append(input.substr(i, 2));
        column += 2;
      } else {
        *out += kBreak;
        out->append(input.substr(i, 2));
        i += 2;
        if (++line >= lines) return MarkupResult::kTooLong;
        column = 2;
        continue;
      }
      i += 2;
    } else {
      *out += static_cast<char>(c);
      column += half_width;
      ++i;
    }
    if (column >= width) {
      ++line;
      column = 0;
      if (line > lines) return MarkupResult::kTooLong;
    }
  }
  return MarkupResult::kOk;
}

std::string markup_to_input(std::string_view markup) {
  std::string out;
  for (size_t i = 0; i < markup.size();) {
    const uint8_t c = static_cast<uint8_t>(markup[i]);
    if (c == '<') {
      if (markup.substr(i, kBreak.size()) != kBreak) break;
      out += "\r\n";
      i += kBreak.size();
    } else if (is_lead(c) && i + 1 < markup.size()) {
      out.append(markup.substr(i, 2));
      i += 2;
    } else if (c < 0x20 || c == '\\' || c == '%') {
      break;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

}  // namespace ui
