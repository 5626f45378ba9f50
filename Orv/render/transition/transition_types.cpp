// The per-frame drawing of each transition type.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Orv/core/error_report.h"
#include "Orv/render/filters/kernels.h"
#include "Orv/render/image/vkx_image.h"
#include "Orv/render/image_store.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sine_table.h"
#include "Orv/render/transition/screen_transition.h"
#include "Orv/render/transition/transition_types.h"
#include "orv/orv.h"

namespace {

constexpr uint32_t kSkipBits = 0x800006u;
constexpr size_t kMaxMaskFileBytes = size_t{64} << 20;

// Elapsed time of this frame; the first call starts the clock.
int32_t elapsed(ScreenTransition* t) {
  uint32_t now = OrvtimeGetTime();
  if (!t->started) {
    t->started = true;
    t->start_time = now;
  }
  int64_t e = std::min<int64_t>(t->duration, static_cast<uint32_t>(now - t->start_time));
  if (t->skippable && (OrvInputGetKeyPush() & kSkipBits)) e = t->duration;
  return static_cast<int32_t>(std::max<int64_t>(e, std::min(0, t->duration)));
}

// e / d, taken as 1 when there is no duration to divide by.
double progress(const ScreenTransition* t, int32_t e) {
  return t->duration <= 0 ? 1.0 : static_cast<double>(e) / t->duration;
}

int32_t alpha_of(double v) {
  return std::clamp(static_cast<int32_t>(v * 255.0), 0, 255);
}

void draw_capture(const ScreenTransition* t, int32_t x, int32_t y, OrvRect rect, uint32_t colour) {
  const Renderer* r = render_renderer();
  if (!r || !r->draw_sprite || !t->capture) return;
  DrawRequest q;
  q.image = t->capture;
  q.x = x;
  q.y = y;
  q.rect = rect;
  q.color = colour;
  q.render_mode = 1;
  r->draw_sprite(q);
}

void draw_whole(const ScreenTransition* t, uint32_t colour) {
  draw_capture(t, 0, 0, OrvRect{0, 0, t->width, t->height}, colour);
}

uint32_t with_alpha(uint32_t colour, int32_t a) {
  return (colour & 0x00FFFFFFu) | static_cast<uint32_t>(a) << 24;
}

int32_t finish(const ScreenTransition* t, int32_t e) {
  return e >= t->duration ? 1 : 0;
}

// The mask file of a mask wipe decoded into an image, or null when none opens or decodes.
ImageObject* load_mask(int32_t number) {
  RenderState& rs = orv_render();
  if (!rs.read_file || !rs.decode_image) return nullptr;
  static const char* const kExtensions[] = {".bmp", ".png", ".vkx", ".tga"};
  for (const char* ext : kExtensions) {
    char name[64];
    std::snprintf(name, sizeof name, "Mask\\Mask%02d%s", number, ext);
    std::vector<uint8_t> bytes;
    if (rs.read_file(name, &bytes, kMaxMaskFileBytes) != 1) continue;
    if (std::strcmp(ext, ".vkx") != 0)
      return rs.decode_image(name, bytes.data(), bytes.size(), nullptr);
    return load_vkx_mask(name, bytes);
  }
  return nullptr;
}

}  // namespace

ImageObject* load_vkx_mask(const char* name, const std::vector<uint8_t>& bytes) {
  RenderState& rs = orv_render();
  VkxHeader header;
  if (!vkx_read_header(bytes.data(), bytes.size(), &header)) {
    error_reportf(ErrorLog::kSkip, "%s: not a VKX picture", name);
    return nullptr;
  }
  std::vector<uint8_t> base;
  if (rs.read_file(header.base_name, &base, kMaxMaskFileBytes) != 1) {
    error_reportf(ErrorLog::kSkip, "%s: its base picture %s cannot be read", name,
                  header.base_name);
    return nullptr;
  }
  ImageObject* image = rs.decode_image(header.base_name, base.data(), base.size(), nullptr);
  if (!image) return nullptr;
  int32_t pitch = 0;
  uint32_t* pixels = image_pixels(image, &pitch, nullptr);
  std::string error;
  if (!vkx_apply_pixels(bytes.data(), bytes.size(), pixels, image->width, image->height, pitch,
                        &error)) {
    error_reportf(ErrorLog::kSkip, "%s: %s", name, error.c_str());
    image_release(image);
    return nullptr;
  }
  return image;
}

void MaskThresholdAlpha(uint32_t* capture, int32_t width, int32_t height, int32_t pitch,
                        const uint32_t* mask, int32_t mask_width, int32_t mask_height,
                        int32_t mask_pitch, int32_t threshold) {
  const int32_t a = std::clamp(threshold, 0, 255);
  const int32_t c = a > 224 ? 255 : a + 31;
  const int32_t w = std::min(width, mask_width), h = std::min(height, mask_height);
  for (int64_t y = 0; y < h; ++y) {
    uint32_t* row = capture + y * pitch;
    const uint32_t* m = mask + y * mask_pitch;
    for (int64_t x = 0; x < w; ++x) {
      int32_t v = static_cast<int32_t>(m[x] & 255u);
      uint32_t alpha = v < a ? 255u : v < c ? static_cast<uint32_t>((c - v) * 8) : 0u;
      row[x] = (row[x] & 0x00FFFFFFu) | alpha << 24;
    }
  }
}

int32_t TransitionFade(ScreenTransition* t) {
  int32_t e = elapsed(t);
  t->colour = with_alpha(t->colour, alpha_of(1.0 - progress(t, e)));
  draw_whole(t, t->colour);
  return finish(t, e);
}

int32_t TransitionSoftFade(ScreenTransition* t) {
  int32_t pitch = 0;
  if (uint32_t* p = image_pixels(t->capture, &pitch, nullptr)) {
    // Only the game picture is softened: a power-of-two capture's margin holds no picture, and
    // softening it in would darken the picture's edges a little more every frame.
    const RenderState& rs = orv_render();
    Filter3x3(p, std::min(t->width, rs.game_w), std::min(t->height, rs.game_h), pitch);
    image_mark_changed(t->capture);
  }
  return TransitionFade(t);
}

int32_t TransitionBox(ScreenTransition* t) {
  int32_t e = elapsed(t);
  // The box shrinks about the game picture's centre, whatever the capture's size.
  const RenderState& rs = orv_render();
  int32_t gw = std::min(t->width, rs.game_w), gh = std::min(t->height, rs.game_h);
  int32_t w = std::clamp(static_cast<int32_t>((1.0 - progress(t, e)) * gw), 0, gw);
  int32_t h = static_cast<int32_t>(int64_t{w} * gh / gw);
  t->x = (gw - w) >> 1;
  t->y = (gh - h) >> 1;
  if (w > 0 && h > 0)
    draw_capture(t, t->x, t->y, OrvRect{t->x, t->y, t->x + w, t->y + h}, t->colour);
  return finish(t, e);
}

int32_t TransitionWhite(ScreenTransition* t) {
  int32_t pitch = 0, rows = 0;
  if (!t->started) {
    if (uint32_t* p = image_pixels(t->capture, &pitch, &rows)) {
      std::fill(p, p + static_cast<size_t>(pitch) * rows, 0xFFFFFFFFu);
      image_mark_changed(t->capture);
    }
  }
  int32_t e = elapsed(t);
  t->colour = with_alpha(t->colour, alpha_of(progress(t, e)));
  draw_whole(t, t->colour);
  return finish(t, e);
}

int32_t mosaic_block(double p) {
  int32_t k = std::clamp(static_cast<int32_t>(p * 256.0), 0, 256);
  float v = float_sine_table512()[k];
  int32_t h = static_cast<int32_t>((1.0f - v) * 255.0f);
  return ((256 - h) >> 1) + 1;
}

int32_t TransitionMosaic(ScreenTransition* t) {
  if (!t->started) t->recaptured = false;
  int32_t e = elapsed(t);
  int32_t pitch = 0, rows = 0;
  uint32_t* p = image_pixels(t->capture, &pitch, &rows);
  if (!p) return 1;
  // Past half (for a duration of 0 at once: its one picture is the last one).
  if (!t->recaptured && progress(t, e) > 0.5) {
    screen_transition_capture(t);
    t->recaptured = true;
  }
  const int32_t block = mosaic_block(progress(t, e));
  const int32_t sw = t->width / block, sh = t->height / block;
  const size_t count = static_cast<size_t>(pitch) * rows;
  // Blocks of one pixel scale the picture down and up by 1: it stays as it is.
  bool pixelate = sw > 0 && sh > 0 && block > 1;
  if (pixelate) {
    t->saved.assign(p, p + count);
    t->small.assign(static_cast<size_t>(sw) * sh, 0u);
    scale_nearest32(t->small.data(), sw, sh, p, pitch, t->height, 1.0f / block, 1.0f / block);
    scale_nearest32(p, pitch, t->height, t->small.data(), sw, sh, static_cast<float>(block),
                    static_cast<float>(block));
    image_mark_changed(t->capture);
  }
  draw_whole(t, t->colour);
  if (pixelate) {
    std::copy(t->saved.begin(), t->saved.end(), p);
    image_mark_changed(t->capture);
  }
  int32_t done = finish(t, e);
  if (done) {
    t->saved = {};
    t->small = {};
  }
  return done;
}

int32_t TransitionMask(ScreenTransition* t) {
  if (!t->started) {
    if (t->mask) image_release(t->mask);
    t->mask = load_mask(t->type - 10);
    if (!t->mask) {
      t->started = true;
      return 1;
    }
  }
  int32_t e = elapsed(t);
  int32_t pitch = 0, mask_pitch = 0;
  uint32_t* p = image_pixels(t->capture, &pitch, nullptr);
  const uint32_t* m = image_pixels(t->mask, &mask_pitch, nullptr);
  if (p && m) {
    MaskThresholdAlpha(p, t->width, t->height, pitch, m, t->mask->width, t->mask->height,
                       mask_pitch, alpha_of(1.0 - progress(t, e)));
    image_mark_changed(t->capture);
  }
  draw_whole(t, t->colour);
  int32_t done = finish(t, e);
  if (done) {
    image_release(t->mask);
    t->mask = nullptr;
  }
  return done;
}

TransitionCallback transition_callback(int32_t type) {
  switch (type) {
    case 1:
      return TransitionFade;
    case 2:
      return TransitionSoftFade;
    case 3:
      return TransitionBox;
    case 5:
      return TransitionWhite;
    case 6:
      return TransitionMosaic;
    default:
      return type >= 10 && type <= 99 ? TransitionMask : nullptr;
  }
}
