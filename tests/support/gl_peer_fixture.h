// The fixture of the GL peer's tests: a hidden 3.3 core context (SDL offscreen + EGL +
// llvmpipe under ctest), the GL peer opened on it beside a software peer of the same size, and
// helpers that draw into both and compare. Where no context can be made every test skips.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/image_store.h"
#include "Orv/render/render_state.h"
#include "Orv/render/sw/dib_renderer.h"
#include "platform/gl_context.h"
#include "platform/window.h"

struct GlEnv {
  bool video = false;
  platform::GlContext* context = nullptr;
  std::string why;
};

inline GlEnv& env() {
  static GlEnv e = [] {
    GlEnv g;
    std::string error;
    g.video = platform::video_init(&error);
    if (!g.video) {
      g.why = "no video: " + error;
      return g;
    }
    g.context = platform::gl_context_create_hidden(64, 64, &error);
    if (!g.context) g.why = "no GL 3.3 core context: " + error;
    return g;
  }();
  return e;
}

class GlPeer : public ::testing::Test {
 protected:
  void open(int32_t w, int32_t h) {
    RendererSetup s;
    s.game_width = s.window_width = w;
    s.game_height = s.window_height = h;
    open_with(s);
  }
  // Opens with the setup given (device flags, present filter) and `library` as the effect
  // library (null: none is looked for beyond the usual places).
  void open_with(const RendererSetup& s, const char* library = nullptr) {
    const int32_t w = s.game_width, h = s.game_height;
    if (!env().context) GTEST_SKIP() << env().why;
    ASSERT_TRUE(platform::gl_context_make_current(env().context, nullptr));
    gl_renderer_use_context(env().context);
    orv_render().gl_effect_library = library;
    image_pool_init(64);
    ASSERT_TRUE(gl().open(s));
    dib_ = dib_renderer_create(w, h, w, h, 0);
    ASSERT_NE(dib_, nullptr);
    w_ = w;
    h_ = h;
  }
  void TearDown() override {
    if (!env().context) return;
    for (ImageObject* i : images_) image_release(i);
    gl().close();
    dib_renderer_destroy(dib_);
    image_pool_uninit();
    gl_renderer_use_context(nullptr);
    orv_render().gl_effect_library = nullptr;
  }
  static const Renderer& gl() { return gl_renderer(); }

  ImageObject* image(int32_t w, int32_t h, uint32_t (*fill)(int32_t x, int32_t y)) {
    ImageObject* img = image_create(w, h, "t");
    int32_t pitch = 0;
    uint32_t* p = image_pixels(img, &pitch, nullptr);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) p[y * pitch + x] = fill(x, y);
    }
    images_.push_back(img);
    return img;
  }
  void clear_both(uint32_t argb) {
    gl().clear(argb);
    dib_clear(dib_, argb);
  }
  void draw_both(const DrawRequest& r) {
    EXPECT_EQ(gl().draw_sprite(r), 1);
    draw_sprite_dib(dib_, r);
  }
  std::vector<uint32_t> gl_pixels() {
    BackBufferView v = gl().read_back();
    return std::vector<uint32_t>(v.pixels, v.pixels + static_cast<size_t>(v.width) * v.height);
  }
  // Pixels whose colour channels differ by more than `tolerance`.
  int differing(int tolerance) {
    std::vector<uint32_t> a = gl_pixels();
    int bad = 0;
    for (size_t i = 0; i < a.size(); ++i) {
      for (int sh = 0; sh < 24; sh += 8) {
        int d =
            static_cast<int>((a[i] >> sh) & 255) - static_cast<int>((dib_->back[i] >> sh) & 255);
        if (d > tolerance || d < -tolerance) {
          ++bad;
          break;
        }
      }
    }
    return bad;
  }
  static DrawRequest request(const ImageObject* img) {
    DrawRequest r;
    r.image = img;
    r.rect = OrvRect{0, 0, img->width, img->height};
    return r;
  }

  DibRenderer* dib_ = nullptr;
  int32_t w_ = 0, h_ = 0;
  std::vector<ImageObject*> images_;
};
