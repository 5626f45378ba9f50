#include "text/tips/favourites.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "commands/command_util.h"

namespace tips {

FavouriteStore favourites;

namespace {

template <size_t N>
void put_field(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), engine::sjis_clamp(text, N - 1));
}

template <size_t N>
std::string_view field_text(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

// A cursor over the file's bytes.
struct Cursor {
  const uint8_t* p;
  const uint8_t* end;
  size_t left() const { return static_cast<size_t>(end - p); }
  // The bytes up to the next `stop`, which is consumed; false when there is none.
  bool until(uint8_t stop, std::string_view* out) {
    const uint8_t* at = std::find(p, end, stop);
    if (at == end) return false;
    *out = std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(at - p));
    p = at + 1;
    return true;
  }
  bool skip(uint8_t expected) {
    if (p == end || *p != expected) return false;
    ++p;
    return true;
  }
};

int32_t decimal(std::string_view digits, size_t max) {
  char buffer[16] = {};
  std::memcpy(buffer, digits.data(), std::min(digits.size(), std::min(max, sizeof buffer - 1)));
  return static_cast<int32_t>(std::strtol(buffer, nullptr, 10));
}

}  // namespace

void fav_clear(FavouriteStore& store) {
  store.count = 0;
  std::memset(store.records, 0, sizeof store.records);
  std::memset(store.mem, 0, sizeof store.mem);
  store.path.clear();
}

std::string fav_strip_tags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '<') {
      out += text[i];
      continue;
    }
    const size_t close = text.find('>', i);
    if (close == std::string_view::npos) break;
    i = close;
  }
  return out;
}

int32_t fav_add_record(FavouriteStore& store, int32_t number, std::string_view name,
                       std::string_view voice, std::string_view text) {
  if (store.count >= kFavRecords || store.count >= store.capacity) return -1;
  if (number < 0) {
    int32_t largest = -1;
    for (uint32_t i = 0; i < store.count; ++i) largest = std::max(largest, store.records[i].number);
    number = store.count == 0 ? 0 : largest + 1;
  }
  FavRecord& r = store.records[store.count];
  r = FavRecord{};
  r.number = number;
  put_field(r.name, name);
  put_field(r.text, fav_strip_tags(text));
  put_field(r.voice, voice);
  r.flag = 0;
  ++store.count;
  return number;
}

std::string fav_file_bytes(const FavouriteStore& store) {
  std::string out;
  for (uint32_t i = 0; i < store.count && i < kFavRecords; ++i) {
    const FavRecord& r = store.records[i];
    if (r.number < 0) continue;
    char head[32];
    std::snprintf(head, sizeof head, "%06d,%1d,\"", r.number, static_cast<int32_t>(r.flag));
    out += head;
    out += field_text(r.name);
    out += "\",\"";
    out += field_text(r.voice);
    out += "\",\"";
    out += field_text(r.text);
    out += "\"\r\n";
  }
  return out;
}

uint32_t fav_file_parse(FavouriteStore& store, const uint8_t* bytes, size_t size) {
  Cursor c{bytes, bytes + size};
  store.count = 0;
  while (store.count < kFavRecords) {
    std::string_view number, flag, name, voice, text;
    if (!c.until(',', &number) || !c.until(',', &flag) || !c.skip('"') || !c.until('"', &name) ||
        !c.skip(',') || !c.skip('"') || !c.until('"', &voice) || !c.skip(',') || !c.skip('"') ||
        !c.until('"', &text)) {
      break;
    }
    FavRecord& r = store.records[store.count++];
    r = FavRecord{};
    r.number = decimal(number, 7);
    r.flag = static_cast<int8_t>(decimal(flag, 7));
    put_field(r.name, name);
    put_field(r.voice, voice);
    put_field(r.text, text);
    if (c.left() < 3) break;
    c.skip('\r');
    c.skip('\n');
  }
  return store.count;
}

std::string fav_voice_expand(const std::string& voice, const std::vector<std::string>& mix_names) {
  if (voice.find('|') != std::string::npos) return voice;
  std::string out = voice;
  for (const std::string& name : mix_names) out += "|" + name;
  return out.substr(0, engine::sjis_clamp(out, kFavVoiceBytes - 1));
}

}  // namespace tips
