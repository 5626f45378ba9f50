#include "engine/save_folder.h"

#include <cstdio>
#include <cstring>

#include "engine/formats/ini_file.h"
#include "engine/formats/startup_info.h"
#include "engine/game_files.h"
#include "engine/orv_api.h"
#include "platform/message_box.h"
#include "platform/sjis.h"
#include "platform/user_folders.h"

namespace engine {
namespace {

// "セーブフォルダを %s に作成します。"
constexpr char kWillCreate[] =
    "\x83\x5a\x81\x5b\x83\x75\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0 %s "
    "\x82\xc9\x8d\xec\x90\xac\x82\xb5\x82\xdc\x82\xb7\x81\x42";
// "システムフォルダからの起動"
constexpr char kFromSystemFolder[] =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xa9\x82\xe7\x82\xcc"
    "\x8b\x4e\x93\xae";

std::string sjis_path_of(const std::string& utf8) {
  std::string sjis = platform::utf8_to_sjis_path(utf8);
  for (char& c : sjis) {
    if (c == '/') c = '\\';
  }
  return sjis;
}

bool read_install_ini_file(const std::string& path, std::string* value) {
  if (!orv.OrvFileExists(path.c_str())) return false;
  value->clear();
  std::string raw;
  if (ini_read_value("INSTALL", "SaveFold", &raw, path)) *value = ini_trim_end(raw);
  if (value->size() > 259) value->resize(259);
  return true;
}

}  // namespace

SaveFolderEnvironment save_folder_environment(const SaveFolderInfo& info) {
  SaveFolderEnvironment env;
  const std::string documents = platform::documents_folder_utf8();
  if (!documents.empty()) env.documents = sjis_path_of(documents);
  const std::string config = platform::config_folder_utf8();
  if (!config.empty()) {
    std::string name = info.szExeName;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    env.install_ini = sjis_path_of(config) + "\\" + info.szCompany + "\\" + name + ".ini";
  }
  env.exe_dir_protected = !platform::folder_writable(game_file_native_path(info.szExeDir));
  return env;
}

SaveFolderChoice save_folder_resolve(const SaveFolderInfo& info, const SaveFolderEnvironment& env,
                                     bool (*read_install_ini)(const std::string&, std::string*)) {
  SaveFolderChoice c;
  c.szPath = info.szExeDir + "\\save";
  if (!info.bIgnoreInstallIni && !env.install_ini.empty()) {
    std::string value;
    if (read_install_ini(env.install_ini, &value)) {
      c.szPath = value;
      c.nKind = kSaveFromInstaller;
      return c;
    }
  }
  if (c.szPath.size() >= 2 && c.szPath[0] == '\\' && c.szPath[1] == '\\') {
    c.nDriveType = 4;
  } else if (c.szPath.size() < 3) {
    c.nDriveType = 1;
  } else {
    c.nDriveType = 3;
  }
  if (c.nDriveType == 1) return c;
  if (!env.exe_dir_protected || env.documents.empty()) return c;
  c.szPath = env.documents + "\\" + info.szCompany + "\\";
  if (!info.szBrand.empty()) c.szPath += info.szBrand + "\\";
  c.szPath += info.szProduct + "\\save";
  c.nKind = kSaveInDocuments;
  return c;
}

void save_folder_setup(const std::string& exe_dir, uint8_t ignore_install_ini) {
  StartupInfo& si = startup_info();
  SaveFolderInfo info{exe_dir,      si.szCompany, si.szBrand,
                      si.szExeName, si.szProduct, ignore_install_ini};
  const SaveFolderChoice c =
      save_folder_resolve(info, save_folder_environment(info), read_install_ini_file);
  std::snprintf(si.szSaveFolder, 260, "%s", c.szPath.c_str());
  if (c.nDriveType != 0 && c.nDriveType != 1 && c.nKind == kSaveInDocuments &&
      !orv.OrvFileFolderExists(si.szSaveFolder)) {
    char text[800];
    std::snprintf(text, sizeof text, kWillCreate, si.szSaveFolder);
    platform::message_box(text, kFromSystemFolder, platform::kMbIconAsterisk);
  }
}

uint32_t create_folder_path(const std::string& path) {
  if (path.size() > 260 || path.empty() || (path[0] != '\\' && path[0] != '/')) return 0;
  size_t i = 1;
  while (i < path.size()) {
    while (i < path.size() && path[i] != '\\' && path[i] != '/') {
      // A trail byte may be 0x5C: the lead byte takes it along.
      i += platform::sjis_is_lead(static_cast<uint8_t>(path[i])) ? 2 : 1;
    }
    const std::string prefix = path.substr(0, i < path.size() ? i : path.size());
    if (!orv.OrvFileMakeFolder(prefix.c_str()) && !orv.OrvFileFolderExists(prefix.c_str())) {
      return 0;
    }
    ++i;
  }
  return 1;
}

}  // namespace engine
