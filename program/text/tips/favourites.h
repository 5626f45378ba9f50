// Favourite voices: lines of dialogue the player keeps with their voice, in a table of 1,024
// records that the script fills, orders, flags and saves as a text file, and beside it a table
// of 4,096 integers the script keeps its own lists in (the tips dictionary sorts lists there).
// Program-wide: not part of the save data, kept until exit.
//
// The favourites file: one line per record whose number is not negative, in table order,
// "%06d,%1d,\"%s\",\"%s\",\"%s\"\r\n" with number, flag, name, voice and text (the strings
// in double quotes, without escaping). Lines are written whole, whatever their length, so a
// saved table always reads back.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tips {

constexpr uint32_t kFavRecords = 1024;
constexpr uint32_t kFavMemWords = 4096;
constexpr size_t kFavNameBytes = 255;
constexpr size_t kFavTextBytes = 255;
constexpr size_t kFavVoiceBytes = 128;

struct FavRecord {
  int32_t number;  // -1: deleted
  char name[kFavNameBytes];
  char text[kFavTextBytes];  // without <...> tags
  char voice[kFavVoiceBytes];
  int8_t flag;
};

struct FavouriteStore {
  uint32_t count;  // records in use, deleted ones included
  FavRecord records[kFavRecords];
  std::string path;  // empty: none
  int32_t mem[kFavMemWords];
  uint32_t capacity;  // 0 at start: nothing can be added before favsetmax
};

extern FavouriteStore favourites;

// Empties the table, the integer table and the path (capacity stays).
void fav_clear(FavouriteStore& store);

// The text without its <...> tags (an unclosed "<" drops the rest, as the renderer reads it).
std::string fav_strip_tags(std::string_view text);

// Adds a record at index count: -1 when the count has reached 1024 or the capacity. A negative
// number becomes the next free one (0 on an empty table, else the largest number + 1). The
// strings are cut to their fields (254, 254 and 127 bytes, on a character boundary); the text
// loses its tags. Returns the record's number.
int32_t fav_add_record(FavouriteStore& store, int32_t number, std::string_view name,
                       std::string_view voice, std::string_view text);

// The bytes of the favourites file for the table.
std::string fav_file_bytes(const FavouriteStore& store);
// Reads file bytes into records 0, 1, ...; the count becomes the number of records read (at
// most 1024). A line stops the reading where its layout breaks; every string is kept within
// its field.
uint32_t fav_file_parse(FavouriteStore& store, const uint8_t* bytes, size_t size);

// A voice and the files of its .mix list: "voice|FILE1|FILE2..." cut to 127 bytes. The voice
// as it is when it holds "|" already or has no list.
std::string fav_voice_expand(const std::string& voice, const std::vector<std::string>& mix_names);

}  // namespace tips
