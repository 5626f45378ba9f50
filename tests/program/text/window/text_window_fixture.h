// The text window on a script machine: the layers fixture's recording sprites (with source
// and cell rectangles kept per sprite), this frame's input set by the test, and a small fake
// font with fixed metrics (a one-byte glyph advances size / 2, a two-byte glyph the size; each
// glyph is a solid block of its rectangle, alpha 255).
#pragma once

#include <map>
#include <vector>

#include "engine/dispatch.h"

#include "engine/interpreter.h"
#include "program/graphics/layers/layers_fixture.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"
#include "text/window/text_window_seams.h"

namespace textwindowtest {

struct FakeInput {
  uint32_t push = 0;  // OrvInputGetKeyPush
  uint32_t on = 0;    // OrvInputGetKeyOn (8 Ctrl)
  int32_t size = 24;  // font size
  int32_t effect = 0;
  uint32_t colour = 0xFFFFFF, shadow = 0;
  int32_t rect[5] = {};
  bool has_rect = false;
  std::map<uint32_t, OrvRect> rects;
  std::map<uint32_t, std::pair<int32_t, int32_t>> cells;
};
inline FakeInput* g_input = nullptr;

inline int32_t glyph_advance(const char* t) {
  const auto* p = reinterpret_cast<const uint8_t*>(t);
  if (p[0] == '\\') ++p;
  if ((p[0] >= 0x81 && p[0] <= 0x9F) || (p[0] >= 0xE0 && p[0] <= 0xFC)) return g_input->size;
  return g_input->size / 2;
}

class TextWindowTest : public layerstest::LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    g_input = &input;
    textwindow::text_window_seams = {};
    orv.OrvInputGetKeyPush = [] { return g_input->push; };
    orv.OrvInputGetKeyPull = [] { return uint32_t{0}; };
    orv.OrvInputGetKeyOn = [] { return g_input->on; };
    orv.OrvInputGetWheel = [] { return int32_t{0}; };
    orv.OrvSpriteSetRect = [](OrvHandle s, const OrvRect* r) {
      g_input->rects[s] = *r;
      return OrvBool{1};
    };
    orv.OrvSpriteGetRect = [](OrvHandle s, OrvRect* r) {
      auto it = g_input->rects.find(s);
      *r = it == g_input->rects.end() ? OrvRect{} : it->second;
      return OrvBool{1};
    };
    orv.OrvSpriteSetOffsetRect = [](OrvHandle s, int32_t w, int32_t h) {
      g_input->cells[s] = {w, h};
      return OrvBool{1};
    };
    orv.OrvFontBegin = [] { return OrvBool{1}; };
    orv.OrvFontEnd = [] {};
    orv.OrvFontGetSize = [](const char* text, int32_t* out) {
      int32_t w = 0;
      for (const char* p = text; *p;) {
        w += glyph_advance(p);
        p += (static_cast<uint8_t>(*p) >= 0x81 && p[1]) || (*p == '\\' && p[1]) ? 2 : 1;
      }
      out[0] = w + 3;
      out[1] = g_input->size + 2;
      return OrvBool{1};
    };
    orv.OrvFontDrawText = [](uint32_t* pixels, const char* text, int32_t x, int32_t y, int32_t bw,
                             int32_t bh) {
      if (!pixels) return OrvBool{0};
      const int32_t w = glyph_advance(text);
      for (int32_t yy = std::max(y, 0); yy < std::min(y + g_input->size, bh); ++yy) {
        for (int32_t xx = std::max(x, 0); xx < std::min(x + w, bw); ++xx) {
          pixels[yy * bw + xx] = 0xFF000000u | g_input->colour;
        }
      }
      g_input->rect[0] = x;
      g_input->rect[1] = y;
      g_input->rect[2] = x + w;
      g_input->rect[3] = y + g_input->size;
      g_input->rect[4] = w;
      g_input->has_rect = true;
      return OrvBool{1};
    };
    orv.OrvFontGetDrawTextRect = [](int32_t* out) {
      std::memcpy(out, g_input->rect, sizeof g_input->rect);
      return g_input->rect[4];
    };
    orv.OrvFontHasDrawTextRect = [] { return OrvBool{g_input->has_rect ? 1 : 0}; };
    orv.OrvDrawTextStepX = [](int32_t) { return int32_t{0}; };
    orv.OrvFontGetColor = [](int32_t* c, int32_t* s) {
      if (c) *c = static_cast<int32_t>(g_input->colour);
      if (s) *s = static_cast<int32_t>(g_input->shadow);
      return OrvBool{1};
    };
    orv.OrvFontSetColor = [](uint32_t c, uint32_t s) {
      g_input->colour = c;
      g_input->shadow = s;
      return OrvBool{1};
    };
    orv.OrvFontGetEffect = [] { return g_input->effect; };
    orv.OrvFontSetEffect = [](int32_t e) {
      g_input->effect = e;
      return OrvBool{1};
    };
    orv.OrvFontGetFontSize = [] { return g_input->size; };
    orv.OrvFontSetFontSize = [](int32_t s) {
      g_input->size = s;
      return OrvBool{1};
    };
    orv.OrvFontGetType = [] { return int32_t{0}; };
    orv.OrvFontSetType = [](int32_t) { return OrvBool{1}; };
    gs().settings.dwMessageSpeed = 50;
    gs().settings.dwAutoSpeed = 50;
  }
  void TearDown() override {
    textwindow::text_window_free(vm());
    engine::text_settings_reset();
    textwindow::text_window_seams = {};
    g_input = nullptr;
    LayersTest::TearDown();
  }

  engine::TextWindow& tw() { return vm().text; }
  layerstest::FakeSprite* sprite(const layers::ImageRecord* image) {
    return image ? fake().at(image->hSprite) : nullptr;
  }

  // Calls a command's handler with its arguments in pop order; returns the handler's verdict.
  uint32_t call(uint32_t id, std::vector<uint32_t> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    const engine::CommandHandler h = engine::command_lookup(id);
    return h ? h(vm()) : 0;
  }
  static uint32_t u(int32_t v) { return static_cast<uint32_t>(v); }

  FakeInput input;
};

}  // namespace textwindowtest
