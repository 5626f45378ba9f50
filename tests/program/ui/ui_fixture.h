// A script machine with every subsystem attached, run frame by frame through the frame
// procedure against the real library: the software renderer, the button groups, the sound
// mixer (pulled by the test, 16 ms a frame) and the input sample taken from injected window
// state (keys held, cursor) on a fake clock.
#pragma once

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/core_record.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "engine/frame_procedure.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "orv/orv.h"
#include "support/render_fixture.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"
#include "support/vm_fixture.h"
#include "ui/buttons/buttons.h"

namespace uitest {

constexpr uint32_t kLeft = kKeyMouseL;

class UiTest : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    std::memset(static_cast<void*>(layers::image_table), 0, sizeof layers::image_table);
    list_ = rendertest::software_render_start(1280, 720);
    ASSERT_NE(list_, 0u);
    // A click sound of 40 ms in the game folder.
    const std::string base = dir / "game";
    std::filesystem::create_directories(base);
    testsupport::WavLayout layout;
    layout.samples.assign(size_t(44100) * 4 / 25, '\0');
    testsupport::write_file(base + "/CLICK.WAV", testsupport::make_wav(layout));
    ASSERT_TRUE(file_set_base_folder(base.c_str()));
    ASSERT_EQ(OrvSystemPathInit(), 1);
    OrvUpdateTime();
    ASSERT_TRUE(sound_system_start(SoundStartOptions{false, false}));
    orv_process().input.reset();
    OrvButtonMode(0);
    vm().text.dwButtonGroup = engine::kNoButtonGroup;  // as the script reset leaves it
  }
  void TearDown() override {
    ui::btn_release_all(vm());
    ui::button_follow_table_clear(vm());
    layers::layers_clear_all(vm());
    layers::display_ops_commit(vm());
    sound_system_destroy();
    OrvSystemPathUninit();
    file_set_base_folder("");
    rendertest::software_render_stop(list_);
    orv_process().input.reset();
    OrvButtonMode(0);
    VmTest::TearDown();
  }

  // One frame: the clock moves on 16 ms, the input is sampled with these keys held and the
  // cursor at (x, y), the game's frame runs and the mixer plays 16 ms.
  void frame(uint32_t held, int32_t x, int32_t y) {
    sample(held, x, y);
    engine::game_frame(gs());
    input_end_frame(orv_process().input);
    std::vector<int16_t> out(size_t(706) * 2);
    sound_mixer()->mix(out.data(), 706);
  }
  // The start of a frame: the clock and the input sample only.
  void sample(uint32_t held, int32_t x, int32_t y) {
    enginetest::g_fake_now += 16;
    OrvUpdateTime();
    InputState& in = orv_process().input;
    in.keys_down = held;
    in.cursor_x = x;
    in.cursor_y = y;
    InputFrame f;
    f.client_width = f.screen_width = 1280;
    f.client_height = f.screen_height = 720;
    f.frame_time = enginetest::g_fake_now;
    input_update(in, f);
  }
  void frames(int n, uint32_t held, int32_t x, int32_t y) {
    for (int i = 0; i < n; ++i) frame(held, x, y);
  }
  uint32_t r(uint32_t n) { return vm().reg[n]; }

  testsupport::TempDir dir;
  OrvHandle list_ = 0;
};

}  // namespace uitest
