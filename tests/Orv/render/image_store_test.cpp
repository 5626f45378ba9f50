#include <gtest/gtest.h>

#include <vector>

#include "Orv/render/image_store.h"
#include "Orv/render/render_state.h"

namespace {

int32_t slot_index(const ImageObject* image) {
  return static_cast<int32_t>(image->slot - orv_render().images.slots.data());
}

// The pool keeps free slots in a heap: whatever the order of releases, a new image takes the
// lowest free slot, and a full pool refuses until one is released.
TEST(ImagePool, NewImagesTakeTheLowestFreeSlotAndAFullPoolRefuses) {
  image_pool_init(4);
  std::vector<ImageObject*> images;
  for (int i = 0; i < 4; ++i) images.push_back(image_create(2, 2, "x"));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(slot_index(images[i]), i);
  EXPECT_EQ(image_create(2, 2, "full"), nullptr);
  image_release(images[3]);
  image_release(images[1]);
  image_release(images[2]);
  EXPECT_EQ(image_pool_used(), 1);
  ImageObject* a = image_create(1, 1, "a");
  ImageObject* b = image_create(1, 1, "b");
  ImageObject* c = image_create(1, 1, "c");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(slot_index(a), 1);
  EXPECT_EQ(slot_index(b), 2);
  EXPECT_EQ(slot_index(c), 3);
  EXPECT_EQ(image_create(1, 1, "full"), nullptr);
  for (ImageObject* i : {images[0], a, b, c}) image_release(i);
  EXPECT_EQ(image_pool_used(), 0);
  image_pool_uninit();
}

}  // namespace
