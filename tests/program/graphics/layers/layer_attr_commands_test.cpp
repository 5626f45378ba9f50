// The layer attribute and query commands as scripts on the real interpreter, with the sprite
// calls faked: what each setter leaves in the image's transform, what the getters answer and
// log, and the filters, shake and child links of a layer.
#include <gtest/gtest.h>

#include "graphics/layers/layer_slots.h"
#include "program/graphics/layers/fake_layer_ops.h"
#include "program/graphics/layers/layers_fixture.h"

namespace layerstest {
namespace {

class LayerAttrTest : public LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    install_layer_op_fakes();
    fake().files = {{"BG01.png", {1280, 720}}, {"CH01.png", {400, 600}}};
  }
  // Layer n with a picture of w x h.
  layers::ImageRecord& picture(uint32_t n, int32_t w = 100, int32_t h = 100) {
    engine::LayerSlot& slot = vm().layers[n];
    slot.lpImage = layers::image_alloc(layers::kBaseLayer, n);
    slot.lpImage->hSprite = fake().add("l" + std::to_string(n), w, h);
    return *slot.lpImage;
  }
  uint32_t reg(int n) { return vm().reg[n]; }
};

TEST_F(LayerAttrTest, ScaleSetAndReadBackInPercentWithTheRunningDeltas) {
  layers::ImageRecord& im = picture(3);
  load(
      "  call sp_set_scale(3, 150)\n"
      "  call sp_get_scale(3) -> r1\n"
      "  call wait_frame\n"
      "  call sp_get_scale(3) -> r2\n"
      "  call sp_set_scale_xy(2, 150, 50)\n"
      "  call sp_get_scale_x(2) -> r3\n"
      "  call sp_get_scale_y(2) -> r4\n"
      "  call sp_get_scale_x(0x03000000) -> r5\n"
      "  call sp_get_scale(0x03000000) -> r6\n");
  run();
  EXPECT_EQ(reg(1), 150u);
  EXPECT_FLOAT_EQ(im.base.scale.y, 1.5f);
  im.frame.actionScale.x = 0.25f;  // an action running on the image
  picture(2);
  run();
  EXPECT_EQ(reg(2), 175u);
  EXPECT_EQ(reg(3), 150u);
  EXPECT_EQ(reg(4), 50u);
  EXPECT_EQ(reg(5), 0xFFFFFFFFu);
  EXPECT_EQ(reg(6), 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "not image : sp_get_scale_x 50331648"));
  EXPECT_TRUE(logged(0, "not image : sp_get_scale 50331648"));
  EXPECT_TRUE(logged(10, "sp_set_scale_xy  2, 150"));
}

TEST_F(LayerAttrTest, PositionColourAlphaAndRotationSetters) {
  layers::ImageRecord& im = picture(4, 400, 600);
  im.base.dwColor = 0x80112233;
  im.base.colorOfs.a = 9;
  im.base.rotOfs = {30, 0, 0};
  load(
      "  call sp_set_pos_ex(4, 10, 20, 30)\n"
      "  call sp_set_pos_move(4, 1, 2, 3)\n"
      "  call sp_set_color(4, 0x00445566)\n"
      "  call sp_get_color(4) -> r1\n"
      "  call sp_get_alpha(4) -> r2\n"
      "  call sp_set_alpha(4, 0x1FF)\n"
      "  call sp_set_alpha(0x01000005, 7)\n"
      "  call sp_set_rotate(4, 0, 0, 45)\n"
      "  call sp_get_rotate(4, 2) -> r3\n"
      "  mov r9, 0\n"
      "  call sp_get_pos(4, 0, -1, 2)\n");
  run();
  EXPECT_EQ(im.base.pos.x, 11);
  EXPECT_EQ(im.base.pos.z, 33);
  EXPECT_FLOAT_EQ(im.base.fPos.y, 22.0f);
  EXPECT_EQ(reg(1), 0x445566u);
  EXPECT_EQ(reg(2), 0x80u);
  EXPECT_EQ(im.base.dwColor, 0xFF445566u) << "alpha takes the low byte";
  EXPECT_EQ(im.base.colorOfs.a, 0);
  EXPECT_EQ(reg(3), 45u) << "the rotation offset is dropped";
  EXPECT_EQ(im.base.rotOfs.x, 0);
  EXPECT_TRUE(logged(10, "sp_set_alpha  0x1000005, 7"));
  EXPECT_TRUE(logged(10, "sp_get_rotate [z] 4, 45"));
  EXPECT_EQ(vm().tempMem[0], 11u);
  EXPECT_EQ(vm().tempMem[2], 33u);
  // sp_set_pos: the x layout code, the bottom on the screen's bottom; z stays.
  load("  call sp_set_pos(4, 10)\n");
  run();
  EXPECT_EQ(im.base.pos.x, 440);
  EXPECT_EQ(im.base.pos.y, 120);
  EXPECT_EQ(im.base.pos.z, 33);
}

TEST_F(LayerAttrTest, FiltersAreAppliedAndRecordedPerLayer) {
  picture(1);
  picture(5);
  vm().layers[5].dwFlags |= layers::kLayerShake | 0x1000000 | layers::kLayerAsyncLoad;
  const uint32_t s1 = image(1)->hSprite, s5 = image(5)->hSprite;
  load(
      "  call set_filter(-1, 2)\n"
      "  call set_filter(1, 8)\n"
      "  call set_filter(5, 14)\n"
      "  call set_filter(1, 13)\n");
  run();
  EXPECT_TRUE(fake().called("option " + std::to_string(s1) + ", 2"));
  EXPECT_TRUE(fake().called("option " + std::to_string(s5) + ", 2"));
  EXPECT_TRUE(fake().called("option " + std::to_string(s1) + ", 1029")) << "blur level 4: 0x405";
  EXPECT_TRUE(fake().called("option " + std::to_string(s1) + ", -1"));
  EXPECT_EQ(vm().layers[1].dwFlags, (1u << 2) | (1u << 8) | (1u << 13));
  EXPECT_TRUE(fake().called("option " + std::to_string(s5) + ", 0")) << "index 14 is taken as 0";
  EXPECT_EQ(vm().layers[5].dwFlags, layers::kLayerAsyncLoad)
      << "filter 0 forgets the flags, shake and lock included, but not a pending load";
  // While skipping the filter is only recorded.
  vm().run.bSceneSkip = 1;
  fake().calls.clear();
  load("  call set_filter(1, 3)\n");
  run();
  EXPECT_TRUE(fake().calls.empty());
  EXPECT_TRUE(vm().layers[1].dwFlags & (1u << 3));
}

TEST_F(LayerAttrTest, ShakeStartsWithAtLeastOnePixelAndStopsAtOnce) {
  layers::ImageRecord& im = picture(2);
  load(
      "  call sp_set_shake(2, 0, 0, 1000)\n"
      "  call wait_frame\n"
      "  call sp_set_shake(2, 0, 8, 0)\n");
  run();
  const engine::LayerSlot& slot = vm().layers[2];
  EXPECT_TRUE(slot.dwFlags & layers::kLayerShake);
  EXPECT_EQ(slot.nShakeAmplitude, 1);
  layers::layers_frame_update(vm());
  EXPECT_EQ(im.frame.shakeY, 0) << "amplitude 1 always draws 0";
  im.frame.shakeY = 5;
  run();
  EXPECT_FALSE(slot.dwFlags & layers::kLayerShake);
  EXPECT_EQ(im.frame.shakeY, 0);
  // A timed shake does not start while skipping; an endless one does.
  vm().run.bSkip = 1;
  load("  call sp_set_shake(2, 2, 10, 500)\n  call sp_set_shake(3, 2, 10, -1)\n");
  picture(3);
  run();
  EXPECT_FALSE(slot.dwFlags & layers::kLayerShake);
  EXPECT_TRUE(vm().layers[3].dwFlags & layers::kLayerShake);
}

// A child linked to a parent keeps its look: followed, it lands where it was.
TEST_F(LayerAttrTest, ChildLinkKeepsTheChildsLookAsOffsetsAndUnlinkClearsTheFlag) {
  layers::ImageRecord& parent = picture(1);
  layers::ImageRecord& child = picture(2);
  parent.base.scale = {2.0f, 2.0f};
  parent.base.rot = {0, 0, 10};
  child.base.scale = {1.5f, 1.5f};
  child.base.rot = {0, 0, 40};
  child.base.dwColor = 0x80FF0000;
  load(
      "  call sp_set_child(1, 2, 30, -5, 3)\n"
      "  call wait_frame\n"
      "  call sp_set_child(1, -1, 0, 0, 3)\n"
      "  call sp_set_child(1, 2, 0, 0, 8) -> r1\n");
  run();
  const engine::LayerSlot& slot = vm().layers[1];
  EXPECT_EQ(slot.graphChild[3][0], layers::kChildLink);
  EXPECT_EQ(slot.graphChild[3][1], 2u);
  EXPECT_TRUE(slot.dwFlags & layers::kLayerChildren);
  EXPECT_FLOAT_EQ(child.base.scaleOfs.x, 1.5f * 2.0f - 2.0f);
  EXPECT_EQ(child.base.rotOfs.z, 30);
  EXPECT_EQ(child.base.colorOfs.a, 0x80 - 255);
  EXPECT_EQ(child.base.colorOfs.g, -255);
  EXPECT_EQ(child.base.posOfs.x, 30);
  EXPECT_EQ(child.base.posOfs.y, -5);
  run();
  EXPECT_EQ(slot.graphChild[3][0], 0u);
  EXPECT_EQ(slot.graphChild[3][1], 0xFFFFFFFFu);
  EXPECT_FALSE(slot.dwFlags & layers::kLayerChildren);
  EXPECT_TRUE(logged(0, "no = 8")) << "eight entries only";
}

TEST_F(LayerAttrTest, PriorityBaseMovesAndRefusesToPassTheFront) {
  load(
      "  call set_priority(2)\n"
      "  call get_priority -> r1\n"
      "  call set_priority(-40) -> r2\n"
      "  call get_priority -> r3\n");
  run();
  EXPECT_EQ(reg(1), 268u);
  EXPECT_EQ(reg(3), 268u) << "5000 - 268 - 5360 is negative: refused";
  EXPECT_TRUE(logged(0, "set_priorityで一番手前に設定されています"));
}

TEST_F(LayerAttrTest, QuestionsAboutPicturesFilesAndUserValues) {
  layers::ImageRecord& im = picture(7, 64, 32);
  im.lFileNo = 0x10000003;
  std::memcpy(im.szFileName, "CH01", 5);
  std::string src =
      "  call is_sp(7) -> r1\n  call is_sp(8) -> r2\n  call is_sp(0x01000002) -> r3\n"
      "  call string(0) -> r8\n  call get_filename(7, r8) -> r4\n  call sp_get_width(7) -> r5\n"
      "  call sp_get_height(0x03000000) -> r6\n  call sp_set_user_value(7, -9)\n"
      "  call sp_get_user_value(7) -> r7\n  call sp_lock(7)\n"
      "  call sp_set_rect(7, 1, 2, 3, 4)\n  call set_aspect_position_type(7, 3)\n";
  load(src);
  run();
  EXPECT_EQ(reg(1), 1u);
  EXPECT_EQ(reg(2), 0u);
  EXPECT_EQ(reg(3), 0u) << "a system image without a sprite";
  EXPECT_EQ(reg(4), 0x10000003u);
  EXPECT_STREQ(engine::AdvGetVarString(vm(), reg(8) & 0xFFFF), "CH01");
  EXPECT_EQ(reg(5), 64u);
  EXPECT_EQ(reg(6), 0xFFFFFFFFu);
  EXPECT_EQ(reg(7), static_cast<uint32_t>(-9));
  EXPECT_TRUE(vm().layers[7].dwFlags & 0x1000000);
  EXPECT_EQ(image(7)->base.bRect, 1u);
  EXPECT_EQ(image(7)->base.rect.bottom, 4);
  EXPECT_EQ(image(7)->base.dwAspectType, 3u);
  EXPECT_TRUE(logged(10, "[1]is_sp 7"));
  EXPECT_TRUE(logged(10, "[0]is_sp 1000002"));
  EXPECT_TRUE(logged(10, "set_aspect_position_type 23, 3"));
}

}  // namespace
}  // namespace layerstest
