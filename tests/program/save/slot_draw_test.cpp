// The slot queries that draw into a layer, on the software renderer: thumbnail_set copies the
// file's own thumbnail, clipped to the sprite it draws into, and refuses a file whose thumbnail
// sizes disagree; the text queries make the layer's text sprite.
#include <cstring>

#include "Orv/core_record.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "engine/operand.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "orv/orv.h"
#include "program/save/save_fixture.h"
#include "support/render_fixture.h"

namespace savetest {
namespace {

class SlotDraw : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    std::memset(static_cast<void*>(layers::image_table), 0, sizeof layers::image_table);
    list_ = rendertest::software_render_start(640, 480);
    ASSERT_NE(list_, 0u);
    load(
        "idle:\n  call wait_frame\n  jmp idle\n"
        "pic:\n  call load_thumbnail(file\"#FF102030\")\n  jmp idle\n"
        "nopic:\n  call load_thumbnail(file\"NOSUCHPIC\")\n  jmp idle\n"
        "screen:\n  call load_thumbnail(0x0FFFFFFF)\n  jmp idle\n");
    // The thumbnail: pixel (x, y) = 0xFF000000 | y << 8 | x.
    auto* px = reinterpret_cast<uint32_t*>(vm().save.lpThumbPixels);
    for (uint32_t y = 0; y < 4; ++y) {
      for (uint32_t x = 0; x < 8; ++x) px[y * 8 + x] = 0xFF000000u | y << 8 | x;
    }
    std::strcpy(vm().save.szSaveText, "the line of slot two");
    snap(0);
    call(0x0A0000, {2, 0});
  }
  void TearDown() override {
    layers::layers_clear_all(vm());
    layers::display_ops_commit(vm());
    rendertest::software_render_stop(list_);
    SaveTest::TearDown();
  }
  // Gives layer n an image of w x h pixels, all 0.
  uint32_t sprite_on(uint32_t n, int32_t w, int32_t h) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    image->hSprite = OrvSpriteCreate(list_, w, h, 100);
    int32_t sw = 0, sh = 0;
    uint32_t* p = OrvSpriteLock(image->hSprite, &sw, &sh);
    std::memset(p, 0, size_t(sw) * sh * 4);
    OrvSpriteUnlock(image->hSprite);
    vm().layers[n].lpImage = image;
    return image->hSprite;
  }
  uint32_t pixel(uint32_t sprite, int32_t x, int32_t y) {
    int32_t sw = 0, sh = 0;
    uint32_t* p = OrvSpriteLock(sprite, &sw, &sh);
    const uint32_t v = (x < sw && y < sh) ? p[y * sw + x] : 0xDEADu;
    OrvSpriteUnlock(sprite);
    return v;
  }
  OrvHandle list_ = 0;
};

TEST_F(SlotDraw, ThumbnailIsClippedToTheSprite) {
  const uint32_t sprite = sprite_on(5, 6, 3);
  int32_t sw = 0, sh = 0;
  OrvSpriteLock(sprite, &sw, &sh);
  OrvSpriteUnlock(sprite);
  call(0x0A0005, {5, 2, static_cast<uint32_t>(-2), 1});  // thumbnail_set 5, 2, -2, 1
  EXPECT_EQ(pixel(sprite, 0, 1), 0xFF000002u);           // thumbnail column 2, row 0
  EXPECT_EQ(pixel(sprite, 1, 2), 0xFF000103u);
  EXPECT_EQ(pixel(sprite, 0, 0), 0u);  // above the copy
  // Columns past the sprite's storage are left out (the sanitizer build sees any overrun); inside
  // it the copy goes on with the thumbnail's columns.
  EXPECT_EQ(pixel(sprite, 5, 1), 0xFF000007u);
  // A new layer gets a sprite of the thumbnail's size with every pixel.
  call(0x0A0005, {6, 2, 10, 20});
  ASSERT_NE(vm().layers[6].lpImage, nullptr);
  const uint32_t fresh = vm().layers[6].lpImage->hSprite;
  EXPECT_EQ(pixel(fresh, 7, 3), 0xFF000307u);
  EXPECT_EQ(vm().layers[6].lpImage->base.pos.x, 10);
}

TEST_F(SlotDraw, DamagedOrMissingFilesDrawNothing) {
  std::string file = slot_file(2);
  codec::store_u32(reinterpret_cast<uint8_t*>(file.data()) + 4116, 100);  // width unlike S
  put("save/save003.dat", file);
  call(0x0A0005, {7, 3, 0, 0});
  EXPECT_EQ(vm().layers[7].lpImage, nullptr);
  EXPECT_TRUE(logged(0, "no thumbnail in SaveFileNo(3)"));
  call(0x0A0005, {7, 9, 0, 0});
  EXPECT_TRUE(logged(10, "open error SaveFileNo(9)"));
  EXPECT_EQ(vm().layers[7].lpImage, nullptr);
  call(0x0A0005, {128, 2, 0, 0});  // no such layer
  EXPECT_TRUE(logged(0, "layer 128 outside 0-127"));
}

TEST_F(SlotDraw, TextQueriesMakeTheLayersTextSprite) {
  call(0x0A000E, {8, 2, 4, 5, 1});  // get_save_date_text, format 1
  ASSERT_NE(vm().layers[8].lpImage, nullptr);
  EXPECT_NE(vm().layers[8].lpImage->hSprite, 0u);
  call(0x0A000D, {8, 2, 4, 5, 0});  // redraws the same sprite
  call(0x0A0010, {9, 2, 0, 0});     // get_save_text
  ASSERT_NE(vm().layers[9].lpImage, nullptr);
  EXPECT_TRUE(logged(10, "get_save_text  9, 2, 0, 0"));
}

TEST_F(SlotDraw, ASnapshotDuringASkipKeepsTheThumbnail) {
  engine::SaveStream& s = vm().save;
  s.bThumbEnabled = 1;
  std::memset(s.lpThumbPixels, 0x5A, s.dwThumbSize);
  vm().run.bSceneSkip = 1;
  snap(0);
  EXPECT_EQ(s.lpThumbPixels[17], 0x5A);
  vm().run.bSceneSkip = 0;
  snap(0);  // a new picture of the (empty, black) screen
  EXPECT_NE(codec::load_u32(s.lpThumbPixels), 0x5A5A5A5Au);
}

// Runs the script from label number n (idle 1, pic 2, nopic 3, screen 4) to the idle loop.
TEST_F(SlotDraw, LoadThumbnailPutsAPictureIntoTheFollowingSaves) {
  auto run_label = [&](uint32_t n) {
    uint32_t pc = 0;
    ASSERT_TRUE(engine::label_target(vm(), n, &pc));
    vm().runner.dwPc = pc;
    run();
  };
  vm().save.bThumbEnabled = 1;
  run_label(2);
  EXPECT_EQ(vm().save.bThumbEnabled, 0u);
  const auto* px = reinterpret_cast<const uint32_t*>(vm().save.lpThumbPixels);
  EXPECT_EQ(px[0], 0xFF102030u);
  EXPECT_EQ(px[31], 0xFF102030u);
  // The next save carries it.
  snap(0);
  call(0x0A0000, {4, 0});
  EXPECT_EQ(codec::load_u32(reinterpret_cast<const uint8_t*>(slot_file(4).data()) + 4132 + 4 * 9),
            0xFF102030u);
  run_label(3);  // a picture that does not load clears the thumbnail
  EXPECT_EQ(px[5], 0u);
  run_label(4);
  EXPECT_EQ(vm().save.bThumbEnabled, 1u);
}

}  // namespace
}  // namespace savetest
