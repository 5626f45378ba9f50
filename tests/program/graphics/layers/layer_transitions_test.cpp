// Layer transitions as scripts: what each command prepares in the layer, what the commit
// starts, and the plain change while skipping.
#include <gtest/gtest.h>

#include "graphics/layers/layer_slots.h"
#include "program/graphics/layers/fake_layer_ops.h"
#include "program/graphics/layers/layers_fixture.h"

namespace layerstest {
namespace {

class LayerTransitionsTest : public LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    install_layer_op_fakes();
    fake().files = {{"CH01.png", {100, 100}}, {"CH02.png", {200, 100}}};
  }
  bool shown(uint32_t sprite) {
    const FakeSprite* s = fake().at(sprite);
    return s && s->visible;
  }
  // Layer 2 shows CH01 at (300, 50).
  uint32_t show_first() {
    load("  call sp_set_ex(file\"CH01\", 2, 300, 50, 0)\n  call run_no_wait\n");
    run();
    return image(2)->hSprite;
  }
};

TEST_F(LayerTransitionsTest, CrossFadeKeepsThePicturesCentredAndRunsAtTheCommit) {
  const uint32_t old_sprite = show_first();
  load(
      "  call sp_set_transition(file\"CH02\", 2, 1, 500) -> r1\n"
      "  call wait_frame\n"
      "  call run_no_wait\n");
  run();
  const engine::LayerSlot& slot = vm().layers[2];
  const uint32_t new_sprite = image(2)->hSprite;
  EXPECT_NE(new_sprite, old_sprite);
  EXPECT_EQ(image(2)->base.pos.x, 250) << "200 wide replacing 100 wide: 50 to the left";
  EXPECT_EQ(image(2)->base.pos.y, 50);
  EXPECT_EQ(slot.dwTransState, 2u);
  EXPECT_EQ(slot.hTransOut, old_sprite);
  EXPECT_EQ(slot.hTransIn, new_sprite);
  EXPECT_TRUE(logged(10, "sp_set_transition  CH02, 2, 1, 500"));
  run();
  EXPECT_TRUE(fake().called("transition " + std::to_string(new_sprite) + " " +
                            std::to_string(old_sprite) + " 1 500"));
  EXPECT_EQ(slot.hTransOut, 0u);
  EXPECT_EQ(slot.bTransQueued, 0u);
  // The platform reports the fade finished: the layer keeps its new picture.
  fake().transition_state = 2;
  layers::layers_frame_update(vm());
  EXPECT_EQ(slot.dwTransState, 0u);
  EXPECT_EQ(image(2)->hSprite, new_sprite);
}

TEST_F(LayerTransitionsTest, WhileSkippingTheNewPictureIsSimplyShownAtTheCommit) {
  const uint32_t old_sprite = show_first();
  vm().run.bSkip = 1;
  load("  call sp_set_transition(file\"CH02\", 2, 1, 500)\n  call wait_frame\n  call run(0,0,0)\n");
  run();
  EXPECT_EQ(vm().layers[2].dwTransState, 0u);
  EXPECT_NE(fake().at(old_sprite), nullptr) << "the old picture stays until the commit";
  run();
  EXPECT_EQ(fake().at(old_sprite), nullptr);
  EXPECT_TRUE(shown(image(2)->hSprite));
  for (const auto& c : fake().calls) EXPECT_NE(c.rfind("transition ", 0), 0u) << c;
}

// Preparing twice before the commit: the picture kept by the first preparation goes with the
// commit instead of staying on screen.
TEST_F(LayerTransitionsTest, SecondPreparationGivesBackTheFirstKeptPicture) {
  const uint32_t first = show_first();
  load(
      "  call sp_set_transition(file\"CH02\", 2, 1, 500)\n"
      "  call sp_set_transition(file\"CH01\", 2, 1, 500)\n"
      "  call run(0, 0, 0)\n");
  run();
  EXPECT_EQ(fake().at(first), nullptr);
}

TEST_F(LayerTransitionsTest, FadeOutClearsTheLayerWhenItEnds) {
  const uint32_t sprite = show_first();
  load(
      "  call sp_cls_transition(2, 1, 300)\n"
      "  call sp_cls_transition(2, 1, 300)\n"
      "  call run_no_wait\n");
  run();
  int starts = 0;
  for (const auto& c : fake().calls)
    starts += c == "transition 0 " + std::to_string(sprite) + " 1 300";
  EXPECT_EQ(starts, 1) << "the second call does nothing";
  EXPECT_EQ(vm().layers[2].dwTransState, 1u);
  fake().transition_state = 2;
  layers::layers_frame_update(vm());
  EXPECT_EQ(image(2), nullptr);
}

// A cross-fade asked for while the layer fades out: cancelling the fade-out clears the layer,
// so there is nothing to fade from; the command says so instead of reading the gone picture.
TEST_F(LayerTransitionsTest, CrossFadeOverAFadeOutFindsTheLayerCleared) {
  show_first();
  load(
      "  call sp_cls_transition(2, 1, 300)\n"
      "  call run_no_wait\n"
      "  call sp_set_transition(file\"CH02\", 2, 1, 500) -> r1\n");
  run();
  EXPECT_EQ(image(2), nullptr);
  EXPECT_TRUE(logged(0, "sprite transition error : no image [2]"));
}

TEST_F(LayerTransitionsTest, CopyImageOfAnEmptyLayerThenTransitionQueuesNothing) {
  load(
      "  call sp_copy_image(4)\n"
      "  call sp_transition(4, 1, 200) -> r1\n"
      "  call run_no_wait\n"
      "  call sp_copy_image(128) -> r2\n");
  run();
  EXPECT_EQ(vm().layers[4].hTransOut, 0u);
  for (const auto& c : fake().calls) EXPECT_NE(c.rfind("transition ", 0), 0u) << c;
  EXPECT_TRUE(logged(0, "no = 128"));
}

TEST_F(LayerTransitionsTest, CopyImageThenLoadThenTransition) {
  const uint32_t old_sprite = show_first();
  load(
      "  call sp_copy_image(2)\n"
      "  call sp_set(file\"CH02\", 2, 10, 0)\n"
      "  call sp_transition(2, 1, 400)\n"
      "  call run_no_wait\n");
  run();
  EXPECT_TRUE(fake().called("transition " + std::to_string(image(2)->hSprite) + " " +
                            std::to_string(old_sprite) + " 1 400"));
  EXPECT_TRUE(logged(10, "sp_transition 2, 1, 400"));
}

}  // namespace
}  // namespace layerstest
