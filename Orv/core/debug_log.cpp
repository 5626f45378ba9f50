// The log windows, the debug log and the error log.
#include "Orv/core/debug_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <sstream>

#include "Orv/core/core_services.h"
#include "Orv/core/error_report.h"
#include "Orv/core/sound/sound_watch.h"
#include "Orv/core/window/process.h"
#include "Orv/core_alive.h"
#include "orv/orv.h"
#include "platform/message_box.h"
#include "platform/sjis.h"
#include "platform/whole_file.h"

namespace {

DebugState& dbg() {
  return orv_debug();
}

bool debug_mode() {
  return orv_core_alive() && orv_process().params.debug != 0;
}

// Formats into at most kDebugTextMax bytes; *overlong tells whether the text was cut.
std::string format_text(const char* format, va_list args, size_t limit, bool* overlong) {
  std::string text(limit + 1, '\0');
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(text.data(), text.size(), format ? format : "", copy);
  va_end(copy);
  if (n < 0) n = 0;
  if (overlong) *overlong = static_cast<size_t>(n) > limit;
  text.resize(std::min(static_cast<size_t>(n), limit));
  return text;
}

void to_stderr(const std::string& sjis) {
  error_report(sjis);
}

// Each line is one write of the file layer (no buffer in between): the log survives a crash.
void write_line(platform::FileHandle file, std::string_view text) {
  if (file == platform::kInvalidFile) return;
  std::string line(text);
  line += "\r\n";
  platform::file_write(file, line.data(), static_cast<uint32_t>(line.size()), nullptr);
}

// Creates (or empties) a report file named by a UTF-8 path.
platform::FileHandle create_report(const std::string& utf8_path) {
  return platform::file_open(platform::utf8_to_sjis_lossy(utf8_path).c_str(),
                             platform::kGenericRead | platform::kGenericWrite, 0,
                             platform::kCreateAlways, 0);
}

void close_report(platform::FileHandle* file) {
  if (*file != platform::kInvalidFile) platform::file_close(*file);
  *file = platform::kInvalidFile;
}

// The lines of a text file named by a UTF-8 path, each without its CR LF; none when missing.
std::vector<std::string> read_lines(const std::string& utf8_path) {
  std::vector<std::string> lines;
  std::vector<uint8_t> bytes;
  if (!platform::load_file_bytes(platform::utf8_to_sjis_lossy(utf8_path), &bytes, 1u << 20)) {
    return lines;
  }
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string line(text.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

LogWindow* find_window(int32_t key) {
  for (LogWindow& w : dbg().windows) {
    if (w.key == key) return &w;
  }
  return nullptr;
}

std::string settings_path() {
  return dbg().base_folder + "/setting.ini";
}

void close_window_files(LogWindow& w) {
  close_report(&w.report);
}

// A log window's name as a file name in the report folder: it must not leave that folder (the
// file layer takes '\' as a separator too).
std::string report_name(const std::string& sjis_name) {
  std::string file_name = platform::sjis_to_utf8_lossy(sjis_name);
  std::replace(file_name.begin(), file_name.end(), '/', '_');
  std::replace(file_name.begin(), file_name.end(), '\\', '_');
  return file_name;
}

// Replaces a dump file whole (named by a UTF-8 path), so that a reader never sees half of one.
void write_dump(const std::string& utf8_path, const std::string& sjis_text) {
  platform::save_file_bytes(platform::utf8_to_sjis_lossy(utf8_path), sjis_text.data(),
                            sjis_text.size());
}

std::string bits_text(uint32_t word) {
  std::string s(32, '0');
  for (int i = 0; i < 32; ++i) {
    if (word & (1u << (31 - i))) s[i] = '1';
  }
  return s;
}

}  // namespace

bool debug_log_open(const std::string& base_folder) {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  d.base_folder = base_folder;
  d.report_folder = base_folder + "/_ORV_DEBUG_REPORT_";
  platform::make_folder(platform::utf8_to_sjis_lossy(d.report_folder).c_str());
  close_report(&d.log_file);
  d.log_file = create_report(d.report_folder + "/log.txt");
  return d.log_file != platform::kInvalidFile;
}

void debug_log_close() {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  close_report(&d.log_file);
}

void debug_dialog_create() {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  d.active = true;
  d.dumps_started = false;
  std::string ini = settings_path();
  d.dialog_place[0] = std::max(0, settings_read_int(ini, "DebugWindow", "x", 0));
  d.dialog_place[1] = std::max(0, settings_read_int(ini, "DebugWindow", "y", 0));
  d.dialog_place[2] = settings_read_int(ini, "DebugWindow", "w", 300);
  d.dialog_place[3] = settings_read_int(ini, "DebugWindow", "h", 230);
}

void debug_dialog_destroy() {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  if (!d.active) return;
  std::string ini = settings_path();
  static const char* const kKeys[4] = {"x", "y", "w", "h"};
  for (int i = 0; i < 4; ++i) settings_write_int(ini, "DebugWindow", kKeys[i], d.dialog_place[i]);
  for (LogWindow& w : d.windows) {
    std::string section = platform::sjis_to_utf8_lossy(w.name);
    settings_write_int(ini, section, "view", w.shown ? 1 : 0);
    for (int i = 0; i < 4; ++i) settings_write_int(ini, section, kKeys[i], w.place[i]);
    close_window_files(w);
  }
  d.windows.clear();
  d.active = false;
}

bool error_log_write(std::string_view sjis_line) {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  if (d.log_file == platform::kInvalidFile) return false;
  write_line(d.log_file, sjis_line);
  return true;
}

std::vector<LogRow> debug_window_rows(int32_t key) {
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  LogWindow* w = find_window(key);
  return w ? w->rows : std::vector<LogRow>{};
}

std::string debug_status_dump() {
  ProcessRecord& p = orv_process();
  DebugState& d = dbg();
  const InputState& in = p.input;
  char line[256];
  std::ostringstream out;
  std::snprintf(line, sizeof line, "( %d, %d )[ %d, %d ] wheel = %d", in.mouse_x, in.mouse_y,
                in.move_x, in.move_y, in.wheel);
  out << "mouse\t" << line << "\n";
  out << "key\t" << bits_text(in.key_now) << "\n";
  out << "joy\t" << bits_text(in.joy_now) << "\n";
  out << "fps\t" << p.measured_fps.load() << "\n";
  out << "task\t" << orv_services().tasks.task_count << "\n";
  out << "VRAM\t-\n";  // the software renderer has no video memory to report
  out << "mem_cnt\t" << OrvGetAllocCount() << "\n";
  int32_t reg = d.register_count.load();
  std::snprintf(line, sizeof line, "%d / %d", reg & 0xFFFF, (reg >> 16) & 0xFFFF);
  out << "reg_cnt\t" << line << "\n";
  const int32_t* base = d.stack_base.load();
  const int32_t* top = d.stack_top.load();
  std::snprintf(line, sizeof line, "%d / %d", base ? *base : 0, top ? *top : 0);
  out << "ebp/esp\t" << line << "\n";
  out << "mosaic\t" << (d.save_thumbnail.load() ? "\x81\x9c\x81\x9c\x81\x9c" : "---") << "\n";
  out << "keyrept\t" << bits_text(in.repeat) << "\n";
  out << "str_no\t" << d.string_no.load() << "\n";
  {
    std::lock_guard<std::recursive_mutex> lock(d.mutex);
    out << "action\t" << std::string(d.action_list, strnlen(d.action_list, 31)) << "\n";
  }
  return out.str();
}

void debug_dumps_tick(uint32_t now) {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  if (!d.active) return;
  if (d.dumps_started && now - d.status_dumped < kStatusDumpMs) return;
  const bool windows_due = !d.dumps_started || now - d.windows_dumped >= kWindowDumpMs;
  d.dumps_started = true;
  d.status_dumped = now;
  write_dump(d.report_folder + "/" + kStatusDumpName, debug_status_dump());
  if (!windows_due) return;
  d.windows_dumped = now;
  for (const LogWindow& w : d.windows) {
    // A text log writes its own report file as it goes.
    if (w.type == kLogText) continue;
    write_dump(d.report_folder + "/" + report_name(w.name) + ".txt", debug_window_dump(w.key));
  }
}

std::string debug_window_dump(int32_t key) {
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  LogWindow* w = find_window(key);
  if (!w) return {};
  std::ostringstream out;
  out << w->name << "\n";
  if (w->type == kLogWatch && sound_watch_key(key)) {
    const uint8_t* table = w->watched ? reinterpret_cast<const uint8_t*>(*w->watched) : nullptr;
    for (const std::string& row : sound_watch_rows(key, table)) out << row << "\n";
    return out.str();
  }
  if (w->type == kLogWatch) {
    const int32_t* values = w->watched ? *w->watched : nullptr;
    for (int32_t i = 0; i < w->watched_rows; ++i) {
      out << i << "\t" << (values ? values[i] : 0) << "\n";
    }
    return out.str();
  }
  for (const LogRow& row : w->rows) {
    if (w->type == kLogLabel) out << row.label << "\t";
    out << row.text << "\n";
  }
  return out.str();
}

// ---- setting.ini: "[section]" lines and "key=value" lines ----

int32_t settings_read_int(const std::string& path, const std::string& section,
                          const std::string& key, int32_t fallback) {
  std::string current;
  for (const std::string& line : read_lines(path)) {
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
    } else if (current == section) {
      size_t eq = line.find('=');
      if (eq != std::string::npos && line.substr(0, eq) == key) {
        return static_cast<int32_t>(std::strtol(line.c_str() + eq + 1, nullptr, 10));
      }
    }
  }
  return fallback;
}

bool settings_write_int(const std::string& path, const std::string& section, const std::string& key,
                        int32_t value) {
  std::vector<std::string> lines = read_lines(path);
  std::string entry = key + "=" + std::to_string(value);
  std::string header = "[" + section + "]";
  auto sec = std::find(lines.begin(), lines.end(), header);
  if (sec == lines.end()) {
    lines.push_back(header);
    lines.push_back(entry);
  } else {
    auto it = sec + 1;
    bool done = false;
    for (; it != lines.end() && !(it->size() >= 2 && it->front() == '['); ++it) {
      if (it->compare(0, key.size() + 1, key + "=") == 0) {
        *it = entry;
        done = true;
        break;
      }
    }
    if (!done) lines.insert(it, entry);
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return platform::save_file_bytes(platform::utf8_to_sjis_lossy(path), text.data(), text.size());
}

// ---- exports ----

extern "C" {

int32_t OrvDebugPrintf(int32_t key, const char* label, const char* format, ...) {
  DebugState& d = dbg();
  bool overlong = false;
  va_list args;
  va_start(args, format);
  std::string text = format_text(format, args, kDebugTextMax, &overlong);
  va_end(args);
  if (key == 0) to_stderr(text);  // error lines are seen even without the debug windows
  if (!debug_mode()) return 1;
  if (key != 0 && (d.state_word.load() & 1)) return 1;
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  LogWindow* w = find_window(key);
  if (!w) return 0;
  if (!w->shown) return 1;
  if (overlong) process_box("print string count over", "", platform::kMbTopMost);
  if (key == kHistoryKey && w->rows.size() >= kHistoryRows) w->rows.erase(w->rows.begin());
  w->rows.push_back(LogRow{w->type == kLogLabel && label ? label : "", text});
  write_line(w->report, text);
  return 1;
}

int32_t OrvDebugWindowCreate(int32_t key, const char* name, int32_t type) {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  if (!d.active || find_window(key)) return 0;
  LogWindow w;
  w.key = key;
  w.name = name ? name : "";
  w.type = static_cast<uint8_t>(type);
  const std::string file_name = report_name(w.name);
  if (w.type == kLogText) {
    w.report = create_report(d.report_folder + "/" + file_name + ".txt");
  }
  std::string ini = settings_path();
  w.shown = settings_read_int(ini, file_name, "view", 1) != 0;
  static const char* const kKeys[4] = {"x", "y", "w", "h"};
  for (int i = 0; i < 4; ++i) w.place[i] = settings_read_int(ini, file_name, kKeys[i], w.place[i]);
  d.windows.push_front(std::move(w));
  return 1;
}

int32_t OrvDebugWindowDelete(int32_t key) {
  DebugState& d = dbg();
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  for (auto it = d.windows.begin(); it != d.windows.end(); ++it) {
    if (it->key == key) {
      close_window_files(*it);
      d.windows.erase(it);
      return 1;
    }
  }
  return 0;
}

int32_t OrvDebugWindowDeleteLog(int32_t key) {
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  LogWindow* w = find_window(key);
  if (!w) return 0;
  w->rows.clear();
  return 1;
}

int32_t OrvDebugWindowToggleControl(int32_t key) {
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  LogWindow* w = find_window(key);
  if (!w) return 0;
  w->shown = !w->shown;
  return 1;
}

uint32_t OrvDebugWindowGetState(void) {
  return dbg().active ? dbg().state_word.load() : 0;
}

int32_t OrvDebugWindowSetState(uint32_t state) {
  if (!dbg().active) return 0;
  dbg().state_word = state;
  return 1;
}

int32_t OrvDebugSetData(int32_t key, int32_t* const* array, int32_t rows) {
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  LogWindow* w = find_window(key);
  if (w && w->type == kLogWatch) {
    w->watched = array;
    w->watched_rows = rows > 0 ? rows : 0;
  }
  return 0;
}

int32_t OrvBeginUpdate(int32_t key) {
  if (!debug_mode()) return 1;
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  if (!find_window(key)) return 0;
  dbg().updating_key = key;
  return 1;
}

int32_t OrvEndUpdate(void) {
  dbg().updating_key = -1;
  return 1;
}

int32_t OrvDebugSetRegistryCount(int32_t value) {
  dbg().register_count = value;
  return 0;
}
int32_t OrvDebugSetEBP(const int32_t* value) {
  dbg().stack_base = value;
  return 0;
}
int32_t OrvDebugSetESP(const int32_t* value) {
  dbg().stack_top = value;
  return 0;
}
int32_t OrvDebugSetSaveThumbnail(int32_t value) {
  dbg().save_thumbnail = value;
  return 0;
}
int32_t OrvDebugSetStringNo(int32_t value) {
  dbg().string_no = value;
  return 0;
}

void DebugSetActionList(const char* name) {
  std::lock_guard<std::recursive_mutex> lock(dbg().mutex);
  std::memset(dbg().action_list, 0, sizeof dbg().action_list);
  if (name) std::strncpy(dbg().action_list, name, 31);
}

int32_t OrvErrorLogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format ? format : "", copy);
  va_end(copy);
  std::string text = format_text(format, args, n > 0 ? static_cast<size_t>(n) : 0, nullptr);
  va_end(args);
  return error_report(text, ErrorLog::kWrite) || !debug_mode() ? 1 : 0;
}

int32_t OrvErrorLogPrintfBasic(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = format_text(format, args, 1043, nullptr);
  va_end(args);
  return error_report(text, ErrorLog::kWrite) || !debug_mode() ? 1 : 0;
}

int32_t OrvErrorLogPuts(void) {
  std::string text = std::strerror(errno);
  text.resize(std::min<size_t>(text.size(), 1024));
  return error_report(text, ErrorLog::kWrite) || !debug_mode() ? 1 : 0;
}

}  // extern "C"
