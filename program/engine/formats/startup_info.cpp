#include "engine/formats/startup_info.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/formats/ini_file.h"
#include "engine/game_files.h"
#include "engine/orv_api.h"
#include "engine/save_folder.h"
#include "engine/formats/system_files.h"
#include "platform/message_box.h"
#include "platform/program_path.h"
#include "platform/sjis.h"
#include "shared/utility.h"

#ifndef VELMORA_COMPANY
#define VELMORA_COMPANY "Velmora Works"
#endif
#ifndef VELMORA_PRODUCT
#define VELMORA_PRODUCT "Velmora"
#endif
#ifndef VELMORA_ORIGINAL_FILENAME
#define VELMORA_ORIGINAL_FILENAME "Velmora"
#endif
#ifndef VELMORA_COMMENTS
#define VELMORA_COMMENTS ""
#endif

namespace engine {
namespace {

// "起動エラー"
constexpr char kStartupErrorCaption[] = "\x8bN\x93\xae\x83G\x83\x89\x81[";
// "ファイル情報に会社名が見つかりませんでした。[0x0004]"
constexpr char kNoCompany[] =
    "\x83t\x83@\x83"
    "C\x83\x8b\x8f\xee\x95\xf1\x82\xc9\x89\xef\x8e\xd0\x96\xbc\x82\xaa\x8c\xa9"
    "\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81"
    "B[0x0004]";
// "ファイル情報に製品名が見つかりませんでした。[0x0006]"
constexpr char kNoProduct[] =
    "\x83t\x83@\x83"
    "C\x83\x8b\x8f\xee\x95\xf1\x82\xc9\x90\xbb\x95i\x96\xbc\x82\xaa\x8c\xa9\x82"
    "\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81"
    "B[0x0006]";
// "ファイル情報に実行ファイル名が見つかりませんでした。[0x0007]"
constexpr char kNoExeName[] =
    "\x83t\x83@\x83"
    "C\x83\x8b\x8f\xee\x95\xf1\x82\xc9\x8e\xc0\x8ds\x83t\x83@\x83"
    "C\x83\x8b\x96"
    "\xbc\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd"
    "\x81"
    "B[0x0007]";
// "セーブフォルダの作成に失敗しました。\nフォルダの指定先を確認してください。\n%s"
constexpr char kCreateFailed[] =
    "\x83Z\x81[\x83u\x83t\x83H\x83\x8b\x83_\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94s\x82\xb5"
    "\x82\xdc\x82\xb5\x82\xbd\x81"
    "B\n\x83t\x83H\x83\x8b\x83_\x82\xcc\x8ew\x92\xe8\x90\xe6\x82\xf0"
    "\x8am\x94"
    "F\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
    "B\n%s";

StartupInfo g_info;
StartupSettings g_settings;

void copy_field(char* dest, const std::string& value) {
  std::snprintf(dest, 260, "%s", value.c_str());
}

uint32_t fail(const char* text, uint32_t style) {
  platform::message_box(text, kStartupErrorCaption, style | platform::kMbTopMost);
  return 0;
}

std::string sjis_folder(const std::string& utf8) {
  std::string sjis = platform::utf8_to_sjis_path(utf8);
  for (char& c : sjis) {
    if (c == '/') c = '\\';
  }
  return sjis;
}

// Splits "company/brand" at the first '/' into two 260-byte fields.
void split_company(const std::string& value, char* company, char* brand) {
  char field[260];
  field[0] = 0;
  str_get_field(field, sizeof field, value.c_str(), 0, '/');
  std::memcpy(company, field, sizeof field);
  field[0] = 0;
  str_get_field(field, sizeof field, value.c_str(), 1, '/');
  std::memcpy(brand, field, sizeof field);
}

}  // namespace

StartupInfo& startup_info() {
  return g_info;
}
StartupSettings& startup_settings() {
  return g_settings;
}

VersionRecord version_record_builtin() {
  return {VELMORA_COMPANY, VELMORA_PRODUCT, VELMORA_ORIGINAL_FILENAME, VELMORA_COMMENTS};
}

void version_record_apply(VersionRecord* record, std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq);
    std::string value;
    if (!platform::utf8_to_sjis(line.substr(eq + 1), value)) continue;
    if (key == "CompanyName")
      record->company = value;
    else if (key == "ProductName")
      record->product = value;
    else if (key == "OriginalFilename")
      record->original_filename = value;
    else if (key == "Comments")
      record->comments = value;
  }
}

void comment_tokens_apply(std::string_view c, StartupSettings* s) {
  auto has = [&](const char* token) { return c.find(token) != std::string_view::npos; };
  if (has(" SVGA"))
    s->nScreenSizeIndex = 2;
  else if (has(" VGA"))
    s->nScreenSizeIndex = 1;
  else if (has(" W600P"))
    s->nScreenSizeIndex = 3;
  else if (has(" FHD"))
    s->nScreenSizeIndex = 5;
  if (has(" -RUBY")) s->bRubyOffset = 0;
  if (has(" -GRPOS")) s->bLayoutGrid = 0;
  if (has(" -DL")) {
    s->nRunMode = 1;
    s->bIgnoreInstallIni = 1;
  }
  if (has("-BOOT2SKIP")) s->bSkipSingleInstance = 1;
  if (has("-DISWND")) {
    s->bWindowModeLock = 1;
    s->nRunMode = 3;
  }
}

std::string str_trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \n\r\t\f\v";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kBlanks);
  return std::string(text.substr(first, last - first + 1));
}

void system_ini_load() {
  const std::string product = ini_get_string("initialize", "PRODUCT_NAME", "", "System.ini");
  if (!product.empty()) copy_field(g_info.szProduct, str_trim(product));
  const std::string company = ini_get_string("initialize", "COMPANY_NAME", "", "System.ini");
  if (!company.empty()) {
    char field0[260], field1[260];
    split_company(company, field0, field1);
    copy_field(g_info.szCompany, str_trim(field0));
    copy_field(g_info.szBrand, str_trim(field1));
  }
  // The name under which the program file really lies, whatever its record says.
  const std::string path = platform::program_path_utf8();
  const std::string name = platform::utf8_to_sjis_path(path.substr(path.rfind('/') + 1));
  if (!path.empty() && name.size() < 260) copy_field(g_info.szExeName, name);
}

uint32_t app_init() {
  std::memset(&g_info, 0, sizeof g_info);
  const std::string exe_dir = sjis_folder(platform::program_folder_utf8());
  const std::string folder = exe_dir.size() < 260 ? exe_dir : std::string();
  std::snprintf(g_info.szSaveFolder, sizeof g_info.szSaveFolder, "%s\\save", folder.c_str());

  VersionRecord record = version_record_builtin();
  std::vector<uint8_t> bytes;
  const std::string version_path = folder + "\\Velmora.version";
  if (game_file_load(version_path, &bytes, 1 << 20)) {
    version_record_apply(
        &record, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  if (record.company.empty()) return fail(kNoCompany, platform::kMbIconQuestion);
  split_company(record.company, g_info.szCompany, g_info.szBrand);
  str_remove_chars(g_info.szCompany, "\t", 259, 1);
  str_remove_chars(g_info.szBrand, "\t", 259, 1);
  if (record.product.empty()) return fail(kNoProduct, platform::kMbIconQuestion);
  copy_field(g_info.szProduct, record.product);
  if (record.original_filename.empty()) return fail(kNoExeName, platform::kMbIconQuestion);
  copy_field(g_info.szExeName, record.original_filename);

  orv.OrvSystemPathInit();
  archive_list_load(0, false);  // a missing archive.dat is reported once, by the start itself
  system_ini_load();
  orv.OrvSystemPathUninit();

  comment_tokens_apply(record.comments, &g_settings);
  if (g_settings.bWindowModeLock) {
    orv.OrvDisableChangeWindowMode(1);
    orv.OrvSetDesktopRect(1, 1280, 720);
  }

  save_folder_setup(folder, g_settings.bIgnoreInstallIni);
  if (!orv.OrvFileFolderExists(g_info.szSaveFolder) && !create_folder_path(g_info.szSaveFolder)) {
    char text[900];
    std::snprintf(text, sizeof text, kCreateFailed, g_info.szSaveFolder);
    return fail(text, platform::kMbIconExclamation);
  }
  return 1;
}

}  // namespace engine
