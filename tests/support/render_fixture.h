// A headless rendering setup for the render tests: a small software renderer, one active
// render list, an injected clock, and helpers to read the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Orv/core_record.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace rendertest {

inline uint32_t g_now = 0;
inline uint32_t fake_clock() {
  return g_now;
}
// Moves the injected clock and takes a new frame time from it, as a frame would.
inline void set_time(uint32_t ms) {
  g_now = ms;
  OrvUpdateTime();
}

// Opens the renderer for a w x h game in a window of that size and marks the library alive:
// the GL peer `gl` when given (its context current on this thread), else the software peer.
// Gives the display flags in effect; *ok tells whether the renderer opened.
inline uint32_t render_system_start(int32_t w, int32_t h, const Renderer* gl, bool* ok) {
  RenderParams params;
  params.game_width = params.window_width = w;
  params.game_height = params.window_height = h;
  params.display_flags = gl ? kDisplayFlagDirect3D : 0;
  params.gl = gl;
  *ok = false;
  const uint32_t flags = render_system_init(params, ok);
  if (*ok) orv_core().alive = true;
  return flags;
}

// A software renderer of w x h pixels with one active render list, for tests in and above the
// library. Gives the list, 0 when the renderer or the list could not be made.
inline uint32_t software_render_start(int32_t w, int32_t h) {
  RenderParams params;
  params.game_width = w;
  params.game_height = h;
  bool ok = false;
  render_system_init(params, &ok);
  if (!ok) return 0;
  orv_core().alive = true;
  const uint32_t list = OrvRenderInit();
  if (list) OrvRenderSetActive(list);
  return list;
}
// Releases every sprite, the list and the renderer that software_render_start made.
inline void software_render_stop(uint32_t list) {
  sprite_release_all();
  OrvRenderUninit(list);
  render_system_uninit();
  orv_core().alive = false;
}

class RenderTest : public ::testing::Test {
 protected:
  static constexpr int32_t kW = 64, kH = 48;

  void SetUp() override {
    list = software_render_start(kW, kH);
    ASSERT_NE(list, 0u);
    orv_core().render.clear_color = 0xFF000000u;
    platform::set_clock_source(fake_clock);
    set_time(0);
  }

  void TearDown() override {
    software_render_stop(list);
    platform::set_clock_source(nullptr);
  }

  uint32_t pixel(int32_t x, int32_t y) const {
    BackBufferView v = render_back_buffer();
    return v.pixels[y * v.width + x];
  }

  // A visible sprite of w x h filled with one colour, placed at (x, y).
  OrvHandle solid(int32_t w, int32_t h, uint32_t argb, float x = 0, float y = 0,
                  int32_t priority = 0) {
    OrvHandle s = OrvSpriteCreate(list, w, h, priority);
    EXPECT_NE(s, 0u);
    OrvSpritePaint(s, nullptr, argb);
    OrvSpriteSetPos(s, x, y, 0);
    OrvSpriteViewCtrl(s, 1);
    return s;
  }

  OrvHandle list = 0;
};

}  // namespace rendertest
