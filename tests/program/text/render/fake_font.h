// A fake platform font in the binding table, with fixed metrics, for the renderer's geometry:
// a one-byte glyph advances size / 2, a two-byte glyph or a value field the size; measuring
// adds 3 to the width as the platform does. Each draw is recorded with the font state of the
// moment, and the last-glyph rectangle follows the platform's rule (left = x + step, width the
// size when size / 2 + 1 < advance, else the advance; top y, bottom y + size).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"

namespace textrendertest {

struct FakeDraw {
  std::string text;
  int32_t x, y;
  int32_t size, type;
  uint32_t colour, shadow;
};

struct FakeFont {
  int32_t size = 24, type = 0, effect = 0;
  uint32_t colour = 0xFFFFFF, shadow = 0;
  int32_t begun = 0;
  int32_t begins = 0, ends = 0;
  bool has_rect = false;
  int32_t rect[5] = {};
  std::string fail_on;  // a glyph text whose draw returns 0
  std::vector<FakeDraw> draws;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(64 * 64);
  int32_t locks = 0, unlocks = 0;
  OrvRect sprite_rect{-1, -1, -1, -1};
};

inline FakeFont* g_font = nullptr;

// Advance of the first glyph of text, as the platform's walk reads it.
inline int32_t fake_advance(const char* text) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  if (p[0] == '\\') ++p;
  if (p[0] == 0) return 0;
  if (p[0] == '%' && p[1] >= '0' && p[1] <= '9') return g_font->size;
  if ((p[0] >= 0x81 && p[0] <= 0x9F) || (p[0] >= 0xE0 && p[0] <= 0xFC)) return g_font->size;
  return g_font->size / 2;
}

inline int32_t fake_step(int32_t effect) {
  return effect >= 0 && effect <= 2 ? 1 : effect == 3 ? 2 : 0;
}

inline void install_fake_font(FakeFont* font) {
  g_font = font;
  orv.OrvFontBegin = [] {
    g_font->begun = 1;
    ++g_font->begins;
    return OrvBool{1};
  };
  orv.OrvFontEnd = [] {
    if (g_font->begun) ++g_font->ends;
    g_font->begun = 0;
  };
  orv.OrvFontGetSize = [](const char* text, int32_t* out) {
    int64_t w = 0;
    for (const char* p = text; *p;) {
      w += fake_advance(p);
      p += (*p == '\\' && p[1]) ? 2 : (static_cast<uint8_t>(*p) >= 0x81 && p[1]) ? 2 : 1;
    }
    out[0] = static_cast<int32_t>(std::min<int64_t>(w + 3, INT32_MAX));
    out[1] = static_cast<int32_t>(std::min<int64_t>(int64_t{g_font->size} + 2, INT32_MAX));
    return OrvBool{1};
  };
  orv.OrvFontDrawText = [](uint32_t* pixels, const char* text, int32_t x, int32_t y, int32_t,
                           int32_t) {
    g_font->has_rect = false;
    if (!pixels) return OrvBool{0};
    g_font->draws.push_back(
        {text, x, y, g_font->size, g_font->type, g_font->colour, g_font->shadow});
    if (!g_font->fail_on.empty() && g_font->fail_on == text) return OrvBool{0};
    const int32_t adv = fake_advance(text);
    const int64_t w = int64_t{g_font->size} / 2 + 1 < adv ? g_font->size : adv;
    const int64_t left = int64_t{x} + fake_step(g_font->effect);
    auto clamp32 = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    g_font->rect[0] = clamp32(left);
    g_font->rect[1] = y;
    g_font->rect[2] = clamp32(left + w);
    g_font->rect[3] = clamp32(int64_t{y} + g_font->size);
    g_font->rect[4] = clamp32(w);
    g_font->has_rect = true;
    return OrvBool{1};
  };
  orv.OrvFontGetDrawTextRect = [](int32_t* out) {
    if (out) std::memcpy(out, g_font->rect, sizeof g_font->rect);
    return g_font->rect[4];
  };
  orv.OrvFontHasDrawTextRect = [] { return OrvBool{g_font->has_rect ? 1 : 0}; };
  orv.OrvDrawTextStepX = [](int32_t effect) { return fake_step(effect); };
  orv.OrvFontGetColor = [](int32_t* c, int32_t* s) {
    if (c) *c = static_cast<int32_t>(g_font->colour);
    if (s) *s = static_cast<int32_t>(g_font->shadow);
    return OrvBool{1};
  };
  orv.OrvFontSetColor = [](uint32_t c, uint32_t s) {
    g_font->colour = c;
    g_font->shadow = s;
    return OrvBool{1};
  };
  orv.OrvFontGetEffect = [] { return g_font->effect; };
  orv.OrvFontSetEffect = [](int32_t e) {
    g_font->effect = e;
    return OrvBool{1};
  };
  orv.OrvFontGetFontSize = [] { return g_font->size; };
  orv.OrvFontSetFontSize = [](int32_t s) {
    g_font->size = s;
    return OrvBool{1};
  };
  orv.OrvFontGetType = [] { return g_font->type; };
  orv.OrvFontSetType = [](int32_t t) {
    g_font->type = t;
    return OrvBool{1};
  };
  orv.OrvSpriteLock = [](OrvHandle, int32_t* w, int32_t* h) {
    ++g_font->locks;
    if (w) *w = 64;
    if (h) *h = 64;
    return g_font->pixels.data();
  };
  orv.OrvSpriteUnlock = [](OrvHandle) { ++g_font->unlocks; };
  orv.OrvSpriteSetRect = [](OrvHandle, const OrvRect* r) {
    g_font->sprite_rect = *r;
    return OrvBool{1};
  };
}

// A VmContext, the fake font in the binding table and the key-0 log lines captured.
class FakeFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = orv;
    orv = OrvApi{};
    install_fake_font(&font);
    gs_ = std::make_unique<engine::GameState>();
    old_sink_ = engine::set_log_sink(
        [](int key, const char* line, void* self) {
          static_cast<FakeFontTest*>(self)->lines.push_back(std::to_string(key) + ":" + line);
        },
        this);
  }
  void TearDown() override {
    engine::set_log_sink(old_sink_.sink, old_sink_.context);
    orv = saved_;
    g_font = nullptr;
  }
  engine::VmContext& vm() { return gs_->vm; }

  FakeFont font;
  std::vector<std::string> lines;

 private:
  OrvApi saved_;
  engine::LogSinkSlot old_sink_{};
  std::unique_ptr<engine::GameState> gs_;
};

}  // namespace textrendertest
