#include "engine/formats/data_file_format.h"

#include <cstring>

#include "shared/utility.h"

namespace engine {

namespace {

constexpr int32_t kTokenMax = 512;

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Drops blanks and comments, keeps quoted pieces whole, and keeps a LF only after a line that
// copied something.
std::string clean(std::string_view t) {
  std::string out;
  bool copied = false;  // a byte was copied since the start or the last copied LF
  size_t i = 0;
  while (i < t.size() && t[i] != 0) {
    const char c = t[i];
    if (c == '/' && i + 1 < t.size() && t[i + 1] == '/') {
      i += 2;
      while (i < t.size() && t[i] != '\r' && t[i] != '\n' && t[i] != 0) ++i;
      if (i < t.size() && t[i] == '\r') {
        ++i;
        if (i < t.size() && t[i] == '\n') ++i;
      } else if (i < t.size() && t[i] == '\n') {
        ++i;
      }
      continue;
    }
    if (c == '"') {
      size_t close = t.find('"', i + 1);
      close = close == std::string_view::npos ? t.size() : close + 1;
      std::string_view piece = t.substr(i, close - i);
      piece = piece.substr(0, piece.find('\0'));
      out.append(piece);
      copied = true;
      if (piece.size() < close - i) break;  // the zero byte ends the text
      i = close;
      continue;
    }
    if (is_space(c)) {
      if (c == '\n' && copied) {
        out.push_back('\n');
        copied = false;
      }
      ++i;
      continue;
    }
    out.push_back(c);
    copied = true;
    ++i;
  }
  return out;
}

}  // namespace

DataFileContents data_file_parse(std::string_view text) {
  DataFileContents contents;
  const std::string cleaned = clean(text);
  // str_split_copy may write up to maximum + 2 bytes and a terminator.
  char token[kTokenMax + 4];
  const char* p = cleaned.c_str();
  const char* end = p + cleaned.size();
  while (p < end) {
    const int32_t step = str_split_copy(token, p, ",\n", kTokenMax);
    if (token[0] == '"') {
      const char* body = token + 1;
      const char* close = std::strchr(body, '"');
      size_t len = close ? static_cast<size_t>(close - body) : std::strlen(body);
      if (len > kDataStringMax) len = kDataStringMax;
      const uint32_t offset = static_cast<uint32_t>(contents.pool.size());
      contents.pool.push_back(static_cast<char>(len & 0xFF));
      contents.pool.push_back(static_cast<char>(len >> 8));
      contents.pool.append(body, len);
      contents.cells.push_back(0x80000000u | offset);
    } else {
      int32_t digits = 0;
      contents.cells.push_back(static_cast<uint32_t>(str_to_int(token, &digits)));
    }
    if (step <= 0) break;
    p += step;
  }
  return contents;
}

}  // namespace engine
