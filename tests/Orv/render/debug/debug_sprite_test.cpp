// The debug sprite tool: picking the front-most sprite under the mouse, dragging, moving,
// turning and scaling it with the frame's input, letting go, and the window's numbers; the
// camera window's reset buttons.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/render/debug/debug_camera.h"
#include "Orv/render/debug/debug_sprite.h"
#include "Orv/render/last_error.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

int g_main_steps = 0;
void main_step(void*) {
  ++g_main_steps;
}

// What the tool's window was told; each control keeps the last text it was given.
struct WindowLog {
  std::vector<std::string> calls;
  std::map<int32_t, std::string> texts;
};
WindowLog g_window;
const DebugDialogView kView = {
    [](int32_t d) { g_window.calls.push_back("open " + std::to_string(d)); },
    [](int32_t, const DebugDialogField* f, int32_t n) {
      for (int32_t i = 0; i < n; ++i) g_window.texts[f[i].control] = f[i].text;
    },
    [](int32_t d) { g_window.calls.push_back("close " + std::to_string(d)); },
};

std::string field(int32_t control) {
  const auto it = g_window.texts.find(control);
  return it == g_window.texts.end() ? "-" : it->second;
}

class DebugSpriteTool : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    ASSERT_TRUE(task_scheduler_create());
    g_main_steps = 0;
    ASSERT_NE(OrvTaskCreate(main_step, nullptr, 4, nullptr, kTaskLinkAfter,
                            task_scheduler().root->id, "main"),
              0u);
    g_window = {};
    debug_dialog_view_set(&kView);
  }
  void TearDown() override {
    debug_dialog_view_set(nullptr);
    in().reset();
    for (uint32_t vk = 1; vk < 256; ++vk) vk_down_set(in(), vk, false);
    task_scheduler_destroy();
    orv_process().debug_tool = 0;
    RenderTest::TearDown();
  }

  static InputState& in() { return orv_process().input; }

  // One frame with this input: the words the game would have read.
  void frame(uint32_t on, uint32_t push, int32_t mx, int32_t my, int32_t dx = 0, int32_t dy = 0,
             int16_t wheel = 0) {
    InputState& i = in();
    i.on = on;
    i.push = push;
    i.mouse_x = mx;
    i.mouse_y = my;
    i.move_x = dx;
    i.move_y = dy;
    i.wheel = wheel;
    TaskTreeRun();
  }

  SpriteTool* tool() { return static_cast<SpriteTool*>(debug_tool_data("OrvSpriteCtrlTask")); }

  static OrvSpriteInfo info(OrvHandle s) {
    OrvSpriteInfo i{};
    EXPECT_TRUE(OrvSpriteGetInfo(s, &i));
    return i;
  }
};

// Nothing picked by a right push or a push over empty space; a left push picks the front-most
// sprite; dragging, keys and the wheel move and scale it while it blinks; a right push gives
// back its colour and lets go where it stands; Esc ends the tool and the game runs again.
TEST_F(DebugSpriteTool, PicksMovesScalesAndLetsGo) {
  const OrvHandle back = solid(20, 20, 0xFFFFFFFFu, 10, 10, 20);
  const OrvHandle front = solid(8, 8, 0xFFFFFFFFu, 12, 12, 10);
  OrvSpriteSetColor(back, 0xFF112233u);
  OrvSpriteSetColor(front, 0xFF445566u);
  ASSERT_TRUE(debug_control(kDebugToolSprite));
  ASSERT_NE(tool(), nullptr);

  frame(kKeyMouseR, kKeyMouseR, 14, 14);
  EXPECT_EQ(g_window.calls, std::vector<std::string>{"open 102"});
  EXPECT_EQ(field(1009), "0");  // the first filling shows zeros
  EXPECT_EQ(field(1001), "14");
  frame(kKeyMouseL, kKeyMouseL, 40, 40);
  EXPECT_EQ(tool()->sprite, 0u);
  EXPECT_EQ(g_main_steps, 0);  // the tool holds the game
  EXPECT_EQ(in().push, 0u);    // and the game does not see the keys
  EXPECT_EQ(in().on, 0u);

  frame(kKeyMouseL, kKeyMouseL, 14, 14);
  ASSERT_EQ(tool()->sprite, front);
  EXPECT_EQ(tool()->priority, 10);
  EXPECT_EQ(field(1013), tool()->name);

  // Dragged by (5, 3); the first blink frame is transparent, the next has alpha 6.
  frame(kKeyMouseL, 0, 19, 17, 5, 3);
  EXPECT_EQ(info(front).x, 17.0f);
  EXPECT_EQ(info(front).y, 15.0f);
  EXPECT_EQ(info(front).color, 0x00445566u);
  // Not while the mouse is off the screen.
  frame(kKeyMouseL, 0, -1, 17, 5, 3);
  EXPECT_EQ(info(front).x, 17.0f);
  EXPECT_EQ(info(front).color, 0x06445566u);

  frame(kKeyRight | kKeyDown, 0, 0, 0);
  EXPECT_EQ(info(front).x, 18.0f);
  EXPECT_EQ(info(front).y, 16.0f);
  // Shift: Up moves nearer (z - 1) and the render node follows; Left does nothing.
  frame(kKeyShift | kKeyUp | kKeyLeft, 0, 0, 0);
  EXPECT_EQ(info(front).x, 18.0f);
  EXPECT_EQ(info(front).z, -1.0f);
  EXPECT_EQ(render_node_from(sprite_from(front)->node)->key, 9);
  frame(0, 0, 0, 0, 0, 0, 1);
  frame(0, 0, 0, 0, 0, 0, 1);
  frame(0, 0, 0, 0, 0, 0, -1);
  EXPECT_FLOAT_EQ(info(front).scale_x, 1.01f);
  EXPECT_FLOAT_EQ(info(front).scale_y, 1.01f);
  EXPECT_EQ(field(1007), "18");  // base + offset
  EXPECT_EQ(field(1005), "6");
  EXPECT_EQ(field(1012), "-1");
  EXPECT_EQ(field(1009), "101");

  frame(kKeyMouseR, kKeyMouseR, 0, 0);
  EXPECT_EQ(tool()->sprite, 0u);
  EXPECT_EQ(tool()->move[0], 0);
  EXPECT_EQ(info(front).color, 0xFF445566u);
  EXPECT_EQ(info(front).x, 18.0f);  // left where it stands
  EXPECT_EQ(info(back).color, 0xFF112233u);

  frame(0, kKeyEsc, 0, 0);
  EXPECT_FALSE(debug_control_open());
  frame(0, 0, 0, 0);  // the tool's end runs; so does the game
  EXPECT_EQ(g_window.calls, (std::vector<std::string>{"open 102", "close 102"}));
  EXPECT_EQ(g_main_steps, 1);
}

// Shift with a letter turns the held sprite one unit about its axis; the offset is kept modulo
// the sprite's rotation unit (512 when it has none), so turning past a whole turn wraps to 0.
TEST_F(DebugSpriteTool, LettersTurnModuloTheRotationUnit) {
  struct Case {
    const char* what;
    uint32_t vk;
    int32_t resolution, axis, start, rotation;
    uint32_t shift;
    int32_t turn;
  };
  const Case cases[] = {
      {"A past 512", 'A', 512, 2, 511, 7, kKeyShift, 0},
      {"D below 0", 'D', 512, 2, 0, 7, kKeyShift, -1},
      {"O", 'O', 512, 0, 5, 7, kKeyShift, 4},
      {"U with no unit", 'U', 0, 0, 511, 7, kKeyShift, 0},
      {"J past 3", 'J', 3, 1, 2, 7, kKeyShift, 0},
      {"L", 'L', 3, 1, 0, 7, kKeyShift, -1},
      {"A without Shift", 'A', 512, 2, 5, 7, 0, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const OrvHandle s = solid(8, 8, 0xFFFFFFFFu, 0, 0, 0);
    OrvSpriteSetRotateResolution(s, c.resolution);
    OrvSpriteSetRotateEx(s, c.rotation, c.rotation, c.rotation);
    ASSERT_TRUE(debug_control(kDebugToolSprite));
    frame(kKeyMouseL, kKeyMouseL, 1, 1);
    ASSERT_EQ(tool()->sprite, s);
    tool()->turn[c.axis] = c.start;
    vk_down_set(in(), c.vk, true);
    frame(c.shift, 0, 1, 1);
    vk_down_set(in(), c.vk, false);
    EXPECT_EQ(tool()->turn[c.axis], c.turn);
    if (c.shift) {
      const OrvSpriteInfo i = info(s);
      const float rotation[3] = {i.rotation_x, i.rotation_y, i.rotation_z};
      EXPECT_EQ(rotation[c.axis], static_cast<float>(c.rotation + c.turn));
    }
    ASSERT_TRUE(debug_control(kDebugToolSprite));  // ends the tool
    TaskTreeRun();
    OrvSpriteRelease(list, s);
  }
}

// Ending the tool gives a held sprite its colour back; a held sprite that the game releases is
// forgotten without touching the dead handle.
TEST_F(DebugSpriteTool, EndRestoresColourAndReleasedSpritesAreForgotten) {
  const OrvHandle s = solid(8, 8, 0xFFFFFFFFu, 0, 0, 0);
  OrvSpriteSetColor(s, 0xFF808080u);
  ASSERT_TRUE(debug_control(kDebugToolSprite));
  frame(kKeyMouseL, kKeyMouseL, 2, 2);
  frame(0, 0, 2, 2);
  frame(0, 0, 2, 2);
  EXPECT_NE(info(s).color, 0xFF808080u);
  ASSERT_TRUE(debug_control(kDebugToolSprite));
  TaskTreeRun();
  EXPECT_EQ(info(s).color, 0xFF808080u);

  ASSERT_TRUE(debug_control(kDebugToolSprite));
  frame(kKeyMouseL, kKeyMouseL, 2, 2);
  ASSERT_EQ(tool()->sprite, s);
  ASSERT_TRUE(OrvSpriteRelease(list, s));
  orv_set_last_error(0);
  frame(kKeyRight, kKeyMouseR, 2, 2);
  EXPECT_EQ(tool()->sprite, 0u);
  EXPECT_EQ(orv_last_error(), 0);
  frame(0, kKeyEsc, 2, 2);
  EXPECT_FALSE(debug_control_open());
}

TEST(DebugSpriteWindow, ScaleShowsInHundredthsRoundedAwayFromZero) {
  const struct {
    float scale;
    const char* shown;
  } cases[] = {{1.15f, "115"}, {-1.15f, "-115"}, {0.0f, "0"}, {1.0f, "100"}, {0.999f, "100"}};
  for (const auto& c : cases) {
    SpriteTool t{};
    t.sprite = 1;
    t.scale = c.scale;
    DebugDialogField fields[kSpriteToolFields];
    const int32_t n = sprite_tool_fields(t, 3, 4, false, fields);
    ASSERT_EQ(n, kSpriteToolFields);
    EXPECT_EQ(fields[11].control, 1009);
    EXPECT_STREQ(fields[11].text, c.shown) << c.scale;
  }
  // Nothing picked: only the mouse.
  SpriteTool t{};
  DebugDialogField fields[kSpriteToolFields];
  EXPECT_EQ(sprite_tool_fields(t, 3, 4, false, fields), 2);
}

// The camera window: "%f" texts in 1002-1010 and reset buttons that zero the live vectors they
// name; the buttons do nothing while no camera tool runs.
TEST(DebugCameraWindow, ResetButtonsAndTexts) {
  const struct {
    int32_t control;
    bool eye, at, up;
  } cases[] = {{kCameraResetEye, true, false, false},
               {kCameraResetAt, false, true, false},
               {kCameraResetUp, false, false, true},
               {kCameraResetAll, true, true, true},
               {1012, false, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    CameraTool t{};
    for (int i = 0; i < 3; ++i) t.eye[i] = t.at[i] = t.up[i] = 2.0f;
    EXPECT_EQ(camera_tool_reset(&t, c.control), c.eye || c.at || c.up);
    EXPECT_EQ(t.eye[1], c.eye ? 0.0f : 2.0f);
    EXPECT_EQ(t.at[2], c.at ? 0.0f : 2.0f);
    EXPECT_EQ(t.up[0], c.up ? 0.0f : 2.0f);
  }
  const float eye[3] = {0, 0, -5}, at[3] = {0.5f, 0, 0}, up[3] = {0, 1, 0};
  DebugDialogField fields[9];
  ASSERT_EQ(camera_tool_fields(eye, at, up, fields), 9);
  EXPECT_EQ(fields[2].control, 1004);
  EXPECT_STREQ(fields[2].text, "-5.000000");
  EXPECT_EQ(fields[3].control, 1005);
  EXPECT_STREQ(fields[3].text, "0.500000");
  EXPECT_EQ(fields[8].control, 1010);
  EXPECT_FALSE(debug_dialog_command(kDebugDialogCamera, kCameraResetAll));
}

}  // namespace
}  // namespace rendertest
