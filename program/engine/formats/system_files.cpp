#include "engine/formats/system_files.h"

#include <cstdio>
#include <cstring>

#include "engine/formats/startup_info.h"
#include "engine/game_files.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "platform/message_box.h"
#include "platform/program_path.h"
#include "platform/sjis.h"
#include "shared/byte_codec.h"
#include "shared/utility.h"
#include "shared/word_scrambler.h"

namespace engine {
namespace {

// One field list per stored record, used for reading and for writing (see shared/byte_codec.h).
template <class IO>
constexpr void sync(IO& io, NameColor& c) {
  io.u32(c.bUsed);
  io.u32(c.dwTextColor);
  io.u32(c.dwShadowColor);
  io.u32(c.dwNameLength);
  io.bytes(c.szName);
}

template <class IO>
constexpr void sync(IO& io, SystemSettings& s) {
  io.u32(s.dwScriptStamp);
  io.u32(s.bAllMosaicThumbnail);
  io.u32(s.dwWindowMode);
  io.u32(s.bSkipUnread);
  io.u32(s.bEffectEnable);
  io.u32(s.bAspectPos);
  io.i32(s.nNewestSave);
  io.u32(s.dwAutoSpeed);
  io.u32(s.dwMessageSpeed);
  io.u32(s.dwCursorHideTime);
  io.i32(s.nTextBaseImage);
  io.i32(s.nTextAlpha);
  for (NameColor& c : s.nameColors) sync(io, c);
}
static_assert(codec::stored_size<SystemSettings>([](auto& io, auto& r) { sync(io, r); }) ==
              kSystemSettingsBytes);

// The fixed part after the format number; the two read-mark blocks follow it.
template <class IO>
void sync(IO& io, SystemDatImage& image) {
  sync(io, image.settings);
  io.bytes(image.sound);
  io.u32s(image.sysMem, kSystemMemoryCells);
  io.sized_bytes(image.textRead);
  io.sized_bytes(image.fileSeen);
}

// The nine words of config.dat.
template <class IO>
constexpr void sync(IO& io, StartParams& p) {
  io.i32(p.window_x);
  io.i32(p.window_y);
  io.i32(p.client_width);
  io.i32(p.client_height);
  io.u32(p.display_flags);
  io.i32(p.adapter);
  io.i32(p.aspect_mode);
  io.i32(p.wait_mode);
  io.i32(p.movie_format);
}
static_assert(codec::stored_size<StartParams>([](auto& io, auto& r) { sync(io, r); }) ==
              kConfigDatBytes);

template <class IO>
constexpr void sync(IO& io, EntryName& e) {
  io.bytes(e.name);
  io.u8(e.flag);
}
static_assert(codec::stored_size<EntryName>([](auto& io, auto& r) { sync(io, r); }) ==
              kEntryNameBytes);

bool ends_with(const std::string& name, const char* tail) {
  const size_t n = std::strlen(tail);
  return name.size() >= n && name.compare(name.size() - n, n, tail) == 0;
}

}  // namespace

std::vector<uint8_t> system_dat_encode(const SystemDatImage& image) {
  std::vector<uint8_t> out;
  out.reserve(kSystemDatFixedBytes + 8 + image.textRead.size() + image.fileSeen.size());
  codec::ByteWriter w(&out);
  w.u16(kSystemDatFormat);
  sync(w, const_cast<SystemDatImage&>(image));  // a writer only reads the fields
  return out;
}

bool system_dat_decode(const uint8_t* data, size_t size, SystemDatImage* image,
                       std::string* error) {
  if (size < kSystemDatFixedBytes + 4) {
    *error = "shorter than its fixed part";
    return false;
  }
  codec::ByteReader r(data, size);
  r.skip(2);  // the format number
  sync(r, *image);
  // A count that runs past the end names a block the file does not hold: taking it would
  // size an allocation from a damaged file.
  if (r.failed()) {
    *error = "read-mark count runs past the end of the file";
    return false;
  }
  return true;
}

std::string save_folder_file(const char* name) {
  const char* folder = startup_info().szSaveFolder;
  // Without a save folder there is nowhere to keep the player's files (never the root).
  if (!folder[0]) return {};
  return std::string(folder) + "\\" + name;
}

std::string system_dat_path() {
  return save_folder_file("system.dat");
}

std::vector<uint8_t> access_dat_encode(const std::vector<EntryName>& names) {
  std::vector<uint8_t> out;
  out.reserve(names.size() * kEntryNameBytes);
  codec::ByteWriter w(&out);
  for (const EntryName& e : names) sync(w, const_cast<EntryName&>(e));
  scramble_words(out.data(), out.size());
  return out;
}

std::vector<EntryName> access_dat_decode(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  unscramble_words(bytes.data(), bytes.size());
  std::vector<EntryName> names(size / kEntryNameBytes);
  codec::ByteReader r(bytes.data(), bytes.size());
  for (EntryName& e : names) sync(r, e);
  return names;
}

void config_dat_encode(const StartParams& p, uint8_t out[kConfigDatBytes]) {
  std::vector<uint8_t> bytes;
  codec::ByteWriter w(&bytes);
  sync(w, const_cast<StartParams&>(p));
  std::memcpy(out, bytes.data(), kConfigDatBytes);
}

bool config_dat_decode(const uint8_t* data, size_t size, StartParams* p) {
  if (size < kConfigDatBytes) return false;
  codec::ByteReader r(data, kConfigDatBytes);
  sync(r, *p);
  return true;
}

uint32_t config_dat_write_default(const std::string& path, StartParams* params) {
  int32_t pos[2] = {0, 0};
  orv.OrvWindowGetPosCenter(pos, params->client_width, params->client_height);
  params->window_x = pos[0];
  params->window_y = pos[1];
  StartParams written = *params;
  written.movie_format = 1;
  uint8_t bytes[kConfigDatBytes];
  config_dat_encode(written, bytes);
  return game_file_save(path, bytes, sizeof bytes) ? 1 : 0;
}

uint32_t config_dat_save(const std::string& path, const StartParams& params) {
  StartParams written = params;
  written.display_flags |= 8;  // a /DIB start does not carry over to the next start
  uint8_t bytes[kConfigDatBytes];
  config_dat_encode(written, bytes);
  return game_file_save(path, bytes, sizeof bytes) ? 1 : 0;
}

bool archive_field_names(std::string_view text, int32_t n, std::vector<std::string>* names) {
  names->clear();
  const std::string source(text.data(), strnlen(text.data(), text.size()));
  char field[260];
  if (str_get_field(field, sizeof field, source.c_str(), n, ',') == 0) return false;
  str_remove_chars(field, "\r\n \t", static_cast<uint32_t>(std::strlen(field)), 4);
  char name[260];
  for (int32_t i = 0; str_get_field(name, sizeof name, field, i, '|') != 0; ++i) {
    if (name[0]) names->push_back(name);
  }
  return true;
}

bool archive_list_read(int32_t n, std::vector<std::string>* names, ArchiveListFault* fault) {
  names->clear();
  auto fail = [fault](const char* box, const std::string& path, const std::string& reason) {
    *fault = ArchiveListFault{box, game_file_shown_path(path), reason};
    return false;
  };
  const std::string base = orv.OrvGetFilePath();  // the base folder: the program folder
  std::vector<uint8_t> bytes;
  std::string path;
  for (const char* folder : {"data", "csv"}) {
    const std::string candidate = base + "\\" + folder + "\\archive.dat";
    if (orv.OrvFileExists(candidate.c_str())) {
      path = candidate;
      break;
    }
  }
  if (path.empty()) {
    return fail("ArchiveData Fail", base + "\\data\\archive.dat",
                "not found (nor csv/archive.dat): the game does not know where its files are");
  }
  if (!game_file_load(path, &bytes, 1 << 20)) {
    return fail("ArchiveData Read Fail", path, "cannot be read, or is larger than 1 MiB");
  }
  if (!archive_field_names(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), n, names)) {
    char reason[64];
    std::snprintf(reason, sizeof reason, "has no field %d (fields are separated by commas)", n);
    return fail("ArchiveData Read Fail", path, reason);
  }
  return true;
}

uint32_t archive_list_load(int32_t n, bool report) {
  orv.OrvSystemPathSet("data");
  std::vector<std::string> names;
  ArchiveListFault fault;
  if (!archive_list_read(n, &names, &fault)) {
    if (!report) return 0;
    vm_error_log("%s: %s", fault.path.c_str(), fault.reason.c_str());
    platform::message_box(fault.box, "error", platform::kMbIconExclamation | platform::kMbTopMost);
    return 0;
  }
  for (const std::string& name : names) orv.OrvSystemPathSet(name.c_str());
  return 1;
}

uint32_t save_folder_wipe() {
  const char* folder = startup_info().szSaveFolder;
  if (!orv.OrvFileFolderExists(folder)) return 0;
  for (const FoundFile& e : game_files_find(std::string(folder) + "\\*")) {
    if (e.is_folder || !(ends_with(e.name, ".dat") || ends_with(e.name, ".jpg"))) continue;
    orv.OrvFileDelete((std::string(folder) + "\\" + e.name).c_str());
  }
  return 1;
}

}  // namespace engine
