// The text window block: its sizes (8,900, plus 152 in page mode, 524 with a base image, 528
// per icon), the fields at their offsets, the window rebuilt hidden with its texts, the kept
// base image and window alpha, and the refusals of its check.
#include "program/save/blocks/blocks_fixture.h"
#include "program/text/window/fake_animations.h"

namespace blockstest {
namespace {

constexpr uint32_t kInit = 0x020000, kSetIcon = 0x020001, kSetBase = 0x020016;
constexpr uint32_t kSlot = 0x10000000;
constexpr size_t kP = 4484;  // the base image's reference outside page mode

class TextWindowSaveTest : public BlocksTest {
 protected:
  void SetUp() override {
    BlocksTest::SetUp();
    fake().files = {{"ICON0.png", {96, 32}},
                    {"ICON1.png", {32, 32}},
                    {"BASE.png", {1280, 220}},
                    {"BASE2.png", {1280, 200}}};
    gs().settings.nTextBaseImage = -1;
    gs().settings.nTextAlpha = -1;
  }
  void init() { ASSERT_EQ(call(kInit, {24, 10, 500, 302, 100, 5, 460, 0}), 1u); }
  void picture(uint32_t slot, const char* file, uint32_t command, std::vector<uint32_t> args) {
    std::strcpy(vm().strings.slots[slot], file);
    ASSERT_EQ(call(command, args), 1u) << file;
  }
  void icon(int32_t n, const char* file) {
    picture(3 + static_cast<uint32_t>(n), file, kSetIcon,
            {u(n), kSlot | (3 + static_cast<uint32_t>(n)), 0, 0});
  }
  void base(const char* file) { picture(2, file, kSetBase, {kSlot | 2, 0, 0, 0}); }
  textwindowtest::FakeAnimations anims;  // recording once a test installs it
};

TEST_F(TextWindowSaveTest, TheBlockSizeFollowsPageModeBaseImageAndIcons) {
  init();
  Bytes b = write(save::text_window_save_write);
  ASSERT_EQ(b.size(), 8900u);
  EXPECT_EQ(word_at(b, 0), 1u);
  EXPECT_EQ(word_at(b, 12), 24u);   // char size
  EXPECT_EQ(word_at(b, 20), 10u);   // x
  EXPECT_EQ(word_at(b, 24), 500u);  // y
  EXPECT_EQ(word_at(b, 28), 304u);  // width, rounded up to 4
  EXPECT_EQ(word_at(b, 36), 5u);    // name x
  EXPECT_EQ(word_at(b, 44), 0xFFFFu);
  EXPECT_EQ(word_at(b, 4180), 10u);  // the message image's position
  EXPECT_EQ(word_at(b, kP), 0u);
  base("BASE");
  b = write(save::text_window_save_write);
  ASSERT_EQ(b.size(), 8900u + 524u);
  EXPECT_EQ(word_at(b, kP), kSlot | 2);
  EXPECT_EQ(word_at(b, kP + 4 + 28), 1280u);  // the base sprite's width
  icon(0, "ICON0");
  icon(2, "ICON1");
  b = write(save::text_window_save_write);
  ASSERT_EQ(b.size(), 8900u + 524u + 2 * 528u);
  EXPECT_EQ(word_at(b, kP + 528), kSlot | 3);
  EXPECT_EQ(word_at(b, kP + 528 + 532), 0u);  // the skip icon is missing
  EXPECT_EQ(word_at(b, kP + 528 + 532 + 4), kSlot | 5);
  tw().dwTextMode = 1;
  b = write(save::text_window_save_write);
  EXPECT_EQ(b.size(), 8900u + 152u + 524u + 2 * 528u);
  EXPECT_EQ(word_at(b, kP + 152), kSlot | 2);
  EXPECT_TRUE(accepts(save::text_window_save_check, b));
  tw().dwTextMode = 0;
}

TEST_F(TextWindowSaveTest, TheWindowComesBackHiddenWithItsPicturesAndTexts) {
  init();
  base("BASE");
  icon(0, "ICON0");
  tw().lpMessage->base.pos.y = 480;
  std::strcpy(tw().szName, "Kyo");
  std::strcpy(tw().szMessage, "Hello there.");
  std::strcpy(tw().szVoice, "v01");
  tw().dwButtonGroup = 2;
  engine::text_settings.dwReadColor = 0x00112233;
  const Bytes b = write(save::text_window_save_write);

  textwindow::text_window_free(vm());
  ASSERT_TRUE(accepts(save::text_window_save_check, b));
  EXPECT_EQ(read(save::text_window_save_read, b), b.size());
  const engine::TextWindow& w = tw();
  EXPECT_EQ(w.bInit, 1u);
  EXPECT_EQ(w.bVisible, 0u);
  EXPECT_EQ(w.dwMode, 0u);
  EXPECT_EQ(w.nWidth, 304);
  EXPECT_EQ(w.dwButtonGroup, 2u);
  ASSERT_NE(w.lpMessage, nullptr);
  EXPECT_EQ(w.lpMessage->base.pos.y, 480);
  ASSERT_NE(w.lpBase, nullptr);
  EXPECT_EQ(sprite(w.lpBase)->name, "BASE.png");
  EXPECT_EQ(sprite(w.lpBase)->visible, 0);
  ASSERT_NE(w.icons[0].lpImage, nullptr);
  EXPECT_EQ(w.icons[0].lpImage->lFileNo, kSlot | 3);
  EXPECT_EQ(w.icons[1].lpImage, nullptr);
  EXPECT_STREQ(w.szName, "Kyo");
  EXPECT_STREQ(w.szMessage, "Hello there.");
  EXPECT_EQ(w.dwLineFlags, engine::kLineHasName | engine::kLineHasVoice);
  EXPECT_GT(w.nRenderedLength, 0);  // the message is drawn whole
  EXPECT_EQ(engine::text_settings.dwReadColor, 0x00112233u);
  EXPECT_EQ(write(save::text_window_save_write), b);
}

// Each icon's time per cell goes with it; a stored 0 (blocks written before the time was kept)
// brings the icon back at the default time instead of one cell per frame.
TEST_F(TextWindowSaveTest, IconAnimationTimesComeBack) {
  anims.install();
  init();
  icon(0, "ICON0");
  icon(1, "ICON1");
  ASSERT_EQ(call(0x02000E, {0, 250}), 1u);  // text_set_icon_animation_time
  Bytes b = write(save::text_window_save_write);
  const size_t icon0 = kP + 4;  // after the empty base image reference
  const size_t time0 = icon0 + 4 + 372 + 152, time1 = time0 + 4 + 528;
  EXPECT_EQ(word_at(b, time0), 250u);
  EXPECT_EQ(word_at(b, time1), 100u);
  put_word(b, time1, 0);
  put_word(b, time0, 40);
  textwindow::text_window_free(vm());
  anims.made.clear();
  EXPECT_EQ(read(save::text_window_save_read, b), b.size());
  ASSERT_EQ(anims.made.size(), 2u);
  EXPECT_EQ(anims.made[0].sprite, tw().icons[0].lpImage->hSprite);
  EXPECT_EQ(anims.made[0].direction, 1u);
  EXPECT_EQ(anims.made[0].ms, 40u);
  EXPECT_EQ(anims.made[1].ms, 100u);
  EXPECT_EQ(tw().icons[1].hAnimation, 2u);
}

TEST_F(TextWindowSaveTest, AKeptBaseImageAndWindowAlphaWinOverTheStoredOnes) {
  init();
  base("BASE");
  const Bytes b = write(save::text_window_save_write);
  textwindow::text_window_free(vm());
  std::strcpy(vm().strings.slots[6], "BASE2");
  gs().settings.nTextBaseImage = static_cast<int32_t>(kSlot | 6);
  gs().settings.nTextAlpha = 0x80;
  EXPECT_EQ(read(save::text_window_save_read, b), b.size());
  ASSERT_NE(tw().lpBase, nullptr);
  EXPECT_EQ(sprite(tw().lpBase)->name, "BASE2.png");
  EXPECT_EQ(tw().lpBase->lFileNo, kSlot | 6);
  EXPECT_EQ(sprite(tw().lpBase)->color >> 24, 0x80u);
}

TEST_F(TextWindowSaveTest, TheCheckRefusesCutsAndValuesOutOfRange) {
  init();
  base("BASE");
  const Bytes b = write(save::text_window_save_write);
  expect_breaks_refused(save::text_window_save_check, b,
                        {{0, 2, "text window"},
                         {4, 3, "text mode"},
                         {12, 16385, "text char size"},
                         {16, static_cast<uint32_t>(-1), "text ruby size"},
                         {28, 16385, "text width"},
                         {32, 0x80000000u, "text height"},
                         {44, 16, "text button group"},
                         {44, 0xFFFE, "text button group"},
                         {48 + 8, static_cast<uint32_t>(-1), "text page width"},
                         {48 + 12, 20000, "text page height"},
                         {kP + 4 + 28, 16385, "text base image"},
                         // An icon that was not stored: the block runs past its end.
                         {kP + 528, 0x10000007, "text window texts"}});
  // Sizes up to 16384 and any bound group pass.
  Bytes edge = b;
  put_word(edge, 28, 16384);
  put_word(edge, 44, 15);
  EXPECT_TRUE(accepts(save::text_window_save_check, edge));
  for (size_t n :
       {size_t{0}, size_t{3}, size_t{4}, size_t{47}, size_t{4179}, size_t{4180}, size_t{4483}, kP,
        kP + 3, kP + 200, kP + 528, kP + 528 + 3, b.size() - 12, b.size() - 1}) {
    const Bytes cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    const char* field = nullptr;
    EXPECT_FALSE(accepts(save::text_window_save_check, cut, &field)) << n;
    EXPECT_NE(field, nullptr) << n;
  }
}

}  // namespace
}  // namespace blockstest
