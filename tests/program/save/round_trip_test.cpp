// One game state with every kind of saved record at once: a button group with three buttons,
// choice settings, a text window with its base image and two icons, music on channel 0 and user
// memory. It is saved to a slot, all of it is changed, the slot is loaded, and the snapshot taken
// after the load must be the slot file byte for byte, with the values themselves back.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_paths.h"
#include "program/save/blocks/blocks_fixture.h"
#include "program/text/sound/fake_sound.h"
#include "save/save_snapshot.h"
#include "save/save_stream.h"
#include "support/game_folder_fixture.h"
#include "support/temp_dir.h"
#include "ui/buttons/buttons.h"

namespace blockstest {
namespace {

constexpr uint32_t kSave = 0x0A0000, kLoad = 0x0A0001;
constexpr uint32_t kInit = 0x020000, kSetIcon = 0x020001, kSetBase = 0x020016;
constexpr uint32_t kPlayMusic = 0x040000;
constexpr uint32_t kSlot = 0x10000000;

// The fixed part, then the blocks in the order a snapshot stores them.
constexpr const char* kBlockNames[] = {
    "fixed part",        "buttons",       "choice settings", "thread",        "layers",
    "screen effects",    "layer shaders", "music",           "sound effects", "autopan",
    "background voices", "backlog",       "text window",     "actions",       "return stack"};

constexpr const char* kScript =
    "idle:\n  call wait_frame\n  jmp idle\n"
    "hover:\n  ret\n"
    "decide:\n  ret\n";

class SaveRoundTrip : public BlocksTest {
 protected:
  void SetUp() override {
    BlocksTest::SetUp();
    sound_ = std::make_unique<soundtest::FakeSoundScope>(&music);
    music.files = {"THEME.ogg", "OTHER.ogg"};
    fake().files = {{"BTN0.png", {120, 40}}, {"BTN1.png", {120, 40}}, {"BTN2.png", {64, 64}},
                    {"ICON0.png", {96, 32}}, {"ICON1.png", {32, 32}}, {"BASE.png", {1280, 220}}};
    gs().settings.nTextBaseImage = -1;
    gs().settings.nTextAlpha = -1;
    gs().settings.nNewestSave = -1;
    engine::set_command_save_folder(enginetest::system_path(folder_.path()));
    engine::SaveStream& s = vm().save;
    s.dwThumbWidth = 8;
    s.dwThumbHeight = 4;
    s.dwThumbSize = 8 * 4 * 4;
    s.bThumbEnabled = 0;
    s.nLoadAfterLabel = -1;
    ASSERT_TRUE(engine::save_stream_init(s));
    load(kScript);
  }
  void TearDown() override {
    ui::btn_release_all(vm());
    engine::save_stream_free(vm().save);
    engine::set_command_save_folder("");
    sound_.reset();
    BlocksTest::TearDown();
  }

  // Code offsets of the script's routines, as labels are stored.
  static uint32_t label(const char* name) { return std::string(name) == "hover" ? 4u : 8u; }
  // A button from a string-slot picture, as btn_set leaves it.
  void add_button(uint32_t g, uint32_t no, const char* name, float x) {
    engine::ButtonEntry& e = vm().buttons.groups[g].entries[no];
    std::strcpy(vm().strings.slots[10 + no], name);
    e.lpImage = layers::image_alloc(layers::kBasePlane, g * 128 + no);
    e.lpImage->hSprite = sprite_named((std::string(name) + ".png").c_str(), 120, 40);
    fake().at(e.lpImage->hSprite)->x = x;
    e.lpImage->lFileNo = kSlot | (10 + no);
    std::strncpy(e.lpImage->szFileName, name, 31);
    e.lpImage->base.pos = {static_cast<int32_t>(x), 600, 0};
  }
  void picture(uint32_t slot, const char* file, uint32_t command, std::vector<uint32_t> args) {
    std::strcpy(vm().strings.slots[slot], file);
    ASSERT_EQ(call(command, args), 1u) << file;
  }
  std::vector<uint8_t> held() const {
    const engine::SaveStream& s = const_cast<SaveRoundTrip*>(this)->vm().save;
    return std::vector<uint8_t>(s.lpSnapshot->begin(), s.lpSnapshot->begin() + s.dwSnapLength);
  }

  soundtest::FakeSound music;
  testsupport::TempDir folder_;

 private:
  std::unique_ptr<soundtest::FakeSoundScope> sound_;
};

TEST_F(SaveRoundTrip, EveryRecordSurvivesASaveAndALoadByteForByte) {
  // Buttons 0, 1 and 2 of group 3, button 1 disabled and jumping to a label.
  engine::ButtonGroup& g = vm().buttons.groups[3];
  g.bInit = 1;
  g.hGroup = 403;
  for (int32_t& s : g.nStyle) s = -1;
  g.nStyle[engine::kStyleSkip] = 2;
  add_button(3, 0, "BTN0", 100);
  add_button(3, 1, "BTN1", 300);
  add_button(3, 2, "BTN2", 500);
  g.entries[1].dwClickLabel = label("decide");
  g.entries[1].dwFlags = engine::kButtonDisabled;
  // Choice settings.
  vm().select.dwGraphic = kSlot | 9;
  vm().select.dwColorNormal = 0xC0C0C0;
  vm().select.dwColorHover = 0xFFFFFF;
  vm().select.dwColorThird = 0x123456;
  vm().select.dwHoverLabel = label("hover");
  vm().select.dwDecideLabel = label("decide");
  // The text window with a base image and icons 0 and 2.
  ASSERT_EQ(call(kInit, {24, 10, 500, 302, 100, 5, 460, 0}), 1u);
  picture(2, "BASE", kSetBase, {kSlot | 2, 0, 0, 0});
  picture(3, "ICON0", kSetIcon, {0, kSlot | 3, 0, 0});
  picture(5, "ICON1", kSetIcon, {2, kSlot | 5, 0, 0});
  std::strcpy(tw().szName, "Kyo");
  std::strcpy(tw().szMessage, "Hello there.");
  // Music on channel 0, looping, at once.
  vm().sound.volumes[engine::kCatBgm] = 8000;
  vm().sound.switches[engine::kCatBgm] = 1;
  std::strcpy(vm().strings.slots[0], "THEME");
  call(kPlayMusic, {0, kSlot | 0, 1, 0, 0, 0, 0});
  ASSERT_NE(vm().sound.bgm[0].sound, 0u);
  const uint32_t saved_handle = vm().sound.bgm[0].sound;
  // User memory.
  vm().userMem[0] = 11;
  vm().userMem[7] = 0xDEADBEEF;
  vm().userMem[engine::kUserMemoryCells - 1] = 5;

  vm().save.dwResumePc = 0;
  vm().save.dwSnapOffset = 0;
  save::save_snapshot_make(vm());
  ASSERT_EQ(vm().save.bSnapValid, 1u);
  call(kSave, {1, 1});
  const std::string file = testsupport::read_file(folder_ / "save001.dat");
  ASSERT_EQ(held(), std::vector<uint8_t>(file.begin(), file.end()));

  // Everything changed.
  ui::btn_release_all(vm());
  vm().select = {};
  textwindow::text_window_free(vm());
  std::strcpy(vm().strings.slots[0], "OTHER");
  call(kPlayMusic, {0, kSlot | 0, 1, 0, 0, 0, 0});
  vm().userMem[0] = 22;
  vm().userMem[7] = 0;
  vm().userMem[engine::kUserMemoryCells - 1] = 0;
  // The changed state snapshots differently: the load below has something to undo.
  save::save_snapshot_make(vm());
  ASSERT_NE(held(), std::vector<uint8_t>(file.begin(), file.end()));

  logs_.clear();
  call(kLoad, {1});
  EXPECT_EQ(log_count(0), 0u) << (logs_.empty() ? "" : logs_.front().second);
  // (a) the snapshot taken at the end of the load is the file, byte for byte.
  const std::vector<uint8_t> after = held();
  ASSERT_EQ(after.size(), file.size());
  save::SaveCheck sc = save::save_check_for(vm());
  std::vector<size_t> ends;
  ASSERT_TRUE(save::save_data_check(after.data(), after.size(), sc, nullptr, &ends)) << sc.field;
  // Music channel 0 stores its platform sound handle. The reader never uses it (the music is
  // loaded again by name) and the platform hands out a new handle for the reloaded sound, so
  // that word, and only that one, is the live handle instead of the saved one.
  std::vector<uint8_t> expected(file.begin(), file.end());
  const size_t music_at = ends[6];
  ASSERT_EQ(codec::load_u32(expected.data() + music_at), saved_handle);
  ASSERT_EQ(codec::load_u32(after.data() + music_at), vm().sound.bgm[0].sound);
  codec::store_u32(expected.data() + music_at, vm().sound.bgm[0].sound);
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] == expected[i]) continue;
    const size_t block =
        static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), i) - ends.begin());
    FAIL() << "first difference at byte " << i << ", in " << kBlockNames[block];
  }
  // (b) the values are back.
  EXPECT_EQ(vm().userMem[0], 11u);
  EXPECT_EQ(vm().userMem[7], 0xDEADBEEFu);
  EXPECT_EQ(vm().userMem[engine::kUserMemoryCells - 1], 5u);
  const engine::ButtonGroup& back = vm().buttons.groups[3];
  EXPECT_EQ(back.bInit, 1u);
  int buttons = 0;
  for (const engine::ButtonEntry& e : back.entries) buttons += e.lpImage != nullptr;
  EXPECT_EQ(buttons, 3);
  for (uint32_t no = 0; no < 3; ++no) {
    ASSERT_NE(back.entries[no].lpImage, nullptr) << no;
    EXPECT_EQ(fake().at(back.entries[no].lpImage->hSprite)->name,
              "BTN" + std::to_string(no) + ".png");
  }
  EXPECT_EQ(back.entries[1].dwClickLabel, label("decide"));
  EXPECT_EQ(vm().select.dwColorThird, 0x123456u);
  EXPECT_EQ(vm().select.dwDecideLabel, label("decide"));
  ASSERT_NE(tw().lpBase, nullptr);
  EXPECT_EQ(sprite(tw().lpBase)->name, "BASE.png");
  ASSERT_NE(tw().icons[0].lpImage, nullptr);
  EXPECT_EQ(tw().icons[1].lpImage, nullptr);
  ASSERT_NE(tw().icons[2].lpImage, nullptr);
  EXPECT_STREQ(tw().szMessage, "Hello there.");
  EXPECT_STREQ(vm().sound.bgm[0].name, "THEME");
  EXPECT_NE(vm().sound.bgm[0].sound, 0u);
  EXPECT_TRUE(music.called("Load THEME.ogg 3"));
}

}  // namespace
}  // namespace blockstest
