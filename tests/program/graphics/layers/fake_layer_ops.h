// More of the platform faked for the layer commands that change pixels, filters, effects and
// files: each call is logged in the recording fake's call list as "name arg, arg, ...", the
// pixel calls work on the fake's pixel vectors, and the answers the tests steer are fields
// here. Installed over a ScopedFakeSprites, which puts the real entries back.
#pragma once

#include <cstdint>
#include <string>

#include "program/graphics/layers/fake_sprites.h"

namespace layerstest {

struct FakeLayerOps {
  int32_t draw_result = 1;  // OrvTargetRenderListDraw
  int32_t fx_state = 1;     // OrvGetFxEffectState / OrvSpriteGetFxEffectState
  int32_t file_result = 1;  // the save and load file calls
};
inline FakeLayerOps g_ops;

template <class... A>
void record(const char* name, A... args) {
  std::string line = name;
  bool first = true;
  [[maybe_unused]] auto add = [&](auto v) {
    line += (first ? " " : ", ") + std::to_string(v);
    first = false;
  };
  (add(args), ...);
  g_fake->calls.push_back(line);
}

inline void install_layer_op_fakes() {
  g_ops = FakeLayerOps{};
  orv.OrvSpriteSetOption = [](OrvHandle s, int32_t option) -> OrvBool {
    record("option", s, option);
    return 1;
  };
  orv.OrvCopySpriteToSpriteRGB = [](OrvHandle d, int32_t dx, int32_t dy, OrvHandle s, int32_t sx,
                                    int32_t sy, int32_t w, int32_t h) -> OrvBool {
    record("copy rgb", d, dx, dy, s, sx, sy, w, h);
    return 1;
  };
  orv.OrvBoxBlurFilter = [](OrvHandle d, OrvHandle s, int32_t x, int32_t y, int32_t p) -> OrvBool {
    record("box blur", d, s, x, y, p);
    return 1;
  };
  orv.OrvGaussianBlurFilter = [](OrvHandle d, OrvHandle s, int32_t level) -> OrvBool {
    record("gaussian", d, s, level);
    return 1;
  };
  orv.OrvMotionBlurFilter = [](OrvHandle d, OrvHandle s, int32_t length, double angle,
                               int32_t density) -> OrvBool {
    record("motion", d, s, length, static_cast<int64_t>(angle * 1e6), density);
    return 1;
  };
  orv.OrvSpriteBoxFill = [](OrvHandle s, int32_t x, int32_t y, int32_t w, int32_t h,
                            uint32_t argb) { record("box fill", s, x, y, w, h, argb); };
  orv.StretchImage = [](OrvHandle d, OrvHandle s, int32_t mode) -> OrvBool {
    record("stretch", d, s, mode);
    return 1;
  };
  orv.OrvTargetRenderListClear = [] { record("list clear"); };
  orv.OrvTargetRenderListAdd = [](uintptr_t s) { record("list add", s); };
  orv.OrvTargetRenderListDraw = []() -> int32_t {
    record("list draw");
    return g_ops.draw_result;
  };
  orv.OrvSpriteRenderCopy = [](OrvHandle s) -> OrvBool {
    record("render copy", s);
    return 1;
  };
  orv.OrvSpriteRectSetPos = [](OrvHandle s, int32_t c, int32_t r) -> OrvBool {
    record("rect pos", s, c, r);
    return 1;
  };
  orv.OrvSpriteGetRect = [](OrvHandle s, OrvRect* r) -> OrvBool {
    FakeSprite* f = g_fake->at(s);
    *r = f ? OrvRect{0, 0, f->w, f->h} : OrvRect{};
    return f != nullptr;
  };
  orv.OrvSpriteSetRect = [](OrvHandle s, const OrvRect* r) -> OrvBool {
    record("set rect", s, r->left, r->top, r->right, r->bottom);
    return 1;
  };
  orv.OrvSetFxEffect = [](const void* target, uint32_t type, int32_t command, uint32_t duration,
                          const void*) -> int32_t {
    uint32_t sprite;
    std::memcpy(&sprite, target, 4);
    record("fx set", sprite, type, command, duration);
    return 1;
  };
  orv.OrvReleaseFxEffect = [](const void* target, uint32_t) -> int32_t {
    uint32_t sprite;
    std::memcpy(&sprite, target, 4);
    record("fx release", sprite);
    return 1;
  };
  orv.OrvGetFxEffectState = [](const void*, uint32_t) -> int32_t { return g_ops.fx_state; };
  orv.OrvSpriteGetFxEffectState = [](OrvHandle) -> int32_t { return g_ops.fx_state; };
  orv.OrvSpriteSaveTextureToPngFile = [](OrvHandle s, const char* path) -> OrvBool {
    g_fake->calls.push_back("save png " + std::to_string(s) + " " + path);
    return g_ops.file_result;
  };
  orv.OrvSpriteLoadTextureToFile = [](OrvHandle s, const char* path) -> OrvBool {
    g_fake->calls.push_back("load file " + std::to_string(s) + " " + path);
    return g_ops.file_result;
  };
  orv.OrvSpriteCreateTextEx = [](OrvHandle s, const char* text, int32_t x, int32_t y,
                                 uint32_t) -> OrvBool {
    g_fake->calls.push_back("text " + std::to_string(s) + " " + text + " " + std::to_string(x) +
                            " " + std::to_string(y));
    return g_fake->at(s) != nullptr;
  };
  orv.OrvSpriteCreateText = [](OrvHandle, const char* text, int32_t, uint32_t) -> OrvHandle {
    const uint32_t id = g_fake->add(std::string("text:") + text, 8 * int32_t(strlen(text)), 16);
    return id;
  };
  orv.OrvSpriteSetInfo = [](OrvHandle, const OrvSpriteInfo*) -> OrvBool { return 1; };
}

}  // namespace layerstest
