// Image numbers, the active-image list, layout codes and the per-frame sums of an image's
// transform sets, checked against values worked out by hand.
#include <gtest/gtest.h>

#include "graphics/layers/layer_layout.h"
#include "program/graphics/layers/layers_fixture.h"

namespace layerstest {
namespace {

using layers::decode_image_no;
using layers::ImageRecord;

class ImageRecordTest : public LayersTest {};

TEST_F(ImageRecordTest, ImageNumbersDecodeByKindAndRefuseNumbersOutsideTheirKind) {
  struct Case {
    uint32_t no;
    int32_t index;
  } cases[] = {
      {5, 21},
      {0x00000005, 21},
      {0x0100000F, 15},
      {0x02300007, 144 + 384 + 7},
      {0x02F0007F, 144 + 15 * 128 + 127},  // plane 15 has all its records
      {0xF000007F, 143},                   // bits 28-31 are ignored
      {0x03000000, -1},
      {0x00000080, -1},
      {0x01000010, -1},
      {0x02000080, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decode_image_no(c.no), c.index) << std::hex << c.no;
  }
  EXPECT_TRUE(logged(0, "fail original image no : 0x03000000"));
  EXPECT_TRUE(logged(0, "fail original image no : 0x00000080"));
  EXPECT_EQ(layers::make_plane_image_no(3, 7), 0x02300007u);
  EXPECT_EQ(layers::make_plane_image_no(16, 0), 0xFFFFFFFFu);
  EXPECT_EQ(layers::make_plane_image_no(0, 128), 0xFFFFFFFFu);
  EXPECT_EQ(layers::image_record_at(-1), nullptr);
}

TEST_F(ImageRecordTest, ListRunsNewestFirstAndAReleasedRecordIsZero) {
  ImageRecord* a = layers::image_alloc(layers::kBaseLayer, 1);
  ImageRecord* b = layers::image_alloc(layers::kBaseSystem, 2);
  ImageRecord* c = layers::image_alloc(layers::kBasePlane, 300);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(c->dwIndex, 444u);
  EXPECT_EQ(a->base.dwColor, 0xFFFFFFFFu);
  EXPECT_EQ(a->base.scale.x, 1.0f);
  std::vector<const ImageRecord*> order;
  layers::images_for_each([&](ImageRecord& r) { order.push_back(&r); });
  EXPECT_EQ(order, (std::vector<const ImageRecord*>{c, b, a}));

  b->hSprite = fake().add("b", 1, 1);
  const uint32_t sprite = b->hSprite;
  const int32_t b_index = static_cast<int32_t>(b->dwIndex);
  EXPECT_EQ(layers::image_record_at(b_index), b);
  layers::image_release(vm(), b);
  EXPECT_EQ(layers::image_record_at(b_index), nullptr) << "a free record is found by no number";
  const ImageRecord zero{};
  EXPECT_EQ(std::memcmp(b, &zero, sizeof zero), 0);
  order.clear();
  layers::images_for_each([&](ImageRecord& r) { order.push_back(&r); });
  EXPECT_EQ(order, (std::vector<const ImageRecord*>{c, a}));
  EXPECT_NE(fake().at(sprite), nullptr) << "released only at the commit";
  layers::display_ops_commit(vm());
  EXPECT_EQ(fake().at(sprite), nullptr);
  layers::image_release(vm(), nullptr);
  EXPECT_EQ(layers::image_alloc(layers::kBaseLayer, 128), nullptr);
}

TEST_F(ImageRecordTest, LayoutCodesOfBothGrids) {
  using layers::LayoutGrid;
  constexpr LayoutGrid k20 = LayoutGrid::kTwentyColumns, k8 = LayoutGrid::kEightColumns;
  struct Case {
    LayoutGrid grid;
    int32_t code, x;
  } cases[] = {
      {k20, 10, 440}, {k20, -1, -400}, {k20, 0, -200}, {k20, 20, 1080}, {k20, 21, 1280},
      {k8, 5, 440},   {k8, 0, -400},   {k8, 1, -200},  {k8, 9, 1080},   {k8, 10, 1280},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(layers::layout_x(c.grid, c.code, 1280, 400), c.x) << c.code;
    EXPECT_EQ(layers::layout_x_float(c.grid, c.code, 1280, 400), static_cast<float>(c.x));
  }
  EXPECT_EQ(layers::layout_y(0, 720, 600), 0);
  EXPECT_EQ(layers::layout_y(1, 720, 601), 420);  // H - (h >> 1), as the game has it
  EXPECT_EQ(layers::layout_y(2, 720, 600), 120);
  EXPECT_EQ(layers::layout_y(7, 720, 600), 0);
}

TEST_F(ImageRecordTest, SumsClampColourChannelsAndKeepTheAnimationSet) {
  ImageRecord* r = layers::image_alloc(layers::kBaseLayer, 0);
  r->hSprite = fake().add("s", 10, 10);
  r->base.pos = {100, 50, 0};
  r->animSet.pos = {10, 0, 0};
  r->base.dwColor = 0xFF808080u;
  r->frame.actionColor.a = -300;
  r->frame.actionColor.r = 150;
  r->animSet.color.r = 50;
  r->frame.shakeX = 3;
  layers::images_apply_all(vm());
  const FakeSprite* s = fake().at(r->hSprite);
  EXPECT_EQ(s->x, 113.0f);
  EXPECT_EQ(s->y, 50.0f);
  EXPECT_EQ(s->color, 0x00FF8080u);
  layers::images_frame_deltas_clear(vm());
  layers::images_apply_all(vm());
  EXPECT_EQ(s->x, 110.0f) << "the set stays when the frame deltas go";
  EXPECT_EQ(s->color, 0xFFB28080u);
}

TEST_F(ImageRecordTest, FoldingActionResultsKeepsZOut) {
  ImageRecord* r = layers::image_alloc(layers::kBaseLayer, 0);
  r->base.pos = {5, 6, 7};
  r->actionSet.pos = {1, 2, 20};
  r->actionSet.color.g = -500;
  layers::image_commit_action_deltas();
  EXPECT_EQ(r->base.pos.x, 6);
  EXPECT_EQ(r->base.pos.y, 8);
  EXPECT_EQ(r->base.pos.z, 7);
  EXPECT_EQ(r->base.dwColor, 0xFFFF00FFu);
  EXPECT_EQ(r->actionSet.pos.z, 0);
}

TEST_F(ImageRecordTest, RotationGoesAsFloatsOrIntegersByRenderer) {
  ImageRecord* r = layers::image_alloc(layers::kBaseLayer, 0);
  r->hSprite = fake().add("s", 10, 10);
  r->base.rot = {0, 0, 30};
  r->frame.actionRot = {0, 0, 15};
  r->base.fRot = {0, 0, 30.5f};
  r->animSet.fRot = {0, 0, 0.25f};
  layers::images_apply_all(vm());
  EXPECT_EQ(fake().at(r->hSprite)->rz, 45);
  layers::g_float_rotation = true;
  layers::images_apply_all(vm());
  layers::g_float_rotation = false;
  EXPECT_EQ(fake().at(r->hSprite)->frz, 30.75f);
  EXPECT_TRUE(fake().called("rotate int"));
  EXPECT_TRUE(fake().called("rotate float"));
}

TEST_F(ImageRecordTest, ChildKeepsItsOffsetFromTheParentCentreScaled) {
  ImageRecord* parent = layers::image_alloc(layers::kBaseLayer, 0);
  ImageRecord* child = layers::image_alloc(layers::kBaseLayer, 1);
  parent->hSprite = fake().add("p", 200, 100);
  child->hSprite = fake().add("c", 20, 10);
  parent->base.pos = {400, 300, 0};
  parent->base.fPos = {400, 300, 0};
  parent->base.scale = {2.0f, 2.0f};
  parent->base.dwColor = 0x80FFFFFFu;
  // The child's centre sits 30 pixels right of the parent's centre (500, 350).
  child->base.posOfs = {(500 + 30 - 10) - 400, (350 - 5) - 300, 0};
  child->base.fPosOfs = {120.0f, 45.0f, 0};
  layers::image_follow_transform(*child, *parent);
  layers::images_apply_all(vm());
  const FakeSprite* c = fake().at(child->hSprite);
  EXPECT_EQ(c->x + 10, 500.0f + 60.0f);
  EXPECT_EQ(c->y + 5, 350.0f);
  EXPECT_EQ(c->sx, 2.0f);
  EXPECT_EQ(child->base.fPos.x + child->base.fPosOfs.x + 10, 560.0f);
  EXPECT_EQ(c->color, 0x80FFFFFFu);
}

TEST_F(ImageRecordTest, ShakeOfAmplitudeTenStaysWithinMinusFiveToFour) {
  engine::LayerSlot& slot = vm().layers[3];
  slot.lpImage = layers::image_alloc(layers::kBaseLayer, 3);
  slot.dwFlags = layers::kLayerShake;
  slot.nShakeMode = 2;
  slot.nShakeAmplitude = 10;
  slot.dwShakeLength = 0xFFFFFFFFu;
  int32_t lo = 100, hi = -100;
  for (int i = 0; i < 2000; ++i) {
    layers::images_frame_deltas_clear(vm());
    layers::layers_frame_update(vm());
    for (int32_t v : {slot.lpImage->frame.shakeX, slot.lpImage->frame.shakeY}) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  EXPECT_EQ(lo, -5);
  EXPECT_EQ(hi, 4);
  EXPECT_TRUE(slot.dwFlags & layers::kLayerShake) << "an endless shake never ends by itself";
  // Amplitude 0 adds nothing (and divides by nothing).
  slot.nShakeAmplitude = 0;
  layers::images_frame_deltas_clear(vm());
  layers::layers_frame_update(vm());
  EXPECT_EQ(slot.lpImage->frame.shakeX, 0);
}

}  // namespace
}  // namespace layerstest
