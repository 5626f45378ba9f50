// The pixel access commands on fake sprites whose pixels the test lays out: locked buffers,
// peeks and pokes that stay inside them, the channel copy with its wrap, and the tint.
#include <gtest/gtest.h>

#include "program/graphics/layers/fake_layer_ops.h"
#include "program/graphics/layers/layers_fixture.h"

namespace layerstest {
namespace {

class PixelCommandsTest : public LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    install_layer_op_fakes();
  }
  std::vector<uint32_t>& picture(uint32_t n, int32_t w, int32_t h) {
    engine::LayerSlot& slot = vm().layers[n];
    slot.lpImage = layers::image_alloc(layers::kBaseLayer, n);
    slot.lpImage->hSprite = fake().add("l" + std::to_string(n), w, h);
    std::vector<uint32_t>& px = fake().sprites[slot.lpImage->hSprite].pixels;
    px.assign(size_t(w) * size_t(h), 0);
    return px;
  }
};

// Source 4 x 4 (64 bytes) into destination 8 x 8, alpha bytes (offset 3) of 20 pixels: 61
// source bytes remain, so source pixels 0-14 are taken, then 0-4 again.
TEST_F(PixelCommandsTest, ChannelCopyWrapsTheSourceAndClipsTheDestination) {
  std::vector<uint32_t>& src = picture(1, 4, 4);
  std::vector<uint32_t>& dst = picture(2, 8, 8);
  for (uint32_t i = 0; i < 16; ++i) src[i] = (0x10 + i) << 24 | 0x00ABCDEF;
  load(
      "  call sp_lock_pixels(1, 10, 11)\n"
      "  call sp_lock_pixels(2, 12, 13)\n"
      "  call sp_memcpy_channel(2, t[r0+12], 3, 1, t[r0+10], 3, 20)\n");
  run();
  EXPECT_EQ(vm().tempMem[11], 4u);
  EXPECT_EQ(vm().tempMem[13], 8u);
  for (uint32_t k = 0; k < 64; ++k) {
    const uint32_t want = k < 15 ? (0x10 + k) << 24 : k < 20 ? (0x10 + k - 15) << 24 : 0;
    EXPECT_EQ(dst[k], want) << "pixel " << k;
  }
  // Offset -4 of the destination is its last pixel's blue byte, one pixel only.
  load("  call sp_memcpy_channel(2, t[r0+12], -4, 1, t[r0+10], 0, 10)\n");
  run();
  EXPECT_EQ(dst[63], 0xEFu);
  EXPECT_EQ(dst[62], 0u);
}

TEST_F(PixelCommandsTest, PeeksAndPokesStayInsideTheLockedPixels) {
  std::vector<uint32_t>& px = picture(1, 2, 2);
  picture(2, 2, 2);
  px[1] = 0x44332211;
  load(
      "  call sp_lock_pixels(1, 0, 1)\n"
      "  call sp_lock_pixels(2, 2, 3)\n"
      "  call sp_peek32(1, t[r0+0], 4) -> r1\n"
      "  call sp_peek8(1, t[r0+0], 6) -> r2\n"
      "  call sp_peek8(1, t[r0+0], -1) -> r3\n"
      "  call sp_peek32(1, t[r0+0], 14) -> r4\n"
      "  call sp_poke32(1, t[r0+0], 12, 0x01020304)\n"
      "  call sp_poke8(1, t[r0+0], 16, 9)\n"
      "  call sp_poke8(1, t[r0+2], 0, 9)\n"
      "  call sp_memcpy(2, t[r0+2], 0, 1, t[r0+0], 4, 8)\n"
      "  call sp_memcpy(2, t[r0+2], 12, 1, t[r0+0], 0, 8)\n"
      "  call sp_unlock_pixels(1)\n"
      "  call sp_peek32(1, t[r0+0], 4) -> r5\n");
  run();
  EXPECT_EQ(vm().reg[1], 0x44332211u);
  EXPECT_EQ(vm().reg[2], 0x33u);
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_EQ(vm().reg[4], 0u) << "two bytes past the end";
  EXPECT_EQ(px[3], 0x01020304u);
  EXPECT_EQ(px[0], 0u) << "a buffer value of another layer writes nothing";
  const std::vector<uint32_t>& other = fake().sprites[image(2)->hSprite].pixels;
  EXPECT_EQ(other[0], 0x44332211u);
  EXPECT_EQ(other[1], 0u);
  EXPECT_EQ(other[3], 0u) << "a copy that would leave the buffer copies nothing";
  EXPECT_EQ(vm().reg[5], 0u) << "unlocked";
}

TEST_F(PixelCommandsTest, LockWhileSkippingHandsOutNothing) {
  std::vector<uint32_t>& px = picture(1, 2, 2);
  vm().run.bHistorySkip = 1;
  vm().tempMem[0] = vm().tempMem[1] = 77;
  load("  call sp_lock_pixels(1, 0, 1)\n  call sp_poke32(1, t[r0+0], 0, -1)\n");
  run();
  EXPECT_EQ(vm().tempMem[0], 0u);
  EXPECT_EQ(vm().tempMem[1], 0u);
  EXPECT_EQ(px[0], 0u);
}

TEST_F(PixelCommandsTest, UpdateArgbMultipliesEachByteAndClipsTheRectangle) {
  std::vector<uint32_t>& px = picture(1, 3, 2);
  px.assign(6, 0xFFFFFFFFu);
  load(
      "  call sp_update_argb(1, 0, 0, 1, 1, -1)\n"
      "  mov r9, 0x80FF\n"
      "  shl r9, 16\n"
      "  call sp_update_argb(1, 1, 1, 9, 9, r9)\n"
      "  call sp_update_argb(5, 0, 0, 1, 1, 0) -> r1\n");
  run();
  EXPECT_EQ(px[0], 0xFEFEFEFEu);
  EXPECT_EQ(px[1], 0xFFFFFFFFu);
  EXPECT_EQ(px[4], 0x7FFE0000u);
  EXPECT_EQ(px[5], 0x7FFE0000u);
  EXPECT_TRUE(logged(0, "not image... sp_update_argb 5"));
  EXPECT_TRUE(logged(10, "sp_update_argb  1, (0,0),(1,1),FFFFFFFF"));
}

}  // namespace
}  // namespace layerstest
