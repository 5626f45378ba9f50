// The space a sprite is drawn in when it carries more than a turn about z and a scale: turns
// about x and y, skew, perspective, a centre offset, a rotation unit of 360, the camera, or
// linear sampling (the GL peer draws the plain cases in pixels, as the software peer does).
//
// Matrices are 4 x 4, row-major, for row vectors (v' = v M), left-handed, as the sprite's
// transform has always been given; no GL here. A sprite is a quad in model space, one unit
// being half the square render target's side (so its corners lie at +-w/S, +-h/S):
//
//   world = Tc S Rx Ry Rz K T,  then the camera's view, then the projection,
//
// - Tc moves the quad by half the stored centre offset (cx/S, -cy/S): scaling and turning
//   happen about the rectangle's centre moved by that much;
// - S scales, Rx Ry Rz turn (rotation_units a turn: exactly 360 or 512, anything else as
//   512). Positive z turns counterclockwise on screen (the software peer turns clockwise);
// - K leans: tan(skew y) in row 0 column 1, tan(skew x) in row 1 column 0 (512 units a turn);
// - T puts the quad's centre on game pixel (x + w/2, y + h/2): a GL pixel meets its texel one
//   to one, so no half-pixel move is needed;
// - projection: orthographic 2 x 2, near 1, far 1000; with perspective a 90-degree field,
//   aspect 1, near 0.1, far 1000, x and y scaled by 5, so that the model plane at the default
//   camera distance (5) keeps its size;
// - camera: the left-handed look-at of eye, target and up; by default eye (0, 0, -5), target
//   (0, 0, 0), up (0, 1, 0).
//
// The result goes on to clip space of the bound viewport (the game picture, gw x gh pixels,
// row 0 at the top); z stays 0..w and the vertex program maps it to GL's -w..w.
#pragma once

#include <cstdint>

struct DrawRequest;

struct GlMatrix {
  double m[16];  // row-major: m[row * 4 + column]
};

GlMatrix gl_matrix_identity();
GlMatrix gl_matrix_multiply(const GlMatrix& a, const GlMatrix& b);  // a then b
GlMatrix gl_matrix_scale(double sx, double sy, double sz);
GlMatrix gl_matrix_translate(double x, double y, double z);
// Turns by `value` of `units` a turn (exactly 360 or 512, else 512).
GlMatrix gl_matrix_rotation_x(double value, double units);
GlMatrix gl_matrix_rotation_y(double value, double units);
GlMatrix gl_matrix_rotation_z(double value, double units);
GlMatrix gl_matrix_look_at(const float eye[3], const float at[3], const float up[3]);
GlMatrix gl_matrix_ortho(double width, double height, double near_z, double far_z);
GlMatrix gl_matrix_perspective(double fov_y, double aspect, double near_z, double far_z);

struct GlCamera {
  float eye[3] = {0, 0, -5};
  float at[3] = {0, 0, 0};
  float up[3] = {0, 1, 0};
};
bool gl_camera_is_default(const GlCamera& camera);

// Where a sprite lands: the render target's square side, the game picture's size in it, and
// the rectangle drawn (left-top corner x, y in game pixels, w x h pixels).
struct GlSpritePlace {
  int32_t side = 0;
  int32_t game_w = 0, game_h = 0;
  int64_t x = 0, y = 0, w = 0, h = 0;
};

// The matrix from model space to the viewport's clip space for the request's transform.
GlMatrix gl_sprite_matrix(const DrawRequest& request, const GlSpritePlace& place,
                          const GlCamera& camera);

// Whether the request needs the space above; false when the pixel geometry of the software
// peer draws it (a whole turn about z in 512 units, a scale, point sampling, the default
// camera).
bool gl_sprite_needs_space(const DrawRequest& request, bool linear, const GlCamera& camera);
