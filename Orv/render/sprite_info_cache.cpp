#include "Orv/render/sprite_info_cache.h"

#include "Orv/render/render_state.h"

namespace {

bool cacheable(const char* name) {
  return name && name[0] != '\0' && name[0] != '#';
}

std::string key_of(const char* name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

}  // namespace

bool sprite_info_cache_lookup(const char* name, SpriteInfoCacheEntry* out) {
  if (!cacheable(name)) return false;
  SpriteInfoCache& cache = orv_render().info_cache;
  std::lock_guard<std::mutex> lock(cache.mutex);
  auto it = cache.map.find(key_of(name));
  if (it == cache.map.end()) return false;
  if (out) *out = it->second;
  return true;
}

void sprite_info_cache_store(const char* name, int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t cell_width, int32_t cell_height) {
  if (!cacheable(name)) return;
  auto low16 = [](int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); };
  SpriteInfoCacheEntry entry{low16(x),      low16(y),          low16(width),
                             low16(height), low16(cell_width), low16(cell_height)};
  SpriteInfoCache& cache = orv_render().info_cache;
  std::lock_guard<std::mutex> lock(cache.mutex);
  cache.map[key_of(name)] = entry;
}
