// The sprite's model, world, view and projection matrices (see gl_sprite_space.h).
#include "Orv/render/gl/gl_sprite_space.h"

#include <cmath>

#include "Orv/render/renderer.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A field that is not a number (or infinite) counts as 0, so a bad value draws the sprite
// plainly instead of poisoning the whole matrix.
double finite_or(double v, double fallback) {
  return std::isfinite(v) ? v : fallback;
}

double radians(double value, double units) {
  // Only these two units are honoured; any other resolution counts as 512.
  if (units != 360.0 && units != 512.0) units = 512.0;
  return finite_or(value, 0.0) * 2.0 * kPi / units;
}

void normalise(double v[3]) {
  double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (n > 0) {
    v[0] /= n;
    v[1] /= n;
    v[2] /= n;
  }
}

void cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

double dot(const double a[3], const double b[3]) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

GlMatrix gl_matrix_identity() {
  return GlMatrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

GlMatrix gl_matrix_multiply(const GlMatrix& a, const GlMatrix& b) {
  GlMatrix r{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += a.m[i * 4 + k] * b.m[k * 4 + j];
      r.m[i * 4 + j] = s;
    }
  }
  return r;
}

GlMatrix gl_matrix_scale(double sx, double sy, double sz) {
  return GlMatrix{{sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1}};
}

GlMatrix gl_matrix_translate(double x, double y, double z) {
  return GlMatrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}};
}

GlMatrix gl_matrix_rotation_x(double value, double units) {
  const double a = radians(value, units), c = std::cos(a), s = std::sin(a);
  return GlMatrix{{1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}};
}

GlMatrix gl_matrix_rotation_y(double value, double units) {
  const double a = radians(value, units), c = std::cos(a), s = std::sin(a);
  return GlMatrix{{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}};
}

GlMatrix gl_matrix_rotation_z(double value, double units) {
  const double a = radians(value, units), c = std::cos(a), s = std::sin(a);
  return GlMatrix{{c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

GlMatrix gl_matrix_look_at(const float eye_f[3], const float at_f[3], const float up_f[3]) {
  double eye[3], at[3], up[3];
  for (int i = 0; i < 3; ++i) {
    eye[i] = finite_or(eye_f[i], 0);
    at[i] = finite_or(at_f[i], 0);
    up[i] = finite_or(up_f[i], 0);
  }
  double z[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
  normalise(z);
  double x[3], y[3];
  cross(up, z, x);
  normalise(x);
  cross(z, x, y);
  return GlMatrix{{x[0], y[0], z[0], 0, x[1], y[1], z[1], 0, x[2], y[2], z[2], 0, -dot(x, eye),
                   -dot(y, eye), -dot(z, eye), 1}};
}

GlMatrix gl_matrix_ortho(double width, double height, double near_z, double far_z) {
  return GlMatrix{{2 / width, 0, 0, 0, 0, 2 / height, 0, 0, 0, 0, 1 / (far_z - near_z), 0, 0, 0,
                   near_z / (near_z - far_z), 1}};
}

GlMatrix gl_matrix_perspective(double fov_y, double aspect, double near_z, double far_z) {
  const double ys = 1 / std::tan(fov_y / 2), xs = ys / aspect;
  const double q = far_z / (far_z - near_z);
  return GlMatrix{{xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, q, 1, 0, 0, -near_z * q, 0}};
}

bool gl_camera_is_default(const GlCamera& c) {
  const GlCamera d;
  for (int i = 0; i < 3; ++i) {
    if (c.eye[i] != d.eye[i] || c.at[i] != d.at[i] || c.up[i] != d.up[i]) return false;
  }
  return true;
}

GlMatrix gl_sprite_matrix(const DrawRequest& r, const GlSpritePlace& p, const GlCamera& camera) {
  const double side = p.side, gw = p.game_w, gh = p.game_h;
  const double w = static_cast<double>(p.w), h = static_cast<double>(p.h);
  const double x = static_cast<double>(p.x), y = static_cast<double>(p.y);
  const double units = finite_or(r.rotation_units, 512.0);
  GlMatrix m = gl_matrix_translate(r.center_x / side, -r.center_y / side, 0);
  m = gl_matrix_multiply(m, gl_matrix_scale(r.scale_x, r.scale_y, 1));
  m = gl_matrix_multiply(m, gl_matrix_rotation_x(r.rotation_x, units));
  m = gl_matrix_multiply(m, gl_matrix_rotation_y(r.rotation_y, units));
  // y runs upwards here: positive values turn counterclockwise on screen, as the 3D device
  // always turned them (the software peer turns the other way).
  const double z_turn = static_cast<double>(r.rotation) + finite_or(r.rotation_fraction, 0);
  m = gl_matrix_multiply(m, gl_matrix_rotation_z(z_turn, units));
  GlMatrix skew = gl_matrix_identity();
  skew.m[1] = std::tan(finite_or(r.skew_y, 0) * 2 * kPi / 512);
  skew.m[4] = std::tan(finite_or(r.skew_x, 0) * 2 * kPi / 512);
  m = gl_matrix_multiply(m, skew);
  m = gl_matrix_multiply(m, gl_matrix_translate((2 * x + w + (side - gw)) / side - 1,
                                                -((2 * y + h + (side - gh)) / side - 1), 0));
  m = gl_matrix_multiply(m, gl_matrix_look_at(camera.eye, camera.at, camera.up));
  if (r.perspective) {
    m = gl_matrix_multiply(m, gl_matrix_perspective(kPi / 2, 1, 0.1, 1000));
    m = gl_matrix_multiply(m, gl_matrix_scale(5, 5, 1));
  } else {
    m = gl_matrix_multiply(m, gl_matrix_ortho(2, 2, 1, 1000));
  }
  // The square target's clip space to the viewport's: the game picture is centred in the
  // square, so only the scale changes; row 0 of the picture is at the bottom of GL's clip
  // space (targets hold the picture top row first).
  return gl_matrix_multiply(m, gl_matrix_scale(side / gw, -side / gh, 1));
}

bool gl_sprite_needs_space(const DrawRequest& r, bool linear, const GlCamera& camera) {
  if (linear || !gl_camera_is_default(camera)) return true;
  if (r.rotation_x != 0 || r.rotation_y != 0 || r.skew_x != 0 || r.skew_y != 0) return true;
  if (r.perspective || r.center_x || r.center_y) return true;
  if (r.rotation_fraction != 0 && std::isfinite(r.rotation_fraction)) return true;
  // A turn in 360 units is not a whole number of the software peer's 512.
  return r.rotation_units == 360.0f && r.rotation != 0;
}
