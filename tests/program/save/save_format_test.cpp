// Save data: the fixed part's offsets against literal numbers, a round trip of the state through
// a snapshot, and a table of damaged images (cut at each block's end and inside blocks, too
// long, each checked value broken once) that are refused before anything changes.
#include <cstring>
#include <string>
#include <vector>

#include "engine/vm_services.h"
#include "program/save/save_fixture.h"
#include "save/save_fixed.h"
#include "save/save_load.h"
#include "shared/byte_codec.h"

namespace savetest {
namespace {

uint32_t word_at(const std::vector<uint8_t>& b, size_t at) {
  return codec::load_u32(b.data() + at);
}

constexpr const char* kScript =
    "  mov r0, 1\n"
    "line:\n"
    "  call wait_frame\n"
    "  jmp line\n"
    "after:\n"
    "  ret\n";

class SaveFormat : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    load(kScript);
  }
  // A state worth saving: memories, stacks, strings, player name, three return entries.
  void fill_state() {
    engine::VmContext& v = vm();
    std::strcpy(v.save.szSaveText, "saved text");
    v.save.dwTitle = 0x0FFFFFFF;
    v.save.dwMosaicThumbnail = 1;
    for (uint32_t i = 0; i < engine::kUserMemoryCells; ++i) v.userMem[i] = i * 3 + 1;
    v.memStack.nDepth = 2;
    v.memStack.frames[1][5] = 55;
    v.strings.nRing = 3;
    std::strcpy(v.strings.slots[2], "slot two");
    v.run.dwSpritePriorityBase = 0x1234;
    v.run.dwKeyCancel[0] = 0x40;
    v.sysMem[509] = 12;
    v.sysMem[511] = 13;
    v.nArgCount = 2;
    v.argStack[0] = 77;
    v.argStack[1] = 78;
    v.frame.dwEbp = 4;
    v.frame.dwEsp = 9;
    v.frame.cells[8] = 0xCAFE;
    std::memcpy(v.playerName.szName, "Aoi", 4);
    v.playerName.dwNameLength = 3;
    v.playerName.bChanged = 1;
    v.thread = engine::ScriptThreadRecord{1, 1, 0, 0, 2};
    v.select.dwGraphic = 4;
    v.select.dwColorHover = 0xFF00FF00u;
    for (uint32_t pc : {12u, 24u, 36u}) engine::data_entry_push(v, engine::kChannelReturns, pc, 1);
  }
};

TEST_F(SaveFormat, FixedPartLiesAtItsOffsets) {
  fill_state();
  vm().save.nLoadAfterLabel = 8;
  snap(12);
  ASSERT_EQ(vm().save.bSnapValid, 1u);
  const std::vector<uint8_t> b = held();
  const size_t S = 8 * 4 * 4, P = 4132 + S;
  EXPECT_EQ(word_at(b, 0), 0u);
  EXPECT_EQ(word_at(b, 4), 0x0FFFFFFFu);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 8)), "saved text");
  EXPECT_EQ(word_at(b, 4104), 1u);
  EXPECT_EQ(word_at(b, 4108), 12u);
  EXPECT_EQ(word_at(b, 4112), 8u);
  EXPECT_EQ(word_at(b, 4116), 8u);
  EXPECT_EQ(word_at(b, 4120), 4u);
  EXPECT_EQ(word_at(b, 4124), S);
  EXPECT_EQ(word_at(b, 4128), 0u);
  EXPECT_EQ(b[4132 + 5], 5u);  // the pixels the fixture put there
  EXPECT_EQ(word_at(b, P + 4 * 10), 31u);
  EXPECT_EQ(word_at(b, P + 4096), 2u);
  EXPECT_EQ(word_at(b, P + 4100 + 1024 + 20), 55u);
  EXPECT_EQ(word_at(b, P + 36868), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + P + 36872 + 2 * 2047)),
            "slot two");
  EXPECT_EQ(word_at(b, P + 69624), 0x1234u);
  EXPECT_EQ(word_at(b, P + 69628), 0x40u);
  EXPECT_EQ(word_at(b, P + 69632), 0u);
  EXPECT_EQ(word_at(b, P + 69636), 0u);
  EXPECT_EQ(word_at(b, P + 69640), 12u);
  EXPECT_EQ(word_at(b, P + 69644), 13u);
  EXPECT_EQ(word_at(b, P + 69648), 2u);
  EXPECT_EQ(word_at(b, P + 69652), 77u);
  EXPECT_EQ(word_at(b, P + 69656), 78u);
  EXPECT_EQ(word_at(b, P + 69908), 4u);
  EXPECT_EQ(word_at(b, P + 69912), 9u);
  EXPECT_EQ(word_at(b, P + 69916 + 32), 0xCAFEu);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + P + 71964)), "Aoi");
  EXPECT_EQ(word_at(b, P + 71996), 3u);
  EXPECT_EQ(word_at(b, P + 72000), 1u);
  // The blocks follow at P + 72004; the last is the return stack, oldest first.
  const size_t n = b.size();
  EXPECT_EQ(word_at(b, n - 16), 3u);
  EXPECT_EQ(word_at(b, n - 12), 12u);
  EXPECT_EQ(word_at(b, n - 8), 24u);
  EXPECT_EQ(word_at(b, n - 4), 36u);
  std::vector<size_t> ends;
  save::SaveCheck check = save::save_check_for(vm());
  ASSERT_TRUE(save::save_data_check(b.data(), b.size(), check, nullptr, &ends)) << check.field;
  ASSERT_EQ(ends.size(), 15u);
  EXPECT_EQ(ends[0], P + 72004);
  EXPECT_EQ(ends[2] - ends[1], 28u);   // choice settings
  EXPECT_EQ(ends[3] - ends[2], 20u);   // script thread
  EXPECT_EQ(ends[7] - ends[6], 184u);  // music
  EXPECT_EQ(ends[9] - ends[8], 640u);  // voice autopan
  EXPECT_EQ(ends[14] - ends[13], 16u);
}

TEST_F(SaveFormat, StateSurvivesASnapshotByteForByte) {
  fill_state();
  snap(12);
  const std::vector<uint8_t> first = held();
  // Change everything, then read the snapshot back.
  engine::VmContext& v = vm();
  std::memset(v.userMem, 0x5A, sizeof v.userMem);
  v.memStack.nDepth = 0;
  v.strings.nRing = 9;
  v.nArgCount = 0;
  v.thread = {};
  v.select.dwGraphic = 0;
  std::memset(v.playerName.szName, 0, 32);
  engine::return_stack_clear(v);
  save::save_snapshot_read(v);
  EXPECT_EQ(v.runner.dwPc, 12u);
  EXPECT_EQ(v.userMem[10], 31u);
  EXPECT_EQ(v.memStack.frames[1][5], 55u);
  EXPECT_STREQ(v.strings.slots[2], "slot two");
  EXPECT_EQ(v.run.dwSysMem509, 12u);
  EXPECT_EQ(v.run.dwSysMem511, 13u);
  EXPECT_EQ(v.thread.dwLabel, 2u);
  EXPECT_EQ(v.select.dwColorHover, 0xFF00FF00u);
  EXPECT_STREQ(v.playerName.szName, "Aoi");
  // The newest entry is on top again; every entry comes back as kind 0.
  engine::DataEntry e{};
  ASSERT_TRUE(engine::data_entry_pop(v, engine::kChannelReturns, &e));
  EXPECT_EQ(e.dwValue, 36u);
  EXPECT_EQ(e.dwKind, 0u);
  for (uint32_t pc : {24u, 12u}) {
    ASSERT_TRUE(engine::data_entry_pop(v, engine::kChannelReturns, &e));
    EXPECT_EQ(e.dwValue, pc);
  }
  for (uint32_t pc : {12u, 24u, 36u}) engine::data_entry_push(v, engine::kChannelReturns, pc, 1);
  // A second snapshot of the restored state is the same image.
  snap(12);
  EXPECT_EQ(held(), first);
}

// The damaged images of one valid fixture. Each must be refused naming its field, with the
// game's state, the held snapshot and PrevData as they were.
TEST_F(SaveFormat, DamagedImagesAreRefusedBeforeAnythingChanges) {
  fill_state();
  snap(12);
  const std::vector<uint8_t> valid = held();
  std::vector<size_t> ends;
  {
    save::SaveCheck check = save::save_check_for(vm());
    ASSERT_TRUE(save::save_data_check(valid.data(), valid.size(), check, nullptr, &ends));
  }
  // PrevData of the valid state, and a different held snapshot to see that nothing moves.
  call(0x0A000B, {1000});
  ASSERT_NE(vm().save.dwPrevRawLength, 0u);
  vm().userMem[0] = 0xABCD;
  snap(24);
  const std::vector<uint8_t> held_before = held();
  const std::vector<uint8_t> prev_before(vm().save.lpPrevData,
                                         vm().save.lpPrevData + vm().save.dwPrevPackedLength);

  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  auto cut = [&](size_t n, const std::string& why) {
    cases.push_back({"cut at " + std::to_string(n) + " (" + why + ")",
                     std::vector<uint8_t>(valid.begin(), valid.begin() + n)});
  };
  auto poke = [&](size_t at, uint32_t value, const std::string& why) {
    std::vector<uint8_t> b = valid;
    codec::store_u32(b.data() + at, value);
    cases.push_back({why, b});
  };
  cut(0, "empty");
  cut(100, "inside the head");
  for (size_t i = 0; i + 1 < ends.size(); ++i) {
    cut(ends[i], "block boundary " + std::to_string(i));
    cut(ends[i] + 2, "inside block " + std::to_string(i + 1));
  }
  cut(valid.size() - 1, "inside the last word");
  {
    std::vector<uint8_t> b = valid;
    b.push_back(0);
    cases.push_back({"one byte too many", b});
    b.resize(engine::kSaveBufferBytes + 1);
    cases.push_back({"2 MiB + 1 bytes", b});
  }
  const size_t S = 128, P = 4132 + S;
  poke(4108, 1u << 30, "resume pc outside the code");
  poke(4112, 1u << 30, "load-after label outside the code");
  poke(4116, 9, "thumbnail width unlike its size");
  poke(4124, 0xFFFFFFF0u, "thumbnail size huge");
  poke(P + 4096, 33, "memory stack depth");
  poke(P + 36868, 16, "string ring index");
  poke(P + 69648, 65, "argument count");
  poke(P + 69648, 0xFFFFFFFFu, "negative argument count");
  poke(P + 69908, 513, "frame base");
  poke(P + 69912, 513, "frame stack pointer");
  poke(P + 71996, 33, "player-name length");
  poke(ends[1] + 16, 1u << 30, "choice hover label");
  poke(ends[2] + 12, 1u << 30, "thread start");
  poke(ends[13], 5, "return count past the end");
  poke(ends[13] + 4, 1u << 30, "return pc outside the code");

  const uint32_t pc_before = vm().runner.dwPc;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    logs_.clear();
    EXPECT_FALSE(
        save::save_image_load(vm(), c.bytes.data(), c.bytes.size(), "slot.dat", save::LoadMode{}));
    ASSERT_EQ(log_count(0), 1u);
    EXPECT_NE(logs_.back().second.find("load error [slot.dat]: "), std::string::npos)
        << logs_.back().second;
    EXPECT_EQ(vm().userMem[0], 0xABCDu);
    EXPECT_EQ(vm().runner.dwPc, pc_before);
    EXPECT_EQ(held(), held_before);
    EXPECT_EQ(std::vector<uint8_t>(vm().save.lpPrevData,
                                   vm().save.lpPrevData + vm().save.dwPrevPackedLength),
              prev_before);
  }
  // The valid image itself loads.
  EXPECT_TRUE(save::save_image_load(vm(), valid.data(), valid.size(), "slot.dat", {}));
  EXPECT_EQ(vm().userMem[0], 1u);
  EXPECT_EQ(vm().runner.dwPc, 12u);
}

}  // namespace
}  // namespace savetest
