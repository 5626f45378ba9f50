// The renderer table: the one way the rest of the library draws.
//
// A renderer is a table of functions filled by one peer: sw/ (the software renderer, which
// rasterises into a CPU back buffer) now, gl/ (the OpenGL renderer) later. render_system_init
// chooses the table once from the display flags: the GL peer when the display flags ask for it
// and the window gave it a context, the software peer otherwise (always, while no GL peer
// exists). The render state keeps a copy of the chosen table; callers (the frame draw, the
// sprite, cross-fade and effect callbacks, thumbnails, transitions) draw through that copy and
// never name a peer or reach its records.
//
// Common rules for every entry:
// - Thread: the game thread, under the render lock (render_frame_draw holds it around a frame;
//   other callers take it), between open and close. Entries never take the render lock.
// - Coordinates are game pixels: (0, 0) is the top-left corner of the game screen, x to the
//   right, y down; the frame is game_width x game_height.
// - Colours are 32-bit ARGB words (bytes blue, green, red, alpha in memory).
// - Pictures are borrowed: a request's image belongs to its sprite and must stay alive for the
//   call only; a peer that caches textures keys them by the image and drops what it cached at
//   close.
// - Failure: what each entry says; no entry throws or ends the process.
#pragma once

#include <cstdint>

#include "Orv/render/fx_result.h"
#include "orv/render_types.h"

struct ImageObject;

// One sprite to draw, as its render node sees it this frame.
struct DrawRequest {
  const ImageObject* image = nullptr;  // borrowed; null: nothing to draw
  int32_t x = 0, y = 0;                // truncated position plus offset, game pixels
  int32_t rotation = 0;                // truncated rotation z, 512 units a turn, clockwise
  float scale_x = 1.0f, scale_y = 1.0f;
  OrvRect rect{};  // source rectangle in image pixels (clipped to the image by the peer)
  uint32_t color = 0xFFFFFFFFu;  // modulating colour, ARGB
  // Blend: 1 alpha, 2 add, 3 multiply; the GL peer also has 4 (destination squared), 5 (as
  // 3), 6 screen, 7 darker, 8 lighter, 9 plain add, 10 subtract and 11 opaque; every other
  // mode (4-11 too in the software peer) draws as 1.
  int32_t render_mode = 1;
  const FxResult* fx = nullptr;  // this frame's effect blend on the sprite, or null (borrowed)

  // The rest of the sprite's transform, drawn by the GL peer only (the software peer turns
  // about z alone, by `rotation` in 512 units, and ignores these). Every default draws as
  // above; see gl_sprite_space.h for how they combine.
  float rotation_fraction = 0;           // the part of the z rotation that `rotation` truncated
  float rotation_x = 0, rotation_y = 0;  // in rotation_units
  float rotation_units = 512.0f;         // units per turn: exactly 360 or 512, else 512
  int32_t center_x = 0, center_y = 0;    // centre offset as the sprite stores it (negated)
  float skew_x = 0, skew_y = 0;          // 1/512 turn: x leans the rows, y the columns
  int32_t perspective = 0;               // nonzero: turns about x and y recede in depth
  int32_t address_mode = 0;              // 1: the picture repeats over a larger rectangle
};

// What a peer can do, for the code that sizes textures and for the game's queries.
struct RendererCaps {
  // Largest side of one texture in pixels; 0 when the peer keeps no textures (the software
  // peer draws from the image store, whose own limit is kMaxImageSide).
  int32_t max_texture_side = 0;
  // Whether textures must have power-of-two sides (the image store then pads storage).
  bool pow2_textures = false;
  // Texture memory still free, in bytes; 0 when the peer keeps no textures.
  uint64_t texture_memory = 0;
  // Whether the radial-blur effect is drawn (else such a sprite is drawn plainly).
  bool radial_blur = false;
};

// What open needs to know; sizes are pixels, each 1..16384 for the game.
struct RendererSetup {
  int32_t game_width = 0, game_height = 0;
  int32_t window_width = 0, window_height = 0;
  uint32_t device_flags = 0;  // bit 0: stretch smoothly when the frame is shown
  // How a GPU peer scales the frame onto the window: 0 none, 1 point, 2 linear, 3 bicubic.
  int32_t present_filter = 0;
  // How a GPU peer samples sprites: 2 linear whenever a scale is not exactly 1, else nearest.
  int32_t sprite_filter = 0;
  // Whether textures and the frame target take power-of-two sides (OrvSetPow).
  bool pow2 = false;
};

// A view of the finished frame: width x height ARGB pixels, top row first, rows `width`
// pixels apart. Owned by the peer; valid until the next entry call or close.
struct BackBufferView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  bool smooth = false;  // device flag bit 0: stretch smoothly both ways when showing it
};

// Shows a finished software frame on the window (pixels as in BackBufferView). False when the
// window could not take it. Set by the window code in RenderState::present; only a peer that
// draws into CPU memory uses it (the GL peer swaps its own buffers).
using PresentFn = bool (*)(const uint32_t* pixels, int32_t width, int32_t height);

struct Renderer {
  // The peer's name for logs and tests ("software", "gl").
  const char* name = nullptr;

  // Makes the peer's records for this setup (back buffer, work surfaces, GL objects). False
  // when it cannot (out of memory, a bad size, no context); nothing is kept then. Called once
  // by render_system_init, after the close of any earlier open.
  bool (*open)(const RendererSetup& setup) = nullptr;
  // Frees everything open made, cached textures included. Harmless when not open.
  void (*close)() = nullptr;

  // What this peer can do (see RendererCaps). Valid while open; any thread may read it.
  RendererCaps (*caps)() = nullptr;

  // Fills the whole frame with one ARGB colour (alpha kept as given).
  void (*clear)(uint32_t argb) = nullptr;
  // Draws one sprite over what is drawn, with its blend and its effect blend (request.fx).
  // Returns 0 when the request has no image (nothing drawn), else 1; a request wholly off
  // screen or with a scale of 0 or less draws nothing and returns 1.
  int32_t (*draw_sprite)(const DrawRequest& request) = nullptr;
  // Draws a cross-fade pair at progress t (0..1, clamped): both pictures mixed, t of the
  // incoming one, drawn at the incoming place with its transform. A side without image leaves
  // the other drawn alone. Returns 0 when the two source rectangles differ in height (nothing
  // drawn), else 1.
  int32_t (*draw_crossfade)(const DrawRequest& incoming, const DrawRequest& outgoing,
                            float t) = nullptr;
  // Applies a full-screen effect blend to what is drawn so far (the effect's node sits in the
  // render list at its priority). An effect the peer cannot draw leaves the frame as it is.
  void (*draw_effect)(const FxResult& fx) = nullptr;

  // The frame as drawn so far, readable by the processor (thumbnails, frame dumps). A GPU
  // peer copies it out; the software peer returns its back buffer. Empty view when not open.
  BackBufferView (*read_back)() = nullptr;
  // The target list (GPU peers; null in the software peer, which has no off-screen target).
  // targets_begin makes the temporary target current and clears it to transparent black;
  // sprites drawn until targets_end land there, the game picture centred in it. False when
  // the peer has no temporary target (nothing is current then but the game target).
  bool (*targets_begin)() = nullptr;
  // Makes the target that was current before targets_begin current again.
  void (*targets_end)() = nullptr;
  // Copies width x height pixels centred in the temporary target into buffer (rows width
  // pixels apart), unchanged. False with the buffer untouched when there is no temporary
  // target, or when width or height is below the game size or beyond the temporary target.
  bool (*read_render_buffer)(uint32_t* buffer, int32_t width, int32_t height) = nullptr;

  // The camera that sprites drawn in 3D are seen through (GPU peers; null in the software
  // peer, which has none): eye, target and up, three floats each. get_camera is false while
  // there is no camera; set_camera keeps the three until close.
  bool (*get_camera)(float eye[3], float at[3], float up[3]) = nullptr;
  bool (*set_camera)(const float eye[3], const float at[3], const float up[3]) = nullptr;

  // Shows the finished frame: the software peer hands its back buffer to `sink` (null: the
  // frame is kept and not shown), a GPU peer swaps. False when showing failed; the frame draw
  // then stops drawing until render_present_restored.
  bool (*present)(PresentFn sink) = nullptr;
};
