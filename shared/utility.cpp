#include "shared/utility.h"

#include <cstring>
#include <vector>

namespace {

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_hex_run_char(char c) {
  c = lower(c);
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == 'x';
}

// Rule A: a byte of 0x80 or above starts a two-byte unit.
bool starts_pair(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

constexpr uint32_t kRemoveBuffer = 260;

}  // namespace

uint32_t str_remove_chars(char* buffer, const char* set, uint32_t length, uint32_t set_size) {
  char copy[kRemoveBuffer];
  std::memcpy(copy, buffer, kRemoveBuffer);
  std::memset(buffer, 0, kRemoveBuffer);
  // The original trusted the length; past 259 bytes it would read beyond the copy and leave
  // no room for the terminating zero.
  if (length > kRemoveBuffer - 1) length = kRemoveBuffer - 1;
  uint32_t kept = 0;
  for (uint32_t i = 0; i < length; ++i) {
    if (set_size && std::memchr(set, copy[i], set_size)) continue;
    buffer[kept++] = copy[i];
  }
  return kept;
}

uint32_t parse_color(const char* text, int32_t* consumed) {
  int32_t run = 0;
  while (is_hex_run_char(text[run])) ++run;
  if (consumed) *consumed = run;
  uint32_t value = 0;
  uint32_t shift = 0;
  for (int32_t i = run - 1; i >= 0; --i) {
    char c = lower(text[i]);
    if (c == 'x') break;
    uint32_t digit =
        (c <= '9') ? static_cast<uint32_t>(c - '0') : static_cast<uint32_t>(c - 'a' + 10);
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

uint32_t line_length(const char* text) {
  uint32_t i = 0;
  for (; text[i]; ++i) {
    if (text[i] == '\r') return text[i + 1] == '\n' ? i + 2 : i + 1;
    if (text[i] == '\n') return i + 1;
  }
  return i;
}

int32_t str_split_copy(char* dest, const char* src, const char* separators, int32_t maximum) {
  dest[0] = 0;
  int32_t copied = 0;
  const char* p = src;
  while (*p) {
    if (starts_pair(*p)) {
      if (!p[1]) break;  // a lead byte at the very end ends the text
      dest[copied++] = p[0];
      dest[copied++] = p[1];
      p += 2;
    } else {
      if (std::strchr(separators, *p)) break;
      dest[copied++] = *p++;
    }
    dest[copied] = 0;
    if (copied > maximum) break;
  }
  return copied + 1;
}

int32_t str_get_field(char* dest, uint32_t dest_size, const char* src, int32_t n, char separator) {
  const char* p = src;
  for (int32_t seen = 0; seen < n;) {
    if (!*p) return 0;
    if (starts_pair(*p)) {
      if (!p[1]) return 0;
      p += 2;
      continue;
    }
    if (*p++ == separator) ++seen;
  }
  // The field runs from p to the next one-byte separator or the end.
  uint32_t length = 0;
  for (;;) {
    char c = p[length];
    if (!c || (!starts_pair(c) && c == separator)) break;
    if (starts_pair(c)) {
      if (!p[length + 1]) break;
      length += 2;
    } else {
      ++length;
    }
  }
  if (dest_size) {
    // The original trusted the caller's 260 bytes; fields come from files, so cut a longer
    // one at a unit boundary instead of writing past dest.
    uint32_t copy = 0;
    while (copy < length) {
      uint32_t unit = starts_pair(p[copy]) ? 2 : 1;
      if (copy + unit > dest_size - 1) break;
      copy += unit;
    }
    std::memcpy(dest, p, copy);
    dest[copy] = 0;
  }
  return static_cast<int32_t>(length + 1);
}

int32_t monitor_enum_proc(uint32_t monitor, const MonitorRect& rect, MonitorSearch* search) {
  if (search->mode == kMonitorFindByHandle) {
    ++search->counter;
    if (monitor == search->monitor) {
      search->rect = rect;
      return 0;
    }
    return 1;
  }
  if (--search->counter < 0) {
    search->rect = rect;
    search->counter = static_cast<int32_t>(search->mode & 0xFFFF);
    search->monitor = monitor;
    return 0;
  }
  return 1;
}
