#include "graphics/layers/sprite_loader.h"

#include <cstdio>
#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace layers {
namespace {

constexpr uint32_t kSkipMask = 0x30;  // scene skip or history skip

struct LoaderRow {
  const char* extension;
  bool movie;
};
// The ".mpg" row makes a movie sprite (an info record of the movie's size while skipping).
constexpr LoaderRow kRows[] = {{".vkx", false}, {".mpg", true},  {".tga", false},
                               {".bmp", false}, {".png", false}, {".jpg", false}};

void path_of(char (&path)[260], const char* name, const char* extension) {
  std::snprintf(path, sizeof path, "%s%s", name, extension);
}

}  // namespace

uint32_t parse_color(const char* text) {
  uint32_t value = 0;
  for (; *text; ++text) {
    const char c = *text;
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      break;
    }
    value = value << 4 | digit;
  }
  return value;
}

uint32_t sprite_load_by_name(engine::VmContext& vm, const char* name, int32_t width, int32_t height,
                             int32_t priority) {
  return sprite_load_by_name_as(name, width, height, priority,
                                (engine::get_skip_state(vm) & kSkipMask) != 0);
}

uint32_t sprite_load_by_name_as(const char* name, int32_t width, int32_t height, int32_t priority,
                                bool skipping) {
  const uint32_t list = orv.OrvRenderGetActive();
  if (name[0] == '#') {
    if (skipping) return orv.OrvSpriteInfoCreate(nullptr, width, height, priority);
    const uint32_t color = parse_color(name + 1);
    const uint32_t sprite = orv.OrvSpriteCreate(list, width, height, priority);
    if (sprite) orv.OrvSpritePaint(sprite, nullptr, color);
    return sprite;
  }
  char path[260];
  if (skipping) {
    if (orv.OrvSpriteIsUseSpriteInfoCache()) {
      for (const LoaderRow& row : kRows) {
        path_of(path, name, row.extension);
        if (uint32_t s = orv.OrvSpriteInfoCreateFromCache(path, 0, 0, priority)) return s;
      }
    }
    for (const LoaderRow& row : kRows) {
      path_of(path, name, row.extension);
      if (row.movie) {
        if (uint32_t s = orv.OrvMSpriteInfoCreate(path, width, height, priority)) return s;
        continue;
      }
      if (uint32_t s = orv.OrvSpriteInfoCreate(path, 0, 0, priority)) return s;
    }
  } else {
    for (const LoaderRow& row : kRows) {
      path_of(path, name, row.extension);
      if (row.movie) {
        if (uint32_t s = orv.OrvMSpriteLoad(list, path, priority)) return s;
        continue;
      }
      if (uint32_t s = orv.OrvSpriteLoad(list, path, priority)) return s;
    }
  }
  const auto* pool = static_cast<const char*>(orv.OrvGetlpPool ? orv.OrvGetlpPool() : nullptr);
  if (pool && std::memcmp(pool, "VKX3", 4) == 0) {
    char base[33] = {};
    std::memcpy(base, pool + 14, 32);
    engine::vm_log(engine::kLogMain, "sprite base load error [%s]", base);
  } else {
    engine::vm_log(engine::kLogMain, "sprite load error [%s]", name);
  }
  return 0;
}

uint32_t sprite_load_by_name_unlocked(engine::VmContext& vm, const char* name, int32_t width,
                                      int32_t height, int32_t priority) {
  if (!orv.OrvIsWorkThreadId()) return sprite_load_by_name(vm, name, width, height, priority);
  orv.OrvRenderLockLeave();
  const uint32_t sprite = sprite_load_by_name(vm, name, width, height, priority);
  orv.OrvRenderLockEnter();
  return sprite;
}

}  // namespace layers
