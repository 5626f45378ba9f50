#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

// iconv descriptors are not shareable between threads: keep one pair per thread.
struct Converter {
  iconv_t cd;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

iconv_t to_utf8() {
  thread_local Converter c("UTF-8", "CP932");
  return c.cd;
}
iconv_t to_sjis() {
  thread_local Converter c("CP932", "UTF-8");
  return c.cd;
}

// Runs one conversion. On failure stops at the bad input and reports how far it got through
// consumed; returns true when all input converted.
bool convert(iconv_t cd, std::string_view in, std::string& out, size_t* consumed) {
  out.clear();
  *consumed = 0;
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buf[1024];
  bool ok = true;
  while (src_left > 0) {
    char* dst = buf;
    size_t dst_left = sizeof buf;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      ok = false;  // EILSEQ or EINVAL (truncated at the end)
      break;
    }
  }
  *consumed = in.size() - src_left;
  return ok;
}

}  // namespace

namespace {

bool plain_to_utf8(std::string_view sjis, std::string& out) {
  size_t consumed;
  return convert(to_utf8(), sjis, out, &consumed);
}

}  // namespace

bool utf8_to_sjis(std::string_view utf8, std::string& out) {
  size_t consumed;
  return convert(to_sjis(), utf8, out, &consumed);
}

namespace {

std::string plain_to_utf8_lossy(std::string_view sjis) {
  std::string result, piece;
  while (!sjis.empty()) {
    size_t consumed;
    bool ok = convert(to_utf8(), sjis, piece, &consumed);
    result += piece;
    if (ok) break;
    // Skip the bad unit: a lead byte with its trail, or a single byte.
    size_t skip =
        (sjis_is_lead(static_cast<uint8_t>(sjis[consumed])) && consumed + 1 < sjis.size()) ? 2 : 1;
    result += "\xEF\xBF\xBD";
    sjis.remove_prefix(consumed + skip);
  }
  return result;
}

// ---- escapes: characters of a player's paths that have no CP932 form ----
//
// Each becomes three two-byte units from an alphabet in the user-defined rows: lead 0xF0-0xF3
// with a trail of 0x80-0xFC (never an ASCII byte, so no separator, letter or '?'). Unit k of
// the alphabet is (0xF0 + k / 125, 0x80 + k % 125). The first unit carries the code point's
// bits 14-20 (k 0-67), the second bits 7-13 (k 125-252), the third bits 0-6 (k 253-380).

constexpr int kEscapeTrails = 125;
constexpr int kEscapeHigh = 0, kEscapeMid = 125, kEscapeLow = 253;

void put_escape_unit(std::string& out, int k) {
  out += static_cast<char>(0xF0 + k / kEscapeTrails);
  out += static_cast<char>(0x80 + k % kEscapeTrails);
}

void put_escape(std::string& out, uint32_t cp) {
  put_escape_unit(out, kEscapeHigh + static_cast<int>(cp >> 14));
  put_escape_unit(out, kEscapeMid + static_cast<int>((cp >> 7) & 0x7F));
  put_escape_unit(out, kEscapeLow + static_cast<int>(cp & 0x7F));
}

// The alphabet index of the unit at `at`, or -1.
int escape_unit_at(std::string_view s, size_t at) {
  if (at + 1 >= s.size()) return -1;
  const uint8_t lead = static_cast<uint8_t>(s[at]), trail = static_cast<uint8_t>(s[at + 1]);
  if (lead < 0xF0 || lead > 0xF3 || trail < 0x80 || trail > 0xFC) return -1;
  return (lead - 0xF0) * kEscapeTrails + (trail - 0x80);
}

// The code point of an escape at `at`, or -1.
int32_t escape_at(std::string_view s, size_t at) {
  const int high = escape_unit_at(s, at), mid = escape_unit_at(s, at + 2),
            low = escape_unit_at(s, at + 4);
  if (high < kEscapeHigh || high >= kEscapeHigh + 68 || mid < kEscapeMid ||
      mid >= kEscapeMid + 128 || low < kEscapeLow || low >= kEscapeLow + 128) {
    return -1;
  }
  const uint32_t cp = uint32_t(high - kEscapeHigh) << 14 | uint32_t(mid - kEscapeMid) << 7 |
                      uint32_t(low - kEscapeLow);
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  return static_cast<int32_t>(cp);
}

void put_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code point of the UTF-8 character at `at` and its length; -1 when it is not valid.
int32_t utf8_at(std::string_view s, size_t at, size_t* length) {
  const uint8_t b = static_cast<uint8_t>(s[at]);
  size_t n = b < 0x80             ? 1
             : (b & 0xE0) == 0xC0 ? 2
             : (b & 0xF0) == 0xE0 ? 3
             : (b & 0xF8) == 0xF0 ? 4
                                  : 0;
  *length = 1;
  if (n == 0 || at + n > s.size()) return -1;
  uint32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t i = 1; i < n; ++i) {
    const uint8_t c = static_cast<uint8_t>(s[at + i]);
    if ((c & 0xC0) != 0x80) return -1;
    cp = cp << 6 | (c & 0x3F);
  }
  static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  *length = n;
  return static_cast<int32_t>(cp);
}

// Runs `convert_piece` over the pieces between escapes and puts each escape's character in
// between. False as soon as a piece fails (out then holds what came before).
template <typename Piece>
bool with_escapes(std::string_view sjis, std::string& out, Piece convert_piece) {
  out.clear();
  size_t start = 0, at = 0;
  std::string piece;
  while (at < sjis.size()) {
    const int32_t cp = escape_at(sjis, at);
    if (cp < 0) {
      at += (sjis_is_lead(static_cast<uint8_t>(sjis[at])) && at + 1 < sjis.size()) ? 2 : 1;
      continue;
    }
    const bool ok = convert_piece(sjis.substr(start, at - start), piece);
    out += piece;
    if (!ok) return false;
    put_utf8(out, static_cast<uint32_t>(cp));
    at += 6;
    start = at;
  }
  const bool ok = convert_piece(sjis.substr(start), piece);
  out += piece;
  return ok;
}

}  // namespace

bool sjis_to_utf8(std::string_view sjis, std::string& out) {
  return with_escapes(sjis, out, plain_to_utf8);
}

std::string sjis_to_utf8_lossy(std::string_view sjis) {
  std::string out;
  with_escapes(sjis, out, [](std::string_view piece, std::string& converted) {
    converted = plain_to_utf8_lossy(piece);
    return true;
  });
  return out;
}

std::string utf8_to_sjis_path(std::string_view utf8) {
  std::string result, piece;
  size_t start = 0, at = 0;
  auto flush = [&](size_t end) {
    std::string_view run = utf8.substr(start, end - start);
    // The run holds only characters with a CP932 form; should iconv refuse one anyway, the
    // lossy form keeps going.
    result += utf8_to_sjis_lossy(run);
  };
  while (at < utf8.size()) {
    size_t length;
    const int32_t cp = utf8_at(utf8, at, &length);
    bool escape = false;
    if (cp >= 0xE000 && cp < 0xE2F0) {
      escape = true;  // user-defined characters whose bytes the escapes use
    } else if (cp >= 0x80) {
      size_t consumed;
      escape = !convert(to_sjis(), utf8.substr(at, length), piece, &consumed);
    }
    if (cp < 0) {
      flush(at);
      result += '?';
      at += length;
      start = at;
    } else if (escape) {
      flush(at);
      put_escape(result, static_cast<uint32_t>(cp));
      at += length;
      start = at;
    } else {
      at += length;
    }
  }
  flush(at);
  return result;
}

std::string utf8_to_sjis_lossy(std::string_view utf8) {
  std::string result, piece;
  while (!utf8.empty()) {
    size_t consumed;
    bool ok = convert(to_sjis(), utf8, piece, &consumed);
    result += piece;
    if (ok) break;
    // Skip one UTF-8 character.
    size_t skip = 1;
    while (consumed + skip < utf8.size() &&
           (static_cast<uint8_t>(utf8[consumed + skip]) & 0xC0) == 0x80)
      ++skip;
    result += '?';
    utf8.remove_prefix(consumed + skip);
  }
  return result;
}

}  // namespace platform
