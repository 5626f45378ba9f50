// System-button hooks polled with injected keys, wheel and mouse buttons: which hook fires,
// key-release mode, held keys that silence them, held repeats under the 50 ms pause.
#include <initializer_list>

#include "program/ui/ui_fixture.h"
#include "ui/buttons/system_buttons.h"

namespace uitest {
namespace {

class SystemButtons : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    load(
        "loop:\n  call wait_frame\n  jmp loop\n"
        "first:\n  add r11, 1\n  ret\n"
        "second:\n  add r12, 1\n  ret\n");
    run();
  }
  void cmd(uint32_t id, std::initializer_list<int32_t> args) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) {
      engine::vm_push(vm(), static_cast<uint32_t>(*it));
    }
    engine::command_lookup(id)(vm());
  }
  void set(int32_t hook, int32_t label, int32_t hold) { cmd(0x0c0000, {hook, label, hold}); }
};

constexpr int32_t kFirst = 2, kSecond = 3;  // label numbers of "first" and "second"

TEST_F(SystemButtons, WhichHookFires) {
  struct Case {
    const char* what;
    int32_t hook_a, hook_b;  // hook_a calls "first", hook_b "second" (-1: none)
    bool release_mode;
    uint32_t held_before, held;  // keys held on the frame before and on the polled frame
    int16_t wheel;
    uint32_t first, second;  // expected counts
  } cases[] = {
      {"right button push", 0, -1, false, 0, kKeyMouseR, 0, 1, 0},
      {"right button in key-release mode: not on the push", 0, -1, true, 0, kKeyMouseR, 0, 0, 0},
      {"right button in key-release mode: on the release", 0, -1, true, kKeyMouseR, 0, 0, 1, 0},
      {"C key fires hook 3", 3, -1, false, 0, kKeyC, 0, 1, 0},
      {"wheel away from the user", 1, 2, false, 0, 0, -1, 1, 0},
      {"wheel towards the user", 1, 2, false, 0, 0, 1, 0, 1},
      {"F1 is hook 4, F12 hook 15", 4, 15, false, 0, 1u << 22, 0, 0, 1},
      {"Esc", 16, -1, false, 0, kKeyEsc, 0, 1, 0},
      {"Shift held silences all", 16, -1, false, kKeyShift, kKeyShift | kKeyEsc, 0, 0, 0},
      {"an arrow held does not", 16, -1, false, kKeyUp, kKeyUp | kKeyEsc, 0, 1, 0},
      {"of two hooks the lower runs", 16, 4, false, 0, kKeyEsc | kKeyF1, 0, 0, 1},
      {"hook 25 fires with no input", 25, -1, false, 0, 0, 0, 1, 0},
      {"Down without push does nothing", 18, -1, false, kKeyDown, kKeyDown, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (engine::SystemButton& b : vm().systemButtons) b = engine::SystemButton{};
    vm().buttons.bKeyRelease = c.release_mode;
    vm().buttons.dwInvalidTime = 0;
    vm().reg[11] = vm().reg[12] = 0;
    if (c.hook_a >= 0) set(c.hook_a, kFirst, 0);
    if (c.hook_b >= 0) set(c.hook_b, kSecond, 0);
    sample(c.held_before, 1000, 600);
    engine::game_frame(gs());
    vm().buttons.dwInvalidTime = 0;
    vm().reg[11] = vm().reg[12] = 0;
    sample(c.held, 1000, 600);
    orv_process().input.wheel = c.wheel;
    engine::game_frame(gs());
    input_end_frame(orv_process().input);
    frame(0, 1000, 600);  // the label finishes
    EXPECT_EQ(r(11), c.first);
    EXPECT_EQ(r(12), c.second);
  }
}

TEST_F(SystemButtons, HeldDownWithHoldFlagRepeatsAtMostOncePer50Ms) {
  set(18, kFirst, 1);
  frame(kKeyDown, 1000, 600);
  EXPECT_EQ(r(11), 1u);
  // Held: nothing until the key repeats (500 ms), then once per 50 ms pause.
  for (int i = 0; i < 30; ++i) frame(kKeyDown, 1000, 600);  // 480 ms
  EXPECT_EQ(r(11), 1u);
  for (int i = 0; i < 31; ++i) frame(kKeyDown, 1000, 600);  // about 500 ms more
  EXPECT_GE(r(11), 8u);
  EXPECT_LE(r(11), 11u);
  // Without the hold flag the held key fires only on its push.
  set(18, kFirst, 0);
  vm().reg[11] = 0;
  for (int i = 0; i < 20; ++i) frame(kKeyDown, 1000, 600);
  EXPECT_EQ(r(11), 0u);
}

TEST_F(SystemButtons, ReleaseAndEnableAllAndRefuseHook32) {
  set(16, kFirst, 0);
  set(4, kSecond, 0);
  set(32, kFirst, 0);
  EXPECT_EQ(vm().systemButtons[0].bInit, 0u);  // nothing written past the table
  cmd(0x0c0002, {65535, 0});                   // all off
  frame(kKeyEsc, 1000, 600);
  frame(0, 1000, 600);
  EXPECT_EQ(r(11), 0u);
  cmd(0x0c0002, {65535, 1});
  frame(kKeyEsc, 1000, 600);
  frame(0, 1000, 600);
  EXPECT_EQ(r(11), 1u);
  cmd(0x0c0001, {65535});  // all released
  for (const engine::SystemButton& b : vm().systemButtons) {
    EXPECT_EQ(b.bInit, 0u);
    EXPECT_EQ(b.dwLabel, 0u);
  }
  cmd(0x0c0002, {65535, 1});
  frames(4, 0, 1000, 600);
  frame(kKeyF1, 1000, 600);
  frame(0, 1000, 600);
  EXPECT_EQ(r(12), 0u) << "enable brings back only hooks that still have a label";
}

}  // namespace
}  // namespace uitest
