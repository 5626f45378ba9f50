// The sprite tool's window of numbers as the library's own widget box: made when the tool
// opens, filled every frame, leaving the keys and the clicks on its texts to the tool, removed
// when the tool ends.
#include <gtest/gtest.h>

#include <string>

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/render/debug/debug_panels.h"
#include "Orv/render/debug/debug_sprite.h"
#include "support/debug_panel_probe.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

using testsupport::panel_text;

void main_step(void*) {}

class DebugPanels : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    ASSERT_TRUE(task_scheduler_create());
    ASSERT_NE(OrvTaskCreate(main_step, nullptr, 4, nullptr, kTaskLinkAfter,
                            task_scheduler().root->id, "main"),
              0u);
    debug_dialog_view_set(&kDebugPanelsView);
  }
  void TearDown() override {
    in().reset();
    task_scheduler_destroy();
    orv_process().debug_tool = 0;
    widgets_reset();
    RenderTest::TearDown();
  }
  static InputState& in() { return orv_process().input; }
  void frame(uint32_t push, int32_t mx, int32_t my) {
    in().on = push;
    in().push = push;
    in().mouse_x = mx;
    in().mouse_y = my;
    TaskTreeRun();
  }
};

TEST_F(DebugPanels, SpriteWindowIsABoxThatFollowsTheToolAndLeavesItTheKeys) {
  const OrvHandle s = solid(8, 8, 0xFFFFFFFFu, 30, 30, 10);
  OrvSpriteSetScale(s, 1.5f, 1.5f);
  ASSERT_EQ(testsupport::widget_count(), 0u);
  ASSERT_TRUE(debug_control(kDebugToolSprite));
  frame(0, 5, 6);
  ASSERT_NE(debug_panel_widget(kDebugDialogSprite), 0u);
  EXPECT_TRUE(testsupport::panel_is_shown_box(kDebugDialogSprite));
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1001), "5");
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1002), "6");
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1009), "0");  // the first filling: zeros
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1013), "");
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1017), "-");  // the layer combo is not made

  // Keys pass the box by: the tool gets them.
  platform::WindowEvent key;
  key.kind = platform::WindowEventKind::kKeyDown;
  key.vk = 0x26;  // Up
  EXPECT_FALSE(widgets_take_event(key));
  // So do clicks on its texts: a sprite under the box can still be picked.
  EXPECT_FALSE(testsupport::panel_click(kDebugDialogSprite, 1003));

  frame(kKeyMouseL, 32, 33);  // picks the sprite
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1001), "32");
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1003), "30");
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1009), "150");
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1016), "10");
  OrvSpriteInfo info{};
  ASSERT_TRUE(OrvSpriteGetInfo(s, &info));
  EXPECT_EQ(panel_text(kDebugDialogSprite, 1013), info.name);

  frame(kKeyEsc, 0, 0);
  frame(0, 0, 0);  // the tool's end runs
  EXPECT_FALSE(debug_control_open());
  EXPECT_EQ(debug_panel_widget(kDebugDialogSprite), 0u);
  EXPECT_EQ(testsupport::widget_count(), 0u);
}

}  // namespace
}  // namespace rendertest
