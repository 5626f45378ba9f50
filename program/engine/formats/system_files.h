// The game program's own files: system.dat, access.dat and config.dat in the save folder, and
// archive.dat among the data files.
//
// Each format has a pure encoder and a checking decoder over bytes (what the fuzz targets and
// the fixture writers use) and the functions that read and write the real files. Every file
// is written to a temporary file beside it (its name ends in ".tmp<pid>", so the save-folder
// wipe never takes it for a save), flushed and renamed into place; a failed write is reported
// as a failure. All integers are little-endian. Thread: one at a time (start-up and shutdown
// on the first thread, the rest on the thread that runs the game task or the script).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/game_state.h"
#include "orv/start_params.h"

namespace engine {

// ---- system.dat ----
constexpr uint16_t kSystemDatFormat = 27;
constexpr size_t kSystemSettingsBytes = 816;
constexpr size_t kSystemMemoryBytes = 4096;
// Offsets of the fixed part: format, settings, sound settings, system memory, then T.
constexpr size_t kSystemDatSoundOffset = 2 + kSystemSettingsBytes;
constexpr size_t kSystemDatMemoryOffset = kSystemDatSoundOffset + kSoundSettingsBytes;
constexpr size_t kSystemDatFixedBytes = kSystemDatMemoryOffset + kSystemMemoryBytes;
static_assert(kSystemDatFixedBytes == 7866);

// Everything system.dat holds, detached from the game state.
struct SystemDatImage {
  SystemSettings settings{};
  uint8_t sound[kSoundSettingsBytes]{};  // as stored; its meaning belongs to the sound settings
  uint32_t sysMem[kSystemMemoryCells]{};
  std::vector<uint8_t> textRead;  // 1 bit per Text.dat string
  std::vector<uint8_t> fileSeen;  // 2 bits per File.dat name
};

std::vector<uint8_t> system_dat_encode(const SystemDatImage& image);
// False, with a one-line reason in *error, for a file shorter than its fixed part or whose
// read-mark counts run past its end.
bool system_dat_decode(const uint8_t* data, size_t size, SystemDatImage* image, std::string* error);

// "%s\%s" with the save folder and name; empty while there is no save folder.
std::string save_folder_file(const char* name);
// The save folder's system.dat.
std::string system_dat_path();

// ---- access.dat ----
// A record of the entry-name list: a name of exactly 32 bytes has no terminating zero.
struct EntryName {
  char name[32];
  uint8_t flag;  // bit 0 entered, bit 1 new
};
static_assert(sizeof(EntryName) == 33);
constexpr size_t kEntryNameBytes = 33;

// The entry names in list order, scrambled; 33 bytes per record, no header.
std::vector<uint8_t> access_dat_encode(const std::vector<EntryName>& names);
// The whole records of the file, unscrambled, in file order (a partial record at the end is
// dropped).
std::vector<EntryName> access_dat_decode(const uint8_t* data, size_t size);

// Adds a record in front of the entry-name list: 0 when the name is longer than 32 bytes
// (silently) or memory ran out (with a message box).
uint32_t entry_name_add(GameState& gs, const char* name, uint8_t flag);

// ---- config.dat: nine words of StartParams ----
constexpr size_t kConfigDatBytes = 36;
void config_dat_encode(const StartParams& params, uint8_t out[kConfigDatBytes]);
// Copies the nine words into params. False (params untouched) when size is below 36; bytes
// after the first 36 are not read.
bool config_dat_decode(const uint8_t* data, size_t size, StartParams* params);
// Centres the window of params on the desktop and writes params with the movie-format word 1.
// Returns 1 written, 0 when the file could not be written.
uint32_t config_dat_write_default(const std::string& path, StartParams* params);
// Writes params as they are but with the Direct3D bit set. 1 written, 0 not.
uint32_t config_dat_save(const std::string& path, const StartParams& params);

// ---- archive.dat ----
// The archive names of field n of the text (fields split at ',', names at '|', CR, LF, blank
// and TAB removed, each field at most 259 bytes). Empty names are skipped. False when the
// text has no field n.
bool archive_field_names(std::string_view text, int32_t n, std::vector<std::string>* names);
// Registers the data folder and the archive folders of field n as search folders (the last
// name searched first). 1 done; 0 when archive.dat is missing, unreadable or has no field n,
// after its message box and an error line naming the file and the reason when `report` is set
// (start-up looks once quietly, for System.ini, and reports at its second look: one fault, one
// report).
uint32_t archive_list_load(int32_t n, bool report = true);
// What archive_list_read found wrong: the message box's text, the file as shown to the
// player, and the reason.
struct ArchiveListFault {
  const char* box = "";
  std::string path;
  std::string reason;
};
// Reads the archive names of field n of archive.dat without registering anything (so that a
// caller can keep its search folders when the list is bad). False with *fault filled when
// archive.dat is missing, unreadable or has no field n.
bool archive_list_read(int32_t n, std::vector<std::string>* names, ArchiveListFault* fault);

// ---- the save folder ----
// Deletes the files of the save folder whose names end with ".dat" or ".jpg" (case-sensitive);
// folders and other files stay, failed deletions are ignored. 0 when the folder cannot be
// listed.
uint32_t save_folder_wipe();

}  // namespace engine
