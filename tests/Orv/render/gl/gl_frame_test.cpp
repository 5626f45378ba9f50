// Whole frames of a render list drawn through the renderer table, once by the GL peer and once
// by the software peer: the same scene gives the same picture within 2 per channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Orv/core_record.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/image_store.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "commands/platform_calls.h"
#include "engine/orv_static_bind.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/gl_available.h"

namespace {

constexpr int32_t kW = 320, kH = 240;

platform::GlContext* context() {
  return testsupport::hidden_gl_context(kW, kH);
}

std::vector<uint32_t> picture(int32_t w, int32_t h, uint32_t seed, bool opaque) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t a = opaque ? 255u : static_cast<uint32_t>((x * 3 + y * 5 + seed) % 256);
      uint32_t rgb = (seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13)) & 0xFFFFFFu;
      px[static_cast<size_t>(y) * w + x] = a << 24 | rgb;
    }
  }
  return px;
}

// One frame of the scene through the given peer (null: software), read back.
std::vector<uint32_t> frame(const Renderer* gl) {
  RenderParams params;
  params.game_width = params.window_width = kW;
  params.game_height = params.window_height = kH;
  params.display_flags = gl ? kDisplayFlagDirect3D : 0;
  params.gl = gl;
  bool ok = false;
  uint32_t flags = render_system_init(params, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(flags, params.display_flags);
  orv_core().alive = true;
  orv_core().render.clear_color = 0xFF203040u;
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  struct Item {
    int32_t w, h;
    float x, y;
    bool opaque;
    int32_t mode, rotation;
    float scale;
    uint32_t color;
  };
  const Item items[] = {
      {320, 240, 0, 0, true, 1, 0, 1.0f, 0xFFFFFFFFu},        // background
      {120, 80, 20, 30, false, 1, 0, 1.0f, 0xC0FFFFFFu},      // translucent
      {100, 100, 150, 20, true, 2, 0, 1.0f, 0x80FFFFFFu},     // added
      {90, 60, 60, 150, true, 3, 0, 1.0f, 0xFFFFFFFFu},       // multiplied
      {80, 50, 200, 150, false, 1, 256, 1.25f, 0xFFFFFFFFu},  // half a turn (either way), scaled
  };
  uint32_t seed = 1;
  for (const Item& it : items) {
    std::vector<uint32_t> px = picture(it.w, it.h, seed++, it.opaque);
    OrvHandle s = sprite_create_from_bgra(list, it.w, it.h, px.data(), it.w, 0);
    OrvSpriteSetPos(s, it.x, it.y, 0);
    OrvSpriteSetRenderMode(s, it.mode);
    OrvSpriteSetColor(s, it.color);
    OrvSpriteSetRotate(s, it.rotation);
    OrvSpriteSetScale(s, it.scale, it.scale);
    OrvSpriteViewCtrl(s, 1);
  }
  EXPECT_TRUE(render_frame_draw());
  BackBufferView v = render_back_buffer();
  std::vector<uint32_t> out(v.pixels, v.pixels + static_cast<size_t>(v.width) * v.height);
  OrvRenderUninit(list);
  render_system_uninit();
  orv_core().alive = false;
  return out;
}

TEST(GlFrame, SceneMatchesTheSoftwareFrame) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  std::vector<uint32_t> sw = frame(nullptr);
  ASSERT_TRUE(platform::gl_context_make_current(context(), nullptr));
  gl_renderer_use_context(context());
  std::vector<uint32_t> gl = frame(&gl_renderer());
  gl_renderer_use_context(nullptr);
  ASSERT_EQ(sw.size(), gl.size());
  int differing = 0;
  for (size_t i = 0; i < sw.size(); ++i) {
    for (int sh = 0; sh < 24; sh += 8) {
      int d = static_cast<int>((sw[i] >> sh) & 255) - static_cast<int>((gl[i] >> sh) & 255);
      if (d > 2 || d < -2) {
        ++differing;
        break;
      }
    }
  }
  // Only edge pixels of the turned sprite may pick a neighbouring texel.
  EXPECT_LT(differing, 60);
}

// The GL peer on the hidden context drawing a black kW x kH game picture, with an active render
// list (0 when it cannot start); gl_frames_stop takes it all down again.
OrvHandle gl_frames_start() {
  if (!platform::gl_context_make_current(context(), nullptr)) return 0;
  gl_renderer_use_context(context());
  RenderParams params;
  params.game_width = params.window_width = kW;
  params.game_height = params.window_height = kH;
  params.display_flags = kDisplayFlagDirect3D;
  params.gl = &gl_renderer();
  bool ok = false;
  render_system_init(params, &ok);
  if (!ok) return 0;
  orv_core().alive = true;
  orv_core().render.clear_color = 0xFF000000u;
  const OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  return list;
}
void gl_frames_stop(OrvHandle list) {
  OrvRenderUninit(list);
  render_system_uninit();
  orv_core().alive = false;
  gl_renderer_use_context(nullptr);
}

// The target list through the library's exports: the sprites it names, shown or hidden, are
// drawn into the temporary target, which a sprite then takes with OrvSpriteRenderCopy; the
// frame itself is not touched.
TEST(GlFrame, TargetListDrawsNamedSpritesHiddenOnesToo) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  const OrvHandle list = gl_frames_start();
  ASSERT_NE(list, 0u);
  std::vector<uint32_t> blue(16 * 16, 0xFF0000FFu), green(16 * 16, 0xFF00FF00u);
  OrvHandle hidden = sprite_create_from_bgra(list, 16, 16, blue.data(), 16, 0);
  OrvSpriteSetPos(hidden, 10, 10, 0);
  OrvHandle unnamed = sprite_create_from_bgra(list, 16, 16, green.data(), 16, 0);
  OrvSpriteSetPos(unnamed, 40, 10, 0);
  OrvSpriteViewCtrl(unnamed, 1);
  std::vector<uint32_t> empty(kW * kH, 0x12345678u);
  OrvHandle copy = sprite_create_from_bgra(list, kW, kH, empty.data(), kW, 0);

  OrvTargetRenderListClear();
  OrvTargetRenderListAdd(hidden);
  EXPECT_EQ(OrvTargetRenderListDraw(), 1);
  EXPECT_EQ(OrvSpriteRenderCopy(copy), 1);
  uint32_t* px = nullptr;
  int32_t pitch = 0;
  {
    OrvSprite* s = sprite_from(copy);
    px = image_pixels(s->image, &pitch, nullptr);
  }
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(px[15 * pitch + 15] & 0x00FFFFFFu, 0x0000FCu);  // the hidden sprite
  EXPECT_EQ(px[15 * pitch + 45], 0u);                       // not named: transparent
  EXPECT_EQ(px[0], 0u);
  // The frame drawn after it shows only what is shown.
  EXPECT_TRUE(render_frame_draw());
  BackBufferView v = render_back_buffer();
  EXPECT_EQ(v.pixels[15 * kW + 15], 0xFF000000u);
  EXPECT_NE(v.pixels[15 * kW + 45], 0xFF000000u);
  gl_frames_stop(list);
}

// The frame copied into a sprite (OrvSpriteBackBafferCopy) from the GL game target: every alpha
// byte FF whatever the blends left there (a clear of alpha 0 under a translucent sprite); an
// image narrower or lower than the frame is refused and left as it was.
TEST(GlFrame, BackBufferCopyIsOpaqueAndRefusesSmallImages) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  const OrvHandle list = gl_frames_start();
  ASSERT_NE(list, 0u);
  orv_core().render.clear_color = 0x00102030u;
  std::vector<uint32_t> half(16 * 16, 0x80FF0000u);
  OrvHandle s = sprite_create_from_bgra(list, 16, 16, half.data(), 16, 0);
  OrvSpriteSetPos(s, 4, 4, 0);
  OrvSpriteViewCtrl(s, 1);
  EXPECT_TRUE(render_frame_draw());
  const BackBufferView v = render_back_buffer();
  const std::vector<uint32_t> shown(v.pixels, v.pixels + static_cast<size_t>(kW) * kH);
  struct Case {
    int32_t w, h;
    bool copied;
  };
  for (const Case& c : {Case{kW, kH, true}, Case{kW + 8, kH + 2, true}, Case{kW - 1, kH, false},
                        Case{kW, kH - 1, false}}) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    std::vector<uint32_t> mark(static_cast<size_t>(c.w) * c.h, 0x00ABCDEFu);
    OrvHandle copy = sprite_create_from_bgra(list, c.w, c.h, mark.data(), c.w, 0);
    EXPECT_EQ(OrvSpriteBackBafferCopy(copy), 1);
    int32_t pitch = 0;
    const uint32_t* px = image_pixels(sprite_from(copy)->image, &pitch, nullptr);
    ASSERT_NE(px, nullptr);
    for (int32_t y = 0; y < kH && y < c.h; ++y) {
      for (int32_t x = 0; x < kW && x < c.w; ++x) {
        const uint32_t want = c.copied ? shown[static_cast<size_t>(y) * kW + x] : 0x00ABCDEFu;
        ASSERT_EQ(px[static_cast<size_t>(y) * pitch + x], want) << x << "," << y;
      }
    }
    if (c.copied) {
      EXPECT_EQ(px[0], 0xFF102030u);
      EXPECT_EQ(px[8 * pitch + 8] >> 24, 0xFFu);
    }
    OrvSpriteRelease(list, copy);
  }
  gl_frames_stop(list);
}

// Pixels painted, written through a lock or changed by a pixel operation reach the picture
// that the GL peer draws at the next frame.
TEST(GlFrame, ChangedPixelsReachTheTexture) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  const OrvHandle list = gl_frames_start();
  ASSERT_NE(list, 0u);
  std::vector<uint32_t> white(8 * 8, 0xFFFFFFFFu);
  OrvHandle s = sprite_create_from_bgra(list, 8, 8, white.data(), 8, 0);
  OrvSpriteViewCtrl(s, 1);
  auto shown = [] {
    EXPECT_TRUE(render_frame_draw());
    return render_back_buffer().pixels[3 * kW + 3] & 0x00FFFFFFu;
  };
  EXPECT_EQ(shown(), 0xFCFCFCu);
  OrvRect all{0, 0, 8, 8};
  OrvSpritePaint(s, &all, 0xFFFF0000u);
  EXPECT_EQ(shown(), 0xFC0000u);
  int32_t w = 0, h = 0;
  uint32_t* px = OrvSpriteLock(s, &w, &h);
  ASSERT_NE(px, nullptr);
  for (int32_t i = 0; i < w * h; ++i) px[i] = 0xFF00FF00u;
  OrvSpriteUnlock(s);
  EXPECT_EQ(shown(), 0x00FC00u);
  gl_frames_stop(list);
}

// Under the GL setting BMP and TGA go through the decoder that follows their headers: a
// 16-bit top-down TGA (which the software renderer's decoder refuses) loads.
TEST(GlFrame, SixteenBitTgaLoadsUnderTheGlSetting) {
  // 2 x 2, type 2 (true colour), 16 bits, descriptor 0x21: top-down, one alpha bit.
  const uint8_t tga[] = {0, 0, 2, 0,  0,    0,    0,    0,    0,    0,    0,    0,    2,
                         0, 2, 0, 16, 0x21, 0x00, 0xFC, 0xE0, 0x83, 0x1F, 0x80, 0xFF, 0x7F};
  for (bool gl : {false, true}) {
    SCOPED_TRACE(gl ? "gl" : "software");
    if (gl && !context()) GTEST_SKIP() << "no GL 3.3 core context";
    if (gl) {
      ASSERT_TRUE(platform::gl_context_make_current(context(), nullptr));
      gl_renderer_use_context(context());
    }
    RenderParams params;
    params.game_width = params.window_width = kW;
    params.game_height = params.window_height = kH;
    params.display_flags = gl ? kDisplayFlagDirect3D : 0;
    params.gl = gl ? &gl_renderer() : nullptr;
    bool ok = false;
    render_system_init(params, &ok);
    ASSERT_TRUE(ok);
    testing::internal::CaptureStderr();
    ImageObject* image = decode_image_object("sixteen.tga", tga, sizeof tga, nullptr);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(image != nullptr, gl);
    if (image) {
      int32_t pitch = 0;
      const uint32_t* px = image_pixels(image, &pitch, nullptr);
      EXPECT_EQ(px[0], 0xFFFF0000u);          // red, alpha bit set, top row first
      EXPECT_EQ(px[1], 0xFF00FF00u);          // green
      EXPECT_EQ(px[pitch], 0xFF0000FFu);      // blue
      EXPECT_EQ(px[pitch + 1], 0x00FFFFFFu);  // white, alpha bit clear
      image_release(image);
    }
    render_system_uninit();
    if (gl) gl_renderer_use_context(nullptr);
  }
}

// A sprite's whole transform reaches the GL peer through the frame draw: its centre offset,
// its rotation unit with a float turn, its repeating address mode and its perspective tilt
// (set through the sprite info, as a loaded game sets it).
TEST(GlFrame, SpriteTransformReachesTheGlPeer) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  const OrvHandle list = gl_frames_start();
  ASSERT_NE(list, 0u);
  std::vector<uint32_t> red(20 * 10, 0xFFFF0000u);
  auto box_of = [](const uint32_t* px, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    OrvRect box{x1, y1, x0, y0};
    for (int32_t y = y0; y < y1; ++y) {
      for (int32_t x = x0; x < x1; ++x) {
        if (px[y * kW + x] == 0xFF000000u) continue;
        box = OrvRect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                      std::max(box.bottom, y + 1)};
      }
    }
    return box;
  };
  // Moved by half the offset, (4, 3).
  OrvHandle moved = sprite_create_from_bgra(list, 20, 10, red.data(), 20, 0);
  OrvSpriteSetPos(moved, 40, 30, 0);
  OrvSpriteSetCenterOffset(moved, -8, -6);
  OrvSpriteViewCtrl(moved, 1);
  // 90 of 360 units: a quarter turn about (170, 35), 10 wide and 20 high.
  OrvHandle turned = sprite_create_from_bgra(list, 20, 10, red.data(), 20, 0);
  OrvSpriteSetPos(turned, 160, 30, 0);
  EXPECT_EQ(OrvSpriteSetRotateResolution(turned, 360), 1);
  OrvSpriteSetRotateExFloat(turned, 0, 0, 90);
  OrvSpriteViewCtrl(turned, 1);
  // The 20 x 10 picture repeated over 50 x 10.
  OrvHandle tiled = sprite_create_from_bgra(list, 20, 10, red.data(), 20, 0);
  OrvSpriteSetPos(tiled, 40, 100, 0);
  const OrvRect wide{0, 0, 50, 10};
  OrvSpriteSetRect(tiled, &wide);
  OrvSpriteSetAddressUV(tiled, 1);
  OrvSpriteViewCtrl(tiled, 1);
  // Tilted away about x with perspective: narrower at the top than at the bottom.
  std::vector<uint32_t> big(80 * 80, 0xFFFF0000u);
  OrvHandle tilted = sprite_create_from_bgra(list, 80, 80, big.data(), 80, 0);
  OrvSpriteSetPos(tilted, 200, 120, 0);
  OrvSpriteInfo info{};
  ASSERT_EQ(OrvSpriteGetInfo(tilted, &info), 1);
  info.perspective = 1;
  info.rotation_x = 64;
  info.visible = 1;
  ASSERT_EQ(OrvSpriteSetInfo(tilted, &info), 1);

  EXPECT_TRUE(render_frame_draw());
  const uint32_t* px = render_back_buffer().pixels;
  OrvRect box = box_of(px, 0, 0, 120, 80);
  EXPECT_EQ(box.left, 44);
  EXPECT_EQ(box.top, 33);
  EXPECT_EQ(box.right, 64);
  EXPECT_EQ(box.bottom, 43);
  box = box_of(px, 120, 0, 220, 80);
  EXPECT_EQ(box.right - box.left, 10);
  EXPECT_EQ(box.bottom - box.top, 20);
  box = box_of(px, 0, 90, 120, 130);
  EXPECT_EQ(box.right - box.left, 50);
  int32_t top_width = 0, bottom_width = 0;
  box = box_of(px, 180, 110, kW, kH);
  for (int32_t x = box.left; x < box.right; ++x) {
    top_width += px[box.top * kW + x] != 0xFF000000u;
    bottom_width += px[(box.bottom - 1) * kW + x] != 0xFF000000u;
  }
  EXPECT_LT(top_width + 4, bottom_width);
  gl_frames_stop(list);
}

// The texture facts the script asks come from the GL context; with the software renderer they
// are 0.
TEST(GlFrame, TextureFactsComeFromTheContext) {
  engine::orv_static_bind();
  RenderParams params;
  params.game_width = params.window_width = kW;
  params.game_height = params.window_height = kH;
  ASSERT_EQ(render_system_init(params, nullptr), 0u);  // software
  EXPECT_EQ(engine::max_texture_width(), 0u);
  EXPECT_EQ(engine::max_texture_height(), 0u);
  EXPECT_EQ(engine::texture_pow2(), 0u);
  EXPECT_EQ(engine::texture_memory(), 0u);
  EXPECT_EQ(engine::display_mode(0, 0), 0u);
  render_system_uninit();

  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  const OrvHandle list = gl_frames_start();
  ASSERT_NE(list, 0u);
  const RendererCaps caps = render_renderer()->caps();
  EXPECT_GE(engine::max_texture_width(), 4096u);
  EXPECT_EQ(engine::max_texture_width(), static_cast<uint32_t>(caps.max_texture_side));
  EXPECT_EQ(engine::max_texture_height(), engine::max_texture_width());
  EXPECT_EQ(engine::texture_pow2(), 0u);  // GL 3.3 takes any side
  EXPECT_EQ(engine::texture_memory(), caps.texture_memory);
  EXPECT_GT(engine::texture_memory(), 0u);
  // Memory goes down as textures are made.
  std::vector<uint32_t> px(256 * 256, 0xFFFFFFFFu);
  OrvHandle s = sprite_create_from_bgra(list, 256, 256, px.data(), 256, 0);
  OrvSpriteViewCtrl(s, 1);
  EXPECT_TRUE(render_frame_draw());
  EXPECT_EQ(caps.texture_memory - engine::texture_memory(), 256u * 256u * 4u);

  platform::Rect bounds;
  ASSERT_TRUE(platform::display_bounds(0, &bounds));
  EXPECT_EQ(engine::display_mode(0, 0), static_cast<uint32_t>(platform::display_count()));
  EXPECT_GE(engine::display_mode(0, 0), 1u);
  EXPECT_GT(engine::display_mode(1, 0), 0u);
  EXPECT_GT(engine::display_mode(2, 0), 0u);
  EXPECT_EQ(engine::display_mode(4, 0), 0u);   // no such field
  EXPECT_EQ(engine::display_mode(1, 99), 0u);  // no such display
  EXPECT_EQ(engine::display_mode(1, 0xFFFFFFFFu), 0u);
  gl_frames_stop(list);
}

}  // namespace
