// A script machine with the layers and actions attached, the sprite calls faked, a clock the
// test sets, and helpers that call action commands with their arguments in order and run
// frames as the frame procedure does (deltas cleared, then the action runner).
#pragma once

#include <initializer_list>
#include <vector>

#include "engine/dispatch.h"
#include "engine/neighbours.h"
#include "graphics/actions/action_reset.h"
#include "graphics/actions/action_runner.h"
#include "program/graphics/layers/layers_fixture.h"

namespace actionstest {

class ActionsTest : public layerstest::LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    engine::action_system_clear(vm());
    at(1000);
  }
  void TearDown() override {
    actions::action_uninit_all(vm());
    LayersTest::TearDown();
  }

  // Calls command id with args in the order the handler pops them; returns the handler's result.
  uint32_t call(uint32_t id, std::initializer_list<uint32_t> args) {
    vm().nArgCount = 0;
    const std::vector<uint32_t> a(args);
    for (auto it = a.rbegin(); it != a.rend(); ++it) engine::vm_push(vm(), *it);
    const uint32_t r = engine::command_lookup(id)(vm());
    EXPECT_EQ(vm().nArgCount, 0) << "command 0x" << std::hex << id << " left arguments";
    return r;
  }
  uint32_t result() { return vm().reg[vm().dwResultReg]; }

  // Sets the clock and the frame time to t.
  void at(uint32_t t) {
    enginetest::g_fake_now = t;
    orv.OrvUpdateTime();
  }
  // One frame at time t.
  void frame(uint32_t t) {
    at(t);
    layers::images_frame_deltas_clear(vm());
    actions::action_update(vm());
  }

  // Layer n's image with a sprite of w x h; its image number is n.
  layers::ImageRecord& layer_image(uint32_t n, int32_t w = 100, int32_t h = 50) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    image->hSprite = fake().add("layer", w, h);
    vm().layers[n].lpImage = image;
    return *image;
  }

  const engine::ActionSlot& slot(uint32_t s) { return vm().actions.slots[s]; }
};

// Command ids.
constexpr uint32_t kRun = 0x110000, kSyncRun = 0x110001, kLoopRun = 0x110002, kClear = 0x110003,
                   kSyncWait = 0x110004, kStraight = 0x110005, kShake = 0x110007, kAlpha = 0x110008,
                   kWait = 0x110009, kScale = 0x11000b, kPush = 0x11000c, kPop = 0x11000d,
                   kAccele = 0x11000f, kDecele = 0x11000e, kScaleEx = 0x110014,
                   kSetActive = 0x110017, kGetActive = 0x110018, kRunAll = 0x110019,
                   kClearAll = 0x11001c, kSetClear = 0x11001e, kColor = 0x110020,
                   kCircle = 0x110021, kCircleReturn = 0x110022, kSetMask = 0x110023,
                   kIsRun = 0x110024, kSetMaskReverse = 0x110025, kGraphShow = 0x110026,
                   kSetAlpha = 0x110028, kStraightDecele = 0x110029, kSetStop = 0x11002a,
                   kEaseMove = 0x11002b, kAlphaEase = 0x11002c, kWaitRandom = 0x11002d,
                   kIsMove = 0x11002e, kEaseWindow = 0x110030;
constexpr uint32_t kActive = 0xFFFFFFFFu;

}  // namespace actionstest
