// The GL peer's record and the helpers its files share (gl/ only).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "Orv/render/gl/gl_effects.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/gl/gl_sprite_space.h"
#include "platform/gl_functions.h"

struct SurfaceSlot;
struct ImageObject;

// A texture made from an image slot's pixels.
struct GlTexture {
  platform::GLuint id = 0;
  int32_t width = 0, height = 0;
  const void* buffer = nullptr;  // the slot's storage when uploaded
  uint32_t revision = 0;         // the slot's revision when uploaded
  // The blend's form only: the box of the texels whose alpha is not 0 (empty when none is),
  // the only ones that change a target pixel there.
  OrvRect visible{0, 0, 0, 0};
};

// The textures of one image: its pixels as they are, and, made when a sprite first needs it,
// the same pixels in the plain alpha blend's form (gl_blend_texture_for).
struct GlImageTextures {
  GlTexture plain, blend;
};

// A colour target: a texture with a framebuffer drawing into it.
struct GlTarget {
  platform::GLuint fbo = 0, texture = 0;
  int32_t width = 0, height = 0;
};

// The sprite program's uniform places.
struct GlSpriteProgram {
  platform::GLuint id = 0;
  platform::GLint target_size = -1, flip = -1, color = -1, mode = -1, tex = -1;
};

// The program of sprites drawn in model space (gl_sprite_space.h): the sprite program's
// fragment stage behind a vertex stage that applies one matrix.
struct GlSpaceProgram {
  platform::GLuint id = 0;
  platform::GLint transform = -1, color = -1, mode = -1, tex = -1;
};

// The present program's uniform places: the game picture drawn opaque onto the window.
struct GlPresentProgram {
  platform::GLuint id = 0;
  platform::GLint target_size = -1, flip = -1, tex = -1, uv_box = -1;
};

// Fragment modes of the sprite program.
enum GlDrawMode : int32_t {
  kGlModeAlpha = 1,      // colour x texel, blended by its alpha
  kGlModeAdd = 2,        // texel x its alpha x colour alpha, added
  kGlModeMultiply = 3,   // texel x its alpha x colour alpha, multiplied into the target
  kGlModeOpaque = 4,     // the texel as it is, alpha 1, nothing discarded (presenting)
  kGlModeCopy = 5,       // the texel as it is, unblended (alpha-0 texels still discarded)
  kGlModeModulate = 6,   // texel x colour, for the blend table's modes 4 and 6-10
  kGlModeTexel = 7,      // mode 11: the texel's colour, alpha = texel alpha x colour alpha
  kGlModeBlendForm = 8,  // the texel as it is, blended premultiplied: the texture holds
                         // what kGlModeAlpha makes of it under a white colour
  kGlModeCount = 9,
};

// Sets the blend of a sprite's render mode for the modes with their own blend (4, 6-11);
// false for the others, which the fragment modes above blend.
bool gl_set_table_blend(GlRenderer* gl, int32_t render_mode);

// The cross-fade program's uniform places.
struct GlCrossfadeProgram {
  platform::GLuint id = 0;
  platform::GLint tex_in = -1, tex_out = -1, side_in = -1, side_out = -1, weight = -1, alphas = -1,
                  target_size = -1;
};

// The bytes a width x height texture of 8-bit BGRA texels holds, as GlRenderer::texture_bytes
// counts them.
inline uint64_t gl_texture_bytes(int32_t width, int32_t height) {
  return uint64_t{4} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
}

struct GlRenderer {
  platform::GlFunctions f;
  platform::GlContext* context = nullptr;
  int32_t game_w = 0, game_h = 0;
  int32_t window_w = 0, window_h = 0;
  uint32_t device_flags = 0;
  int32_t max_texture = 0;
  GlSpriteProgram sprite;
  GlSpaceProgram space;
  // Sprite sampling: 2 samples linearly whenever a scale is not exactly 1, 0 and 1 (and
  // anything else) take the nearest texel.
  int32_t sprite_filter = 0;
  // Whether sprites that allow it are drawn in the alpha blend's form (tests turn it off).
  bool blend_forms = true;
  GlCamera camera;
  platform::GLuint vao = 0, vbo = 0;
  GlCrossfadeProgram crossfade;
  GlPresentProgram present;
  // The sprite program once per fragment mode (1..8), the mode built in (no `mode` uniform).
  GlSpriteProgram sprite_modes[kGlModeCount];
  // The game target: a square of frame_side (the game size when the driver refuses that),
  // the game picture in its first game_w x game_h pixels.
  GlTarget game;
  GlTarget work;  // the cross-fade's mixed pair, grown on demand
  GlTarget fx;    // the effect work picture, game size, made on first use
  // The target list's temporary target (square, gl_temp_side), made on first use; while the
  // list is drawn it is the current target, the game picture centred in it.
  GlTarget temp;
  bool drawing_targets = false;
  int32_t frame_side = 0;      // the square frame target's side (gl_sizes.h)
  bool pow2 = false;           // power-of-two sides asked for at open (else by OrvSetPow)
  int32_t present_filter = 0;  // 0 none, 1 point, 2 linear, 3 bicubic
  GlEffects effects;
  std::unordered_map<const SurfaceSlot*, GlImageTextures> textures;
  // Bytes held by textures and targets, kept as they change so that caps (any thread) need
  // not walk the cache.
  std::atomic<uint64_t> texture_bytes{0};
  std::vector<uint32_t> read_back;  // the last read-back, game_w x game_h, top row first
  GlRendererStats stats;
  // The rebuild asked for last (RenderState::targets_generation) that the peer has done, how
  // many it has done, and whether the last one failed (frames are then not shown).
  uint32_t targets_generation = 0;
  uint32_t rebuilds = 0;
  bool lost = false;
};

// The open peer's record, or null.
GlRenderer* gl_device();

// Builds the sprite program; false with the compiler's log in *error.
// The vertex program of the passes that draw a quad in target pixels (cross-fade, wave): the
// position is scaled to clip space by the uniform `target_size`.
extern const char* const kGlTargetQuadVertex;
// The same with texture coordinates (sprites, the present): positions in target pixels, y = 0
// to framebuffer row 0, so that a target's memory holds the picture top row first (uniform
// `flip` -1 turns it over for the window). The quad is flat (w = 1), so `v_uv` is interpolated
// without the perspective division, which a software rasteriser would otherwise do for every
// pixel (the values are the same).
extern const char* const kGlFlatQuadVertex;

// Compiles the two shaders and links them into a program; 0 with the driver's log in *error
// when either fails to compile or the program fails to link (nothing is left behind then).
platform::GLuint gl_program_link(const platform::GlFunctions& f, const char* vertex,
                                 const char* fragment, std::string* error);
bool gl_build_sprite_program(GlRenderer* gl, std::string* error);
// Builds the model-space sprite program; false with the compiler's log in *error.
bool gl_build_space_program(GlRenderer* gl, std::string* error);
// Builds the present program; false with the compiler's log in *error.
bool gl_build_present_program(GlRenderer* gl, std::string* error);
// Builds the cross-fade program; false with the compiler's log in *error.
bool gl_build_crossfade_program(GlRenderer* gl, std::string* error);
// Makes a target of width x height (cleared to transparent black); false when the driver
// refuses it (nothing kept).
bool gl_target_create(GlRenderer* gl, int32_t width, int32_t height, GlTarget* out);
void gl_target_destroy(GlRenderer* gl, GlTarget* target);

// The texture of an image, uploaded now when the image's pixels changed since the last
// upload; null when the image has no pixels or is larger than the driver takes.
const GlTexture* gl_texture_for(GlRenderer* gl, const ImageObject* image);
// The texture of an image in the plain alpha blend's form: each texel as the sprite program's
// kGlModeAlpha hands it to the blend stage under a white colour (8-bit values, the colour
// premultiplied by the alpha), so that such a sprite is drawn by a bare texture fetch
// (kGlModeBlendForm) with the same pixels. Made on first use and again when the pixels
// change; null as gl_texture_for.
const GlTexture* gl_blend_texture_for(GlRenderer* gl, const ImageObject* image);
// Deletes every cached texture.
void gl_textures_clear(GlRenderer* gl);
// Deletes the textures of slots no image holds any more (released on any thread); called by
// present, under the render lock that image creation and release also take.
void gl_textures_purge(GlRenderer* gl);

// One textured quad: corners (x, y) in target pixels and (u, v) in texture coordinates 0..1,
// in the order top-left, top-right, bottom-left, bottom-right. Draws with the sprite program
// into the bound framebuffer of width x height; the caller has set blend state and texture.
struct GlQuad {
  float x[4], y[4], u[4], v[4];
};
void gl_draw_quad(GlRenderer* gl, const GlQuad& quad, int32_t target_w, int32_t target_h,
                  float flip, uint32_t color, int32_t mode);
// Four corners of (x, y, u, v), in strip order, into the screen quad's buffer as its two
// triangles, drawn with the program in use; counted as one draw.
void gl_draw_strip(GlRenderer* gl, const float (&corners)[16]);
// The same for a quad's corners.
void gl_draw_strip(GlRenderer* gl, const GlQuad& quad);
// Sets the blend state for a fragment mode.
void gl_set_blend(GlRenderer* gl, int32_t mode);

// A sprite into the bound target of width x height: the software peer's geometry where it
// draws the same thing, else the sprite's model space (gl_sprite_space.h). Address mode 1
// repeats the picture over the whole source rectangle; otherwise the rectangle is clipped to
// the picture.
int32_t gl_draw_sprite_into(GlRenderer* gl, const DrawRequest& request, int32_t target_w,
                            int32_t target_h);
// The same from a texture of tex_w x tex_h (request.image is not looked at; request.rect is
// in the texture's pixels and must lie inside it). With `radial` the sprite is drawn through
// the RADIAL_BLUR program, always in its model space (its whole transform applies).
void gl_draw_texture_into(GlRenderer* gl, platform::GLuint texture, int32_t tex_w, int32_t tex_h,
                          const DrawRequest& request, int32_t target_w, int32_t target_h,
                          int32_t mode_override = 0, const FxResult* radial = nullptr);
// Draws the game target onto framebuffer `fbo` (width x height) into `area` through the
// present filter (copied pixel for pixel when the area is the game size), the rest cleared to
// black, the whole opaque; flip -1 for the window's own framebuffer, whose row 0 is the bottom.
void gl_compose(GlRenderer* gl, platform::GLuint fbo, int32_t width, int32_t height,
                const OrvRect& area, float flip);
// The target-list entries of the table (gl_targets.cpp).
bool gl_targets_begin();
void gl_targets_end();
bool gl_read_render_buffer(uint32_t* buffer, int32_t width, int32_t height);

// The target sprites draw into now: the temporary target while the target list is drawn, else
// the game target.
const GlTarget& gl_current_target(GlRenderer* gl);
// Binds the current target with the game picture's place as viewport.
void gl_bind_current(GlRenderer* gl);
// Where the game picture's first pixel lies in target `t` of the peer (framebuffer pixels):
// centred in the temporary target, at the first pixel of every other one.
void gl_target_origin(const GlRenderer* gl, const GlTarget& t, int32_t* x, int32_t* y);
// The raster wave (effect 1) of the whole frame, or of one sprite drawn alone and warped
// over the frame, as the software peer draws them.
void gl_draw_frame_wave(GlRenderer* gl, const FxResult& fx);
// The radial blur (effect 2) of the whole frame: the picture so far, read as opaque, blurred
// over itself; the offsets are texels of the game picture. Nothing without RADIAL_BLUR.
void gl_draw_frame_radial(GlRenderer* gl, const FxResult& fx);
int32_t gl_draw_sprite_wave(GlRenderer* gl, const DrawRequest& request);
// A cross-fade pair into the game target (the software peer's mix). 0 when the heights of
// the two rectangles differ.
int32_t gl_draw_crossfade_pair(GlRenderer* gl, const DrawRequest& incoming,
                               const DrawRequest& outgoing, float t);
