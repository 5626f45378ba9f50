// Layers drawn by the real library's software renderer on a small screen: pictures appear only
// with the commit, in the place graphic.dat gives them, and go with sp_cls and the next commit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Orv/core_record.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "graphic_dat/graphic_dat_writer.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "orv/orv.h"
#include "support/render_fixture.h"
#include "support/vm_fixture.h"

namespace layerstest {
namespace {

constexpr uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu,
                   kGreen = 0xFF00FF00u;

class LayersRenderTest : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    std::memset(static_cast<void*>(layers::image_table), 0, sizeof layers::image_table);
    list_ = rendertest::software_render_start(64, 48);
    ASSERT_NE(list_, 0u);
    orv_core().render.clear_color = kBlack;
  }
  void TearDown() override {
    layers::layers_clear_all(vm());
    layers::display_ops_commit(vm());
    layers::graphic_dat.clear();
    rendertest::software_render_stop(list_);
    VmTest::TearDown();
  }
  uint32_t pixel(int32_t x, int32_t y) {
    EXPECT_TRUE(render_frame_draw());
    BackBufferView v = render_back_buffer();
    return v.pixels[y * v.width + x];
  }
  OrvHandle list_ = 0;
};

// Channels within 4 of each other: the software renderer's colour modulation rounds 255 down
// to 252 for a sprite whose colour is set to opaque white.
MATCHER_P(Near, expected, "") {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((arg >> shift) & 0xFF);
    const int b = static_cast<int>((expected >> shift) & 0xFF);
    if (a - b > 4 || b - a > 4) return false;
  }
  return true;
}

TEST_F(LayersRenderTest, TwoLayersAppearTogetherWithTheCommitAndGoWithTheNext) {
  load(
      "  call sp_create(1, file\"#FFFF0000\", 0, 0, 16, 16)\n"
      "  call sp_create(2, file\"#FF0000FF\", 32, 16, 16, 16)\n"
      "  call wait_frame\n"
      "  call run_no_wait\n"
      "  call wait_frame\n"
      "  call sp_cls(1)\n"
      "  call wait_frame\n"
      "  call run_no_wait\n");
  run();
  layers::images_apply_all(vm());
  EXPECT_EQ(pixel(4, 4), kBlack);
  EXPECT_EQ(pixel(40, 20), kBlack);
  run();
  layers::images_apply_all(vm());
  EXPECT_THAT(pixel(4, 4), Near(kRed));
  EXPECT_THAT(pixel(40, 20), Near(kBlue));
  EXPECT_EQ(pixel(20, 4), kBlack);
  run();
  layers::images_apply_all(vm());
  EXPECT_THAT(pixel(4, 4), Near(kRed)) << "a cleared layer stays until the commit";
  run();
  layers::images_apply_all(vm());
  EXPECT_EQ(pixel(4, 4), kBlack);
  EXPECT_THAT(pixel(40, 20), Near(kBlue));
}

TEST_F(LayersRenderTest, GraphicDatPlacesAndColoursTheImage) {
  std::vector<layers::GraphicInfo> records;
  std::string error;
  ASSERT_TRUE(graphicdat::parse_list("GREEN load=#FF00FF00 x=40 y=30\n", &records, &error))
      << error;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(graphicdat::build(records, false, &bytes, &error)) << error;
  ASSERT_TRUE(layers::graphic_dat.load(bytes, &error)) << error;
  load("  call sp_set_ex(file\"GREEN\", 3, 0xFFFF, 0xFFFF, 0)\n  call run_no_wait\n");
  run();
  layers::images_apply_all(vm());
  EXPECT_EQ(pixel(39, 29), kBlack);
  EXPECT_THAT(pixel(40, 30), Near(kGreen));
  EXPECT_THAT(pixel(63, 47), Near(kGreen));
}

// sp_show queues the sprite's id; face_cls releases the sprite before the commit, which then
// finds nothing under the stale id.
TEST_F(LayersRenderTest, SpriteReleasedBetweenQueueAndCommitIsFoundNowhere) {
  load(
      "  call face_init(0, 9, -1, -1, 0)\n"
      "  call sp_create(9, file\"#FFFF0000\", 0, 0, 16, 16)\n"
      "  call sp_show(9)\n"
      "  call face_cls(0)\n"
      "  call sp_create(9, file\"#FF0000FF\", 32, 16, 16, 16)\n"
      "  call run_no_wait\n");
  run();
  layers::images_apply_all(vm());
  EXPECT_EQ(pixel(4, 4), kBlack);
  EXPECT_THAT(pixel(40, 20), Near(kBlue));
}

}  // namespace
}  // namespace layerstest
