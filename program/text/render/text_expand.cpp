// text_expand: the player name and the memory-value fields written into a message.
#include <algorithm>
#include <cstring>

#include "engine/vm_context.h"
#include "engine/vm_log.h"
#include "shared/sjis_units.h"
#include "text/render/text_render.h"
#include "text/render/text_units.h"

namespace textrender {

namespace {

// Writes into dst while whole pieces fit (one byte is kept for the terminator).
struct Out {
  char* dst;
  size_t capacity;
  size_t length;
  bool full;
  bool put(const char* bytes, size_t n) {
    if (full || length + n + 1 > capacity) {
      full = true;
      return false;
    }
    std::memcpy(dst + length, bytes, n);
    length += n;
    return true;
  }
};

// The "]" that closes a field, searched by units (a "]" may be the second byte of a two-byte
// character); null when the text has none.
const char* field_close(const char* p) {
  while (*p && *p != ']') p += std::max<size_t>(sjis_unit_length(kSjisRendererUnits, p, 2), 1);
  return *p ? p : nullptr;
}

// The word a field "&" letter "[" index "]" names (field holds the bytes from "&" to "]"),
// or null when the letter names no memory or the index lies outside it.
const uint32_t* field_word(const engine::VmContext& vm, const char* field, size_t length) {
  if (length < 5 || field[2] != '[') return nullptr;
  int64_t index = 0;
  const size_t digits = text_read_decimal(field + 3, &index);
  if (digits == 0 || 3 + digits + 1 != length) return nullptr;
  switch (field[1]) {
    case 'f':
      return index < engine::kSystemMemoryCells ? &vm.sysMem[index] : nullptr;
    case 'm':
      return index < engine::kUserMemoryCells ? &vm.userMem[index] : nullptr;
    case 't':
      return index < engine::kTempMemoryCells ? &vm.tempMem[index] : nullptr;
    default:
      return nullptr;
  }
}

// The value in full-width digits (0x824F + d), a negative one after the full-width minus.
size_t full_width_number(int32_t value, char* out) {
  size_t n = 0;
  int64_t v = value;
  if (v < 0) {
    out[n++] = static_cast<char>(0x81);
    out[n++] = static_cast<char>(0x7C);
    v = -v;
  }
  char digits[12];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  while (count) {
    const int d = digits[--count] - '0';
    out[n++] = static_cast<char>(0x82);
    out[n++] = static_cast<char>(0x4F + d);
  }
  return n;
}

}  // namespace

size_t text_expand(engine::VmContext& vm, char* dst, size_t capacity, const char* src) {
  if (!dst || capacity == 0) return 0;
  Out out{dst, capacity, 0, false};
  const char* p = src ? src : "";
  while (*p && !out.full) {
    if (p[0] == '/' && p[1] == 'n') {
      const char* name = vm.playerName.szName;
      const size_t name_length = strnlen(name, sizeof vm.playerName.szName);
      out.put(name, sjis_cut_incomplete_tail(kSjisRendererUnits, name, name_length));
      p += 2;
      continue;
    }
    if (p[0] == '&') {
      const char* close = field_close(p + 1);
      if (!close) {
        out.put(p, 1);
        ++p;
        continue;
      }
      const size_t length = static_cast<size_t>(close - p) + 1;
      const uint32_t* word = field_word(vm, p, length);
      if (!word) {
        engine::vm_log(engine::kLogMain, "text_expand: no memory word for %.*s, 0 written",
                       static_cast<int>(length), p);
      }
      char number[2 + 2 * 11];
      out.put(number, full_width_number(word ? static_cast<int32_t>(*word) : 0, number));
      p += length;
      continue;
    }
    const TextUnit unit = text_unit_at(p);
    out.put(p, unit.length);
    p += unit.length;
  }
  dst[out.length] = 0;
  return out.length;
}

}  // namespace textrender
