// The particle effects as assembled scripts on pictures whose pixels the test lays out: what
// becomes a particle, where pixels are written, and the checks on layers, rectangles and
// indexes.
#include "program/graphics/layers/layers_fixture.h"

namespace particlestest {
namespace {

class ParticlesTest : public layerstest::LayersTest {
 protected:
  // A w x h picture in layer n, every pixel the same.
  std::vector<uint32_t>& picture(uint32_t n, int32_t w, int32_t h, uint32_t argb) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    image->hSprite = fake().add("pic", w, h);
    fake().sprites[image->hSprite].pixels.assign(size_t(w) * size_t(h), argb);
    vm().layers[n].lpImage = image;
    return fake().sprites[image->hSprite].pixels;
  }
  uint32_t result(const std::string& source) {
    load(source + "  mov r9, r0\n");
    vm().reg[0] = 0xEEEE;
    run();
    return vm().reg[0];
  }
};

TEST_F(ParticlesTest, DisintegrationChecksItsRectangleAndEndsWhenNothingIsLeft) {
  std::vector<uint32_t>& px = picture(2, 8, 4, 0x00000000);
  px[1 * 8 + 2] = 0x14FF0000;  // alpha 20: a particle of alpha 64
  px[1 * 8 + 3] = 0x0FFFFFFF;  // alpha 15: none
  load(
      "  call sp_particle_init(2, 8, 0, 0, 1, 100, 1000, 0, 1, 1, 0, 0) -> r1\n"
      "  call sp_particle_init(2, 0, 0, 9, 4, 100, 1000, 0, 1, 1, 0, 0) -> r2\n"
      "  call sp_particle_init(200, 0, 0, 1, 1, 100, 1000, 0, 1, 1, 0, 0) -> r3\n"
      "  call sp_particle_init(5, 0, 0, 1, 1, 100, 1000, 0, 1, 1, 0, 0) -> r4\n"
      "  call sp_particle_init(2, 0, 0, 8, 4, 100, 1000, 0, 1, 1, 0, 0) -> r5\n");
  run();
  EXPECT_TRUE(logged(0, "*** ERROR sp_particle_init over rect (8, 0, 0, 1)"));
  EXPECT_TRUE(logged(0, "*** ERROR sp_particle_init over rect (0, 0, 9, 4)"));
  EXPECT_TRUE(logged(0, "graph error"));
  EXPECT_TRUE(logged(0, "*** ERROR sp_particle_init NOT layer 5"));
  EXPECT_TRUE(logged(0, "sp_particle_init  0 ms / 1 nums")) << "a rectangle up to the edge";
  // Life share 1.0: life 100 ms, no delay; ranges of 1 give no speed, so it stays put.
  std::fill(px.begin(), px.end(), 0u);
  EXPECT_EQ(result("  call sp_particle_update(50)\n  call sp_particle_is_end\n"), 0u);
  EXPECT_EQ(px[1 * 8 + 2], 0x40FF0000u);
  EXPECT_EQ(result("  call sp_particle_update(100)\n  call sp_particle_is_end\n"), 1u);
  px[0] = 7;
  EXPECT_EQ(result("  call sp_particle_update(10)\n  call sp_particle_is_end\n"), 1u);
  EXPECT_EQ(px[0], 7u) << "done: an update changes nothing";
}

TEST_F(ParticlesTest, HoleWindClearsAGrowingHoleAndEndsAfterItsDuration) {
  std::vector<uint32_t>& px = picture(1, 301, 301, 0xFF000000);
  load(
      "  call sp_hole_wind_init(1, 150, 150, 100, 0, 2000)\n"
      "  call sp_hole_wind_update(1000)\n"
      "  call sp_hole_wind_is_end -> r1\n");
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(px[150 * 301 + 150 + 50] >> 24, 0u) << "radius 50 after 1 s";
  EXPECT_EQ(px[150 * 301 + 150 + 51] >> 24, 0xFFu);
  EXPECT_EQ(result("  call sp_hole_wind_update(2000)\n  call sp_hole_wind_is_end\n"), 1u);
  EXPECT_EQ(px[150 * 301 + 150 + 100] >> 24, 0u);
  // A time going back is no step: nothing moves, and is_end stays.
  EXPECT_EQ(result("  call sp_hole_wind_update(0)\n  call sp_hole_wind_is_end\n"), 1u);
  load(
      "  call sp_hole_wind_init(1, 150, 150, 100, 20, 2000)\n"  // a second init: no leak
      "  call sp_hole_wind_release\n"
      "  call sp_hole_wind_init(130, 0, 0, 1, 1, 1) -> r2\n"
      "  call sp_hole_wind_init(3, 0, 0, 1, 1, 1) -> r3\n");
  run();
  EXPECT_TRUE(logged(0, "*** ERROR sp_hole_wind_init NOT layer 3"));
}

TEST_F(ParticlesTest, ParticleLayerReleasesByTheEmitMapAndComesHome) {
  std::vector<uint32_t>& target = picture(0, 2, 1, 0xFF102030);
  std::vector<uint32_t>& emit = picture(1, 2, 1, 0xFF000000);
  emit[0] = 0xFF0000FF;  // blue 255: lets go at once
  picture(2, 2, 1, 0xFF808080);
  load(
      "  call sp_particle_target_init(0, 0, 0, 0, 2, 1)\n"
      "  call sp_particle_emit_init(0, 1)\n"
      "  call sp_particle_force_init(0, 2)\n"
      "  call sp_particle_layer_init(0, 1000, 3000, 0, 0)\n"
      "  call sp_particle_layer_update(0, 0, 0)\n"
      "  call sp_particle_layer_is_end(0) -> r1\n"
      "  call sp_particle_target_init(1, 0, 0, 0, 2, 1) -> r2\n"
      "  call sp_particle_layer_is_end(1) -> r3\n");
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_TRUE(logged(0, "*** ERROR sp_particle_target_init NOT layer 0"));
  EXPECT_EQ(vm().reg[3], 1u) << "no such record";
  std::fill(target.begin(), target.end(), 0u);
  // At 5000 ms the return is a hair short of whole in single precision (254 of 255).
  EXPECT_EQ(result("  call sp_particle_layer_update(0, 0, 5100)\n"
                   "  call sp_particle_layer_is_end(0)\n"),
            1u);
  EXPECT_EQ(target[0], 0xFF102030u) << "home again at full alpha";
  EXPECT_EQ(target[1], 0xFF102030u);
}

}  // namespace
}  // namespace particlestest
