#include "engine/formats/system_files.h"

#include <cstdio>
#include <cstring>

#include "engine/orv_api.h"
#include "engine/formats/startup_info.h"
#include "platform/file.h"
#include "platform/message_box.h"
#include "platform/program_path.h"
#include "platform/sjis.h"
#include "platform/whole_file.h"
#include "shared/utility.h"
#include "shared/word_scrambler.h"

namespace engine {
namespace {

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t get_u32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void encode_settings(const SystemSettings& s, std::vector<uint8_t>& out) {
  const uint32_t words[12] = {s.dwScriptStamp,
                              s.bAllMosaicThumbnail,
                              s.dwWindowMode,
                              s.bSkipUnread,
                              s.bEffectEnable,
                              s.bAspectPos,
                              static_cast<uint32_t>(s.nNewestSave),
                              s.dwAutoSpeed,
                              s.dwMessageSpeed,
                              s.dwCursorHideTime,
                              static_cast<uint32_t>(s.nTextBaseImage),
                              static_cast<uint32_t>(s.nTextAlpha)};
  for (uint32_t w : words) put_u32(out, w);
  for (const NameColor& c : s.nameColors) {
    put_u32(out, c.bUsed);
    put_u32(out, c.dwTextColor);
    put_u32(out, c.dwShadowColor);
    put_u32(out, c.dwNameLength);
    out.insert(out.end(), c.szName, c.szName + sizeof c.szName);
  }
}

void decode_settings(const uint8_t* p, SystemSettings* s) {
  uint32_t w[12];
  for (int i = 0; i < 12; ++i) w[i] = get_u32(p + 4 * i);
  s->dwScriptStamp = w[0];
  s->bAllMosaicThumbnail = w[1];
  s->dwWindowMode = w[2];
  s->bSkipUnread = w[3];
  s->bEffectEnable = w[4];
  s->bAspectPos = w[5];
  s->nNewestSave = static_cast<int32_t>(w[6]);
  s->dwAutoSpeed = w[7];
  s->dwMessageSpeed = w[8];
  s->dwCursorHideTime = w[9];
  s->nTextBaseImage = static_cast<int32_t>(w[10]);
  s->nTextAlpha = static_cast<int32_t>(w[11]);
  p += 48;
  for (NameColor& c : s->nameColors) {
    c.bUsed = get_u32(p);
    c.dwTextColor = get_u32(p + 4);
    c.dwShadowColor = get_u32(p + 8);
    c.dwNameLength = get_u32(p + 12);
    std::memcpy(c.szName, p + 16, sizeof c.szName);
    p += 48;
  }
}

bool ends_with(const std::string& name, const char* tail) {
  const size_t n = std::strlen(tail);
  return name.size() >= n && name.compare(name.size() - n, n, tail) == 0;
}

}  // namespace

std::vector<uint8_t> system_dat_encode(const SystemDatImage& image) {
  std::vector<uint8_t> out;
  out.reserve(kSystemDatFixedBytes + 8 + image.textRead.size() + image.fileSeen.size());
  out.push_back(kSystemDatFormat & 0xFF);
  out.push_back(kSystemDatFormat >> 8);
  encode_settings(image.settings, out);
  out.insert(out.end(), image.sound, image.sound + kSoundSettingsBytes);
  for (uint32_t w : image.sysMem) put_u32(out, w);
  put_u32(out, static_cast<uint32_t>(image.textRead.size()));
  out.insert(out.end(), image.textRead.begin(), image.textRead.end());
  put_u32(out, static_cast<uint32_t>(image.fileSeen.size()));
  out.insert(out.end(), image.fileSeen.begin(), image.fileSeen.end());
  return out;
}

bool system_dat_decode(const uint8_t* data, size_t size, SystemDatImage* image,
                       std::string* error) {
  if (size < kSystemDatFixedBytes + 4) {
    *error = "shorter than its fixed part";
    return false;
  }
  decode_settings(data + 2, &image->settings);
  std::memcpy(image->sound, data + kSystemDatSoundOffset, kSoundSettingsBytes);
  for (uint32_t i = 0; i < kSystemMemoryCells; ++i) {
    image->sysMem[i] = get_u32(data + kSystemDatMemoryOffset + 4 * i);
  }
  size_t at = kSystemDatFixedBytes;
  for (std::vector<uint8_t>* bits : {&image->textRead, &image->fileSeen}) {
    if (size - at < 4) {
      *error = "ends before a read-mark count";
      return false;
    }
    const uint32_t count = get_u32(data + at);
    at += 4;
    // A count that runs past the end names a block the file does not hold: taking it would
    // size an allocation from a damaged file.
    if (count > size - at) {
      *error = "read-mark count runs past the end of the file";
      return false;
    }
    bits->assign(data + at, data + at + count);
    at += count;
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
  std::vector<uint8_t> out(names.size() * kEntryNameBytes);
  for (size_t i = 0; i < names.size(); ++i) {
    std::memcpy(out.data() + i * kEntryNameBytes, names[i].name, 32);
    out[i * kEntryNameBytes + 32] = names[i].flag;
  }
  scramble_words(out.data(), out.size());
  return out;
}

std::vector<EntryName> access_dat_decode(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  unscramble_words(bytes.data(), bytes.size());
  std::vector<EntryName> names(size / kEntryNameBytes);
  for (size_t i = 0; i < names.size(); ++i) {
    std::memcpy(names[i].name, bytes.data() + i * kEntryNameBytes, 32);
    names[i].flag = bytes[i * kEntryNameBytes + 32];
  }
  return names;
}

void config_dat_encode(const StartParams& p, uint8_t out[kConfigDatBytes]) {
  const uint32_t words[9] = {static_cast<uint32_t>(p.window_x),
                             static_cast<uint32_t>(p.window_y),
                             static_cast<uint32_t>(p.client_width),
                             static_cast<uint32_t>(p.client_height),
                             p.display_flags,
                             static_cast<uint32_t>(p.adapter),
                             static_cast<uint32_t>(p.aspect_mode),
                             static_cast<uint32_t>(p.wait_mode),
                             static_cast<uint32_t>(p.movie_format)};
  for (int i = 0; i < 9; ++i) {
    for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(words[i] >> (8 * b));
  }
}

bool config_dat_decode(const uint8_t* data, size_t size, StartParams* p) {
  if (size < kConfigDatBytes) return false;
  uint32_t w[9];
  for (int i = 0; i < 9; ++i) w[i] = get_u32(data + 4 * i);
  p->window_x = static_cast<int32_t>(w[0]);
  p->window_y = static_cast<int32_t>(w[1]);
  p->client_width = static_cast<int32_t>(w[2]);
  p->client_height = static_cast<int32_t>(w[3]);
  p->display_flags = w[4];
  p->adapter = static_cast<int32_t>(w[5]);
  p->aspect_mode = static_cast<int32_t>(w[6]);
  p->wait_mode = static_cast<int32_t>(w[7]);
  p->movie_format = static_cast<int32_t>(w[8]);
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
  return platform::save_file_bytes(path, bytes, sizeof bytes) ? 1 : 0;
}

uint32_t config_dat_save(const std::string& path, const StartParams& params) {
  StartParams written = params;
  written.display_flags |= 8;  // a /DIB start does not carry over to the next start
  uint8_t bytes[kConfigDatBytes];
  config_dat_encode(written, bytes);
  return platform::save_file_bytes(path, bytes, sizeof bytes) ? 1 : 0;
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

uint32_t archive_list_load(int32_t n) {
  auto fail = [](const char* text) {
    platform::message_box(text, "error", platform::kMbIconExclamation | platform::kMbTopMost);
    return 0u;
  };
  orv.OrvSystemPathSet("data");
  std::string base = platform::utf8_to_sjis_path(platform::program_folder_utf8());
  std::vector<uint8_t> bytes;
  bool opened = false;
  for (const char* folder : {"data", "csv"}) {
    const std::string path = base + "\\" + folder + "\\archive.dat";
    if (platform::file_exists(path.c_str())) {
      if (!platform::load_file_bytes(path, &bytes, 1 << 20)) return fail("ArchiveData Read Fail");
      opened = true;
      break;
    }
  }
  if (!opened) return fail("ArchiveData Fail");
  std::vector<std::string> names;
  if (!archive_field_names(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), n, &names)) {
    return fail("ArchiveData Read Fail");
  }
  for (const std::string& name : names) orv.OrvSystemPathSet(name.c_str());
  return 1;
}

uint32_t save_folder_wipe() {
  const char* folder = startup_info().szSaveFolder;
  if (!platform::folder_exists(folder)) return 0;
  for (const platform::DirEntry& e : platform::list_folder(folder)) {
    if (e.is_folder || !(ends_with(e.name, ".dat") || ends_with(e.name, ".jpg"))) continue;
    platform::delete_file((std::string(folder) + "\\" + e.name).c_str());
  }
  return 1;
}

}  // namespace engine
