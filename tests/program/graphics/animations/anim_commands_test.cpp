// The layer animation commands as assembled scripts: attach, start now or at the next commit,
// replace, clear.
#include "anim_fixture.h"

namespace animtest {
namespace {

class AnimCommandsTest : public AnimTest {
 protected:
  void SetUp() override {
    AnimTest::SetUp();
    AniBytes a;
    a.op(7, {10, 0, 0});
    a.op(1, {-1});
    write("WALK", a.file(0));
  }
};

TEST_F(AnimCommandsTest, StartLaterWaitsForTheNextCommit) {
  layers::ImageRecord& image = picture(2);
  load(
      "  call sp_set_anime(2, file\"WALK\", 1) -> r1\n"
      "  call wait_frame\n"
      "  call run_no_wait\n");
  run();
  EXPECT_EQ(image.dwAnimeNo, 1u);
  EXPECT_EQ(image.graphicInfo.flags & layers::kGraphicAnimation, layers::kGraphicAnimation);
  EXPECT_EQ(std::string(image.graphicInfo.aniName), "WALK");
  EXPECT_EQ(image.animSet.pos.x, 0);
  EXPECT_TRUE(logged(10, "sp_set_anime  2, WALK, 1"));
  run();
  EXPECT_EQ(image.animSet.pos.x, 10);
}

TEST_F(AnimCommandsTest, SettingTwiceEndsTheFirstAndClearingAnEmptyLayerIsQuiet) {
  layers::ImageRecord& image = picture(4);
  load(
      "  call sp_set_anime(4, file\"WALK\", 0)\n"
      "  call sp_set_anime_ex(4, file\"WALK\", 0, 1, 2, 3, 4, 5, 6, 7, 8)\n"
      "  call sp_anime_clear(9) -> r1\n"
      "  call sp_set_anime_ex(128, file\"WALK\", 0, 1, 2, 3, 4, 5, 6, 7, 8)\n");
  run();
  EXPECT_EQ(image.dwAnimeNo, 1u) << "the first slot was freed before the second load";
  EXPECT_EQ(animations::IsAnim(2), 0u);
  EXPECT_EQ(image.animSet.pos.x, 10) << "the first one's end state was dropped";
  EXPECT_FALSE(logged(10, "sp_anime_clear"));
  EXPECT_TRUE(logged(0, "illegal layer : sp_set_anime_ex 128"));
  load("  call sp_anime_clear(4)\n");
  run();
  EXPECT_EQ(image.dwAnimeNo, 0u);
  EXPECT_EQ(image.animSet.pos.x, 0);
  EXPECT_TRUE(logged(10, "sp_anime_clear 4"));
}

}  // namespace
}  // namespace animtest
