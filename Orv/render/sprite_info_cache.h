// The sprite-info cache: the place and sizes of every image loaded so far, by file name, so
// that the game can build image-less info sprites while it skips.
//
// Keys are the names as the caller passed them with a-z upper-cased (trail bytes of double-byte
// characters included, as the game has always keyed them). Names that begin with "#" (the
// game's colour sprites) and empty names are never stored or found. Values are kept in 16 bits.
// Loads run on the game thread and on the work thread, so the cache has its own lock.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

struct SpriteInfoCacheEntry {
  int16_t x, y, width, height, cell_width, cell_height;
};

struct SpriteInfoCache {
  std::mutex mutex;
  std::unordered_map<std::string, SpriteInfoCacheEntry> map;
};

bool sprite_info_cache_lookup(const char* name, SpriteInfoCacheEntry* out);
// Inserts or overwrites; each value keeps its low 16 bits.
void sprite_info_cache_store(const char* name, int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t cell_width, int32_t cell_height);
