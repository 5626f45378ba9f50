#include "Orv/core/name_routines.h"

#include <cstring>

namespace {
char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

int32_t ExtensionIs(const char* name, const char* ext) {
  size_t len = std::strlen(name);
  // '.' is never the second byte of a Shift-JIS character, so a plain backward scan is safe.
  for (size_t i = len; i-- > 1;) {
    if (name[i] != '.') continue;
    const char* tail = name + i;
    size_t k = 0;
    for (; tail[k] && ext[k]; ++k) {
      if (lower(tail[k]) != lower(ext[k])) return 0;
    }
    return tail[k] == ext[k] ? 1 : 0;
  }
  return 0;
}

int32_t CopyTagName(char* out, uint32_t out_size, const char* text) {
  uint32_t i = 0;
  uint32_t copied = 0;  // how much of the name fits out with its zero
  while (text[i] && text[i] != '>') {
    const bool pair = (static_cast<unsigned char>(text[i]) & 0x80) && text[i + 1];
    const uint32_t unit = pair ? 2 : 1;
    if (copied == i && out_size && i + unit <= out_size - 1) copied = i + unit;
    i += unit;
  }
  if (out_size) {
    std::memcpy(out, text, copied);
    out[copied] = 0;
  }
  // Without a '>' stop on the zero: the original read on past it.
  return static_cast<int32_t>(text[i] == '>' ? i + 1 : i);
}

int32_t Gcd(int32_t a, int32_t b) {
  while (b != 0) {
    // INT32_MIN % -1 traps on x86; its remainder is 0 anyway.
    int32_t r = b == -1 ? 0 : a % b;
    a = b;
    b = r;
  }
  return a;
}
