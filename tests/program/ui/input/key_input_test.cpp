// Key input of group 0x09: the game-pad keys against fake pads and a fake clock, the window's
// activity, the pushed-key log over frames, and the mouse-position variables.
#include <initializer_list>
#include <vector>

#include "program/ui/ui_fixture.h"
#include "ui/input/async_keys.h"

namespace uitest {
namespace {

struct FakePads {
  OrvPadState pads[4] = {};
  bool present[4] = {};
  int polls = 0;
  uint32_t now = 50000;
  int32_t keys_down_vk = -1;
  int32_t active = 1;
};
FakePads* g_pads = nullptr;

class KeyInput : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    pads_ = FakePads{};
    g_pads = &pads_;
    saved_ = ui::async_key_source;
    ui::async_key_source =
        ui::AsyncKeySource{[](int32_t vk) { return int32_t(vk == g_pads->keys_down_vk); },
                           [](uint32_t index, OrvPadState* state) {
                             ++g_pads->polls;
                             if (!g_pads->present[index]) return int32_t{0};
                             *state = g_pads->pads[index];
                             return int32_t{1};
                           },
                           [] { return g_pads->now; }};
    ui::pad_poll_state = ui::PadPollState{};
    orv.IsActive = [] { return g_pads->active; };
  }
  void TearDown() override {
    ui::async_key_source = saved_;
    ui::pad_poll_state = ui::PadPollState{};
    UiTest::TearDown();
  }
  uint32_t cmd(uint32_t id, std::initializer_list<uint32_t> args = {}) { return command(id, args); }

  FakePads pads_;
  ui::AsyncKeySource saved_{};
};

TEST_F(KeyInput, FirstConnectedPadAnswersWithTheButtonBit) {
  pads_.present[1] = true;
  pads_.pads[1].wButtons = 0x1000;  // A
  EXPECT_EQ(ui::get_async_key_state(195), 0x1000u);
  EXPECT_EQ(ui::get_async_key_state(196), 0u);
  cmd(0x090036, {195});
  EXPECT_EQ(r(0), 1u);
  EXPECT_TRUE(logged(10, "[1] get_async_key 195"));
  // Other keys go to the keyboard.
  pads_.keys_down_vk = 0x41;
  cmd(0x090036, {0x41});
  EXPECT_EQ(r(0), 1u);
}

TEST_F(KeyInput, WithoutAPadThePadsRestForTwoSeconds) {
  EXPECT_EQ(ui::get_async_key_state(200), 0u);
  EXPECT_EQ(pads_.polls, 4);  // pads 0-3 asked once
  pads_.now += 1999;
  EXPECT_EQ(ui::get_async_key_state(200), 0u);
  EXPECT_EQ(pads_.polls, 4);
  pads_.now += 1;
  pads_.present[0] = true;
  pads_.pads[0].wButtons = 0x0100;  // left shoulder
  EXPECT_EQ(ui::get_async_key_state(200), 0x0100u);
  EXPECT_EQ(pads_.polls, 5);
  // A connected pad is asked on every call.
  EXPECT_EQ(ui::get_async_key_state(200), 0x0100u);
  EXPECT_EQ(pads_.polls, 6);
}

TEST_F(KeyInput, SticksAndTriggersHaveTheirThresholds) {
  struct Case {
    uint32_t vk;
    OrvPadState pad;
    uint32_t down;
  };
  auto pad = [](uint8_t lt, uint8_t rt, int16_t lx, int16_t ly, int16_t rx, int16_t ry) {
    return OrvPadState{0, lt, rt, lx, ly, rx, ry};
  };
  for (const Case& c : std::initializer_list<Case>{
           {211, pad(0, 0, 0, 7849, 0, 0), 0},
           {212, pad(0, 0, 0, 7849, 0, 0), 0},
           {211, pad(0, 0, 0, 7850, 0, 0), 1},
           {212, pad(0, 0, 0, -7850, 0, 0), 1},
           {213, pad(0, 0, 7850, 0, 0, 0), 1},
           {214, pad(0, 0, -7849, 0, 0, 0), 0},
           {215, pad(0, 0, 0, 0, 0, 8689), 0},
           {215, pad(0, 0, 0, 0, 0, 8690), 1},
           {216, pad(0, 0, 0, 0, 0, -8690), 1},
           {217, pad(0, 0, 0, 0, 8690, 0), 1},
           {218, pad(0, 0, 0, 0, -8689, 0), 0},
           {201, pad(29, 0, 0, 0, 0, 0), 0},
           {201, pad(30, 0, 0, 0, 0, 0), 1},
           {202, pad(0, 255, 0, 0, 0, 0), 1},
           {194, pad(255, 255, 32767, 32767, 32767, 32767), 0},
       }) {
    EXPECT_EQ(ui::pad_control_value(c.vk, c.pad), c.down) << c.vk;
  }
}

TEST_F(KeyInput, InactiveWindowReadsNothing) {
  pads_.present[0] = true;
  pads_.pads[0].wButtons = 0x1000;
  pads_.active = 0;
  vm().reg[0] = 7;
  cmd(0x090036, {195});
  EXPECT_EQ(r(0), 0u);
  EXPECT_FALSE(logged(10, "get_async_key"));
}

TEST_F(KeyInput, PushLogGathersEveryFrameUntilCleared) {
  frame(kKeyEnter, 0, 0);
  frame(0, 0, 0);
  frame(kKeySpace, 0, 0);
  cmd(0x09001A);
  EXPECT_EQ(r(0), kKeyEnter | kKeySpace);
  cmd(0x090019);
  cmd(0x09001A);
  EXPECT_EQ(r(0), 0u);
  frame(kKeyEsc, 0, 0);
  cmd(0x09001A);
  EXPECT_EQ(r(0), kKeyEsc);
  cmd(0x090022);  // get_push_key: this frame's word
  EXPECT_EQ(r(0), kKeyEsc);
}

TEST_F(KeyInput, KeyCancelKeepsKeysOutAndIsRemembered) {
  cmd(0x090012, {kKeyEnter, 0});
  EXPECT_EQ(vm().run.dwKeyCancel[0], kKeyEnter);
  frames(2, kKeyEnter | kKeySpace, 0, 0);  // held: pushed in the first frame, on in the next
  cmd(0x090021);
  EXPECT_EQ(r(0), kKeySpace);
  cmd(0x090012, {0, 0});
  frames(2, kKeyEnter, 0, 0);
  cmd(0x090021);
  EXPECT_EQ(r(0), kKeyEnter);
}

TEST_F(KeyInput, InputClearDropsTheAdvanceRequest) {
  frame(kKeyEnter, 0, 0);
  vm().text.bAdvanceRequest = 1;
  cmd(0x090023);
  EXPECT_EQ(vm().text.bAdvanceRequest, 0u);
  cmd(0x090022);
  EXPECT_EQ(r(0), 0u);
}

TEST_F(KeyInput, MousePositionIntoVariables) {
  frame(0, 300, 200);
  vm().tempMem[5] = vm().tempMem[6] = 1;
  cmd(0x09000C, {5, 0xFFFFFFFF});
  EXPECT_EQ(vm().tempMem[5], 300u);
  cmd(0x09000C, {0xFFFFFFFF, 6});
  EXPECT_EQ(vm().tempMem[6], 200u);
  vm().tempMem[5] = 1;
  cmd(0x09000C, {5, 4096});  // one variable outside TempMemory: nothing is stored
  EXPECT_EQ(vm().tempMem[5], 1u);
}

}  // namespace
}  // namespace uitest
