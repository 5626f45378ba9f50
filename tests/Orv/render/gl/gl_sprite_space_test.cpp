// Sprites the GL peer draws in model space: rotation units, centre offset, skew, perspective,
// the camera, the repeating address mode and the sprite filter. Expected pixels are worked out
// by hand from the geometry (a pixel is drawn when its centre lies inside the quad), or taken
// from the software peer where it draws the same thing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "support/gl_peer_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kBack = 0xFF000000u;

uint32_t solid_red(int32_t, int32_t) {
  return 0xFFFF0000u;
}
// Left half red, right half blue (40 wide): shows which way a turn went.
uint32_t red_blue(int32_t x, int32_t) {
  return x < 20 ? 0xFFFF0000u : 0xFF0000FFu;
}
// Every texel differs from its neighbours.
uint32_t pattern(int32_t x, int32_t y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 37) & 255) << 16 |
         static_cast<uint32_t>((y * 53) & 255) << 8 | static_cast<uint32_t>((x * y * 7 + 11) & 255);
}
// Green carries the row (2 per row), red the column: for reading back which texel landed.
uint32_t rows_and_columns(int32_t x, int32_t y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 2) & 255) << 16 |
         static_cast<uint32_t>((y * 2) & 255) << 8;
}
// Columns alternately black and white.
uint32_t stripes(int32_t x, int32_t) {
  return (x & 1) ? 0xFFFFFFFFu : 0xFF000000u;
}

// 512 units a turn, from a tangent.
float skew_units(double tangent) {
  return static_cast<float>(std::atan(tangent) * 512.0 / (2.0 * kPi));
}

int channel(uint32_t argb, int shift) {
  return static_cast<int>((argb >> shift) & 255u);
}

class GlSpace : public GlPeer {
 protected:
  void open_filtered(int32_t w, int32_t h, int32_t sprite_filter) {
    RendererSetup s;
    s.game_width = s.window_width = w;
    s.game_height = s.window_height = h;
    s.sprite_filter = sprite_filter;
    open_with(s);
  }
  // The drawn pixels' bounding box, as left, top, right, bottom (exclusive); all 0 for none.
  OrvRect drawn_box(const std::vector<uint32_t>& px) const {
    OrvRect box{w_, h_, 0, 0};
    for (int32_t y = 0; y < h_; ++y) {
      for (int32_t x = 0; x < w_; ++x) {
        if (px[y * w_ + x] == kBack) continue;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
    return box.right ? box : OrvRect{0, 0, 0, 0};
  }
  // Pixels where drawn-ness differs from inside(x + 0.5, y + 0.5).
  template <typename Inside>
  int wrongly_covered(Inside inside) {
    std::vector<uint32_t> px = gl_pixels();
    int wrong = 0;
    for (int32_t y = 0; y < h_; ++y) {
      for (int32_t x = 0; x < w_; ++x) {
        if ((px[y * w_ + x] != kBack) != inside(x + 0.5, y + 0.5)) ++wrong;
      }
    }
    return wrong;
  }
};

// 512 and 360 units a turn are honoured, any other resolution counts as 512; positive values
// turn counterclockwise on screen, the opposite of the software peer's turn.
TEST_F(GlSpace, RotationUnits) {
  struct Case {
    float units, rotation;
    int32_t software_rotation;  // the same turn in the software peer's 512 units
  };
  const Case cases[] = {
      {512, 128, 128}, {360, 90, 128},  {400, 128, 128},  {400, 100, 100},
      {360, 45, 64},   {360, 270, 384}, {512, 64.5f, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rotation << " of " << c.units);
    TearDown();
    images_.clear();
    open(160, 120);
    if (IsSkipped()) return;
    clear_both(kBack);
    DrawRequest r = request(image(40, 20, red_blue));
    r.x = 60;
    r.y = 50;
    r.rotation = static_cast<int32_t>(c.rotation);
    r.rotation_fraction = c.rotation - std::trunc(c.rotation);
    r.rotation_units = c.units;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    DrawRequest sw = r;
    sw.rotation = -c.software_rotation;
    draw_sprite_dib(dib_, sw);
    // The software peer turns about a centre half a pixel off the rectangle's: the boxes agree
    // within a pixel.
    std::vector<uint32_t> px = gl_pixels();
    OrvRect got = drawn_box(px);
    std::vector<uint32_t> soft(dib_->back.begin(), dib_->back.begin() + w_ * h_);
    OrvRect want = drawn_box(soft);
    EXPECT_NEAR(got.left, want.left, 1);
    EXPECT_NEAR(got.top, want.top, 1);
    EXPECT_NEAR(got.right, want.right, 1);
    EXPECT_NEAR(got.bottom, want.bottom, 1);
    if (c.software_rotation == 128) {
      // A quarter turn counterclockwise: 20 wide, 40 high, the right half (blue) on top.
      EXPECT_NEAR(got.right - got.left, 20, 1);
      EXPECT_NEAR(got.bottom - got.top, 40, 1);
      EXPECT_EQ(px[45 * w_ + 80], 0xFF0000FCu);
      EXPECT_EQ(px[75 * w_ + 80], 0xFFFC0000u);
    }
  }
}

// The centre offset moves the picture by half the stored values and moves the centre that
// scaling and turning go about with it. A 20 x 10 sprite at (40, 30), centre (50, 35).
TEST_F(GlSpace, CentreOffset) {
  struct Case {
    int32_t cx, cy;
    float scale;
    int32_t rotation;
    OrvRect covers;  // pixels, right and bottom exclusive
  };
  const Case cases[] = {
      // Moved by (4, 3).
      {8, 6, 1.0f, 0, {44, 33, 64, 43}},
      {-8, -6, 1.0f, 0, {36, 27, 56, 37}},
      // (-10..10) x (-5..5) moved by (4, 3), doubled: (-12..28) x (-4..16) about (50, 35).
      {8, 6, 2.0f, 0, {38, 31, 78, 51}},
      // Moved by (4, 3), a quarter turn counterclockwise ((x, y) to (y, -x)): (-2..8) x
      // (-14..6).
      {8, 6, 1.0f, 128, {48, 21, 58, 41}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.cx << "," << c.cy << " x" << c.scale << " r" << c.rotation);
    TearDown();
    images_.clear();
    open(160, 120);
    if (IsSkipped()) return;
    gl().clear(kBack);
    DrawRequest r = request(image(20, 10, solid_red));
    r.x = 40;
    r.y = 30;
    r.center_x = c.cx;
    r.center_y = c.cy;
    r.scale_x = r.scale_y = c.scale;
    r.rotation = c.rotation;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    EXPECT_EQ(wrongly_covered([&](double x, double y) {
                return x >= c.covers.left && x < c.covers.right && y >= c.covers.top &&
                       y < c.covers.bottom;
              }),
              0);
  }
  // With scale 1 and no turn the texels stay whole: the picture is the software peer's drawn
  // 4, 3 further on.
  TearDown();
  images_.clear();
  open(160, 120);
  clear_both(kBack);
  DrawRequest r = request(image(20, 10, pattern));
  r.x = 40;
  r.y = 30;
  r.center_x = 8;
  r.center_y = 6;
  EXPECT_EQ(gl().draw_sprite(r), 1);
  DrawRequest moved = request(images_.back());
  moved.x = 44;
  moved.y = 33;
  draw_sprite_dib(dib_, moved);
  EXPECT_EQ(differing(1), 0);
}

// Skew leans the quad: tan(skew x) of y moves x, tan(skew y) of x moves y (y upwards, so on
// screen a positive skew x moves the top rows right). A 40 x 20 sprite at (60, 50), centre
// (80, 60); quarter-pixel edges, so no pixel centre lies on one.
TEST_F(GlSpace, Skew) {
  struct Case {
    double tan_x, tan_y;
  };
  const Case cases[] = {{0.5, 0}, {-0.5, 0}, {0, 0.5}, {0, -0.25}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tan_x << " " << c.tan_y);
    TearDown();
    images_.clear();
    open(160, 120);
    if (IsSkipped()) return;
    gl().clear(kBack);
    DrawRequest r = request(image(40, 20, solid_red));
    r.x = 60;
    r.y = 50;
    r.skew_x = skew_units(c.tan_x);
    r.skew_y = skew_units(c.tan_y);
    EXPECT_EQ(gl().draw_sprite(r), 1);
    EXPECT_EQ(wrongly_covered([&](double x, double y) {
                const double dx = x - 80, dy = y - 60;
                // Only one of the two leans is set: undo it on the pixel centre.
                const double ux = dx + c.tan_x * dy, uy = dy + c.tan_y * dx;
                return ux >= -20 && ux < 20 && uy >= -10 && uy < 10;
              }),
              0);
  }
}

// Perspective: the model plane lies at the camera's distance, so an untilted sprite keeps its
// pixels; tilted about x it becomes a trapezoid with its rows spaced as seen from the camera.
TEST_F(GlSpace, Perspective) {
  // Untilted: the plain picture, also in a 1280 x 720 game whose square side is 1280 (a 100 x
  // 50 sprite at the origin covers exactly 0-99 x 0-49).
  for (int32_t size : {160, 1280}) {
    SCOPED_TRACE(size);
    TearDown();
    images_.clear();
    open(size, size * 9 / 16);
    if (IsSkipped()) return;
    clear_both(kBack);
    DrawRequest r = request(image(100, 50, pattern));
    r.perspective = 1;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    draw_sprite_dib(dib_, request(images_.back()));
    EXPECT_EQ(differing(1), 0);
    EXPECT_EQ(drawn_box(gl_pixels()).right, 100);
    EXPECT_EQ(drawn_box(gl_pixels()).bottom, 50);
  }

  // 128 x 128 at (64, 64) in a 256 x 256 game: one model unit is 128 pixels, the quad spans
  // y = -0.5..0.5. Tilted 45 degrees about x, model y goes to (y cos, depth y sin); seen from
  // distance 5 with the projection's factor 5, screen y = 5 y cos / (5 + y sin) units.
  TearDown();
  images_.clear();
  open(256, 256);
  gl().clear(kBack);
  DrawRequest r = request(image(128, 128, rows_and_columns));
  r.x = r.y = 64;
  r.rotation_x = 64;
  r.perspective = 1;
  r.render_mode = 11;  // the texel as it is
  EXPECT_EQ(gl().draw_sprite(r), 1);
  std::vector<uint32_t> px = gl_pixels();
  const double c = std::cos(kPi / 4), s = std::sin(kPi / 4);
  auto screen_y = [&](double y) { return 128.0 - 128.0 * 5 * y * c / (5 + y * s); };
  // Top and bottom edges: 85.73 and 176.70.
  const int32_t top = static_cast<int32_t>(std::ceil(screen_y(0.5) - 0.5));
  const int32_t bottom = static_cast<int32_t>(std::ceil(screen_y(-0.5) - 0.5));
  EXPECT_EQ(top, 86);
  EXPECT_EQ(bottom, 177);
  EXPECT_EQ(px[(top - 1) * 256 + 128], kBack);
  EXPECT_NE(px[top * 256 + 128], kBack);
  EXPECT_NE(px[(bottom - 1) * 256 + 128], kBack);
  EXPECT_EQ(px[bottom * 256 + 128], kBack);
  for (int32_t y = top + 1; y < bottom - 1; ++y) {
    // The model y seen at this row's centre, its texel row, and the row's half width.
    const double n = (128.0 - (y + 0.5)) / 128.0;
    const double my = 5 * n / (5 * c - n * s);
    const int32_t row = static_cast<int32_t>(std::floor((0.5 - my) * 128));
    EXPECT_NEAR(channel(px[y * 256 + 128], 8), row * 2, 2) << "row " << y;
    const double half = 128.0 * 5 * 0.5 / (5 + my * s);
    int32_t width = 0;
    for (int32_t x = 0; x < 256; ++x) width += px[y * 256 + x] != kBack;
    EXPECT_NEAR(width, 2 * half, 2) << "row " << y;
  }
}

// The camera: eye, target and up give the view every sprite drawn in model space is seen
// through. One model unit is half the square side (80 pixels in a 160 x 120 game).
TEST_F(GlSpace, Camera) {
  open(160, 120);
  if (IsSkipped()) return;
  // Looking straight ahead from (0.5, 0.25): the picture moves 40 left and 20 down.
  clear_both(kBack);
  const float eye[3] = {0.5f, 0.25f, -5}, at[3] = {0.5f, 0.25f, 0}, up[3] = {0, 1, 0};
  ASSERT_TRUE(gl_renderer_set_camera(eye, at, up));
  DrawRequest r = request(image(40, 30, pattern));
  r.x = 60;
  r.y = 40;
  EXPECT_EQ(gl().draw_sprite(r), 1);
  DrawRequest moved = r;
  moved.x = 20;
  moved.y = 60;
  draw_sprite_dib(dib_, moved);
  EXPECT_EQ(differing(1), 0);

  // Twice as far away, with perspective: half the size about the picture's centre. Without
  // perspective the distance changes nothing.
  const float far_eye[3] = {0, 0, -10}, centre[3] = {0, 0, 0};
  ASSERT_TRUE(gl_renderer_set_camera(far_eye, centre, up));
  for (int32_t perspective : {1, 0}) {
    SCOPED_TRACE(perspective);
    gl().clear(kBack);
    DrawRequest sq = request(image(40, 40, solid_red));
    sq.x = 60;
    sq.y = 40;
    sq.perspective = perspective;
    EXPECT_EQ(gl().draw_sprite(sq), 1);
    const double half = perspective ? 10 : 20;
    EXPECT_EQ(wrongly_covered([&](double x, double y) {
                return std::abs(x - 80) < half && std::abs(y - 60) < half;
              }),
              0);
  }
  // Up to the right turns the view a quarter: the wide sprite stands upright.
  const float near_eye[3] = {0, 0, -5}, right[3] = {1, 0, 0};
  ASSERT_TRUE(gl_renderer_set_camera(near_eye, centre, right));
  gl().clear(kBack);
  DrawRequest wide = request(image(40, 20, solid_red));
  wide.x = 60;
  wide.y = 50;
  EXPECT_EQ(gl().draw_sprite(wide), 1);
  OrvRect box = drawn_box(gl_pixels());
  EXPECT_EQ(box.right - box.left, 20);
  EXPECT_EQ(box.bottom - box.top, 40);
}

// Address mode 1 repeats the picture over a rectangle larger than it, also from a negative
// left; any other mode clips the rectangle to the picture, as the software peer does.
TEST_F(GlSpace, AddressModeWrap) {
  struct Case {
    int32_t address_mode;
    OrvRect rect;
    float scale;
  };
  const Case cases[] = {
      {1, {-3, 0, 21, 10}, 1.0f}, {1, {0, -2, 8, 9}, 1.0f},  {1, {-3, 0, 21, 10}, 2.0f},
      {0, {-3, 0, 21, 10}, 1.0f}, {2, {0, 0, 20, 10}, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "mode " << c.address_mode << " left " << c.rect.left << " x" << c.scale);
    TearDown();
    images_.clear();
    open(96, 64);
    if (IsSkipped()) return;
    clear_both(kBack);
    DrawRequest r = request(image(8, 4, pattern));
    r.rect = c.rect;
    r.x = 20;
    r.y = 20;
    // Repeated pictures are drawn opaque (the texel as it is); clipped ones blend as the
    // software peer blends them.
    r.render_mode = c.address_mode == 1 ? 11 : 1;
    r.address_mode = c.address_mode;
    r.scale_x = r.scale_y = c.scale;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    std::vector<uint32_t> px = gl_pixels();
    const int32_t w = c.rect.right - c.rect.left, h = c.rect.bottom - c.rect.top;
    if (c.address_mode != 1) {
      draw_sprite_dib(dib_, r);
      EXPECT_EQ(differing(1), 0);
      continue;
    }
    // Scaled by 2 about the rectangle's centre, each texel covers 2 x 2 pixels.
    const double cx = 20 + w / 2.0, cy = 20 + h / 2.0;
    int wrong = 0;
    for (int32_t y = 0; y < h_; ++y) {
      for (int32_t x = 0; x < w_; ++x) {
        const double u = (x + 0.5 - cx) / c.scale + w / 2.0, v = (y + 0.5 - cy) / c.scale + h / 2.0;
        uint32_t want = kBack;
        if (u >= 0 && u < w && v >= 0 && v < h) {
          const int32_t tu = ((static_cast<int32_t>(u) + c.rect.left) % 8 + 8) % 8;
          const int32_t tv = ((static_cast<int32_t>(v) + c.rect.top) % 4 + 4) % 4;
          want = pattern(tu, tv);
        }
        wrong += px[y * w_ + x] != want;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

// Sprite filter 2 samples linearly whenever a scale is not exactly 1; at exactly 1, and with
// filters 0 and 1, the nearest texel. Columns alternately black and white, 128 wide, drawn
// opaque in a 160-wide game at (16, 8): the middle row's pixels against a CPU reference of the
// linear filter, or (nearest) black and white alone, as the software peer draws them.
TEST_F(GlSpace, SpriteFilter) {
  struct Case {
    int32_t filter;
    float scale;
    bool linear;
  };
  const Case cases[] = {
      {2, 1.0f, false}, {2, 1.01f, true}, {1, 1.01f, false}, {0, 1.01f, false}, {2, 0.99f, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "filter " << c.filter << " x" << c.scale);
    TearDown();
    images_.clear();
    open_filtered(160, 24, c.filter);
    if (IsSkipped()) return;
    clear_both(kBack);
    DrawRequest r = request(image(128, 8, stripes));
    r.x = 16;
    r.y = 8;
    r.render_mode = 11;
    r.scale_x = r.scale_y = c.scale;
    EXPECT_EQ(gl().draw_sprite(r), 1);
    std::vector<uint32_t> px = gl_pixels();
    if (c.scale == 1.0f) {
      for (int32_t x = 16; x < 144; ++x) EXPECT_EQ(px[12 * w_ + x], stripes(x - 16, 0));
      r.render_mode = 1;  // the software peer draws mode 11 as mode 1
      clear_both(kBack);
      draw_both(r);
      EXPECT_EQ(differing(1), 0);
      continue;
    }
    int greys = 0, wrong = 0;
    for (int32_t x = 24; x < 136; ++x) {  // well inside the sprite
      const int got = channel(px[12 * w_ + x], 16);
      greys += got > 8 && got < 247;
      if (!c.linear) continue;
      const double t = (x + 0.5 - 80) / c.scale + 64 - 0.5;  // texel centres at whole t
      const int32_t i = static_cast<int32_t>(std::floor(t));
      const double f = t - i;
      const int want = static_cast<int>(
          std::lround(((i & 1) ? 255 : 0) * (1 - f) + (((i + 1) & 1) ? 255 : 0) * f));
      wrong += std::abs(got - want) > 3;
    }
    if (c.linear) {
      EXPECT_EQ(wrong, 0);
      EXPECT_GT(greys, 40);
    } else {
      EXPECT_EQ(greys, 0);
      r.render_mode = 1;  // the software peer's opaque white is 252 in mode 1 too
      gl().clear(kBack);
      draw_both(r);
      EXPECT_LT(differing(2), 160 * 24 / 100);
    }
  }
}

// With power-of-two storage (OrvSetPow) the texture takes the storage's size, and the picture
// still covers exactly its own pixels.
TEST_F(GlSpace, PowerOfTwoStorageKeepsThePicture) {
  open(160, 90);
  if (IsSkipped()) return;
  const uint64_t before = gl().caps().texture_memory;
  image_store_set_pow2(true);
  ImageObject* img = image(100, 50, pattern);
  image_store_set_pow2(false);
  int32_t pitch = 0, rows = 0;
  image_pixels(img, &pitch, &rows);
  EXPECT_EQ(pitch, 128);
  EXPECT_EQ(rows, 64);
  clear_both(kBack);
  draw_both(request(img));
  EXPECT_EQ(before - gl().caps().texture_memory, 128u * 64u * 4u);
  EXPECT_EQ(differing(1), 0);
  OrvRect box = drawn_box(gl_pixels());
  EXPECT_EQ(box.right, 100);
  EXPECT_EQ(box.bottom, 50);
}

// Values that are not numbers never reach the matrix: a turn, skew or unit that is not a
// number counts as 0 (the unit as 512), so the sprite is drawn plainly; a camera that is not a
// number looks from its default place.
TEST_F(GlSpace, FieldsThatAreNotNumbersDrawPlainly) {
  const float nan = std::nanf(""), inf = INFINITY;
  struct Case {
    const char* what;
    void (*spoil)(DrawRequest* r, float nan, float inf);
  };
  const Case cases[] = {
      {"turn x", [](DrawRequest* r, float n, float) { r->rotation_x = n; }},
      {"turn y", [](DrawRequest* r, float, float i) { r->rotation_y = i; }},
      {"fraction", [](DrawRequest* r, float n, float) { r->rotation_fraction = n; }},
      {"units", [](DrawRequest* r, float n, float) { r->rotation_units = n; }},
      {"skew",
       [](DrawRequest* r, float n, float i) {
         r->skew_x = n;
         r->skew_y = -i;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    images_.clear();
    open(64, 48);
    if (IsSkipped()) return;
    clear_both(kBack);
    DrawRequest r = request(image(20, 10, pattern));
    r.x = 10;
    r.y = 12;
    c.spoil(&r, nan, inf);
    r.perspective = 1;  // through model space
    EXPECT_EQ(gl().draw_sprite(r), 1);
    DrawRequest plain = request(images_.back());
    plain.x = 10;
    plain.y = 12;
    draw_sprite_dib(dib_, plain);
    EXPECT_EQ(differing(1), 0);
  }
  const float eye[3] = {nan, 0, -5}, at[3] = {0, 0, 0}, up[3] = {0, 1, 0};
  ASSERT_TRUE(gl_renderer_set_camera(eye, at, up));
  clear_both(kBack);
  DrawRequest r = request(images_.back());
  r.x = 10;
  r.y = 12;
  EXPECT_EQ(gl().draw_sprite(r), 1);
  draw_sprite_dib(dib_, r);
  EXPECT_EQ(differing(1), 0);
}

}  // namespace
