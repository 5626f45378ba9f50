// The software renderer: every sprite is rasterised by the processor into a 32-bit back
// buffer of the game size (top row first), which the window code shows each frame. The rest
// of the library reaches it only through its renderer table (software_renderer.h); the
// functions here are the peer's own, and its tests'.
//
// It draws position, scale, rotation about the screen axis (512 units a turn, whatever the
// sprite's rotation resolution), colour modulation and the blend modes of sw/blend.h; other
// sprite fields are ignored. Drawing runs on the game thread under the render lock. Scratch
// rows, the cross-fade work surface and the effect work images are made on first use and
// reused.
#pragma once

#include <cstdint>
#include <vector>

#include "Orv/render/renderer.h"
#include "orv/render_types.h"
#include "platform/frame_memory.h"

struct ImageObject;

// A pixel area to draw into: width x height pixels, rows `pitch` pixels apart.
struct DibSurface {
  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0, pitch = 0;
};

// A picture to draw from: the valid area is width x height, rows `pitch` pixels apart.
struct DibSource {
  const uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0, pitch = 0;
};

struct DibRenderer {
  int32_t game_w = 0, game_h = 0;
  int32_t window_w = 0, window_h = 0;
  bool windowed = true;
  uint32_t device_flags = 0;  // bit 0: smooth stretching
  // The back buffer, game_w x game_h: zero when made without a pass over it (the first frame
  // clears it anyway, and start-up need not write 3.6 MB at 720p before that), on large pages
  // where the system has them (the first frame's writes then fault a few times, not 900).
  std::vector<uint32_t, platform::FrameAllocator<uint32_t>> back;
  // A clear not yet written into back: the first sprite of a frame that covers the whole
  // frame is drawn over the colour in one pass (blend_row_over); anything else that reads or
  // draws the back buffer fills it first (dib_settle).
  bool clear_pending = false;
  uint32_t clear_colour = 0;
  std::vector<uint32_t> row;       // one row of samples of a rotated or scaled sprite
  std::vector<int32_t> columns;    // the source column of each target column of a scaled one
  std::vector<uint32_t> work;      // cross-fade work surface, grown on demand
  std::vector<uint32_t> fx1, fx2;  // the two effect work images, game size; made on first use
};

// The biggest box a rotated or scaled sprite, and a cross-fade, may occupy.
constexpr int32_t kDibMaxBox = 4096;

// Makes a renderer for a game of game_w x game_h (each 1..16384); null when memory is out.
DibRenderer* dib_renderer_create(int32_t game_w, int32_t game_h, int32_t window_w, int32_t window_h,
                                 uint32_t device_flags);
void dib_renderer_destroy(DibRenderer* dib);

// Makes the two effect work images (game size, cleared) the first time an effect needs them;
// most games never draw one. False when memory is out (the images stay unmade).
bool dib_effect_images(DibRenderer* dib);

// The back buffer as a surface, with a pending clear written into it first.
DibSurface dib_back_surface(DibRenderer* dib);
// Clears the back buffer to colour: at once, or with the frame's first sprite (see
// clear_pending); dib_settle and dib_back_surface write it before anyone reads.
void dib_clear(DibRenderer* dib, uint32_t color);
// Writes a pending clear into the back buffer.
void dib_settle(DibRenderer* dib);

// Draws rect of src at (x, y) onto target. The rectangle is first clipped to the picture. With
// rotation 0 and scale 1 the pixels are blended as they are; otherwise the sprite is drawn
// through a box of side trunc(scale x diagonal) centred on the unrotated rectangle, each box
// pixel mapped back to its nearest source pixel in 16.16 fixed point. A scale of 0 or less
// draws nothing. Everything is clipped to the target.
void rasterise_sprite(DibRenderer* dib, const DibSurface& target, const DibSource& src, int32_t x,
                      int32_t y, int32_t rotation, float scale_x, float scale_y, OrvRect rect,
                      uint32_t color, int32_t blend);

// One sprite onto the back buffer, with its effect blend. 0 without image, else 1.
int32_t draw_sprite_dib(DibRenderer* dib, const DrawRequest& request);

// A cross-fade pair at progress t (0..1): the two pictures are mixed into the work surface
// and drawn as one at the incoming place. With one image only that one is drawn. 0 when the
// two source rectangles differ in height (nothing is drawn), else 1. A pair too big for the
// work surface, or no memory for it, is drawn as two sprites.
int32_t draw_crossfade_dib(DibRenderer* dib, const DrawRequest& incoming,
                           const DrawRequest& outgoing, float t);

// The full-screen raster wave over the back buffer (the frame warped through the first effect
// work image). Other effects leave the frame as it is.
void draw_effect_dib(DibRenderer* dib, const FxResult& fx);
