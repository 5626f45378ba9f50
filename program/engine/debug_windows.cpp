#include <cstdlib>
#include <string>

#include "engine/formats/ini_file.h"
#include "engine/orv_api.h"
#include "engine/startup_steps.h"
#include "platform/program_path.h"
#include "platform/sjis.h"

namespace engine {
namespace {

struct DebugWindowRow {
  const char* ini_key;
  int32_t key;
  const char* title;
  int32_t type;
};

constexpr DebugWindowRow kDebugWindows[] = {
    {"History", 10, "\x97\x9a\x97\xf0", 1},                                    // "履歴"
    {"UserMemory", 11, "\x83\x86\x81[\x83U\x81[\x83\x81\x83\x82\x83\x8a", 3},  // "ユーザーメモリ"
    {"SystemMemory", 12,
     "\x83V\x83X\x83"
     "e\x83\x80\x83\x81\x83\x82\x83\x8a",
     3},  // "システムメモリ"
    {"TempMemory", 13,
     "\x83"
     "e\x83\x93\x83|\x83\x89\x83\x8a\x83\x81\x83\x82\x83\x8a",
     3},  // "テンポラリメモリ"
    {"SE", 14,
     "\x82r\x82"
     "d\x83`\x83\x83\x83\x93\x83l\x83\x8b",
     3},  // "ＳＥチャンネル"
    {"BGM", 15,
     "\x82"
     "a\x82"
     "f\x82l\x83`\x83\x83\x83\x93\x83l\x83\x8b",
     3},  // "ＢＧＭチャンネル"
    {"Output", 16, "output", 1},
    {"BGV", 19,
     "\x82"
     "a\x82"
     "f\x82u\x83`\x83\x83\x83\x93\x83l\x83\x8b",
     3},  // "ＢＧＶチャンネル"
};

}  // namespace

void debug_windows_create() {
  const std::string base = orv.OrvGetFilePath();  // the base folder: the program folder
  const std::string path = base + "\\setting.ini";
  const bool has_settings = orv.OrvFileExists(path.c_str());
  for (const DebugWindowRow& row : kDebugWindows) {
    std::string value;
    const bool found = has_settings && ini_read_value("DebugWindow", row.ini_key, &value, path);
    if (!found || std::atoi(value.c_str()) != 0) {
      orv.OrvDebugWindowCreate(row.key, row.title, row.type);
    }
  }
  if (!has_settings) {
    for (const DebugWindowRow& row : kDebugWindows) orv.OrvDebugWindowToggleControl(row.key);
  }
}

}  // namespace engine
