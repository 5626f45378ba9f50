// A script machine with a game folder and the save stream made as engine start makes it, with a
// small thumbnail (8 x 4) so that images stay small.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "save/prev_data.h"
#include "save/save_files.h"
#include "save/save_snapshot.h"
#include "save/save_stream.h"
#include "support/game_folder_fixture.h"

namespace savetest {

class SaveTest : public enginetest::GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    engine::SaveStream& s = vm().save;
    s.dwThumbWidth = 8;
    s.dwThumbHeight = 4;
    s.dwThumbSize = 8 * 4 * 4;
    s.bThumbEnabled = 0;  // no screen here: snapshots keep the pixels the test put there
    s.nLoadAfterLabel = -1;
    ASSERT_TRUE(engine::save_stream_init(s));
    for (uint32_t i = 0; i < s.dwThumbSize; ++i) s.lpThumbPixels[i] = static_cast<uint8_t>(i);
    gs().settings.nNewestSave = -1;
    save::save_file_ops = save::kSaveFileOpsReal;
  }
  void TearDown() override {
    save::save_file_ops = save::kSaveFileOpsReal;
    engine::save_stream_free(vm().save);
    GameFolderTest::TearDown();
  }

  // Takes a snapshot now with the resume pc at pc.
  void snap(uint32_t pc) {
    vm().save.dwResumePc = pc;
    vm().save.dwSnapOffset = 0;
    save::save_snapshot_make(vm());
  }
  std::vector<uint8_t> held() const {
    const engine::SaveStream& s = gs_const().vm.save;
    return std::vector<uint8_t>(s.lpSnapshot->begin(), s.lpSnapshot->begin() + s.dwSnapLength);
  }
  // The file of a save slot, as bytes.
  std::string slot_file(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "save/save%03d.dat", slot);
    return exists(name) ? get(name) : std::string("<missing>");
  }
  const engine::GameState& gs_const() const { return const_cast<SaveTest*>(this)->gs(); }
  // Runs one command by id with the arguments in popping order.
  uint32_t call(uint32_t id, std::vector<uint32_t> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    vm().dwResultReg = 0;
    engine::command_lookup(id)(vm());
    return vm().reg[0];
  }
};

}  // namespace savetest
