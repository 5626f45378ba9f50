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

bool sjis_to_utf8(std::string_view sjis, std::string& out) {
  size_t consumed;
  return convert(to_utf8(), sjis, out, &consumed);
}

bool utf8_to_sjis(std::string_view utf8, std::string& out) {
  size_t consumed;
  return convert(to_sjis(), utf8, out, &consumed);
}

std::string sjis_to_utf8_lossy(std::string_view sjis) {
  std::string result, piece;
  while (!sjis.empty()) {
    size_t consumed;
    bool ok = convert(to_utf8(), sjis, piece, &consumed);
    result += piece;
    if (ok) break;
    // Skip the bad unit: a lead byte with its trail, or a single byte.
    size_t skip = (sjis_is_lead(static_cast<uint8_t>(sjis[consumed])) && consumed + 1 < sjis.size()) ? 2 : 1;
    result += "\xEF\xBF\xBD";
    sjis.remove_prefix(consumed + skip);
  }
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
    while (consumed + skip < utf8.size() && (static_cast<uint8_t>(utf8[consumed + skip]) & 0xC0) == 0x80) ++skip;
    result += '?';
    utf8.remove_prefix(consumed + skip);
  }
  return result;
}

}  // namespace platform
