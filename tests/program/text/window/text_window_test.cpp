// The window's commands and operations: sizes, refusals, pictures, icons and their places.
#include <cstring>

#include "graphics/layers/image_record.h"
#include "program/text/window/ani_on_load.h"
#include "program/text/window/fake_animations.h"
#include "program/text/window/text_window_fixture.h"
#include "text/window/text_page.h"
#include "text/window/text_wait.h"

namespace textwindowtest {
namespace {

constexpr uint32_t kInit = 0x020000, kSetIcon = 0x020001, kUninit = 0x020006, kSetRect = 0x020007,
                   kSetBase = 0x020016, kSetPriority = 0x020033;
constexpr uint32_t kSlot0 = 0x10000000;

class WindowTest : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    fake().files = {{"ICON0.png", {96, 32}}, {"ICON1.png", {32, 32}}, {"BASE.png", {1280, 220}}};
  }
  uint32_t init(int32_t width = 302) {
    return call(kInit, {24, 10, 500, u(width), 100, 5, 460, 0});
  }
  uint32_t icon(int32_t n, const char* file, int32_t x = 0, int32_t y = 0) {
    std::strcpy(vm().strings.slots[0], file);
    return call(kSetIcon, {u(n), kSlot0, u(x), u(y)});
  }
  FakeAnimations anims;  // recording once a test installs it
};

TEST_F(WindowTest, InitRoundsTheWidthAndSizesTheSpritesAsPowersOfTwo) {
  ASSERT_EQ(init(302), 1u);
  EXPECT_TRUE(logged(10, "text_init 24, 10, 500, 302, 100, 5, 460, 0"));
  EXPECT_EQ(tw().nWidth, 304);
  EXPECT_EQ(tw().bInit, 1u);
  EXPECT_EQ(tw().dwButtonGroup, 0xFFFFu);
  EXPECT_EQ(tw().nEndX, 10);
  EXPECT_EQ(tw().nEndY, 500);
  const layerstest::FakeSprite* m = sprite(tw().lpMessage);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->w, 512);  // 304 + 24 + 0 -> 512
  EXPECT_EQ(m->h, 128);
  EXPECT_EQ(m->visible, 0);
  EXPECT_EQ(tw().lpMessage->base.pos.x, 10);
  EXPECT_EQ(tw().lpMessage->dwIndex, 4u);
  const layerstest::FakeSprite* n = sprite(tw().lpName);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->w, 1024);
  EXPECT_EQ(n->h, 64);
  EXPECT_EQ(tw().lpName->base.pos.y, 460);
  // The reveal area: 304 + 24 raised to a multiple of 4, plus 8.
  EXPECT_EQ(tw().reveal.nWidth, 336);
  EXPECT_EQ(tw().reveal.nHeight, 100);
  EXPECT_EQ(input.size, 24);
  EXPECT_EQ(init(300), 1u);
  EXPECT_EQ(tw().nWidth, 300);
}

// A size past the bound would make a window whose saved games the load check refuses.
TEST_F(WindowTest, InitRefusesNegativeAndOversizedSizes) {
  const struct {
    std::vector<uint32_t> args;
  } cases[] = {{{u(-1), 0, 0, 300, 100, 0, 0, 0}},     {{24, 0, 0, u(-4), 100, 0, 0, 0}},
               {{24, 0, 0, 300, u(-1), 0, 0, 0}},      {{24, 0, 0, 300, 100, 0, 0, u(-2)}},
               {{24, 0, 0, 0x7FFFFFFF, 100, 0, 0, 0}}, {{16385, 0, 0, 300, 100, 0, 0, 0}},
               {{24, 0, 0, 16385, 100, 0, 0, 0}},      {{24, 0, 0, 300, 16385, 0, 0, 0}},
               {{24, 0, 0, 300, 100, 0, 0, 16385}}};
  for (const auto& c : cases) {
    EXPECT_EQ(call(kInit, c.args), 0u);
    EXPECT_EQ(tw().bInit, 0u);
    EXPECT_EQ(tw().reveal.lpOrder, nullptr);
  }
  EXPECT_TRUE(logged(0, "text_init : invalid size"));
}

TEST_F(WindowTest, CommandsRefuseToWorkBeforeInitAndAfterUninit) {
  auto refused_all = [&] {
    EXPECT_EQ(icon(0, "ICON0"), 0u);
    EXPECT_EQ(call(kUninit, {}), 0u);
    EXPECT_EQ(call(kSetRect, {0, 10, 10, 10, 10}), 0u);
    std::strcpy(vm().strings.slots[0], "BASE");
    EXPECT_EQ(call(kSetBase, {kSlot0, 0, 0, 0}), 0u);
    for (const char* name : {"text_set_icon", "text_uninit", "text_set_rect", "text_set_base"}) {
      EXPECT_TRUE(logged(0, std::string("text initialize error : ") + name)) << name;
    }
    EXPECT_EQ(tw().lpBase, nullptr);
    EXPECT_EQ(tw().icons[0].lpImage, nullptr);
  };
  refused_all();
  EXPECT_EQ(call(kSetPriority, {4000}), 1u);  // needs no window
  EXPECT_EQ(engine::text_settings.nPriority, 4000);

  ASSERT_EQ(init(), 1u);
  EXPECT_EQ(fake().at(tw().lpMessage->hSprite) != nullptr, true);
  const uint32_t message = tw().lpMessage->hSprite;
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  EXPECT_EQ(call(kUninit, {}), 1u);
  // Released at the next commit, and the record is all zero: the group reads 0, not none.
  EXPECT_EQ(tw().bInit, 0u);
  EXPECT_EQ(tw().dwButtonGroup, 0u);
  EXPECT_EQ(tw().lpMessage, nullptr);
  EXPECT_EQ(tw().reveal.lpAlpha, nullptr);
  layers::display_ops_commit(vm());
  EXPECT_TRUE(fake().called("release " + std::to_string(message)));
  logs_.clear();
  refused_all();
}

TEST_F(WindowTest, IconsLoadOnlyIntoTheirThreeSlots) {
  ASSERT_EQ(init(), 1u);
  EXPECT_EQ(icon(3, "ICON0"), 0u);
  EXPECT_EQ(icon(-1, "ICON0"), 0u);
  EXPECT_TRUE(logged(0, "text_set_icon : invalid icon 3"));
  EXPECT_EQ(icon(1, "NOPE"), 0u);  // does not load: the slot stays empty
  EXPECT_EQ(tw().icons[1].lpImage, nullptr);

  ASSERT_EQ(icon(0, "ICON0", 700, 650), 1u);
  const layers::ImageRecord* i0 = tw().icons[0].lpImage;
  ASSERT_NE(i0, nullptr);
  EXPECT_EQ(i0->dwIndex, 1u);
  EXPECT_EQ(i0->base.pos.x, 700);
  EXPECT_EQ(i0->base.pos.y, 650);
  // The position kept in the picture wins for 0x0FFFFFFF, 0x0FFFFFFF.
  fake().sprites.clear();
  ASSERT_EQ(icon(2, "ICON1", 0x0FFFFFFF, 0x0FFFFFFF), 1u);
  EXPECT_EQ(tw().icons[2].lpImage->dwIndex, 3u);
  EXPECT_EQ(tw().icons[2].lpImage->base.pos.x, 0);

  std::strcpy(vm().strings.slots[0], "BASE");
  ASSERT_EQ(call(kSetBase, {kSlot0, 0, 500, 1}), 1u);
  EXPECT_EQ(tw().lpBase->dwIndex, 0u);
  EXPECT_EQ(gs().settings.nTextBaseImage, static_cast<int32_t>(kSlot0));
}

TEST_F(WindowTest, RectNeedsASlotThatHoldsAPicture) {
  ASSERT_EQ(init(), 1u);
  EXPECT_EQ(call(kSetRect, {4, 10, 10, 10, 10}), 0u);
  EXPECT_EQ(call(kSetRect, {u(-1), 10, 10, 10, 10}), 0u);
  EXPECT_TRUE(logged(0, "text_set_rect : invalid param"));
  EXPECT_EQ(call(kSetRect, {1, 32, 32, 32, 32}), 0u);  // empty slot: no sprite touched
  EXPECT_TRUE(input.rects.empty());
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  EXPECT_EQ(call(kSetRect, {1, 96, 32, 32, 32}), 1u);
  const uint32_t s = tw().icons[0].lpImage->hSprite;
  EXPECT_EQ(input.rects[s].right, 96);
  EXPECT_EQ(input.rects[s].bottom, 32);
  EXPECT_EQ(input.cells[s], (std::pair<int32_t, int32_t>{32, 32}));
}

// Each icon steps through the cells across its sheet from its load until it is replaced or the
// window goes; the time per cell is the script's to change, icon by icon.
TEST_F(WindowTest, IconsAnimateFromTheirLoadUntilTheyAreReleased) {
  anims.install();
  ASSERT_EQ(init(), 1u);
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  ASSERT_EQ(icon(1, "ICON1"), 1u);
  EXPECT_EQ(icon(2, "NOPE"), 0u);  // no picture, no animation
  ASSERT_EQ(anims.made.size(), 2u);
  EXPECT_EQ(anims.made[0].sprite, tw().icons[0].lpImage->hSprite);
  EXPECT_EQ(anims.made[0].direction, 1u);
  EXPECT_EQ(anims.made[0].ms, 100u);
  EXPECT_EQ(tw().icons[1].hAnimation, 2u);
  EXPECT_EQ(tw().icons[2].hAnimation, 0u);

  constexpr uint32_t kSetIconAnimationTime = 0x02000E;
  EXPECT_EQ(call(kSetIconAnimationTime, {1, 250}), 1u);
  EXPECT_EQ(anims.made[1].ms, 250u);
  EXPECT_TRUE(logged(10, "text_set_icon_animation_time 1, 250"));
  for (uint32_t ignored : {2u, 3u, u(-1)}) EXPECT_EQ(call(kSetIconAnimationTime, {ignored, 7}), 1u);
  EXPECT_EQ(anims.made[0].ms, 100u);
  EXPECT_EQ(anims.made[1].ms, 250u);

  // A new picture in a slot takes a new animation; under a scene skip the old task ends at once.
  ASSERT_EQ(icon(0, "ICON1"), 1u);
  EXPECT_TRUE(anims.made[0].released);
  EXPECT_TRUE(anims.reprocessed.empty());
  vm().run.bSceneSkip = 1;
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  vm().run.bSceneSkip = 0;
  EXPECT_EQ(anims.reprocessed, std::vector<OrvHandle>{3});
  ASSERT_EQ(anims.made.size(), 4u);
  EXPECT_EQ(call(kUninit, {}), 1u);
  for (const FakeAnimation& a : anims.made) EXPECT_TRUE(a.released);
}

// A base image whose graphic.dat record names an .ani program runs it from its load: the
// program is loaded with the picture and started at once, not left waiting for a display.
TEST_F(WindowTest, TheBaseImageStartsItsAniProgram) {
  AniOnLoad glow(vm(), "BASE");
  ASSERT_EQ(init(), 1u);
  std::strcpy(vm().strings.slots[0], "BASE");
  ASSERT_EQ(call(kSetBase, {kSlot0, 0, 0, 0}), 1u);
  const uint32_t no = tw().lpBase->dwAnimeNo;
  ASSERT_NE(no, 0u);
  EXPECT_EQ(animations::AdvAnimGetStatus(no), animations::kAnimWaiting);
  textwindow::text_window_free(vm());
}

TEST_F(WindowTest, IconsFollowTheEndOfTheTextInLayoutModeOne) {
  ASSERT_EQ(init(300), 1u);  // x 10, y 500, width 300, height 100, char size 24
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  ASSERT_EQ(icon(1, "ICON1"), 1u);
  tw().dwIconMode = 1;
  engine::text_settings.render.nWidthOffset = 3;
  const int32_t gap = 4;  // ruby offset switch on
  const struct {
    int32_t end_x, end_y, x, y;
  } cases[] = {
      {120, 0, 10 + 120 + 3, 500 + gap},         // on the same line
      {301, 0, 10, 500 + gap + 24 + gap},        // past the edge: start of the next line
      {301, 76, 10, 500 + 76 + gap + 24 + gap},  // the next line still fits: 24 + 76 <= 100
      {301, 77, 10, 500 + 77 + gap},             // it does not: stays on the last line
  };
  for (const auto& c : cases) {
    tw().nEndX = c.end_x;
    tw().nEndY = c.end_y;
    textwindow::text_icons_place(vm(), tw());
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(tw().icons[i].lpImage->base.posOfs.x, c.x) << c.end_x << "," << c.end_y;
      EXPECT_EQ(tw().icons[i].lpImage->base.posOfs.y, c.y) << c.end_x << "," << c.end_y;
      EXPECT_EQ(tw().icons[i].lpImage->base.fPosOfs.y, static_cast<float>(c.y));
    }
  }
  tw().dwIconMode = 0;
  textwindow::text_icons_place(vm(), tw());
  EXPECT_EQ(tw().icons[0].lpImage->base.posOfs.x, 0);
}

TEST_F(WindowTest, IconSelectOnAnEmptySlotChangesNothing) {
  ASSERT_EQ(init(), 1u);
  textwindow::text_icon_select(vm(), tw(), 2);
  EXPECT_EQ(tw().dwIcon, 0u);  // not even the number

  ASSERT_EQ(icon(0, "ICON0"), 1u);
  ASSERT_EQ(icon(1, "ICON1"), 1u);
  textwindow::text_window_show(vm(), tw(), true);
  tw().dwMode = 0x10002;
  textwindow::text_window_show(vm(), tw(), true);
  EXPECT_EQ(sprite(tw().icons[0].lpImage)->visible, 1);
  textwindow::text_icon_select(vm(), tw(), 1);  // skip icon: shown in text mode 0
  EXPECT_EQ(tw().dwIcon, 1u);
  EXPECT_EQ(sprite(tw().icons[0].lpImage)->visible, 0);
  EXPECT_EQ(sprite(tw().icons[1].lpImage)->visible, 1);
  textwindow::text_icon_select(vm(), tw(), 2);  // its slot is empty: nothing shown
  EXPECT_EQ(tw().dwIcon, 2u);
  EXPECT_EQ(sprite(tw().icons[1].lpImage)->visible, 0);
  textwindow::text_icon_select(vm(), tw(), 0);  // current slot empty now: stays 2
  EXPECT_EQ(tw().dwIcon, 2u);
}

TEST_F(WindowTest, TheExternalFlagKeepsTheIconsHidden) {
  ASSERT_EQ(init(), 1u);
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  ASSERT_EQ(icon(1, "ICON1"), 1u);
  textwindow::text_window_show(vm(), tw(), true);
  tw().bExternal = 1;
  std::strcpy(tw().szMessage, "line");
  textwindow::text_icon_select(vm(), tw(), 1);
  EXPECT_TRUE(logged(16, "bExternal = 1 : line"));
  EXPECT_EQ(sprite(tw().icons[1].lpImage)->visible, 0);
  textwindow::text_icon_select(vm(), tw(), 0);
  textwindow::text_click_wait_start(vm());
  EXPECT_EQ(tw().dwMode & 0xFFFF, 2u);
  EXPECT_EQ(sprite(tw().icons[0].lpImage)->visible, 0);
  tw().bExternal = 0;
  textwindow::text_click_wait_start(vm());
  EXPECT_EQ(sprite(tw().icons[0].lpImage)->visible, 1);
}

TEST_F(WindowTest, ShowAndHideTheWindowsSprites) {
  ASSERT_EQ(init(), 1u);
  ASSERT_EQ(icon(0, "ICON0"), 1u);
  textwindow::text_window_show(vm(), tw(), true);
  EXPECT_EQ(tw().bVisible, 1u);
  EXPECT_EQ(sprite(tw().lpMessage)->visible, 1);
  EXPECT_EQ(sprite(tw().lpName)->visible, 1);
  EXPECT_EQ(sprite(tw().icons[0].lpImage)->visible, 0);  // no click wait yet
  textwindow::text_window_show(vm(), tw(), false);
  tw().dwTextMode = 2;
  textwindow::text_window_show(vm(), tw(), true);
  EXPECT_EQ(sprite(tw().lpName)->visible, 0);  // no name plate in text mode 2
}

TEST_F(WindowTest, FreeReleasesAtOnceAndLeavesNoButtonGroup) {
  ASSERT_EQ(init(), 1u);
  const uint32_t message = tw().lpMessage->hSprite;
  tw().bClickAdvance = 1;
  textwindow::text_window_free(vm());
  EXPECT_TRUE(fake().called("release " + std::to_string(message)));
  EXPECT_EQ(tw().bInit, 0u);
  EXPECT_EQ(tw().dwButtonGroup, 0xFFFFu);
  EXPECT_EQ(tw().bClickAdvance, 1u);  // a setting, not the window's
}

}  // namespace
}  // namespace textwindowtest

namespace textwindowtest {
namespace {

class PageTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_EQ(call(0x020000, {24, 0, 0, 480, 100, 0, 0, 0}), 1u);
    tw().dwTextMode = 1;
    tw().nPageX = 100;
    tw().nPageY = 50;
    tw().nPageWidth = 1000;
    tw().nPageHeight = 600;
    tw().lpPage = layers::image_alloc(layers::kBaseSystem, textwindow::kImagePage);
    tw().lpPage->hSprite = orv.OrvSpriteCreate(0, 1280, 720, 4867);
  }
  // A line as the line commands leave it: name and message drawn, the message sprite's source
  // rectangle one line high.
  void add(const char* name, const char* message) {
    tw().dwNameId = name ? 1 : engine::kNoText;
    std::snprintf(tw().szName, sizeof tw().szName, "%s", name ? name : "");
    std::snprintf(tw().szMessage, sizeof tw().szMessage, "%s", message);
    tw().nEndX = 12 * static_cast<int32_t>(std::strlen(message));
    tw().nEndY = 0;
    input.rects[tw().lpMessage->hSprite] = OrvRect{0, 0, 504, 24};
    textwindow::text_page_append(vm(), tw());
  }
  int32_t name_y() { return tw().lpName->base.pos.y; }
  int32_t message_y() { return tw().lpMessage->base.pos.y; }
};

TEST_F(PageTest, LinesGatherOnThePageWithAPitchBeforeALaterName) {
  const int32_t pitch = 24 + 0 + 1;  // char size + ruby size + 1 (ruby offset switch on)
  add("Ann", "Hello");
  // The first named line of a page starts at the page's y, without a "<br>" before it.
  EXPECT_EQ(name_y(), 50);
  EXPECT_EQ(tw().lpName->base.pos.x, 100);
  EXPECT_EQ(message_y(), 50 + 24);
  EXPECT_STREQ(tw().szPage, "Ann<br>Hello<br><reset>");
  EXPECT_EQ(tw().nPageIconX, 60 + 100);
  EXPECT_EQ(tw().nPageIconY, 74);
  EXPECT_EQ(tw().nPageNextY, 74 + 24);

  add(nullptr, "World");  // after a named line: one pitch down
  EXPECT_EQ(message_y(), 50 + 2 * 24 + pitch);
  EXPECT_EQ(tw().bPageName, 0u);
  EXPECT_STREQ(tw().szPage, "Ann<br>Hello<br><reset><br>World<br><reset>");

  add("Bob", "Hi");  // a later named line: a blank pitch before its name
  EXPECT_EQ(name_y(), 50 + 4 * 24 + pitch);
  EXPECT_EQ(message_y(), name_y() + 24);
}

TEST_F(PageTest, ANewPageBeginsByHeightAndByBufferRoom) {
  add("Ann", "Hello");
  tw().nPageHeight = 50 + 24 + 24 + 24 - 1;  // the next line would pass the page's height
  add("Bob", "Hi");
  EXPECT_EQ(name_y(), 50);
  EXPECT_STREQ(tw().szPage, "Bob<br>Hi<br><reset>");

  tw().nPageHeight = 100000;
  std::memset(tw().szPage, 'a', 4000);
  tw().szPage[4000] = 0;
  std::string longer(120, 'b');
  add(nullptr, longer.c_str());
  EXPECT_EQ(std::string(tw().szPage), longer + "<br><reset>");
  EXPECT_EQ(message_y(), 50);

  // A line longer than the whole buffer is cut on a character boundary.
  std::string huge;
  for (int i = 0; i < 2047; ++i) huge += "\x82\xa0";
  add(nullptr, huge.c_str());
  EXPECT_EQ(std::strlen(tw().szPage), 4095u);  // the message and the "<" that still fits
  EXPECT_EQ(std::string(tw().szPage, 4094), huge);
  EXPECT_TRUE(logged(0, "page buffer"));
}

}  // namespace
}  // namespace textwindowtest
