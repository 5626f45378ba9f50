// The button block: a group's layout laid out by hand (buttons 5 and 9), a button made from a
// layer picture stored as an empty place, the hovered button stored in its normal frame, the
// rebuild of a group from bytes, and the refusals of its check.
#include "program/save/blocks/blocks_fixture.h"
#include "program/text/window/ani_on_load.h"
#include "ui/buttons/buttons.h"

namespace blockstest {
namespace {

constexpr size_t kButtonBytes = 4 + 32 + 372 + 152;  // without the string-slot name
constexpr uint32_t kSlot = 0x10000000;

class ButtonSaveTest : public BlocksTest {
 protected:
  void SetUp() override {
    BlocksTest::SetUp();
    fake().files = {{"BTN5.png", {120, 40}}, {"BTN9.png", {64, 64}}};
  }
  void TearDown() override {
    ui::btn_release_all(vm());
    BlocksTest::TearDown();
  }
  engine::ButtonGroup& group(uint32_t g) { return vm().buttons.groups[g]; }

  // A button as btn_set leaves it, its picture from a string slot kept by name.
  void add_button(uint32_t g, uint32_t no, uint32_t file, const char* name, float x) {
    engine::ButtonEntry& e = group(g).entries[no];
    e.lpImage = layers::image_alloc(layers::kBasePlane, g * 128 + no);
    e.lpImage->hSprite = sprite_named(name, 100, 50);
    fake().at(e.lpImage->hSprite)->x = x;
    e.lpImage->lFileNo = file;
    std::strncpy(e.lpImage->szFileName, name, 31);
    e.lpImage->base.pos = {static_cast<int32_t>(x), 7, 0};
  }
  void init_group(uint32_t g) {
    group(g).bInit = 1;
    group(g).hGroup = 400 + g;
    for (int32_t& s : group(g).nStyle) s = -1;
  }
};

TEST_F(ButtonSaveTest, AGroupWithButtonsFiveAndNineHasTheHandLaidLayout) {
  init_group(0);
  group(0).dwClickSound = 0x33;
  group(0).nStyle[engine::kStyleName] = 9;
  group(0).nStyle[engine::kStyleSkip] = 200;  // no such button: stored as none
  group(0).nStyle[engine::kStyleAuto] = -7;
  add_button(0, 5, kSlot | 0, "BTN5", 10);
  add_button(0, 9, 0x21, "BTN9", 20);  // a File.dat reference: no name stored
  group(0).entries[5].dwClickLabel = 0x20;
  group(0).entries[5].dwLink = 9;
  group(0).entries[5].dwFlags = engine::kButtonDisabled;
  // A button copied from a layer picture has no file: an empty place.
  add_button(0, 7, 0, "blt", 30);
  // Button 9 is hovered: its info from when the hover began.
  group(0).lpHovered = &group(0).entries[9];
  group(0).hoverInfo.x = 77;

  const Bytes b = write(save::button_save_write);
  ASSERT_EQ(b.size(),
            4 + 8 + 24 + 5 * 4 + (kButtonBytes + 32) + 3 * 4 + kButtonBytes + 118 * 4 + 3 * 4);
  EXPECT_EQ(word_at(b, 0), 1u);
  EXPECT_EQ(word_at(b, 8), 0x33u);
  EXPECT_EQ(static_cast<int32_t>(word_at(b, 12 + 3 * 4)), 9);  // name style
  EXPECT_EQ(static_cast<int32_t>(word_at(b, 12)), -1);
  EXPECT_EQ(static_cast<int32_t>(word_at(b, 12 + 4)), -1);
  for (size_t no = 0; no < 5; ++no) EXPECT_EQ(word_at(b, 36 + 4 * no), 0u);
  const size_t b5 = 56;
  EXPECT_EQ(word_at(b, b5), kSlot);
  EXPECT_EQ(word_at(b, b5 + 4), 0u);  // the image pointer
  EXPECT_EQ(word_at(b, b5 + 8), 0x20u);
  EXPECT_EQ(word_at(b, b5 + 4 + 20), 9u);
  EXPECT_EQ(word_at(b, b5 + 4 + 28), 1u);
  float x5;
  std::memcpy(&x5, b.data() + b5 + 36 + 8, 4);
  EXPECT_EQ(x5, 10.0f);
  EXPECT_EQ(static_cast<int32_t>(word_at(b, b5 + 36 + 372)), 10);  // BaseTransform pos.x
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + b5 + kButtonBytes)), "BTN5");
  const size_t b9 = b5 + kButtonBytes + 32 + 3 * 4;
  for (size_t no = 0; no < 3; ++no) EXPECT_EQ(word_at(b, b5 + kButtonBytes + 32 + 4 * no), 0u);
  EXPECT_EQ(word_at(b, b9), 0x21u);
  float x9;
  std::memcpy(&x9, b.data() + b9 + 36 + 8, 4);
  EXPECT_EQ(x9, 77.0f);
  EXPECT_TRUE(accepts(save::button_save_check, b));
}

// Group 1 by hand: hover and click sounds none, style skip 5, button 5 from string slot "BTN5".
Bytes group_fixture() {
  Lay l;
  l.u32(0);  // group 0 not initialised
  l.u32(1).u32(0).u32(0).i32(5).i32(-1).i32(-1).i32(-1).i32(-1).i32(-1);
  l.zeros(5 * 4);
  l.u32(kSlot | 3).u32(0).u32(0x40).u32(0x50).u32(0).u32(0).u32(6).u32(0x1234).u32(0);
  Lay info;
  info.i32(1).u32(0xFF102030);
  const float fx = 200, fy = 300, fz = 0;
  for (float f : {fx, fy, fz}) {
    uint32_t w;
    std::memcpy(&w, &f, 4);
    info.u32(w);
  }
  info.zeros(8).i32(120).i32(40).i32(120).i32(20).zeros(8).i32(4870);
  info.zeros(372 - info.size());
  l.bytes(info.b);
  l.i32(200).i32(300).zeros(152 - 8);
  l.text("BTN5", 32);
  l.zeros(122 * 4);
  l.u32(0).u32(0);  // groups 2, 3
  return l.b;
}

TEST_F(ButtonSaveTest, AStoredGroupIsRebuiltWithItsPicturesAndLabels) {
  const Bytes b = group_fixture();
  ASSERT_TRUE(accepts(save::button_save_check, b));
  vm().buttons.dwWaitStart = 5;
  vm().buttons.dwInvalidTime = 500;
  EXPECT_EQ(read(save::button_save_read, b), b.size());
  const engine::ButtonGroup& g = group(1);
  EXPECT_EQ(g.bInit, 1u);
  EXPECT_EQ(g.nStyle[engine::kStyleSkip], 5);
  EXPECT_EQ(group(0).bInit, 0u);
  const engine::ButtonEntry& e = g.entries[5];
  ASSERT_NE(e.lpImage, nullptr);
  EXPECT_EQ(e.dwClickLabel, 0x40u);
  EXPECT_EQ(e.dwLink, 6u);
  EXPECT_EQ(e.dwTips, 0x1234u);
  EXPECT_EQ(e.lpImage->lFileNo, kSlot | 3);
  EXPECT_EQ(e.lpImage->base.pos.x, 200);
  EXPECT_EQ(e.lpImage->dwIndex, 144u + 128u + 5u);
  const layerstest::FakeSprite* s = fake().at(e.lpImage->hSprite);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->name, "BTN5.png");
  EXPECT_EQ(s->x, 200.0f);
  EXPECT_EQ(s->color, 0xFF102030u);
  EXPECT_EQ(rec.infos[e.lpImage->hSprite].cell_height, 20);
  EXPECT_EQ(rec.calls[0], "group 0 0");
  EXPECT_EQ(rec.calls[1],
            "entry " + std::to_string(g.hGroup) + " " + std::to_string(e.lpImage->hSprite));
  EXPECT_EQ(vm().buttons.dwWaitStart, 0u);
  EXPECT_EQ(vm().buttons.dwInvalidTime, 0u);
  EXPECT_EQ(write(save::button_save_write), b);
}

// A picture whose graphic.dat record names an .ani program animates again after a load, as it
// did when the button was made; it does not sit on its first frame.
TEST_F(ButtonSaveTest, ARebuiltButtonStartsTheAnimationOfItsPicture) {
  textwindowtest::AniOnLoad glow(vm(), "BTN5");
  EXPECT_EQ(read(save::button_save_read, group_fixture()), group_fixture().size());
  const layers::ImageRecord* image = group(1).entries[5].lpImage;
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->dwAnimeNo, 0u);
  EXPECT_EQ(animations::AdvAnimGetStatus(image->dwAnimeNo), animations::kAnimWaiting);
  ui::btn_release_all(vm());
}

TEST_F(ButtonSaveTest, AButtonWhosePictureIsGoneIsAnEmptyPlaceAndTheRestIsRead) {
  fake().files.clear();
  const Bytes b = group_fixture();
  EXPECT_EQ(read(save::button_save_read, b), b.size());
  EXPECT_EQ(group(1).bInit, 1u);
  EXPECT_EQ(group(1).entries[5].lpImage, nullptr);
  EXPECT_EQ(layers::image_record_at(144 + 128 + 5), nullptr);
}

TEST_F(ButtonSaveTest, TheCheckRefusesCutsAndValuesOutOfRange) {
  const Bytes b = group_fixture();
  expect_cuts_refused(save::button_save_check, b);
  const size_t head = 8, button = 64;  // the sounds of group 1; button 5's entry
  expect_breaks_refused(save::button_save_check, b,
                        {{0, 2, "button group"},
                         {head + 8, 128, "button style"},
                         {head + 12, static_cast<uint32_t>(-2), "button style"},
                         {button + 4, 4096, "button click label"},
                         {button + 8, 0xFFFFFF00u, "button hover label"},
                         {button + 12, 5000, "button leave label"},
                         {button + 12, 0xFFFFFFFFu, "button leave label"},
                         {button + 20, 128, "button link"},
                         {button + 28, 2, "button flags"},
                         {button + 32 + 28, 16385, "button sprite size"},
                         {button + 32 + 32, static_cast<uint32_t>(-1), "button sprite size"}});
  // A label of 0 is "none" and passes, as does the end of the code.
  Bytes none = b;
  put_word(none, button + 4, 0);
  put_word(none, button + 8, 4096 - 12 - 1);
  EXPECT_TRUE(accepts(save::button_save_check, none));
  // Group 0 initialised but empty, then extra bytes: the group is read through and the block
  // ends where its last group ends.
  Bytes more = b;
  more.push_back(0);
  codec::ByteReader in(more.data(), more.size());
  save::SaveCheck sc = check;
  EXPECT_TRUE(save::button_save_check(in, sc));
  EXPECT_EQ(in.pos(), b.size());
}

}  // namespace
}  // namespace blockstest
