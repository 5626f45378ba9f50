// The animation player on .ani files laid out by hand: prologue, start, tracks and their end
// states, scene skip, sub-players, and what it does with files that break the format.
#include "anim_fixture.h"

namespace animtest {
namespace {

using animations::AdvAnimGetStatus;
using animations::AdvAnimStart;
using animations::IsAnim;

class AnimPlayerTest : public AnimTest {};

TEST_F(AnimPlayerTest, PrologueRunsAtLoadThenTheProgramWaitsForItsStart) {
  AniBytes a;
  const uint32_t start = a.op(252);
  a.op(12, {2, 1});    // cell 2, 1
  a.op(7, {5, 0, 0});  // offset at once
  a.op(253);
  a.op(0, {100, 0, 0, 1000});
  a.op(1, {-1});
  write("PRO", a.file(start));
  layers::ImageRecord& image = picture(3);
  ASSERT_EQ(animations::anim_load(vm(), "PRO", &image), 1u);
  const uint32_t no = image.dwAnimeNo;
  EXPECT_EQ(no, 1u);
  EXPECT_TRUE(fake().called("cell " + std::to_string(image.hSprite) + " 2 1"));
  EXPECT_EQ(image.animSet.pos.x, 5);
  EXPECT_EQ(image.animSet.fPos.x, 5.0f);
  EXPECT_EQ(AdvAnimGetStatus(no), 4u);
  frame(10500);
  EXPECT_EQ(image.frame.animPos.x, 0) << "an unstarted program's tracks do not run";
  AdvAnimStart(vm(), no);
  EXPECT_EQ(AdvAnimGetStatus(no), 3u) << "the wait of -1 holds the op stream";
  EXPECT_EQ(AdvAnimStart(vm(), no), 1u) << "a running slot is left alone";
  frame(11000);
  EXPECT_EQ(image.frame.animPos.x, 50);
  frame(60000);
  EXPECT_EQ(image.animSet.pos.x, 105);
  EXPECT_EQ(AdvAnimGetStatus(no), 3u) << "a wait of -1 never ends by itself";
}

// A move followed by the end: the move's end state goes into animSet at once, and finishing
// drops it, or after op 19 keeps it in the offsets.
TEST_F(AnimPlayerTest, AProgramEndingAtOnceDropsOrKeepsItsEndState) {
  for (bool keep : {false, true}) {
    AniBytes a;
    if (keep) a.op(19);
    a.op(0, {100, -20, 0, 1000});
    a.op(255);
    write("END", a.file(0));
    layers::ImageRecord& image = picture(0);
    image.base.dwColor = 0x80FFFFFF;
    ASSERT_EQ(animations::anim_load(vm(), "END", &image), 1u);
    const uint32_t no = image.dwAnimeNo;
    AdvAnimStart(vm(), no);
    EXPECT_EQ(IsAnim(no), 1u) << "the step that ended is acted on by the frame";
    frame(10000);
    EXPECT_EQ(IsAnim(no), 0u);
    EXPECT_EQ(image.dwAnimeNo, 0u);
    EXPECT_EQ(image.animSet.pos.x, 0);
    EXPECT_EQ(image.base.posOfs.x, keep ? 100 : 0);
    EXPECT_EQ(image.base.posOfs.y, keep ? -20 : 0);
    EXPECT_EQ(image.base.fPosOfs.x, keep ? 100.0f : 0.0f);
    EXPECT_EQ(image.base.dwColor, 0x80FFFFFFu);
    layers::layer_release_now(vm(), vm().layers[0]);
  }
}

TEST_F(AnimPlayerTest, MoveCurvesFollowTheirRates) {
  struct Case {
    uint8_t op;
    uint32_t at;
    int32_t x;
  };
  // Linear; decelerating (0 until about 56 ms, 50 at about 237 ms); accelerating (about 16 at
  // half the time, all of it at about 985 ms); sine out (sin(pi/4) at half the time).
  const Case cases[] = {{0, 500, 50},  {0, 999, 99},  {15, 50, 0},    {15, 237, 49},
                        {15, 240, 50}, {14, 500, 16}, {14, 985, 100}, {18, 500, 70}};
  for (const Case& c : cases) {
    AniBytes a;
    a.op(c.op, {100, 0, 0, 1000});
    a.op(1, {-1});
    write("MOVE", a.file(0));
    layers::ImageRecord& image = started("MOVE");
    frame(10000 + c.at);
    EXPECT_EQ(image.frame.animPos.x, c.x) << "op " << int(c.op) << " at " << c.at;
    frame(11000);
    EXPECT_EQ(image.animSet.pos.x, 100) << "op " << int(c.op);
    EXPECT_EQ(image.frame.animPos.x, 0);
    layers::layer_release_now(vm(), vm().layers[0]);
  }
}

TEST_F(AnimPlayerTest, TracksLeaveTheirFullDeltaWhenTheyFinish) {
  AniBytes a;
  a.op(3, {-255, 500});      // alpha
  a.op(2, {50, 0});          // scale +50 % over time 0 (taken as 1 ms)
  a.op(4, {0, 0, 90, 400});  // rotate
  a.op(254, {600});
  a.op(255);
  write("FADE", a.file(0));
  layers::ImageRecord& image = started("FADE");
  frame(10250);
  EXPECT_EQ(image.frame.animColor.a, -127);
  EXPECT_EQ(image.animSet.scale.x, 0.5f);
  EXPECT_EQ(image.frame.animRot.z, 56);
  frame(10500);
  EXPECT_EQ(image.animSet.color.a, -255);
  EXPECT_EQ(image.animSet.rot.z, 90);
  EXPECT_EQ(image.animSet.fRot.z, 90.0f);
  EXPECT_NE(image.dwAnimeNo, 0u);
  frame(10600);  // the wait ends; the op stream goes on in the next frame
  EXPECT_NE(image.dwAnimeNo, 0u);
  frame(10617);
  EXPECT_EQ(image.dwAnimeNo, 0u);
  EXPECT_EQ(image.animSet.color.a, 0) << "dropped with the finished slot";
}

TEST_F(AnimPlayerTest, SceneSkipRunsAProgramThroughInOneFrameAndALoopOncePerFrame) {
  AniBytes a;
  a.op(1, {500});
  a.op(0, {30, 0, 0, 1000});
  a.op(1, {-1});
  a.op(255);
  write("SKIP", a.file(0));
  AniBytes loop;
  const uint32_t top = loop.op(7, {1, 0, 0});
  loop.op(10, {0});
  write("LOOP", loop.file(0, {top}));
  vm().run.bSceneSkip = 1;
  layers::ImageRecord& image = picture(0);
  ASSERT_EQ(animations::anim_load(vm(), "SKIP", &image), 1u);
  EXPECT_EQ(image.dwAnimeNo, 0u) << "ended and finished while loading";
  layers::ImageRecord& looping = picture(1);
  ASSERT_EQ(animations::anim_load(vm(), "LOOP", &looping), 1u);
  EXPECT_EQ(looping.animSet.pos.x, 1);
  frame(10016);
  frame(10032);
  EXPECT_EQ(looping.animSet.pos.x, 3);
}

TEST_F(AnimPlayerTest, StepTrackWalksOneUnitPerFrameAndResumesTheProgram) {
  for (auto [tx, ty, steps] : {std::tuple{3, 4, 5}, std::tuple{0, 0, 1}}) {
    AniBytes a;
    a.op(20, {tx, ty, 0});
    a.op(7, {0, 1000, 0});
    a.op(1, {-1});
    write("STEP", a.file(0));
    layers::ImageRecord& image = started("STEP");
    for (int i = 1; i < steps; ++i) frame(10000 + i);
    EXPECT_EQ(image.animSet.pos.x, 0) << tx << "," << ty;
    frame(10000 + steps);
    EXPECT_EQ(image.animSet.pos.x, tx);
    EXPECT_EQ(image.animSet.pos.y, ty);
    frame(10100);
    EXPECT_EQ(image.animSet.pos.y, ty + 1000) << "the program goes on after the walk";
    layers::layer_release_now(vm(), vm().layers[0]);
  }
}

// Scene skip at a blocking op applies the running tracks' end states at once: a circle that
// keeps its end point leaves it, one that returns leaves nothing.
TEST_F(AnimPlayerTest, CircleCutShortKeepsItsEndPointOnlyWhenItKeeps) {
  for (uint8_t code : {21, 22}) {
    AniBytes a;
    a.op(19);
    // Radius 10 on both axes, a quarter turn on x: ends at x = 10 sin(quarter turn) = 10,
    // y = 10 cos(quarter turn) = 0.
    a.op(code, {0, 0, 10, 10, 128, 128, 0, 0, 1000});
    a.op(1, {16});
    a.op(1, {1000});
    a.op(255);
    write("CIRC", a.file(0));
    layers::ImageRecord& image = started("CIRC");
    frame(10016);
    EXPECT_EQ(image.frame.animPos.y, 9) << "the circle starts at its top";
    vm().run.bSceneSkip = 1;
    frame(10032);
    vm().run.bSceneSkip = 0;
    EXPECT_EQ(image.dwAnimeNo, 0u);
    EXPECT_EQ(image.base.posOfs.x, code == 21 ? 10 : 0);
    EXPECT_EQ(image.base.posOfs.y, 0);
    layers::layer_release_now(vm(), vm().layers[0]);
  }
}

TEST_F(AnimPlayerTest, SubPlayerRunsItsLabelBesideTheProgramAndIsReplacedOnItsIndex) {
  AniBytes a;
  const uint32_t sub = a.op(7, {0, 1, 0});
  a.op(255);
  const uint32_t main = a.op(11, {2, 0});
  a.op(11, {2, 0});   // the same index again: the first sub-player ends
  a.op(11, {9, 0});   // no such index
  a.op(11, {3, 77});  // no such label
  a.op(1, {-1});
  write("SUB", a.file(main, {sub}));
  layers::ImageRecord& image = started("SUB");
  EXPECT_TRUE(logged(0, "anim sub player 9"));
  EXPECT_TRUE(logged(0, "anim label 77"));
  const animations::AnimSlot& slot = animations::anim_slots[image.dwAnimeNo - 1];
  ASSERT_NE(slot.lpSubPlayer[2], nullptr);
  EXPECT_EQ(slot.lpSubPlayer[3], nullptr);
  EXPECT_EQ(image.animSet.pos.y, 0) << "a sub-player first runs in the next frame";
  frame(10016);
  EXPECT_EQ(image.animSet.pos.y, 1);
  EXPECT_EQ(slot.lpSubPlayer[2], nullptr) << "ended and freed";
  EXPECT_EQ(slot.dwState, 3u);
}

// Files that break the format: the load is refused or the program ends where it breaks;
// nothing is read outside the data and nothing hangs.
TEST_F(AnimPlayerTest, BrokenFilesEndOrAreRefused) {
  AniBytes a;
  a.op(0, {1, 2, 3, 4});
  write("BADSTART", a.file(500));
  write("TINY", std::string(8, '\0'));
  layers::ImageRecord& image = picture(0);
  EXPECT_EQ(animations::anim_load(vm(), "BADSTART", &image), 0u);
  EXPECT_EQ(image.dwAnimeNo, 0u);
  EXPECT_TRUE(logged(0, "broken ani [BADSTART.ani]"));
  EXPECT_EQ(animations::anim_load(vm(), "TINY", &image), 0u);
  EXPECT_EQ(animations::anim_load(vm(), "NONE", &image), 0u);
  EXPECT_TRUE(logged(0, "[NONE.ani] の読み込みに失敗"));
  EXPECT_EQ(IsAnim(1), 0u) << "the slot stays free";

  AniBytes jump;
  jump.op(7, {1, 0, 0});
  jump.op(10, {5});  // label 5 is not in the file
  write("BADJUMP", jump.file(0, {0}));
  AniBytes cut;
  cut.op(7, {1, 0, 0});
  cut.op(0, {1});  // operands cut off by the end of the stream
  write("CUT", cut.file(0));
  AniBytes spin;  // a loop without a blocking op
  spin.op(7, {1, 0, 0});
  spin.op(10, {0});
  write("SPIN", spin.file(0, {0}));
  AniBytes spam;  // a loop of ops that each fail and log: the step's op budget ends it first
  spam.op(7, {1, 0, 0});
  for (int i = 0; i < 7; ++i) spam.op(11, {99, 0});
  spam.op(10, {0});
  write("SPAM", spam.file(0, {0}));
  for (const char* name : {"BADJUMP", "CUT", "SPIN", "SPAM"}) {
    layers::ImageRecord& img = picture(1);
    ASSERT_EQ(animations::anim_load(vm(), name, &img), 1u) << name;
    animations::AnimSlot& slot = animations::anim_slots[img.dwAnimeNo - 1];
    AdvAnimStart(vm(), img.dwAnimeNo);
    if (std::string(name) == "SPIN") {
      EXPECT_EQ(img.animSet.pos.x, 256) << "a step ends after 256 jumps";
      EXPECT_EQ(animations::anim_step(vm(), slot), 1u);
    } else if (std::string(name) == "SPAM") {
      EXPECT_EQ(img.animSet.pos.x, 114) << "1,024 ops of nine-op loops: 114 moves, 113 jumps";
    } else {
      EXPECT_EQ(img.animSet.pos.x, 1) << name;
      EXPECT_EQ(animations::anim_step(vm(), slot), 0u) << name << ": an ended program stays ended";
      EXPECT_EQ(img.animSet.pos.x, 1) << name;
    }
    layers::layer_release_now(vm(), vm().layers[1]);
    EXPECT_EQ(slot.dwUsed, 0u) << "the picture's release ends its animation";
  }
}

TEST_F(AnimPlayerTest, SlotNumbersAreCheckedAndTheLastFreeSlotIsTheLimit) {
  AniBytes a;
  a.op(1, {-1});
  write("IDLE", a.file(0));
  for (uint32_t n = 0; n < 128; ++n) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    ASSERT_EQ(animations::anim_load(vm(), "IDLE", image), 1u);
    EXPECT_EQ(image->dwAnimeNo, n + 1);
  }
  layers::ImageRecord* extra = layers::image_alloc(layers::kBaseSystem, 0);
  EXPECT_EQ(animations::anim_load(vm(), "IDLE", extra), 0u);
  EXPECT_EQ(extra->dwAnimeNo, 0u);
  EXPECT_TRUE(logged(0, "anim_load no free slot [IDLE]"));
  EXPECT_EQ(AdvAnimStart(vm(), 129), 0u);
  EXPECT_TRUE(logged(0, "*** ERROR AdvAnimStart 129 (1-128)"));
  EXPECT_EQ(AdvAnimGetStatus(200), 0u);
  EXPECT_TRUE(logged(0, "*** ERROR AdvAnimGetStatus 200 (1-128)"));
  EXPECT_EQ(IsAnim(0), 0u);
  animations::anim_release_all(vm());
  for (uint32_t n = 1; n <= 128; ++n) ASSERT_EQ(IsAnim(n), 0u);
  EXPECT_EQ(animations::anim_slots[128].lpNext, nullptr);
}

}  // namespace
}  // namespace animtest
