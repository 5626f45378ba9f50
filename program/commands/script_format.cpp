#include "commands/script_format.h"

#include "commands/command_util.h"

namespace engine {

namespace {

constexpr uint32_t kMaxField = 2047;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Reads decimal digits at s[i...], capped at kMaxField.
uint32_t read_number(std::string_view s, size_t* i) {
  uint32_t v = 0;
  while (*i < s.size() && is_digit(s[*i])) {
    v = v * 10 + static_cast<uint32_t>(s[*i] - '0');
    if (v > kMaxField) v = kMaxField;
    ++*i;
  }
  return v;
}

}  // namespace

bool format_int_piece(std::string_view piece, uint32_t value, std::string* out) {
  if (piece.size() < 2 || piece[0] != '%') return false;
  size_t i = 1;
  bool left = false, alt = false, zero = false;
  for (; i < piece.size(); ++i) {
    if (piece[i] == '-') {
      left = true;
    } else if (piece[i] == '#') {
      alt = true;
    } else if (piece[i] == '0') {
      zero = true;
    } else {
      break;
    }
  }
  const uint32_t width = read_number(piece, &i);
  int32_t precision = -1;
  if (i < piece.size() && piece[i] == '.') {
    ++i;
    precision = static_cast<int32_t>(read_number(piece, &i));
  }
  bool half = false;
  if (i < piece.size() && (piece[i] == 'h' || piece[i] == 'l')) half = piece[i++] == 'h';
  if (i + 1 != piece.size()) return false;
  const char letter = piece[i];

  std::string body, prefix;
  if (letter == 'c') {
    body.assign(1, static_cast<char>(value & 0xFF));
  } else if (letter == 'd') {
    int64_t v = half ? static_cast<int16_t>(value) : static_cast<int32_t>(value);
    if (v < 0) {
      prefix = "-";
      v = -v;
    }
    body = std::to_string(v);
  } else if (letter == 'x' || letter == 'X') {
    uint32_t v = half ? (value & 0xFFFF) : value;
    const char* digits = letter == 'x' ? "0123456789abcdef" : "0123456789ABCDEF";
    do {
      body.insert(body.begin(), digits[v & 15]);
      v >>= 4;
    } while (v);
    if (alt && value != 0) prefix = letter == 'x' ? "0x" : "0X";
  } else {
    return false;
  }
  if (letter != 'c' && precision >= 0) {
    if (precision == 0 && body == "0") body.clear();
    if (body.size() < static_cast<size_t>(precision)) body.insert(0, precision - body.size(), '0');
  }
  const size_t len = prefix.size() + body.size();
  if (len >= width) {
    out->append(prefix).append(body);
  } else if (left) {
    out->append(prefix).append(body).append(width - len, ' ');
  } else if (zero && letter != 'c') {
    out->append(prefix).append(width - len, '0').append(body);
  } else {
    out->append(width - len, ' ').append(prefix).append(body);
  }
  return true;
}

std::string wsprint_format(std::string_view format, const FormatSource& source, size_t max_bytes) {
  std::string out;
  uint32_t next = 0;  // index of the next value
  size_t i = 0;
  while (i < format.size() && out.size() < max_bytes) {
    const size_t pct = format.find('%', i);
    if (pct == std::string_view::npos) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, pct - i));
    if (pct + 1 >= format.size()) break;  // a lone "%" at the end ends the format
    const char c = format[pct + 1];
    if (c == '%' || c == '\'' || c == 'n') {
      out.append(c == '%' ? "%" : c == '\'' ? "\"" : "\r\n");
      i = pct + 2;
      continue;
    }
    const bool is_text = c == 's' || c == 'S' || c == 't' || c == 'T';
    const bool is_file = c == 'f' || c == 'F';
    if ((is_text || is_file) && next < 8) {
      const uint32_t v = source.values[next++];
      out.append(is_text ? source.text(v, source.context) : source.file_name(v, source.context));
      i = pct + 2;
      continue;
    }
    // A numeric piece runs to the first conversion letter.
    size_t end = pct + 1;
    bool found = false;
    while (end < format.size()) {
      const char b = format[end];
      if (b == 'd' || b == 'D' || b == 'x' || b == 'X' || b == 'c') {
        found = true;
        break;
      }
      end += static_cast<uint8_t>(b) >= 0x80 ? 2 : 1;
    }
    if (found && next < 8 && !is_text && !is_file &&
        format_int_piece(format.substr(pct, end - pct + 1), source.values[next], &out)) {
      ++next;
      i = end + 1;
      continue;
    }
    out.push_back('%');
    i = pct + 1;
  }
  out.resize(sjis_clamp(out, max_bytes));
  return out;
}

}  // namespace engine
