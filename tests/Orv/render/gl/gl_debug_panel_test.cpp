// The camera tool's window of numbers as the library's own widget box under the GL renderer:
// the live vectors in it, its reset buttons clicked, the keys left to the tool, and the box
// gone with the tool.
#include <gtest/gtest.h>

#include <string>

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/core_record.h"
#include "Orv/render/debug/debug_camera.h"
#include "Orv/render/debug/debug_panels.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/debug_panel_probe.h"
#include "support/gl_available.h"
#include "support/render_fixture.h"

namespace {

using testsupport::panel_text;

platform::GlContext* context() {
  return testsupport::hidden_gl_context(64, 48);
}

void main_step(void*) {}

void frame(uint32_t held, uint32_t pushed) {
  InputState& in = orv_process().input;
  in.on = held;
  in.push = pushed;
  TaskTreeRun();
}

TEST(GlDebugPanel, CameraWindowShowsTheVectorsAndItsButtonsReset) {
  if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
  ASSERT_TRUE(platform::gl_context_make_current(context(), nullptr));
  gl_renderer_use_context(context());
  bool ok = false;
  rendertest::render_system_start(64, 48, &gl_renderer(), &ok);
  ASSERT_TRUE(ok);
  const OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  ASSERT_TRUE(task_scheduler_create());
  ASSERT_NE(OrvTaskCreate(main_step, nullptr, 4, nullptr, kTaskLinkAfter, task_scheduler().root->id,
                          "main"),
            0u);
  debug_dialog_view_set(&kDebugPanelsView);

  ASSERT_TRUE(debug_control(kDebugToolCamera));
  frame(0, 0);
  ASSERT_TRUE(testsupport::panel_is_shown_box(kDebugDialogCamera));
  EXPECT_EQ(panel_text(kDebugDialogCamera, 1002), "0.000000");
  EXPECT_EQ(panel_text(kDebugDialogCamera, 1004), "-5.000000");
  EXPECT_EQ(panel_text(kDebugDialogCamera, 1009), "1.000000");
  EXPECT_EQ(panel_text(kDebugDialogCamera, kCameraResetAll),
            "ALL \x83\x8a\x83\x5a\x83\x62\x83\x67");

  // The keys pass the box by and move the camera; the box follows.
  platform::WindowEvent key;
  key.kind = platform::WindowEventKind::kKeyDown;
  key.vk = 0x26;  // Up
  EXPECT_FALSE(widgets_take_event(key));
  frame(kKeyShift | kKeyUp, 0);
  EXPECT_EQ(panel_text(kDebugDialogCamera, 1003), "0.001667");

  // A click on "from リセット" zeroes the live eye at the next frame; the up vector stays.
  EXPECT_TRUE(testsupport::panel_click(kDebugDialogCamera, kCameraResetEye));
  frame(0, 0);
  CameraTool* tool = running_camera_tool();
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->eye[1], 0.0f);
  EXPECT_EQ(tool->eye[2], 0.0f);
  EXPECT_EQ(tool->up[1], 1.0f);
  frame(0, 0);
  EXPECT_EQ(panel_text(kDebugDialogCamera, 1004), "0.000000");
  // "ALL リセット" zeroes the up vector too.
  EXPECT_TRUE(testsupport::panel_click(kDebugDialogCamera, kCameraResetAll));
  frame(0, 0);
  EXPECT_EQ(running_camera_tool()->up[1], 0.0f);

  frame(0, kKeyEsc);
  frame(0, 0);  // the tool's end runs
  EXPECT_FALSE(debug_control_open());
  EXPECT_EQ(debug_panel_widget(kDebugDialogCamera), 0u);
  EXPECT_EQ(testsupport::widget_count(), 0u);

  input_clear(orv_process().input);
  task_scheduler_destroy();
  widgets_reset();
  OrvRenderUninit(list);
  render_system_uninit();
  orv_core().alive = false;
  gl_renderer_use_context(nullptr);
}

}  // namespace
