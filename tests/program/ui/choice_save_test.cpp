// A choice menu and its snapshot: the snapshot that select takes resumes at the select call, so
// a load of it (or the previous data packed when the choice is decided) builds the same menu
// again with the saved item graphic, colours and labels.
#include <string>

#include "Orv/core/handle_table.h"
#include "commands/command_paths.h"
#include "ge_writer/ge_writer.h"
#include "program/ui/ui_fixture.h"
#include "save/save_stream.h"
#include "support/game_folder_fixture.h"
#include "ui/choices/select.h"

namespace uitest {
namespace {

constexpr const char* kMenu =
    "  call select_init(file\"ITEM\", 0xC0C0C0, 0xFFFFFF, 0x123456)\n"
    "  call select_set_process(@hover, @leave, @decide)\n"
    "  call select(1)\n"
    "  call select_item(text\"one\", @one, 100, 100, 3, 0)\n"
    "  call select_item(text\"two\", @two, 100, 200, 3, 0)\n"
    "  call end_select\n"
    "done:\n  call wait_frame\n  jmp done\n"
    "hover:\n  ret\n"
    "leave:\n  ret\n"
    "decide:\n  ret\n"
    "one:\n  mov r20, 1\n  jmp done\n"
    "two:\n  mov r20, 2\n  jmp done\n";

class ChoiceSave : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    gewriter::GeOptions options;
    options.cell_width = 200;
    options.cell_height = 40;
    const std::vector<uint32_t> pixels(200 * 120, 0xFF808080u);
    testsupport::write_file(dir / "game/ITEM.TGA", gewriter::ge_write(200, 120, pixels, options));
    std::filesystem::create_directories(dir / "save");
    engine::set_command_save_folder(enginetest::system_path(dir / "save"));
    vm().save.nLoadAfterLabel = -1;
  }
  void TearDown() override {
    ui::select_release(vm());
    engine::set_command_save_folder("");
    engine::save_stream_free(vm().save);
    UiTest::TearDown();
  }
  uint32_t call(uint32_t id, std::vector<uint32_t> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    vm().dwResultReg = 0;
    engine::command_lookup(id)(vm());
    return vm().reg[0];
  }
};

TEST_F(ChoiceSave, ALoadOfTheChoicesSnapshotBuildsTheSameMenu) {
  load(kMenu);
  run();
  const engine::SelectState before = vm().select;
  ASSERT_EQ(before.nItems, 2);
  ASSERT_EQ(vm().save.bSnapValid, 1u);
  call(0x0A0000, {1, 1});  // save 1
  ASSERT_TRUE(std::filesystem::exists(dir / "save/save001.dat"));
  // Another menu state, then the load.
  ui::select_release(vm());
  vm().select.dwGraphic = 0;
  vm().select.dwHoverLabel = 0;
  call(0x0A0001, {1});
  // The snapshot taken at the end of the load is the file, byte for byte.
  const std::string file = testsupport::read_file(dir / "save/save001.dat");
  const engine::SaveStream& ss = vm().save;
  EXPECT_EQ(std::string(ss.lpSnapshot->begin(), ss.lpSnapshot->begin() + ss.dwSnapLength), file);
  run();
  const engine::SelectState& after = vm().select;
  EXPECT_EQ(after.nItems, 2);
  EXPECT_EQ(after.dwGraphic, before.dwGraphic);
  EXPECT_EQ(after.dwColorNormal, before.dwColorNormal);
  EXPECT_EQ(after.dwColorThird, before.dwColorThird);
  EXPECT_EQ(after.dwHoverLabel, before.dwHoverLabel);
  EXPECT_EQ(after.dwDecideLabel, before.dwDecideLabel);
  EXPECT_EQ(vm().runner.dwCommand, 0x060003u) << "waiting in end_select again";
  // Deciding packs the menu's snapshot as the previous data; load 1000 opens the menu again.
  frames(2, 0, 150, 210);
  frame(kLeft, 150, 210);
  frames(3, 0, 150, 210);
  EXPECT_EQ(r(20), 2u);
  EXPECT_EQ(call(0x0A0022, {}), 1u);  // is_prev_data
  call(0x0A0001, {1000});
  run();
  EXPECT_EQ(vm().select.nItems, 2);
  EXPECT_EQ(vm().select.bVisible, 1u);
  EXPECT_EQ(r(20), 0u);
}

}  // namespace
}  // namespace uitest
