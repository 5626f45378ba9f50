// Player-name entry in the library's edit box: the player types into the box over the picture
// and the script's check and end keep what was typed as the name.
#include <cstring>
#include <string>

#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/widgets/widgets.h"
#include "platform/sjis.h"
#include "platform/window.h"
#include "support/vm_fixture.h"
#include "ui/name_entry/name_entry.h"

namespace {

using engine::kStringHandleBit;

void event(platform::WindowEventKind kind, const std::string& text, uint32_t vk = 0) {
  platform::WindowEvent e;
  e.kind = kind;
  e.text = text;
  e.vk = vk;
  widgets_take_event(e);
}

class NameBox : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    // No window thread here: its work runs where it is handed over.
    orv.OrvAttachProcess = [](void (*f)(void*), void* arg) {
      f(arg);
      return int32_t{0};
    };
    // The window as large as the game's screen: the box lies where the script puts it.
    orv.OrvGetWindowSize = [](int32_t* w, int32_t* h) {
      uint32_t sw = 0, sh = 0;
      engine::game_screen_size(&sw, &sh);
      *w = static_cast<int32_t>(sw);
      *h = static_cast<int32_t>(sh);
      return int32_t{1};
    };
    orv.OrvCheckWindowMode = [] { return int32_t{0}; };
  }
  void TearDown() override {
    ui::player_name_window_destroy(vm());
    widgets_reset();
    VmTest::TearDown();
  }
  std::string name() { return std::string(vm().playerName.szName, vm().playerName.dwNameLength); }
  size_t widgets() {
    WidgetState& st = widget_state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return st.widgets.size();
  }
};

TEST_F(NameBox, TheTypedNameIsCheckedAndKept) {
  std::strcpy(vm().strings.slots[0], platform::utf8_to_sjis_lossy("太郎").c_str());
  command(0x120016, {kStringHandleBit, 8, 100, 200, 300, 40, 24});
  ASSERT_EQ(widgets(), 1u);
  using K = platform::WindowEventKind;
  event(K::kKeyDown, "", 0x08);
  event(K::kKeyDown, "", 0x08);  // the default name is gone
  event(K::kTextInput, "花");
  event(K::kTextInput, "a");  // half-width: refused by the check, which puts the name back
  vm().reg[0] = 0xEEEE;
  command(0x120018);
  EXPECT_EQ(vm().reg[0], 0u);
  event(K::kKeyDown, "", 0x08);
  event(K::kKeyDown, "", 0x08);
  event(K::kTextInput, "花子");
  command(0x120018);
  EXPECT_EQ(vm().reg[0], 1u);
  command(0x120017);
  EXPECT_EQ(name(), platform::utf8_to_sjis_lossy("花子"));
  EXPECT_EQ(vm().playerName.bChanged, 1u);
  EXPECT_EQ(widgets(), 0u);
}

}  // namespace
