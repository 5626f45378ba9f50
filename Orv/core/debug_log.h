// Debug windows as text, the debug log and the error log.
//
// In debug mode the game opens numbered log windows; here each is a list of rows kept in
// memory, with its report file for text logs. OrvDebugPrintf routes a line to the window of
// its key; the main debug dialog and the watch tables are text dumps (debug_status_dump,
// debug_window_dump). The error log is "log.txt" in the report folder. Outside debug mode none
// of this exists, but the system's error lines (key 0 and the error log) always go to stderr,
// so that a player can see why a game stopped.
//
// Called from the game, work and window threads; one mutex serialises the windows and files.
//
// Exports (orv/exports.h, "debug"):
//
//   int32_t OrvDebugPrintf(int32_t key, const char* label, const char* fmt, ...)
//     key 0 always goes to stderr. Debug mode: appends a row to the window of key (type 2 with
//     the label) and its report file; with state bit 0 only key 0 is written; key 10 keeps at
//     most 2000 rows. Texts beyond 2048 bytes are cut (box "print string count over"). 1 when
//     written or ignored, 0 when no window has the key.
//   int32_t OrvDebugWindowCreate(int32_t key, const char* name, int32_t type)  1, or 0 outside
//     debug mode or for a key in use. Type 1 makes "<name>.txt" in the report folder; "view=0"
//     in setting.ini section name creates it hidden.
//   OrvDebugWindowDelete(key), OrvDebugWindowDeleteLog(key), OrvDebugWindowToggleControl(key)
//     1, or 0 without that window.
//   OrvDebugWindowGetState(void), OrvDebugWindowSetState(state)  the state word.
//   OrvDebugSetData(key, int32_t* const* array, rows)  a watch table's array; returns 0.
//   OrvBeginUpdate(key), OrvEndUpdate(void), OrvDebugSetRegistryCount, OrvDebugSetEBP,
//   OrvDebugSetESP, OrvDebugSetSaveThumbnail, OrvDebugSetStringNo, DebugSetActionList
//     the status dump's watch values.
//   int32_t OrvErrorLogPrintf(const char* fmt, ...)        a line to stderr always and, in debug
//   int32_t OrvErrorLogPrintfBasic(const char* fmt, ...)   mode, to log.txt with CR LF (Basic
//   int32_t OrvErrorLogPuts(void)                          cuts at 1043 bytes; Puts writes the
//     text of errno). 1, or 0 in debug mode without log.txt.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

// Window types.
constexpr uint8_t kLogText = 1, kLogLabel = 2, kLogWatch = 3;
// The history window's cap.
constexpr int32_t kHistoryKey = 10;
constexpr size_t kHistoryRows = 2000;
// Longest debug text; longer ones are cut there and reported.
constexpr size_t kDebugTextMax = 2048;

struct LogRow {
  std::string label;  // type 2 only
  std::string text;
};

struct LogWindow {
  int32_t key = 0;
  std::string name;  // Shift-JIS
  bool shown = true;
  uint8_t type = kLogText;
  int32_t* const* watched = nullptr;  // type 3: the word holding the watched array's address
  int32_t watched_rows = 0;
  platform::FileHandle report = platform::kInvalidFile;  // type 1
  std::vector<LogRow> rows;
  int32_t place[4] = {0, 0, 300, 230};  // x, y, w, h kept for setting.ini
};

struct DebugState {
  std::recursive_mutex mutex;
  bool active = false;           // debug mode with the main dialog made
  std::list<LogWindow> windows;  // newest first
  std::atomic<uint32_t> state_word{0};
  platform::FileHandle log_file = platform::kInvalidFile;  // "log.txt"
  std::string base_folder;                                 // UTF-8, where setting.ini lies
  std::string report_folder;  // UTF-8, "_ORV_DEBUG_REPORT_" under the base folder
  int32_t updating_key = -1;
  // Watch values of the status dump.
  std::atomic<int32_t> register_count{0}, save_thumbnail{0}, string_no{0};
  std::atomic<const int32_t*> stack_base{nullptr}, stack_top{nullptr};
  char action_list[32] = {};
  int32_t dialog_place[4] = {0, 0, 300, 230};
  // When the dumps were last written (window thread).
  bool dumps_started = false;
  uint32_t status_dumped = 0, windows_dumped = 0;
};

// The debug state, one member of the library's state record; guarded by its mutex.
DebugState& orv_debug();

// Debug-mode start (system init): creates the report folder and "log.txt" afresh under the
// UTF-8 base folder. False when the folder or the file cannot be made (the log then stays
// off); the caller goes on.
bool debug_log_open(const std::string& base_folder);
// Debug-mode dialog (system init): the status dump exists, log windows may be opened.
void debug_dialog_create();
// The end handler: saves every window's placement to setting.ini, removes the windows and
// the dialog.
void debug_dialog_destroy();
// OrvUninit: closes "log.txt".
void debug_log_close();
// Appends a Shift-JIS line to "log.txt" when it is open; false when it is not. Only the error
// reporter calls it (Orv/core/error_report.h), which also writes the line to stderr.
bool error_log_write(std::string_view sjis_line);

// The dumps stand in for the debug dialogs that a player would watch: every 200 ms the status
// rows go to "status.txt" in the report folder, every 1000 ms each label and watch window to
// "<name>.txt" there (text windows write their report file as they go). Each file is replaced
// whole. Window thread, in debug mode; does nothing before the dialog is made.
constexpr uint32_t kStatusDumpMs = 200, kWindowDumpMs = 1000;
constexpr const char* kStatusDumpName = "status.txt";
void debug_dumps_tick(uint32_t now);

// Text dumps of the main dialog's status rows and of one window (watch tables included; the
// sound channels' for keys 14, 15 and 19).
std::string debug_status_dump();
std::string debug_window_dump(int32_t key);
// The rows of a window, for tests and dumps; empty when there is no such window.
std::vector<LogRow> debug_window_rows(int32_t key);

// setting.ini in the base folder.
int32_t settings_read_int(const std::string& path, const std::string& section,
                          const std::string& key, int32_t fallback);
bool settings_write_int(const std::string& path, const std::string& section, const std::string& key,
                        int32_t value);
