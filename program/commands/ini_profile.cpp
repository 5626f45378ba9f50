#include "commands/ini_profile.h"

#include <vector>

#include "commands/command_seams.h"
#include "commands/command_util.h"
#include "engine/dispatch.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
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

std::string ini_resolve_path(const std::string& name) {
  for (const std::string* folder : {&command_save_folder(), &command_program_folder()}) {
    const std::string path = *folder + "\\" + name;
    if (path.size() <= 259 && orv.OrvFileExists(path.c_str())) return path;
  }
  return name;
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
  // Split into lines without their ends.
  std::vector<std::string> lines;
  for (size_t i = 0; i < old.size();) {
    size_t e = i;
    while (e < old.size() && old[e] != '\r' && old[e] != '\n') ++e;
    lines.emplace_back(old.substr(i, e - i));
    i = next_line(old, e);
    if (i == e) i = e + 1;
  }
  const std::string entry = std::string(key) + "=" + std::string(value);
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
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + static_cast<ptrdiff_t>(insert_at), entry);
    }
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";

  const std::string tmp = path + ".tmp";
  const platform::FileHandle f =
      orv.OrvFileOpen(tmp.c_str(), platform::kGenericWrite, 0, platform::kCreateAlways, 0, nullptr);
  if (f == platform::kInvalidFile) return false;
  uint32_t written = 0;
  bool ok = platform::file_write(f, text.data(), static_cast<uint32_t>(text.size()), &written) &&
            platform::file_flush(f);
  ok = platform::file_close(f) && ok;
  if (!ok || !orv.OrvFileReplace(tmp.c_str(), path.c_str())) {
    orv.OrvFileDelete(tmp.c_str());
    return false;
  }
  return true;
}

namespace {

uint32_t cmd_get_private_profile_string(VmContext& vm) {
  const std::string section = fetch_text(vm, vm_pop(vm));
  const std::string key = fetch_text(vm, vm_pop(vm));
  const std::string fallback = fetch_text(vm, vm_pop(vm));
  const uint32_t dest = vm_pop(vm);
  const std::string file = fetch_file_name(vm, vm_pop(vm));
  if (!is_string_handle(dest)) {
    // "はstring型を指定していません。"
    vm_log(kLogMain,
           "get_private_profile_string \x82\xcdstring\x8c^\x82\xf0\x8ew\x92\xe8\x82\xb5"
           "\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81"
           "B");
    vm_set_result(vm, static_cast<uint32_t>(-1));
    return 1;
  }
  const std::string path = ini_resolve_path(file);
  char* slot = AdvGetVarString(vm, dest & ~kStringHandleBit);
  std::string value = ini_get_string(section, key, fallback, path);
  value.resize(sjis_clamp(value, kSlotTextMax));
  if (slot_of(vm, dest)) slot_store(slot, value);
  vm_set_result(vm, static_cast<uint32_t>(value.size()));
  return 1;
}

uint32_t cmd_get_private_profile_int(VmContext& vm) {
  const std::string section = fetch_text(vm, vm_pop(vm));
  const std::string key = fetch_text(vm, vm_pop(vm));
  const uint32_t fallback = vm_pop(vm);
  const std::string file = fetch_file_name(vm, vm_pop(vm));
  std::string value;
  uint32_t result = fallback;
  if (ini_read_value(section, key, &value, ini_resolve_path(file))) {
    value = ini_trim_end(value);
    if (!value.empty()) {
      size_t i = 0;
      while (i < value.size() && (is_blank(value[i]) || value[i] == '\n')) ++i;
      bool negative = false;
      if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
      uint32_t v = 0;
      while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        v = v * 10u + static_cast<uint32_t>(value[i++] - '0');
      }
      result = negative ? 0u - v : v;
    }
  }
  vm_set_result(vm, result);
  return 1;
}

uint32_t write_profile(VmContext& vm, bool as_int) {
  const std::string section = fetch_text(vm, vm_pop(vm));
  const std::string key = fetch_text(vm, vm_pop(vm));
  const uint32_t value_ref = vm_pop(vm);
  const std::string file = fetch_file_name(vm, vm_pop(vm));
  std::string value;
  if (as_int) {
    value = std::to_string(static_cast<int32_t>(value_ref));
  } else {
    value = fetch_text(vm, value_ref);
    if (value.size() + 2 < 4093) value = "\"" + value + "\"";
  }
  const std::string path = command_save_folder() + "\\" + file;
  vm_set_result(vm, ini_write_string(section, key, value, path) ? 1 : 0);
  return 1;
}
uint32_t cmd_write_private_profile_string(VmContext& vm) {
  return write_profile(vm, false);
}
uint32_t cmd_write_private_profile_int(VmContext& vm) {
  return write_profile(vm, true);
}

}  // namespace

void install_ini_commands() {
  set_command_handler(0x120024, cmd_get_private_profile_string);
  set_command_handler(0x120025, cmd_get_private_profile_int);
  set_command_handler(0x120026, cmd_write_private_profile_string);
  set_command_handler(0x120027, cmd_write_private_profile_int);
}

}  // namespace engine
