// The save folder: the one folder that holds every file the game writes for the player.
//
// The choice prefers a folder an installer recorded, then the folder "save" beside the
// program, and moves to the player's documents folder when the program folder is protected
// (on our platform: the current user cannot write to it). Paths are Shift-JIS with '\'
// separators, absolute (they begin with '\' or '/').
#pragma once

#include <cstdint>
#include <string>

namespace engine {

// The input of the choice.
struct SaveFolderInfo {
  std::string szExeDir;  // program folder, no trailing separator
  std::string szCompany;
  std::string szBrand;    // may be empty
  std::string szExeName;  // program file name with its extension
  std::string szProduct;
  uint8_t bIgnoreInstallIni = 0;
};

// What the platform tells the choice; a test fills it by hand.
struct SaveFolderEnvironment {
  std::string documents;    // the documents folder (Shift-JIS); empty when not available
  std::string install_ini;  // the installer's ini path (Shift-JIS); empty when no such folder
  bool exe_dir_protected = false;  // the program folder cannot take the player's files
};

// How the folder was chosen.
enum SaveFolderKind : int32_t {
  kSaveBesideProgram = 0,
  kSaveInDocuments = 1,
  kSaveFromInstaller = 2
};

struct SaveFolderChoice {
  std::string szPath;
  int32_t nDriveType = -1;  // -1 undecided, 1 path shorter than 3 bytes, 4 network (\\), 3 else
  int32_t nKind = kSaveBesideProgram;
};

// The environment of this machine: documents = $XDG_DATA_HOME, the installer's ini =
// $XDG_CONFIG_HOME\<company>\<exe name with ".ini">, protected = not writable.
SaveFolderEnvironment save_folder_environment(const SaveFolderInfo& info);

// The choice itself. Pure: reads the installer's ini through `read_install_ini` only (returns
// false when the file is not there; else sets the SaveFold value, empty when missing).
SaveFolderChoice save_folder_resolve(const SaveFolderInfo& info, const SaveFolderEnvironment& env,
                                     bool (*read_install_ini)(const std::string& path,
                                                              std::string* value));

// Chooses the folder for this program, stores it in the start-up record's szSaveFolder (cut to
// 259 bytes) and, when the folder does not exist yet and it is a special one, tells the player
// where it will be made.
void save_folder_setup(const std::string& exe_dir, uint8_t ignore_install_ini);

// Creates the folder and every missing folder above it. Returns 1 when they all exist
// afterwards; 0 for a path that is longer than 260 bytes or not absolute, or a folder that
// cannot be made. A double-byte character is never split at its trail byte 0x5C.
uint32_t create_folder_path(const std::string& path);

}  // namespace engine
