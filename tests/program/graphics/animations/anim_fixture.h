// The animation player on a script machine with the layers attached, the platform's sprite
// calls faked, .ani files written into a temporary game folder, and the frame time and the
// random numbers set by the test.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "graphics/animations/anim_player.h"
#include "program/graphics/layers/layers_fixture.h"
#include "support/ani_bytes.h"
#include "support/temp_dir.h"

namespace animtest {

inline uint32_t g_now = 0;
inline uint32_t g_random = 0;
inline std::vector<std::string>* g_calls = nullptr;

using testsupport::AniBytes;

class AnimTest : public layerstest::LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    ASSERT_TRUE(file_set_base_folder(dir_.path().c_str()));
    g_now = 10000;
    g_random = 0;
    g_calls = &fake().calls;
    orv.OrvtimeGetTime = []() -> uint32_t { return g_now; };
    orv.OrvRandom = []() -> int32_t { return static_cast<int32_t>(g_random); };
    orv.OrvSpriteRectSetPos = [](OrvHandle s, int32_t c, int32_t r) -> OrvBool {
      g_calls->push_back("cell " + std::to_string(s) + " " + std::to_string(c) + " " +
                         std::to_string(r));
      return 1;
    };
    orv.OrvSpriteSetRect = [](OrvHandle s, const OrvRect* r) -> OrvBool {
      g_calls->push_back("rect " + std::to_string(s) + " " + std::to_string(r->left) + " " +
                         std::to_string(r->top) + " " + std::to_string(r->right) + " " +
                         std::to_string(r->bottom));
      return 1;
    };
  }
  void TearDown() override {
    animations::anim_release_all(vm());
    file_set_base_folder("");
    g_calls = nullptr;
    LayersTest::TearDown();
  }

  void write(const std::string& name, const std::string& bytes) {
    testsupport::write_file(dir_ / (name + ".ani"), bytes);
  }
  // A picture in layer n, as the layer commands leave it.
  layers::ImageRecord& picture(uint32_t n) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    image->hSprite = fake().add("pic", 100, 100);
    vm().layers[n].lpImage = image;
    return *image;
  }
  // Loads and starts name on a picture in layer n at time 10000.
  layers::ImageRecord& started(const std::string& name, uint32_t n = 0) {
    g_now = 10000;
    layers::ImageRecord& image = picture(n);
    EXPECT_EQ(animations::anim_load(vm(), name.c_str(), &image), 1u);
    animations::AdvAnimStart(vm(), image.dwAnimeNo);
    return image;
  }
  // One frame: the per-frame deltas cleared, then the players stepped.
  void frame(uint32_t now) {
    g_now = now;
    layers::images_frame_deltas_clear(vm());
    animations::anim_update_all(vm());
  }

  testsupport::TempDir dir_;
};

}  // namespace animtest
