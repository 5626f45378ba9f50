#include "engine/velmora_main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/command_paths.h"
#include "engine/command_log_seam.h"
#include "engine/formats/startup_info.h"
#include "engine/formats/system_files.h"
#include "engine/game_files.h"
#include "engine/game_task.h"
#include "engine/orv_api.h"
#include "engine/orv_loader.h"
#include "engine/startup_params.h"
#include "engine/startup_steps.h"
#include "platform/console.h"
#include "platform/message_box.h"
#include "platform/program_path.h"
#include "platform/sjis.h"
#include "platform/system_query.h"
#include "platform/user_folders.h"

namespace engine {
namespace {

// "フォルダー名が長すぎます。フォルダー名を短くするか、フォルダー階層の浅い場所へ移動し、起動してください。"
constexpr char kFolderTooLong[] =
    "\x83t\x83H\x83\x8b\x83_\x81[\x96\xbc\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81"
    "B"
    "\x83t\x83H\x83\x8b\x83_\x81[\x96\xbc\x82\xf0\x92Z\x82\xad\x82\xb7\x82\xe9\x82\xa9\x81"
    "A\x83t"
    "\x83H\x83\x8b\x83_\x81[\x8aK\x91w\x82\xcc\x90\xf3\x82\xa2\x8f\xea\x8f\x8a\x82\xd6\x88\xda\x93"
    "\xae\x82\xb5\x81"
    "A\x8bN\x93\xae\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
    "B";
// "フォルダー名に SHIFT-JIS 以外の文字コードが入っています。\nSHIFT-JISの文字コード以外を削除
// (下記の ? の辺り)、\nまたは、インストール先を変更して起動してください。\n\n%s"
constexpr char kFolderCharacters[] =
    "\x83t\x83H\x83\x8b\x83_\x81[\x96\xbc\x82\xc9 SHIFT-JIS \x88\xc8\x8aO\x82\xcc\x95\xb6\x8e\x9a"
    "\x83R\x81[\x83h\x82\xaa\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81"
    "B\nSHIFT-JIS\x82"
    "\xcc\x95\xb6\x8e\x9a\x83R\x81[\x83h\x88\xc8\x8aO\x82\xf0\x8d\xed\x8f\x9c(\x89\xba\x8bL\x82\xcc"
    " ? \x82\xcc\x95\xd3\x82\xe8)\x81"
    "A\n\x82\xdc\x82\xbd\x82\xcd\x81"
    "A\x83"
    "C\x83\x93\x83X"
    "\x83g\x81[\x83\x8b\x90\xe6\x82\xf0\x95\xcf\x8dX\x82\xb5\x82\xc4\x8bN\x93\xae\x82\xb5\x82\xc4"
    "\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
    "B\n\n%s";
// "エラー フォルダー名"
constexpr char kFolderCaption[] = "\x83G\x83\x89\x81[ \x83t\x83H\x83\x8b\x83_\x81[\x96\xbc";
// "コンフィグ情報の保存に失敗しました。\n%s"
constexpr char kConfigSaveFailed[] =
    "\x83R\x83\x93\x83t\x83"
    "B\x83O\x8f\xee\x95\xf1\x82\xcc\x95\xdb\x91\xb6\x82\xc9\x8e\xb8\x94s"
    "\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
    "B\n%s";
// "ゲームを開始できませんでした。\n理由はエラーログ（標準エラー出力）にあります。"
constexpr char kStartFailed[] =
    "\x83Q\x81["
    "\x83\x80\x82\xf0\x8aJ\x8en\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81"
    "B\x0a\x97\x9d\x97R\x82\xcd\x83G\x83\x89\x81[\x83\x8d\x83O\x81i\x95W\x8f\x80\x83G\x83\x89\x81["
    "\x8fo\x97\xcd\x81j\x82\xc9\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81"
    "B";
// "エラー報告"
constexpr char kReportCaption[] = "\x83G\x83\x89\x81[\x95\xf1\x8d\x90";

// The smallest client a desktop window can have; a saved size below it is not usable.
constexpr int32_t kMinClientWidth = 136;
constexpr int32_t kMinClientHeight = 39;

int32_t start_func() {
  return static_cast<int32_t>(StartFunc());
}

// The program folder's text must stay under the system's path limit and be readable: characters
// without a Shift-JIS form travel as escapes, only bytes that are not UTF-8 become '?'.
bool program_folder_usable() {
  const std::string path = platform::utf8_to_sjis_path(platform::program_path_utf8());
  if (path.size() >= 260) {
    platform::message_box(kFolderTooLong, kFolderCaption,
                          platform::kMbIconHand | platform::kMbTopMost);
    return false;
  }
  const std::string folder = path.substr(0, path.rfind('/'));
  for (size_t i = 0; i < folder.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(folder[i]);
    if ((b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) {
      ++i;
    } else if (b == '?') {
      char text[1200];
      std::snprintf(text, sizeof text, kFolderCharacters, folder.c_str());
      platform::message_box(text, kFolderCaption, platform::kMbIconHand | platform::kMbTopMost);
      return false;
    }
  }
  return true;
}

std::string save_file(const char* name) {
  return std::string(startup_info().szSaveFolder) + "\\" + name;
}

// Window mode of the first start: full screen when the game does not fit the desktop or the
// mode is locked; else windowed when the player has played before; else the player chooses.
void window_mode_decide(StartParams* params) {
  OrvRect desktop{};
  orv.OrvGetDesktopRect(&desktop);
  const int32_t width = desktop.right - desktop.left, height = desktop.bottom - desktop.top;
  if (width <= params->client_width || height <= params->client_height) {
    params->full_screen = 1;
  } else if (startup_settings().bWindowModeLock) {
    params->full_screen = 1;
  } else if (orv.OrvFileExists(save_file("system.dat").c_str())) {
    params->full_screen = 0;
  } else {
    params->full_screen = window_mode_choose(startup_info().szProduct);
  }
}

void display_settings_load(StartParams* params) {
  const std::string path = save_file("config.dat");
  std::vector<uint8_t> bytes;
  const bool read = game_file_load(path, &bytes, 1 << 20);
  if (!read || !config_dat_decode(bytes.data(), bytes.size(), params)) {
    if (read) {
      // Before the platform library (and its error log) starts: the line goes to stderr.
      const bool kept = game_file_save(path + ".bad", bytes.data(), bytes.size());
      char line[1200];
      std::snprintf(line, sizeof line, "%s: damaged file (%zu bytes, %zu expected); %s",
                    game_file_native_path(path).c_str(), bytes.size(), kConfigDatBytes,
                    kept ? "the original is kept as config.dat.bad, the defaults are used"
                         : "the defaults are used");
      platform::stderr_line(line);
    }
    config_dat_write_default(path, params);
    return;
  }
  const StartupSettings& s = startup_settings();
  if (params->client_width < kMinClientWidth) params->client_width = s.nScreenWidth;
  if (params->client_height < kMinClientHeight) params->client_height = s.nScreenHeight;
}

void display_settings_save() {
  StartParams params{};
  orv.OrvGetSystemParameters(&params);
  const std::string path = save_file("config.dat");
  if (!config_dat_save(path, params)) {
    char text[900];
    std::snprintf(text, sizeof text, kConfigSaveFailed, path.c_str());
    platform::message_box(text, kReportCaption,
                          platform::kMbIconExclamation | platform::kMbTopMost);
  }
}

// VELMORA_STARTUP_TRACE=1: one line with the start-up's decisions on stderr, for tests.
void startup_trace(const StartParams& p) {
  if (!platform::test_switch_on("VELMORA_STARTUP_TRACE")) return;
  const StartupSettings& s = startup_settings();
  char line[2048];
  std::snprintf(line, sizeof line,
                "startup: product=%s company=%s brand=%s screen=%dx%d full_screen=%d "
                "gpu=%u run_inactive=%u wait_mode=%d movie_skip=%u run_mode=%u ruby=%u grid=%u "
                "save_folder=%s ",
                platform::sjis_to_utf8_lossy(startup_info().szProduct).c_str(),
                platform::sjis_to_utf8_lossy(startup_info().szCompany).c_str(),
                platform::sjis_to_utf8_lossy(startup_info().szBrand).c_str(), s.nScreenWidth,
                s.nScreenHeight, p.full_screen, (p.display_flags >> 3) & 1, p.display_flags & 1,
                p.wait_mode, s.bMovieSkip, s.nRunMode, s.bRubyOffset, s.bLayoutGrid,
                game_file_native_path(startup_info().szSaveFolder).c_str());
  platform::stderr_line(line);
}

}  // namespace

int velmora_main(int argc, char** argv) {
  if (!program_folder_usable()) return 1;
  // The game runs in its own folder, whatever folder it was started from: relative names of
  // the script's file commands name files there.
  platform::enter_program_folder();
  if (!orv_library_load()) return 1;
  // After the library is bound: its debug log takes the error lines to stderr from here on.
  command_log_seam_install();
  if (!app_init()) return 1;
  StartupInfo& info = startup_info();
  StartupSettings& settings = startup_settings();
  set_command_save_folder(info.szSaveFolder);
  if (!settings.bSkipSingleInstance &&
      !platform::instance_lock_acquire(platform::sjis_to_utf8_lossy(info.szProduct))) {
    return 1;
  }
  // What a killed run left half-written beside the player's files (this copy holds the lock,
  // so no other one is writing them).
  game_files_remove_stale_temporaries(info.szSaveFolder);

  static StartParams params{};
  orv.OrvDefaultCreate(&params);
  params.instance = 0;
  params.start_func = start_func;
  const ScreenSize row = screen_size_row(settings.nScreenSizeIndex);
  params.client_width = row.client_width;
  params.client_height = row.client_height;
  params.screen_width = row.screen_width;
  params.screen_height = row.screen_height;
  window_mode_decide(&params);
  settings.nScreenWidth = params.client_width;
  settings.nScreenHeight = params.client_height;
  params.frame_rate = 60;
  params.texture_count = 1535;
  params.title = info.szProduct;
  params.class_name = info.szProduct;
  params.icon = "101";
  params.debug = 0;
  display_settings_load(&params);
  switches_apply(argc, argv, &params, &settings);
  startup_trace(params);

  info.bPlatformStarted = 1;
  settings.dwBootWord = 1;
  if (!orv.OrvInit(&params)) return 1;
  archive_list_load(0);
  if (script_stamp_check() == StampCheck::kEnd) {
    orv.OrvUninit();
    return 0;
  }
  if (orv.OrvDebugIs()) debug_windows_create();
  orv.OrvRun();
  // A game that could not start keeps the display settings of the last good start, and says
  // so (without a display the box is answered at once; its text is also on stderr).
  if (!settings.bStartFailed) display_settings_save();
  if (settings.bStartFailed) {
    platform::message_box(kStartFailed, kReportCaption,
                          platform::kMbIconExclamation | platform::kMbTopMost);
  }
  orv.OrvUninit();
  return settings.bStartFailed ? 1 : 0;
}

}  // namespace engine
