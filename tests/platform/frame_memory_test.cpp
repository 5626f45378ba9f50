#include "platform/frame_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Blocks below, at and above the large-page size, odd lengths among them: each arrives
// zeroed, every byte of it can be written and read back, large ones start on a 2 MiB
// boundary, and each goes back without harm (twice over, so a wrong length given back to the
// system would show as a fault or as a block that is not zero the second time).
TEST(FrameMemory, BlocksArriveZeroedWritableAndAligned) {
  constexpr size_t kLarge = size_t{2} << 20;
  const size_t sizes[] = {1, 4096, kLarge - 1, kLarge, 1280 * 720 * 4, 3 * kLarge + 5};
  for (int round = 0; round < 2; ++round) {
    for (size_t bytes : sizes) {
      auto* block = static_cast<uint8_t*>(platform::frame_memory_alloc(bytes));
      ASSERT_NE(block, nullptr) << bytes;
      if (bytes >= kLarge) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kLarge, 0u) << bytes;
      }
      size_t nonzero = 0;
      for (size_t i = 0; i < bytes; ++i) nonzero += block[i] != 0;
      EXPECT_EQ(nonzero, 0u) << bytes;
      for (size_t i = 0; i < bytes; ++i) block[i] = static_cast<uint8_t>(i * 7 + 1);
      size_t wrong = 0;
      for (size_t i = 0; i < bytes; ++i) wrong += block[i] != static_cast<uint8_t>(i * 7 + 1);
      EXPECT_EQ(wrong, 0u) << bytes;
      platform::frame_memory_free(block, bytes);
    }
  }
  platform::frame_memory_free(nullptr, kLarge);
}

// A vector on the allocator is zero after resize, without a pass over it.
TEST(FrameMemory, VectorResizedIsZero) {
  std::vector<uint32_t, platform::FrameAllocator<uint32_t>> frame;
  frame.resize(1280 * 720);
  size_t nonzero = 0;
  for (uint32_t v : frame) nonzero += v != 0;
  EXPECT_EQ(nonzero, 0u);
}

}  // namespace
