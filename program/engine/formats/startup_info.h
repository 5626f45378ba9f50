// Who and what the game program is: its names, its screen size and the start-up settings that
// the build carries, fixed before the platform library starts and read everywhere afterwards.
//
// Everything here is written on the first thread before OrvInit and only read afterwards, so
// readers on any thread take no lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// The program-wide start-up record. Texts are Shift-JIS, zero-terminated within their arrays.
struct StartupInfo {
  uint32_t bPlatformStarted;  // 1 from just before OrvInit on
  uint32_t dwGlobalFlag;      // stays 0
  char szCompany[260];
  char szBrand[260];       // empty when there is none
  char szProduct[260];     // window title, class name, single-instance lock name
  char szExeName[260];     // the program file's name as it lies on disk
  char szSaveFolder[520];  // absolute, no trailing '\'; save files are "%s\%s" with it
};

// The start-up settings beside the record.
struct StartupSettings {
  uint32_t nScreenSizeIndex = 0;  // row of the screen-size table
  int32_t nScreenWidth = 0;       // the game's screen size (client size before config.dat)
  int32_t nScreenHeight = 0;
  uint32_t bRubyOffset = 1;         // " -RUBY" clears it
  uint32_t bLayoutGrid = 1;         // " -GRPOS" clears it
  uint32_t nRunMode = 0;            // " -DL" 1, "-DISWND" 3
  uint8_t bSkipSingleInstance = 0;  // "-BOOT2SKIP"
  uint8_t bMovieSkip = 0;           // the /MOVIESKIP switch
  uint8_t bWindowModeLock = 0;      // "-DISWND": always full screen, no mode changes
  uint8_t bIgnoreInstallIni = 0;    // " -DL": the installer's ini is not consulted
  uint32_t dwBootWord = 1;
  // Set when the game task could not start (no system file, no script): the program then
  // writes none of the player's files and ends with exit code 1.
  uint8_t bStartFailed = 0;
};

StartupInfo& startup_info();
StartupSettings& startup_settings();

// The strings of the program's version record, Shift-JIS.
struct VersionRecord {
  std::string company;            // CompanyName: "company" or "company/brand"
  std::string product;            // ProductName
  std::string original_filename;  // OriginalFilename
  std::string comments;           // Comments: the build's tokens
};

// The record compiled into the program (CMake options VELMORA_COMPANY, VELMORA_PRODUCT,
// VELMORA_ORIGINAL_FILENAME, VELMORA_COMMENTS).
VersionRecord version_record_builtin();

// Applies the text of a Velmora.version file over `record`: UTF-8 lines "Key=Value" with the
// keys CompanyName, ProductName, OriginalFilename and Comments; the value is taken verbatim
// after the first '=' (a leading blank stays) up to the line's end (a CR before the LF is
// dropped) and converted to Shift-JIS. Other keys and lines without '=' are ignored; a value
// that is not valid UTF-8 leaves that key alone. Never fails.
void version_record_apply(VersionRecord* record, std::string_view text);

// Applies the tokens of a Comments text to the settings (case-sensitive substrings).
void comment_tokens_apply(std::string_view comments, StartupSettings* settings);

// Gathers the start-up information: version record, System.ini, tokens, save folder (created).
// Returns 1, or 0 after showing its failure message (the process then ends with exit code 1).
// Needs the platform library loaded (files and search folders); runs before OrvInit.
uint32_t app_init();

// The System.ini overrides (section "initialize": PRODUCT_NAME, COMPANY_NAME as
// "company/brand", trimmed) and the program file's name on disk.
void system_ini_load();

// A copy of text without the blanks (space, LF, CR, TAB, FF, VT) at both ends.
std::string str_trim(std::string_view text);

}  // namespace engine
