// The dialogs as the library draws them: a player's keys and text arrive as window events
// while the command waits on its own thread, and the script gets what was typed.
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/widgets/widgets.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "support/vm_fixture.h"
#include "support/widget_wait.h"
#include "ui/dialogs/dialog_boxes.h"
#include "ui/dialogs/dialogs.h"

namespace {

using engine::kStringHandleBit;
using platform::WindowEvent;
using K = platform::WindowEventKind;

void type(const std::string& utf8) {
  WindowEvent e;
  e.kind = K::kTextInput;
  e.text = utf8;
  widgets_take_event(e);
}
void key(uint32_t vk) {
  WindowEvent e;
  e.kind = K::kKeyDown;
  e.vk = vk;
  widgets_take_event(e);
}

std::function<bool(const Control&)> label(const std::string& text) {
  return [text](const Control& c) { return c.label == text; };
}

class DialogBoxes : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    ui::stand_edit_state() = ui::StandEditState{};
    platform::message_box_answers_restart();
  }
  void TearDown() override {
    widgets_reset();
    ui::stand_edit_state() = ui::StandEditState{};
    VmTest::TearDown();
  }
  // Runs a command on a thread of its own, as the script's thread waits in a dialog.
  std::future<uint32_t> run(uint32_t id, std::initializer_list<uint32_t> args) {
    std::vector<uint32_t> a(args);
    return std::async(std::launch::async, [this, id, a] {
      vm().reg[0] = 0xEEEE;
      for (auto it = a.rbegin(); it != a.rend(); ++it) engine::vm_push(vm(), *it);
      engine::command_lookup(id)(vm());
      return vm().reg[0];
    });
  }
  static bool done(std::future<uint32_t>& f) {
    return f.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  }
};

TEST_F(DialogBoxes, EditCountsWhatIsTypedAndGivesItToTheSlotOnOk) {
  std::strcpy(vm().strings.slots[1], "");
  std::strcpy(vm().strings.slots[2], "caption");
  auto f = run(0x12002C, {kStringHandleBit | 3, kStringHandleBit | 2, kStringHandleBit | 1, 10});
  ASSERT_TRUE(testsupport::wait_for_control(1009, label("0/10")));
  type("あいうえおかきくけこさし");  // twelve full-width characters: 24 of 10
  ASSERT_TRUE(testsupport::wait_for_control(1009, label("24/10(over 14)")));
  EXPECT_TRUE(testsupport::wait_for_control(1, [](const Control& c) { return !c.enabled; }));
  for (int i = 0; i < 12; ++i) key(0x08);
  ASSERT_TRUE(testsupport::wait_for_control(1009, label("0/10")));
  type("abc");
  key(0x0D);  // Return breaks the line: CR LF counts 1
  type("de");
  ASSERT_TRUE(testsupport::wait_for_control(1009, label("6/10")));
  ASSERT_TRUE(testsupport::wait_for_control(1, [](const Control& c) { return c.enabled; }));
  key(0x09);  // Tab from the text to OK
  key(0x0D);
  ASSERT_TRUE(done(f));
  EXPECT_EQ(f.get(), 1u);
  EXPECT_STREQ(vm().strings.slots[3], "abc\r\nde");
}

TEST_F(DialogBoxes, EditCancelledKeepsTheSlot) {
  std::strcpy(vm().strings.slots[3], "kept");
  auto f = run(0x12002C, {kStringHandleBit | 3, kStringHandleBit | 2, kStringHandleBit | 1, 10});
  ASSERT_TRUE(testsupport::wait_for_control(1008, [](const Control&) { return true; }));
  type("x");
  key(0x1B);
  ASSERT_TRUE(done(f));
  EXPECT_EQ(f.get(), 0u);
  EXPECT_STREQ(vm().strings.slots[3], "kept");
}

TEST_F(DialogBoxes, StandEditRefusesATooLongNameAndKeepsTheDialogOpen) {
  setenv("VELMORA_MSGBOX_ANSWERS", "1", 1);
  platform::message_box_answers_restart();
  auto f = run(0x12008B, {4, 10, 2});
  ASSERT_TRUE(testsupport::wait_for_control(1011, [](const Control&) { return true; }));
  type("一二三四五");  // five characters for a name of four
  key(0x09);           // to the line
  type("今日は");
  key(0x09);  // to OK
  key(0x0D);
  EXPECT_EQ(f.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  unsetenv("VELMORA_MSGBOX_ANSWERS");
  key(0x09);
  key(0x09);  // around to the name again, past cancel
  key(0x23);
  key(0x08);
  key(0x09);
  key(0x09);
  key(0x0D);
  ASSERT_TRUE(done(f));
  EXPECT_EQ(f.get(), 1u);
  EXPECT_EQ(ui::stand_edit_state().szName, platform::utf8_to_sjis_lossy("一二三四"));
  EXPECT_EQ(ui::stand_edit_state().szLine, platform::utf8_to_sjis_lossy("今日は"));
}

TEST(DialogUnits, TemplatesScaleWithTheFont) {
  EXPECT_EQ(ui::dialog_units_x(309, 19), 734);
  EXPECT_EQ(ui::dialog_units_y(56, 19), 133);
  EXPECT_EQ(ui::dialog_units_x(4, 8), 4);  // four horizontal units: one average character
}

}  // namespace
