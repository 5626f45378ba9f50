// Sprite calls of the platform library replaced by a recording fake, so that the layer code
// can be checked call by call: loads find the files named in `files` (name with extension ->
// width, height), every sprite keeps its last position, scale, colour and visibility, and the
// calls are logged in order. The real entries come back when the fake goes out of scope.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/orv_api.h"

namespace layerstest {

struct FakeSprite {
  std::string name;
  int32_t w = 0, h = 0;
  float x = 0, y = 0, z = 0;
  float sx = 1, sy = 1;
  int32_t rx = 0, ry = 0, rz = 0;
  float frx = 0, fry = 0, frz = 0;
  uint32_t color = 0xFFFFFFFFu;
  int32_t visible = 0;
  bool released = false;
  bool pixelless = false;
  std::vector<uint32_t> pixels;
};

struct FakeSprites {
  std::map<std::string, std::pair<int32_t, int32_t>> files;
  std::map<uint32_t, FakeSprite> sprites;
  std::vector<std::string> calls;
  uint32_t next_id = 100;
  int32_t transition_state = 0;

  uint32_t add(const std::string& name, int32_t w, int32_t h) {
    const uint32_t id = next_id++;
    FakeSprite s;
    s.name = name;
    s.w = w;
    s.h = h;
    sprites[id] = s;
    return id;
  }
  FakeSprite* at(uint32_t id) {
    auto it = sprites.find(id);
    return it == sprites.end() || it->second.released ? nullptr : &it->second;
  }
  bool called(const std::string& call) const {
    for (const auto& c : calls) {
      if (c == call) return true;
    }
    return false;
  }
};

inline FakeSprites* g_fake = nullptr;

class ScopedFakeSprites {
 public:
  ScopedFakeSprites() {
    saved_ = orv;
    g_fake = &fake;
    orv.OrvSpriteLoad = [](OrvHandle, const char* path, int32_t) -> OrvHandle {
      auto it = g_fake->files.find(path);
      if (it == g_fake->files.end()) return 0;
      g_fake->calls.push_back(std::string("load ") + path);
      return g_fake->add(path, it->second.first, it->second.second);
    };
    orv.OrvSpriteInfoCreate = [](const char* path, int32_t w, int32_t h, int32_t) -> OrvHandle {
      uint32_t id = 0;
      if (!path) {
        id = g_fake->add("#", w, h);
      } else {
        auto it = g_fake->files.find(path);
        if (it == g_fake->files.end()) return 0;
        id = g_fake->add(path, it->second.first, it->second.second);
      }
      g_fake->sprites[id].pixelless = true;
      return id;
    };
    orv.OrvSpriteIsUseSpriteInfoCache = []() -> int32_t { return 0; };
    orv.OrvSpriteCreate = [](OrvHandle, int32_t w, int32_t h, int32_t) -> OrvHandle {
      const uint32_t id = g_fake->add("created", w, h);
      g_fake->sprites[id].pixels.assign(size_t(w) * size_t(h), 0);
      return id;
    };
    orv.OrvSpritePaint = [](OrvHandle s, const OrvRect* r, uint32_t argb) -> OrvBool {
      g_fake->calls.push_back("paint " + std::to_string(s) + (r ? " rect" : " whole") + " " +
                              std::to_string(argb));
      return 1;
    };
    orv.OrvSpriteRelease = [](OrvHandle, OrvHandle s) -> OrvBool {
      g_fake->calls.push_back("release " + std::to_string(s));
      if (FakeSprite* f = g_fake->at(s)) f->released = true;
      return 1;
    };
    orv.OrvSpriteGetInfo = [](OrvHandle s, OrvSpriteInfo* info) -> OrvBool {
      std::memset(info, 0, sizeof *info);
      FakeSprite* f = g_fake->at(s);
      if (!f) return 0;
      info->width = info->cell_width = f->w;
      info->height = info->cell_height = f->h;
      info->x = f->x;
      info->y = f->y;
      info->scale_x = f->sx;
      info->scale_y = f->sy;
      info->color = f->color;
      return 1;
    };
    orv.OrvSpriteGetWidth = [](OrvHandle s) -> int32_t {
      FakeSprite* f = g_fake->at(s);
      return f ? f->w : 0;
    };
    orv.OrvSpriteGetHeight = [](OrvHandle s) -> int32_t {
      FakeSprite* f = g_fake->at(s);
      return f ? f->h : 0;
    };
    orv.OrvSpriteSetPos = [](OrvHandle s, float x, float y, float z) -> OrvBool {
      if (FakeSprite* f = g_fake->at(s)) f->x = x, f->y = y, f->z = z;
      return 1;
    };
    orv.OrvSpriteMovePos = [](OrvHandle s, float x, float y, float z) -> OrvBool {
      if (FakeSprite* f = g_fake->at(s)) f->x += x, f->y += y, f->z += z;
      return 1;
    };
    orv.OrvSpriteSetScale = [](OrvHandle s, float x, float y) -> OrvBool {
      if (FakeSprite* f = g_fake->at(s)) f->sx = x, f->sy = y;
      return 1;
    };
    orv.OrvSpriteSetRotateEx = [](OrvHandle s, int32_t x, int32_t y, int32_t z) -> OrvBool {
      if (FakeSprite* f = g_fake->at(s)) f->rx = x, f->ry = y, f->rz = z;
      g_fake->calls.push_back("rotate int");
      return 1;
    };
    orv.OrvSpriteSetRotateExFloat = [](OrvHandle s, float x, float y, float z) -> OrvBool {
      if (FakeSprite* f = g_fake->at(s)) f->frx = x, f->fry = y, f->frz = z;
      g_fake->calls.push_back("rotate float");
      return 1;
    };
    orv.OrvSpriteSetColor = [](OrvHandle s, uint32_t argb) -> OrvBool {
      if (FakeSprite* f = g_fake->at(s)) f->color = argb;
      return 1;
    };
    orv.OrvSpriteSetRenderMode = [](OrvHandle s, int32_t mode) -> OrvBool {
      g_fake->calls.push_back("render mode " + std::to_string(s) + " " + std::to_string(mode));
      return 1;
    };
    orv.OrvSpriteSetCenterOffset = [](OrvHandle, int32_t, int32_t) {};
    orv.OrvSpriteViewCtrl = [](OrvHandle s, int32_t visible) -> OrvBool {
      g_fake->calls.push_back("view " + std::to_string(s) + " " + std::to_string(visible));
      if (FakeSprite* f = g_fake->at(s)) f->visible = visible;
      return 1;
    };
    orv.OrvSpriteLock = [](OrvHandle s, int32_t* w, int32_t* h) -> uint32_t* {
      FakeSprite* f = g_fake->at(s);
      if (!f || f->pixels.empty()) return nullptr;
      *w = f->w;
      *h = f->h;
      return f->pixels.data();
    };
    orv.OrvSpriteUnlock = [](OrvHandle) {};
    orv.OrvEffectEx = [](int32_t type, int32_t time, int32_t skippable, int32_t) -> OrvBool {
      g_fake->calls.push_back("effect " + std::to_string(type) + " " + std::to_string(time) + " " +
                              std::to_string(skippable));
      return 1;
    };
    orv.OrvSpriteSetTransition = [](OrvHandle, OrvHandle in, OrvHandle out, int32_t kind, uint32_t,
                                    uint32_t duration, OrvHandle) -> OrvBool {
      g_fake->calls.push_back("transition " + std::to_string(in) + " " + std::to_string(out) + " " +
                              std::to_string(kind) + " " + std::to_string(duration));
      return 1;
    };
    orv.OrvSpriteCreateTransitionHandle = []() -> OrvHandle { return 7; };
    orv.OrvSpriteReleaseTransitionHandle = [](OrvHandle) -> OrvBool { return 1; };
    orv.OrvSpriteGetTransitionState = [](OrvHandle) -> int32_t { return g_fake->transition_state; };
    orv.OrvSpriteCancelTransition = [](OrvHandle) -> OrvBool { return 1; };
    orv.OrvSpriteBackBafferCopy = [](OrvHandle s) -> OrvBool {
      g_fake->calls.push_back("backbuffer " + std::to_string(s));
      return 1;
    };
  }
  ~ScopedFakeSprites() {
    orv = saved_;
    g_fake = nullptr;
  }
  ScopedFakeSprites(const ScopedFakeSprites&) = delete;
  ScopedFakeSprites& operator=(const ScopedFakeSprites&) = delete;

  FakeSprites fake;

 private:
  OrvApi saved_;
};

}  // namespace layerstest
