// The debug camera tool: its keys on the live camera, and the tool as a task in front of the
// game that moves the GL peer's camera and puts it back when it ends.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/core_record.h"
#include "Orv/render/debug/debug_camera.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/gl_available.h"
#include "support/render_fixture.h"

namespace {

constexpr float kD = 1.0f / 600.0f;
constexpr double kPi = 3.14159265358979323846;

CameraTool tool_at_default() {
  CameraTool t{};
  const float eye[3] = {0, 0, -5}, up[3] = {0, 1, 0};
  for (int i = 0; i < 3; ++i) {
    t.eye[i] = t.start_eye[i] = eye[i];
    t.up[i] = t.start_up[i] = up[i];
  }
  return t;
}

TEST(DebugCamera, KeysMoveTheLiveCamera) {
  struct Case {
    const char* what;
    uint32_t held;
    float eye[3], at[3], base_z;
  };
  const Case cases[] = {
      {"Shift Up", kKeyShift | kKeyUp, {0, kD, -5}, {0, 0, 0}, 0},
      {"Shift Down", kKeyShift | kKeyDown, {0, -kD, -5}, {0, 0, 0}, 0},
      {"Shift Left", kKeyShift | kKeyLeft, {-kD, 0, -5}, {0, 0, 0}, 0},
      {"Shift Right", kKeyShift | kKeyRight, {kD, 0, -5}, {0, 0, 0}, 0},
      {"Ctrl Up", kKeyCtrl | kKeyUp, {0, 0, -5 - kD}, {0, 0, 0}, 0},
      {"Ctrl Down", kKeyCtrl | kKeyDown, {0, 0, -5 + kD}, {0, 0, 0}, 0},
      {"Up", kKeyUp, {0, 0, -5 - kD}, {0, 0, 0}, -kD},
      {"Down", kKeyDown, {0, 0, -5 + kD}, {0, 0, 0}, kD},
      // One step of 512 a turn: the target on the unit circle about the base.
      {"Right",
       kKeyRight,
       {0, 0, -5},
       {static_cast<float>(std::cos(2 * kPi / 512)), 0,
        -static_cast<float>(std::sin(2 * kPi / 512))},
       0},
      // Below 0 the angle wraps to 511.
      {"Left",
       kKeyLeft,
       {0, 0, -5},
       {static_cast<float>(std::cos(2 * kPi * 511 / 512)), 0,
        -static_cast<float>(std::sin(2 * kPi * 511 / 512))},
       0},
      {"nothing", 0, {0, 0, -5}, {0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CameraTool t = tool_at_default();
    EXPECT_FALSE(camera_tool_apply(&t, c.held, 0));
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(t.eye[i], c.eye[i], 1e-6) << i;
      EXPECT_NEAR(t.at[i], c.at[i], 1e-6) << i;
    }
    EXPECT_NEAR(t.base[2], c.base_z, 1e-6);
    EXPECT_EQ(t.up[1], 1.0f);
  }
  // Above 511 the angle wraps to 0; Esc asks to end.
  CameraTool t = tool_at_default();
  t.angle = 511;
  EXPECT_TRUE(camera_tool_apply(&t, kKeyRight, kKeyEsc));
  EXPECT_EQ(t.angle, 0);
  EXPECT_NEAR(t.at[0], 1.0f, 1e-6);
  EXPECT_NEAR(t.at[2], 0.0f, 1e-6);
}

platform::GlContext* context() {
  return testsupport::hidden_gl_context(64, 48);
}

int g_main_steps = 0;
void main_step(void*) {
  ++g_main_steps;
}

// The tool opens in front of the game (the main task waits while it runs), moves the GL peer's
// camera with the held keys, hides them from the game, ends on Esc and puts the camera back.
// With the software renderer there is no camera and the tool does not open.
TEST(DebugCamera, ToolMovesTheGlCameraAndPutsItBack) {
  for (bool gl : {true, false}) {
    SCOPED_TRACE(gl ? "gl" : "software");
    if (gl && !context()) continue;
    if (gl) {
      ASSERT_TRUE(platform::gl_context_make_current(context(), nullptr));
      gl_renderer_use_context(context());
    }
    bool ok = false;
    rendertest::render_system_start(64, 48, gl ? &gl_renderer() : nullptr, &ok);
    ASSERT_TRUE(ok);
    const OrvHandle list = OrvRenderInit();
    OrvRenderSetActive(list);
    ASSERT_TRUE(task_scheduler_create());
    g_main_steps = 0;
    ASSERT_NE(OrvTaskCreate(main_step, nullptr, 4, nullptr, kTaskLinkAfter,
                            task_scheduler().root->id, "main"),
              0u);
    InputState& in = orv_process().input;
    const Renderer* r = render_renderer();

    EXPECT_EQ(debug_control(2), gl);
    EXPECT_EQ(debug_control_open(), gl);
    if (gl) {
      in.on = kKeyShift | kKeyUp;
      in.push = kKeyShift;
      TaskTreeRun();
      EXPECT_EQ(g_main_steps, 0);  // the tool stands before the game
      float eye[3], at[3], up[3];
      ASSERT_TRUE(r->get_camera(eye, at, up));
      EXPECT_FLOAT_EQ(eye[1], kD);
      EXPECT_FLOAT_EQ(eye[2], -5.0f);
      EXPECT_EQ(in.on, 0u);  // the game does not see the keys
      EXPECT_EQ(in.push, 0u);
      in.push = kKeyEsc;
      TaskTreeRun();  // Esc: the tool ends
      EXPECT_FALSE(debug_control_open());
      TaskTreeRun();  // its end puts the camera back; the game runs again
      ASSERT_TRUE(r->get_camera(eye, at, up));
      EXPECT_EQ(eye[1], 0.0f);
      EXPECT_EQ(eye[2], -5.0f);
      EXPECT_EQ(g_main_steps, 1);
      // Opened again, the same request ends it.
      EXPECT_TRUE(debug_control(2));
      EXPECT_TRUE(debug_control(1));
      EXPECT_FALSE(debug_control_open());
      TaskTreeRun();
    }
    // The sprite tool opens with either renderer, and the same request ends it.
    EXPECT_TRUE(debug_control(1));
    EXPECT_TRUE(debug_control_open());
    EXPECT_TRUE(debug_control(1));
    EXPECT_FALSE(debug_control_open());
    TaskTreeRun();
    input_clear(in);
    task_scheduler_destroy();
    OrvRenderUninit(list);
    render_system_uninit();
    orv_core().alive = false;
    if (gl) gl_renderer_use_context(nullptr);
  }
}

}  // namespace
