// Recorded image operations: the 80-byte record against bytes laid out by hand, what the
// recording commands write and carry out, and the replay of a loaded layer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "graphics/layers/graph_child.h"
#include "graphics/layers/layer_slots.h"
#include "program/graphics/layers/fake_layer_ops.h"
#include "program/graphics/layers/layers_fixture.h"

namespace layerstest {
namespace {

using layers::GraphChild;

class ImageOpsTest : public LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    install_layer_op_fakes();
  }
  layers::ImageRecord& picture(uint32_t n, int32_t w = 4, int32_t h = 2) {
    engine::LayerSlot& slot = vm().layers[n];
    slot.lpImage = layers::image_alloc(layers::kBaseLayer, n);
    slot.lpImage->hSprite = fake().add("l" + std::to_string(n), w, h);
    fake().sprites[slot.lpImage->hSprite].pixels.assign(size_t(w) * size_t(h), 0);
    return *slot.lpImage;
  }
  std::string sprite(uint32_t n) { return std::to_string(image(n)->hSprite); }
  GraphChild record(uint32_t layer, uint32_t k) {
    return layers::graph_child_get(vm().layers[layer], k);
  }
  // The calls but the transform pushes (a listed layer's transform reaches its sprite first).
  std::vector<std::string> work() {
    std::vector<std::string> out;
    for (const std::string& c : fake().calls) {
      if (c.rfind("rotate", 0) != 0) out.push_back(c);
    }
    return out;
  }
  // The interpreter's line for a command that reported failure.
  bool failed(uint32_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "code = [0x%08X]", id);
    return logged(0, text);
  }
};

TEST_F(ImageOpsTest, RecordReadsTheStoredBytes) {
  // Slot 5 of a layer as save data stores it, laid out by hand.
  const uint8_t bytes[80] = {
      0x02, 0x00, 0x00, 0x10,  // dwMode: a child link and mode 2
      0x05, 0x00, 0x00, 0x00,  // dwSource 5
      0xFF, 0xFF, 0xFF, 0xFF,  // lX -1
      0x10, 0x00, 0x00, 0x00,  // lY 16
      0x20, 0x00, 0x00, 0x00,  // lSrcX 32
      0x30, 0x01, 0x00, 0x00,  // lSrcY 304
      0x40, 0x00, 0x00, 0x00,  // lWidth 64
      0x00, 0x00, 0x01, 0x00,  // lHeight 65536
      0x03, 0x00, 0x00, 0x00,  // dwDstChannel 3
      0x01, 0x00, 0x00, 0x00,  // dwSrcChannel 1
      'B',  'G',  '0',  '1',  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // szSourceName
      0x07, 0x00, 0x00, 0x00,                                      // dwExMode 7
      0x00, 0x00, 0x00, 0x00,                                      // reserved
  };
  engine::LayerSlot& slot = vm().layers[0];
  std::memcpy(slot.graphChild[5], bytes, sizeof bytes);
  const GraphChild r = layers::graph_child_get(slot, 5);
  EXPECT_EQ(r.dwMode, 0x10000002u);
  EXPECT_EQ(r.dwSource, 5u);
  EXPECT_EQ(r.lX, -1);
  EXPECT_EQ(r.lY, 16);
  EXPECT_EQ(r.lSrcX, 32);
  EXPECT_EQ(r.lSrcY, 304);
  EXPECT_EQ(r.lWidth, 64);
  EXPECT_EQ(r.lHeight, 65536);
  EXPECT_EQ(r.dwDstChannel, 3u);
  EXPECT_EQ(r.dwSrcChannel, 1u);
  EXPECT_STREQ(r.szSourceName, "BG01");
  EXPECT_EQ(r.dwExMode, 7u);
  layers::graph_child_put(slot, 2, r);
  EXPECT_EQ(std::memcmp(slot.graphChild[2], bytes, sizeof bytes), 0);
}

TEST_F(ImageOpsTest, RecordingOrsTheModeAndWritesTheFieldsThenRuns) {
  picture(1);
  picture(2);
  GraphChild held{};
  held.dwMode = layers::GRAPH_CHILD_MODE_MIX_FILE;
  held.lWidth = 99;
  layers::graph_child_put(vm().layers[1], 0, held);
  held.dwMode = layers::GRAPH_CHILD_MODE_BITBLT | layers::kChildLink;
  layers::graph_child_put(vm().layers[1], 1, held);
  load(
      "  call sp_boxblur(1, 2, 3, 4, 5, 0)\n"
      "  call sp_boxblur(1, 2, 3, 4, 5, 1)\n"
      "  call sp_gaussianblur(1, 2, 6, 2)\n");
  run();
  const GraphChild a = record(1, 0), b = record(1, 1), c = record(1, 2);
  EXPECT_EQ(a.dwMode, 5u) << "1 | 5";
  EXPECT_EQ(b.dwMode, layers::kChildLink | 7u) << "2 | 5, replayed as delete-no-alpha";
  EXPECT_EQ(a.lX, 1);
  EXPECT_EQ(a.dwSource, 2u);
  EXPECT_EQ(a.lY, 3);
  EXPECT_EQ(a.lSrcX, 4);
  EXPECT_EQ(a.lSrcY, 5);
  EXPECT_EQ(a.lWidth, 0) << "cleared";
  EXPECT_EQ(c.dwMode, 10u);
  EXPECT_EQ(c.lY, 6);
  EXPECT_TRUE(vm().layers[1].dwFlags & layers::kLayerChildren);
  EXPECT_TRUE(fake().called("box blur " + sprite(1) + ", " + sprite(2) + ", 3, 4, 5"));
  EXPECT_TRUE(fake().called("gaussian " + sprite(1) + ", " + sprite(2) + ", 6"));
  EXPECT_TRUE(logged(10, "sp_boxblur 1, 2, 3, 4, 5, 0"));
}

TEST_F(ImageOpsTest, SlotMinusOneRunsOnceAndRecordsNothing) {
  picture(1);
  picture(2);
  load(
      "  call sp_bitblt(1, 0, 1, 2, 2, 2, 1, 0, -1)\n  call sp_boxfill(1, 0, 0, 2, 1, 0xFF00FF, "
      "-1)\n");
  run();
  EXPECT_TRUE(fake().called("copy rgb " + sprite(1) + ", 0, 1, " + sprite(2) + ", 1, 0, 2, 2"));
  EXPECT_TRUE(fake().called("box fill " + sprite(1) + ", 0, 0, 2, 1, 16711935"));
  EXPECT_TRUE(logged(10, "sp_boxfill 1, 0, 0, 2, 1, 0x00FF00FF, -1"));
  for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(record(1, k).dwMode, 0u);
  EXPECT_EQ(vm().layers[1].dwFlags, 0u);
}

TEST_F(ImageOpsTest, RangeErrorsFailAndMissingPreconditionsSucceedSilently) {
  picture(1);
  load(
      "  call sp_set_mask(1, 0, 0, 1, 1, 0x0FFFFFFF, 0, 0, 8)\n"
      "  call sp_set_mask(128, 0, 0, 1, 1, 0x0FFFFFFF, 0, 0, 0)\n"
      "  call sp_set_mask(1, 0, 0, 1, 1, 0x0FFFFFFF, 0, 0, 0) -> r1\n"
      "  call sp_bitblt(1, 0, 0, 1, 1, 9, 0, 0, 0)\n"
      "  call sp_cleaning_alpha_rgb(1, 0, 0)\n"
      "  call sp_cleaning_alpha_rgb(3, 10, 0)\n");
  run();
  EXPECT_TRUE(logged(0, "no = 8"));
  EXPECT_TRUE(logged(0, "no = 128"));
  EXPECT_TRUE(failed(0x030037));
  EXPECT_FALSE(failed(0x030026)) << "a source layer without a picture: success, nothing done";
  EXPECT_TRUE(logged(0, "*** ERROR sp_cleaning_alpha_rgb NOT layer 3"));
  EXPECT_TRUE(failed(0x03007D));
  for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(record(1, k).dwMode, 0u) << k;
}

TEST_F(ImageOpsTest, CleaningAlphaClearsOnlyTheAlphaOfFaintPixels) {
  picture(1, 3, 2);
  std::vector<uint32_t>& px = fake().sprites[image(1)->hSprite].pixels;
  px = {0x40123456, 0x41123456, 0x00ABCDEF, 0xFF000000, 0x3F010203, 0x40FFFFFF};
  load("  call sp_cleaning_alpha_rgb(1, 0x40, 4)\n");
  run();
  EXPECT_EQ(px, (std::vector<uint32_t>{0x00123456, 0x41123456, 0x00ABCDEF, 0xFF000000, 0x00010203,
                                       0x00FFFFFF}));
  EXPECT_EQ(record(1, 4).dwMode, 23u);
  EXPECT_EQ(record(1, 4).dwSource, 1u);
  EXPECT_EQ(record(1, 4).lX, 0x40);
}

TEST_F(ImageOpsTest, MotionBlurAngleWrapsAFullTurnOf4096) {
  EXPECT_EQ(layers::motion_blur_radians(-1), layers::motion_blur_radians(4095));
  EXPECT_EQ(layers::motion_blur_radians(4096 + 7), layers::motion_blur_radians(7));
  EXPECT_DOUBLE_EQ(layers::motion_blur_radians(1024), 3.1415927410125732 / 2);
}

TEST_F(ImageOpsTest, StretchWhileSkippingRecordsWithoutStretching) {
  picture(1);
  picture(2);
  vm().run.bHistorySkip = 1;
  load("  call stretch_image(1, 2, 1)\n");
  run();
  const GraphChild r = record(1, 0);
  EXPECT_EQ(r.dwMode, 8u);
  EXPECT_EQ(r.dwSource, 2u);
  EXPECT_EQ(r.lX, 1);
  EXPECT_EQ(r.lY, 1);
  EXPECT_FALSE(fake().called("stretch " + sprite(1) + ", " + sprite(2) + ", 1"));
  vm().run.bHistorySkip = 0;
  layers::graph_child_replay(vm(), 1);
  EXPECT_TRUE(fake().called("stretch " + sprite(1) + ", " + sprite(2) + ", 1"));
}

TEST_F(ImageOpsTest, RenderListCommandsRecordAndDraw) {
  picture(1);
  picture(2);
  picture(3);
  load(
      "  call sp_render_list_clear(1)\n"
      "  call sp_render_list_add(1, 2, 0) -> r1\n"
      "  call sp_render_list_add(1, 3, 1)\n"
      "  call sp_render_list_add(1, 9, 2)\n"
      "  call sp_render_list_draw(1, 3)\n"
      "  call sp_render_list_add(5, 2, 0)\n");
  run();
  EXPECT_EQ(record(1, 0).dwMode, 17u);
  EXPECT_EQ(record(1, 2).dwMode, 17u) << "recorded though layer 9 has no picture";
  EXPECT_EQ(record(1, 3).dwMode, 18u);
  EXPECT_EQ(record(1, 3).dwSource, 1u);
  EXPECT_EQ(work(), (std::vector<std::string>{"list clear", "list add " + sprite(2),
                                              "list add " + sprite(3), "list draw",
                                              "render copy " + sprite(1)}));
  EXPECT_TRUE(failed(0x030053)) << "layer 9 and layer 5 add nothing";
  EXPECT_EQ(record(5, 0).dwMode, 0u);
  // While skipping the draw is recorded only.
  fake().calls.clear();
  vm().run.bSceneSkip = 1;
  load("  call sp_render_list_draw(2, 0)\n");
  run();
  EXPECT_EQ(record(2, 0).dwMode, 18u);
  EXPECT_TRUE(fake().calls.empty());
}

// The replay carries out the slots in order; a bare child link and a source that is not
// loaded do nothing, and only a list add in slot 0 empties the list.
TEST_F(ImageOpsTest, ReplayRunsTheSlotsInOrder) {
  picture(1);
  picture(3);
  picture(4);
  engine::LayerSlot& slot = vm().layers[1];
  auto put = [&](uint32_t k, uint32_t mode, uint32_t source) {
    GraphChild r{};
    r.dwMode = mode;
    r.dwSource = source;
    r.lWidth = r.lHeight = 1;
    layers::graph_child_put(slot, k, r);
  };
  put(0, 17, 3);
  put(1, layers::kChildLink, 4);
  put(2, layers::kChildLink | 2, 4);
  put(3, 17, 4);
  put(4, 2, 70);
  put(5, 18, 1);
  put(6, 24, 1);
  layers::graph_child_replay(vm(), 1);
  EXPECT_TRUE(fake().calls.empty()) << "without the flag nothing is replayed";
  slot.dwFlags |= layers::kLayerChildren;
  layers::graph_child_replay(vm(), 1);
  EXPECT_EQ(work(), (std::vector<std::string>{
                        "list clear", "list add " + sprite(3),
                        "copy rgb " + sprite(1) + ", 0, 0, " + sprite(4) + ", 0, 0, 1, 1",
                        "list add " + sprite(4), "list draw", "render copy " + sprite(1)}));
}

TEST_F(ImageOpsTest, CreateExOnAQueuedTransitionKeepsTheChildLinksOnly) {
  fake().files = {{"CH01.png", {10, 10}}};
  picture(1);
  engine::LayerSlot& slot = vm().layers[1];
  slot.dwFlags |= layers::kLayerChildren;
  slot.bTransQueued = 1;
  GraphChild link{};
  link.dwMode = layers::kChildLink;
  link.dwSource = 6;
  layers::graph_child_put(slot, 3, link);
  GraphChild blur{};
  blur.dwMode = 5;
  layers::graph_child_put(slot, 1, blur);
  load("  call sp_create_ex(1, file\"CH01\", 5, 6, 10, 10) -> r1\n");
  run();
  EXPECT_EQ(record(1, 3).dwMode, layers::kChildLink);
  EXPECT_EQ(record(1, 3).dwSource, 6u);
  EXPECT_EQ(record(1, 1).dwMode, 0u);
  ASSERT_NE(image(1), nullptr);
  EXPECT_EQ(image(1)->base.pos.x, 5);
  EXPECT_TRUE(logged(10, "sp_create_ex 1, CH01, 5, 6, 10, 10"));
}

}  // namespace
}  // namespace layerstest
