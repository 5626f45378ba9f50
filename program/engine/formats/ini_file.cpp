#include "engine/formats/ini_file.h"

#include <vector>

#include "commands/command_util.h"
#include "engine/game_files.h"
#include "engine/orv_api.h"
#include "platform/file_handle.h"

namespace engine {

namespace {

// The name part before "=" is compared over at most this many bytes.
constexpr size_t kNameMax = 4095;

// Offset of the start of the line after position i (past CR LF, CR or LF); a zero byte stops
// the skip on itself.
size_t next_line(std::string_view t, size_t i) {
  while (i < t.size() && t[i] != '\r' && t[i] != '\n' && t[i] != 0) ++i;
  if (i < t.size() && t[i] == '\r') {
    ++i;
    if (i < t.size() && t[i] == '\n') ++i;
  } else if (i < t.size() && t[i] == '\n') {
    ++i;
  }
  return i;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

uint32_t ini_find_section(std::string_view section, std::string_view text) {
  const std::string header = "[" + std::string(section) + "]";
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ';') {
      const size_t n = next_line(text, i);
      i = n == i ? i + 1 : n;  // a zero byte: step over it
    } else if (c == '[') {
      if (text.substr(i, header.size()) == header) return static_cast<uint32_t>(next_line(text, i));
      i = next_line(text, i);
    } else {
      ++i;
    }
  }
  return static_cast<uint32_t>(text.size());
}

bool ini_find_value(std::string_view text, std::string_view section, std::string_view key,
                    std::string* out) {
  size_t i = ini_find_section(section, text);
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n' || c == ';') {
      const size_t n = next_line(text, i);
      i = n == i ? i + 1 : n;  // a zero byte: step over it
      continue;
    }
    if (c == '[') return false;
    // The name part runs to the next "=" (two-byte characters taken whole), across lines.
    size_t eq = i;
    while (eq < text.size() && text[eq] != '=')
      eq += static_cast<uint8_t>(text[eq]) >= 0x80 ? 2 : 1;
    if (eq > text.size()) eq = text.size();
    const std::string_view name = text.substr(i, std::min(eq - i, kNameMax));
    if (name.find(key) != std::string_view::npos) {
      size_t v = eq + 1;
      while (v < text.size() && is_blank(text[v])) ++v;
      if (v >= text.size() || text[v] == '\n') return false;
      size_t end = v;
      while (end < text.size() && text[end] != '\r' && text[end] != '\n' && text[end] != 0) ++end;
      end = next_line(text, end);
      const std::string_view value = text.substr(v, end - v);
      // The value ends at a zero byte as the C text it is; one that starts there is empty.
      const std::string_view text_part = value.substr(0, value.find('\0'));
      if (text_part.empty()) return false;
      out->assign(text_part);
      return true;
    }
    if (eq >= text.size()) return false;
    i = next_line(text, eq + 1);
  }
  return false;
}

bool ini_read_value(std::string_view section, std::string_view key, std::string* out,
                    const std::string& path) {
  std::string data;
  if (read_data_file(path.c_str(), &data) != 0) return false;
  return ini_find_value(data, section, key, out);
}

std::string ini_trim_end(std::string text) {
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\n')) text.pop_back();
  return text;
}

std::string ini_get_string(std::string_view section, std::string_view key,
                           std::string_view fallback, const std::string& path) {
  std::string out(fallback);
  ini_read_value(section, key, &out, path);
  out = ini_trim_end(out);
  if (out.size() >= 2 && out.front() == '"' && out.back() == '"')
    out = out.substr(1, out.size() - 2);
  return out;
}

namespace {

bool ascii_equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool read_plain_file(const std::string& path, std::string* data) {
  data->clear();
  const platform::FileHandle f =
      orv.OrvFileOpen(path.c_str(), platform::kGenericRead, 0, platform::kOpenExisting, 0, nullptr);
  if (f == platform::kInvalidFile) return false;
  const int64_t size = platform::file_size(f);
  bool ok = size >= 0 && size < (int64_t{1} << 30);
  if (ok) {
    data->resize(static_cast<size_t>(size));
    uint32_t done = 0;
    ok = size == 0 ||
         (platform::file_read(f, data->data(), static_cast<uint32_t>(size), &done) && done == size);
  }
  platform::file_close(f);
  return ok;
}

}  // namespace

bool ini_write_string(std::string_view section, std::string_view key, std::string_view value,
                      const std::string& path) {
  std::string old;
  read_plain_file(path, &old);
  // Split into lines without their ends; the lines are views into the old text, so that a
  // write to a large file copies it once, not once per line.
  const std::string entry = std::string(key) + "=" + std::string(value);
  const std::string header = "[" + std::string(section) + "]";
  std::vector<std::string_view> lines;
  for (size_t i = 0; i < old.size();) {
    size_t e = i;
    while (e < old.size() && old[e] != '\r' && old[e] != '\n') ++e;
    lines.emplace_back(std::string_view(old).substr(i, e - i));
    i = next_line(old, e);
    if (i == e) i = e + 1;
  }
  size_t in_section = lines.size();  // index of the section's header line
  size_t insert_at = lines.size();
  bool done = false;
  for (size_t n = 0; n < lines.size() && !done; ++n) {
    const std::string_view line = trim(lines[n]);
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      const std::string_view name = line.substr(1, close == std::string_view::npos ? 0 : close - 1);
      if (in_section != lines.size()) break;  // the section ended
      if (ascii_equal_nocase(name, section)) in_section = n, insert_at = n + 1;
      continue;
    }
    if (in_section == lines.size() || line.empty() || line.front() == ';') continue;
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos && ascii_equal_nocase(trim(line.substr(0, eq)), key)) {
      lines[n] = entry;
      done = true;
    } else {
      insert_at = n + 1;
    }
  }
  if (!done) {
    if (in_section == lines.size()) {
      lines.push_back(header);
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + static_cast<ptrdiff_t>(insert_at), entry);
    }
  }
  size_t bytes = 0;
  for (const std::string_view l : lines) bytes += l.size() + 2;
  std::string text;
  text.reserve(bytes);
  for (const std::string_view l : lines) text.append(l).append("\r\n");

  return game_file_save(path, text.data(), text.size());
}

}  // namespace engine
