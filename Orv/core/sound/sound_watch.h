// The debug watch tables of the sound channels: keys 14 (sound effects, group 4), 15 (music,
// the two music channels) and 19 (background voices, group 7).
//
// The watched array of those keys is the game program's own sound table: entries of 64 bytes
// (key 14, 16 of them) or 92 bytes (keys 15 and 19, 2 and 8 of them) whose first word is the
// entry's sound handle. Only that stride and the handle are read from it.
// Any thread; takes the sound lock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether the key's watch table shows sound channels.
bool sound_watch_key(int32_t key);
// The rows of key 14, 15 or 19 (Shift-JIS text); table may be null (its handles then read 0).
std::vector<std::string> sound_watch_rows(int32_t key, const uint8_t* table);
