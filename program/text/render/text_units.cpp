#include "text/render/text_units.h"

#include <algorithm>

#include "shared/sjis_units.h"

namespace textrender {

namespace {
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

TextUnit text_unit_at(const char* text) {
  const char c = text[0];
  if (c == 0) return {UnitKind::kEnd, 0, 0};
  if (c == '<') {
    size_t n = 1;
    while (text[n] && text[n] != '>') ++n;
    if (text[n] == '>') ++n;
    return {UnitKind::kTag, 0, n};
  }
  if (c == '\\') {
    if (text[1] == 0) return {UnitKind::kSingle, 0, 1};
    return {UnitKind::kEscape, 0, 2};
  }
  if (c == '%' && is_digit(text[1])) {
    size_t n = 1;
    while (is_digit(text[n]) && n < kFieldMaxBytes) ++n;
    return {UnitKind::kField, static_cast<uint8_t>(is_digit(text[n]) ? 1 : 0), n};
  }
  // text[1] exists (text[0] is no terminator); a terminator there is no trail byte.
  if (sjis_unit_length(kSjisRendererUnits, text, 2) == 2) return {UnitKind::kDouble, 0, 2};
  return {UnitKind::kSingle, 0, 1};
}

size_t text_field_run(const char* text) {
  size_t n = 1;
  while (is_digit(text[n])) ++n;
  return n;
}

bool text_starts_with(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (*text != *prefix) return false;
  return true;
}

size_t text_read_decimal(const char* text, int64_t* value) {
  int64_t v = 0;
  size_t n = 0;
  while (is_digit(text[n])) {
    v = v * 10 + (text[n] - '0');
    if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
    ++n;
  }
  *value = v;
  return n;
}

size_t size_tag_length(const char* tag) {
  int64_t n = 0;
  size_t length = 2 + text_read_decimal(tag + 2, &n);
  if (tag[length]) ++length;
  return length;
}

int64_t size_tag_value(const char* tag) {
  int64_t n = 0;
  text_read_decimal(tag + 2, &n);
  return std::min(n, kMaxTagSize);
}

}  // namespace textrender
