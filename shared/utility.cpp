#include "shared/utility.h"

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool is_hex_run_char(char c) {
  c = lower(c);
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == 'x';
}
}  // namespace

uint32_t parse_color(const char* text, int32_t* consumed) {
  int32_t run = 0;
  while (is_hex_run_char(text[run])) ++run;
  if (consumed) *consumed = run;
  uint32_t value = 0;
  uint32_t shift = 0;
  for (int32_t i = run - 1; i >= 0; --i) {
    char c = lower(text[i]);
    if (c == 'x') break;
    uint32_t digit = (c <= '9') ? static_cast<uint32_t>(c - '0') : static_cast<uint32_t>(c - 'a' + 10);
    if (shift < 32) value |= digit << shift;  // digits beyond the eighth fall off
    shift += 4;
  }
  return value;
}

int32_t str_to_int(const char* text, int32_t* digits) {
  *digits = 0;
  bool negative = false;
  if (*text == '-' || *text == '+') {
    negative = *text == '-';
    ++text;
  }
  uint32_t value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10u + static_cast<uint32_t>(*text - '0');
    ++*digits;
    ++text;
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}
