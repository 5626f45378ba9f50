// Text drawn into layers, the layer shader effects and the image-file commands, as scripts with
// the platform faked.
#include <gtest/gtest.h>

#include "graphics/effects/layer_shader_pool.h"
#include "graphics/layers/layer_text_items.h"
#include "program/graphics/layers/fake_layer_ops.h"
#include "program/graphics/layers/layers_fixture.h"

namespace layerstest {
namespace {

class LayerTextAndEffectsTest : public LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    install_layer_op_fakes();
    layers::shader_effect_pool_reset(vm());
  }
  void TearDown() override {
    layers::shader_effect_pool_reset(vm());
    LayersTest::TearDown();
  }
  layers::ImageRecord& picture(uint32_t n) {
    engine::LayerSlot& slot = vm().layers[n];
    slot.lpImage = layers::image_alloc(layers::kBaseLayer, n);
    slot.lpImage->hSprite = fake().add("l" + std::to_string(n), 64, 64);
    return *slot.lpImage;
  }
};

TEST_F(LayerTextAndEffectsTest, TextLinesAreDrawnAndRemembered) {
  load(
      "  call sp_text(3, text\"Hello\", 10, 20, 5)\n"
      "  call sp_text(3, text\"World\", 4, 30, 0)\n"
      "  call run_no_wait\n");
  run();
  const layers::ImageRecord* im = image(3);
  ASSERT_NE(im, nullptr);
  EXPECT_EQ(fake().at(im->hSprite)->name, "text:Hello");
  EXPECT_STREQ(im->szFileName, "#00000000");
  EXPECT_EQ(im->lFileNo, 0x10000000u);
  EXPECT_EQ(im->base.pos.x, 10);
  EXPECT_EQ(im->base.pos.z, 5);
  EXPECT_TRUE(fake().at(im->hSprite)->visible) << "shown at the commit";
  const auto& items = layers::layer_text_items(3);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].x, 0) << "the first line starts its own picture";
  EXPECT_EQ(items[1].text, "World");
  EXPECT_EQ(items[1].y, 30);
  EXPECT_TRUE(fake().called("text " + std::to_string(im->hSprite) + " World 4 30"));
  // While skipping a line is remembered but not drawn.
  vm().run.bSceneSkip = 1;
  fake().calls.clear();
  load(
      "  call sp_text(3, text\"Later\", 0, 0, 0)\n  call draw_text(9, text\"x\", 0, 0, 0) -> r1\n");
  run();
  EXPECT_EQ(layers::layer_text_items(3).size(), 3u);
  EXPECT_TRUE(fake().calls.empty());
}

TEST_F(LayerTextAndEffectsTest, EffectWaitTakesItsLayerOnceAndEndsWithTheEffect) {
  picture(2);
  load(
      "  call fx_raster_start(2, 50, 20, 1000)\n"
      "  call fx_raster_stop(2, 300)\n"
      "  call fx_effect_wait(2)\n"
      "  mov r5, 1\n");
  run();
  const std::string s = std::to_string(image(2)->hSprite);
  EXPECT_TRUE(fake().called("fx set " + s + ", 0, 1, 1000"));
  EXPECT_TRUE(fake().called("fx set " + s + ", 0, 2, 300"));
  EXPECT_EQ(vm().reg[5], 0u) << "waiting";
  const int32_t depth = vm().nArgCount;
  run();
  EXPECT_EQ(vm().nArgCount, depth) << "later calls of the wait pop nothing";
  EXPECT_EQ(vm().reg[5], 0u);
  g_ops.fx_state = 0;
  run();
  EXPECT_EQ(vm().reg[5], 1u);
  EXPECT_EQ(layers::shader_effect_pool.bWaiting, 0u);
  EXPECT_TRUE(logged(10, "fx_effect_wait 2"));
}

TEST_F(LayerTextAndEffectsTest, NinthEffectStartsNothingAndAReleasedLayerEndsItsEffect) {
  std::string src;
  for (int n = 0; n < 9; ++n) {
    picture(static_cast<uint32_t>(n));
    src += "  call fx_effect_radial_blur(" + std::to_string(n) + ", 1, 2, 3)\n";
  }
  src += "  call fx_effect_wait(20)\n  mov r5, 1\n";
  load(src);
  run();
  EXPECT_EQ(layers::shader_effect_pool.nInUse, 8u);
  EXPECT_EQ(vm().layers[8].lpEffectNode, nullptr);
  EXPECT_EQ(vm().reg[5], 1u) << "a layer without picture ends the wait at once";
  const std::string s0 = std::to_string(image(0)->hSprite);
  layers::layer_release_now(vm(), vm().layers[0]);
  EXPECT_TRUE(fake().called("fx release " + s0));
  EXPECT_EQ(layers::shader_effect_pool.nInUse, 7u);
}

TEST_F(LayerTextAndEffectsTest, ImageFilesAreWrittenAndPaintedByPath) {
  picture(1);
  g_ops.file_result = 0;
  load(
      "  call save_png(128, text\"a.png\")\n"
      "  call save_png(1, text\"b.png\")\n"
      "  call load_file_texture(1, text\"missing.png\") -> r1\n");
  run();
  EXPECT_TRUE(logged(0, "no = 128"));
  EXPECT_TRUE(logged(0, "Can't Save Png 1, b.png"));
  EXPECT_TRUE(fake().called("save png " + std::to_string(image(1)->hSprite) + " b.png"));
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_TRUE(logged(10, "Can't Load File 1, missing.png"));
}

}  // namespace
}  // namespace layerstest
