// The system files as the main game task reads and writes them: system.dat and access.dat
// between the files and the game state.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands/command_util.h"
#include "engine/formats/startup_info.h"
#include "engine/formats/system_files.h"
#include "engine/game_files.h"
#include "engine/game_task.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "platform/message_box.h"
#include "shared/byte_codec.h"
#include "text/sound/sound_settings.h"

namespace engine {
namespace {

// "システムファイルの読み込みに失敗 [file open error]"
constexpr char kSaveOpenError[] =
    "\x83V\x83X\x83"
    "e\x83\x80\x83t\x83@\x83"
    "C\x83\x8b\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd"
    "\x82\xc9\x8e\xb8\x94s [file open error]";
// The error-log lines of a system.dat that cannot be read: "システムファイルの読み込みに失敗。"
// followed by the reason.
#define LOAD_FAILED                                   \
  "\x83V\x83X\x83"                                    \
  "e\x83\x80\x83t\x83@\x83"                           \
  "C\x83\x8b\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd" \
  "\x82\xc9\x8e\xb8\x94s\x81"                         \
  "B"
constexpr char kLoadOpenError[] = LOAD_FAILED "[file open error]";
constexpr char kLoadNoMemoryText[] = LOAD_FAILED "[memory allocate error : 0x00]";
constexpr char kLoadNoMemoryFile[] = LOAD_FAILED "[memory allocate error : 0x01]";
#undef LOAD_FAILED
// "システムファイルの作成に失敗。" followed by the reason in brackets.
#define CREATE_FAILED                                 \
  "\x83V\x83X\x83"                                    \
  "e\x83\x80\x83t\x83@\x83"                           \
  "C\x83\x8b\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8" \
  "\x94s\x81"                                         \
  "B"
constexpr char kNoScript[] = CREATE_FAILED "[Script.rc]";
constexpr char kNoText[] = CREATE_FAILED "[Text.dat]";
constexpr char kNoFile[] = CREATE_FAILED "[File.dat]";
// "[メモリ不足 : 0x00]" / "[メモリ不足 : 0x01]"
constexpr char kNoMemoryText[] = CREATE_FAILED "[\x83\x81\x83\x82\x83\x8a\x95s\x91\xab : 0x00]";
constexpr char kNoMemoryFile[] = CREATE_FAILED "[\x83\x81\x83\x82\x83\x8a\x95s\x91\xab : 0x01]";
#undef CREATE_FAILED
// "システムファイルを作成。"
constexpr char kCreated[] =
    "\x83V\x83X\x83"
    "e\x83\x80\x83t\x83@\x83"
    "C\x83\x8b\x82\xf0\x8d\xec\x90\xac\x81"
    "B";
// "テキストワード数が基準値をオーバーしました。\n管理者に報告してください。"
constexpr char kTooManyTexts[] =
    "\x83"
    "e\x83L\x83X\x83g\x83\x8f\x81[\x83h\x90\x94\x82\xaa\x8a\xee\x8f\x80\x92l\x82\xf0\x83I"
    "\x81[\x83o\x81[\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
    "B\n\x8a\xc7\x97\x9d\x8e\xd2\x82\xc9\x95"
    "\xf1\x8d\x90\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
    "B";
// "画像ファイル数が基準値をオーバーしました。\n管理者に報告してください。"
constexpr char kTooManyFiles[] =
    "\x89\xe6\x91\x9c\x83t\x83@\x83"
    "C\x83\x8b\x90\x94\x82\xaa\x8a\xee\x8f\x80\x92l\x82\xf0\x83I"
    "\x81[\x83o\x81[\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
    "B\n\x8a\xc7\x97\x9d\x8e\xd2\x82\xc9\x95"
    "\xf1\x8d\x90\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
    "B";
// "警告"
constexpr char kWarning[] = "\x8cx\x8d\x90";
// "メモリが不足している可能性があります。[]"
constexpr char kOutOfMemory[] =
    "\x83\x81\x83\x82\x83\x8a\x82\xaa\x95s\x91\xab\x82\xb5\x82\xc4\x82\xa2\x82\xe9\x89\xc2\x94\\"
    "\x90\xab\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81"
    "B[]";

// The u32 at byte `offset` of a data file; false when the file is missing or too short.
bool data_file_word(const char* name, uint32_t offset, uint32_t* value) {
  std::string data;
  if (read_data_file(name, &data) != 0) return false;
  codec::ByteReader r(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  r.seek(offset);
  const uint32_t word = r.u32();
  if (r.failed()) return false;
  *value = word;
  return true;
}

uint8_t* alloc_bits(const std::vector<uint8_t>& bits) {
  auto* block = static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(bits.size()), 1));
  if (block && !bits.empty()) std::memcpy(block, bits.data(), bits.size());
  return block;
}

std::string access_dat_path() {
  return save_folder_file("access.dat");
}

uint32_t le32_at(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// What a system.dat that failed its checks still holds: its fixed part as it stands and each
// read-mark block as far as the file goes (a block is never sized beyond the file, and is
// widened with zeros to what the script's tables need). The stamp becomes the running
// script's: the marks are kept for it, and the next start must not take the damage for a
// changed script. False when even the fixed part is not there.
bool system_dat_salvage(const std::vector<uint8_t>& bytes, SystemDatImage* image) {
  if (bytes.size() < kSystemDatFixedBytes) return false;
  std::vector<uint8_t> fixed(bytes.begin(), bytes.begin() + kSystemDatFixedBytes);
  fixed.resize(kSystemDatFixedBytes + 8, 0);  // both counts 0
  std::string error;
  if (!system_dat_decode(fixed.data(), fixed.size(), image, &error)) return false;
  struct Block {
    std::vector<uint8_t>* bits;
    const char* table;
    uint32_t per_byte;
  };
  const Block blocks[] = {{&image->textRead, "Text.dat", 8}, {&image->fileSeen, "File.dat", 4}};
  size_t at = kSystemDatFixedBytes;
  for (const Block& b : blocks) {
    uint32_t count = 0;
    if (bytes.size() - at >= 4) {
      count = le32_at(bytes.data() + at);
      at += 4;
    } else {
      at = bytes.size();
    }
    const size_t there = std::min<size_t>(count, bytes.size() - at);
    b.bits->assign(bytes.begin() + static_cast<ptrdiff_t>(at),
                   bytes.begin() + static_cast<ptrdiff_t>(at + there));
    at += there;
    uint32_t entries = 0;
    if (data_file_word(b.table, 12, &entries) && entries / b.per_byte + 1 > b.bits->size()) {
      b.bits->resize(entries / b.per_byte + 1, 0);
    }
  }
  data_file_word("Script.src", 4, &image->settings.dwScriptStamp);
  return true;
}

// system.dat cannot be made without a data file: the system's own line, then one that names
// the file and the system file it stopped. Returns the failure result of system_dat_create.
uint32_t data_file_missing(const char* system_line, const char* name) {
  vm_error_log("%s", system_line);
  vm_error_log(
      "%s: not found among the data files, or too short for its header; %s cannot be made "
      "without it",
      name, game_file_shown_path(system_dat_path()).c_str());
  return 0;
}

}  // namespace

bool system_dat_load(GameState& gs) {
  std::vector<uint8_t> bytes;
  const std::string path = system_dat_path();
  if (!game_file_load(path, &bytes, 256u << 20)) {
    vm_error_log("%s", kLoadOpenError);
    return false;
  }
  SystemDatImage image;
  std::string error;
  if (!system_dat_decode(bytes.data(), bytes.size(), &image, &error)) {
    // The player's data is never given up for a damaged file: the original stays beside it
    // before anything is written over it, and what can be read is kept.
    const bool kept = game_file_save(path + ".bad", bytes.data(), bytes.size());
    const bool salvaged = system_dat_salvage(bytes, &image);
    vm_error_log(
        "%s: damaged system file (%s); %s; %s", game_file_shown_path(path).c_str(), error.c_str(),
        salvaged ? "read as far as it goes" : "starting from the defaults",
        kept ? "the original is kept as system.dat.bad" : "the original could not be kept aside");
    if (!salvaged) return false;
  }
  SeenFlags& seen = gs.vm.seen;
  seen.lpTextRead = alloc_bits(image.textRead);
  seen.lpFileSeen = alloc_bits(image.fileSeen);
  if ((!image.textRead.empty() && !seen.lpTextRead) ||
      (!image.fileSeen.empty() && !seen.lpFileSeen)) {
    vm_error_log(
        "%s", !image.textRead.empty() && !seen.lpTextRead ? kLoadNoMemoryText : kLoadNoMemoryFile);
    if (seen.lpTextRead) orv.OrvMemoryFree(seen.lpTextRead);
    if (seen.lpFileSeen) orv.OrvMemoryFree(seen.lpFileSeen);
    seen.lpTextRead = seen.lpFileSeen = nullptr;
    return false;
  }
  seen.dwTextReadBytes = static_cast<uint32_t>(image.textRead.size());
  seen.dwFileSeenBytes = static_cast<uint32_t>(image.fileSeen.size());
  gs.settings = image.settings;
  std::memcpy(gs.vm.sysMem, image.sysMem, sizeof image.sysMem);
  sound_settings_read(image.sound, sizeof image.sound, gs.vm.sound);
  orv.OrvEffectEnable(static_cast<int32_t>(gs.settings.bEffectEnable));
  orv.OrvWindowChangeMode(static_cast<int32_t>(gs.settings.dwWindowMode));
  orv.OrvCursorSetAutoHideTime(gs.settings.dwCursorHideTime);
  return true;
}

uint32_t system_dat_create(GameState& gs) {
  SeenFlags& seen = gs.vm.seen;
  if (seen.lpTextRead) orv.OrvMemoryFree(seen.lpTextRead);
  if (seen.lpFileSeen) orv.OrvMemoryFree(seen.lpFileSeen);
  // The read marks start over; the entry-name list (when there is one) stays its own.
  const OrvHandle names = seen.hEntryNames;
  seen = SeenFlags{};
  seen.hEntryNames = names;
  gs.settings = SystemSettings{};
  std::memset(gs.vm.sysMem, 0, sizeof gs.vm.sysMem);
  gs.bVoiceCheck = 0;
  gs.dwBootFlag = 0;

  SystemSettings& s = gs.settings;
  s.bEffectEnable = 1;
  s.bAspectPos = 1;
  s.nNewestSave = -1;
  s.dwAutoSpeed = 50;
  s.dwMessageSpeed = 50;
  s.nTextBaseImage = -1;
  s.nTextAlpha = -1;

  sound_settings_default(gs.vm.sound);

  if (!data_file_word("Script.src", 4, &s.dwScriptStamp)) {
    return data_file_missing(kNoScript, "Script.src");
  }
  uint32_t texts = 0;
  if (!data_file_word("Text.dat", 12, &texts)) {
    return data_file_missing(kNoText, "Text.dat");
  }
  if (texts > 200000) {
    platform::message_box(kTooManyTexts, kWarning,
                          platform::kMbIconExclamation | platform::kMbTopMost);
  }
  seen.dwTextReadBytes = texts / 8 + 1;
  seen.lpTextRead = static_cast<uint8_t*>(orv.OrvMemoryAlloc(seen.dwTextReadBytes, 1));
  if (!seen.lpTextRead) {
    seen.dwTextReadBytes = 0;
    vm_error_log("%s", kNoMemoryText);
    return 0;
  }
  uint32_t files = 0;
  if (!data_file_word("File.dat", 12, &files)) {
    return data_file_missing(kNoFile, "File.dat");
  }
  if (files >= 65536) {
    platform::message_box(kTooManyFiles, kWarning,
                          platform::kMbIconExclamation | platform::kMbTopMost);
  }
  seen.dwFileSeenBytes = files / 4 + 1;
  seen.lpFileSeen = static_cast<uint8_t*>(orv.OrvMemoryAlloc(seen.dwFileSeenBytes, 1));
  if (!seen.lpFileSeen) {
    seen.dwFileSeenBytes = 0;
    vm_error_log("%s", kNoMemoryFile);
    return 0;
  }
  system_dat_save(gs);
  vm_error_log("%s", kCreated);
  return 1;
}

uint32_t system_dat_save(GameState& gs) {
  gs.settings.dwWindowMode = static_cast<uint32_t>(orv.OrvCheckWindowMode());
  SystemDatImage image;
  image.settings = gs.settings;
  sound_settings_write(gs.vm.sound, image.sound);
  std::memcpy(image.sysMem, gs.vm.sysMem, sizeof image.sysMem);
  const SeenFlags& seen = gs.vm.seen;
  if (seen.lpTextRead)
    image.textRead.assign(seen.lpTextRead, seen.lpTextRead + seen.dwTextReadBytes);
  if (seen.lpFileSeen)
    image.fileSeen.assign(seen.lpFileSeen, seen.lpFileSeen + seen.dwFileSeenBytes);
  const std::vector<uint8_t> bytes = system_dat_encode(image);
  if (!game_file_save(system_dat_path(), bytes.data(), bytes.size())) {
    vm_error_log("%s", kSaveOpenError);
    return 0;
  }
  return 1;
}

void access_dat_load(GameState& gs) {
  std::vector<uint8_t> bytes;
  const std::string path = access_dat_path();
  if (!game_file_load(path, &bytes, 64u << 20)) return;
  if (bytes.size() % kEntryNameBytes != 0) {
    // The whole records are kept; the original stays beside the file that replaces it.
    const bool kept = game_file_save(path + ".bad", bytes.data(), bytes.size());
    vm_error_log(
        "%s: damaged file (%zu bytes, not a whole number of records); %s",
        game_file_shown_path(path).c_str(), bytes.size(),
        kept ? "the original is kept as access.dat.bad" : "the original could not be kept aside");
  }
  for (const EntryName& e : access_dat_decode(bytes.data(), bytes.size())) {
    char name[33];
    std::memcpy(name, e.name, 32);
    name[32] = 0;
    entry_name_add(gs, name, e.flag);
  }
}

uint32_t access_dat_save(GameState& gs) {
  const OrvHandle list = gs.vm.seen.hEntryNames;
  if (!list) return 0;
  std::vector<EntryName> names;
  const uint32_t count = orv_list_count(list, 0);
  for (uint32_t n = 0; n < count; ++n) {
    const auto* e = reinterpret_cast<const EntryName*>(orv_list_get_data(list, 0, n));
    if (e) names.push_back(*e);
  }
  const std::vector<uint8_t> bytes = access_dat_encode(names);
  return game_file_save(access_dat_path(), bytes.data(), bytes.size()) ? 1 : 0;
}

uint32_t entry_name_add(GameState& gs, const char* name, uint8_t flag) {
  const size_t length = strnlen(name, 33);
  if (length > 32) return 0;
  auto* e = static_cast<EntryName*>(orv.OrvMemoryAlloc(sizeof(EntryName), 1));
  if (e && !orv_list_push(gs.vm.seen.hEntryNames, reinterpret_cast<uintptr_t>(e), 0)) {
    orv.OrvMemoryFree(e);
    e = nullptr;
  }
  if (!e) {
    platform::message_box(kOutOfMemory, startup_info().szProduct,
                          platform::kMbIconExclamation | platform::kMbTopMost);
    return 0;
  }
  std::memcpy(e->name, name, length);
  e->flag = flag;
  return 1;
}

}  // namespace engine
