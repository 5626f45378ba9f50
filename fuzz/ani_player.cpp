// .ani bytes in: the file is loaded into a slot, started and played for a bounded number of
// frames, some under scene skip, then every animation is released. Whatever the bytes, no op,
// label or start offset is read outside the file, no step runs for ever, and every track and
// sub-player is freed (the leak check of the sanitizer build).
//
// Input: a flag byte (bit 0 scene skip from frame 4 on, bit 1 op 19's kept end state folded
// into a layer child's colour path), then the file.
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_log.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/image_record.h"

namespace {

uint32_t g_now = 0;

void discard(int, const char*, void*) {}

bool init() {
  engine::orv_static_bind();
  engine::set_log_sink(discard, nullptr);
  orv.OrvtimeGetTime = []() -> uint32_t { return g_now; };
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = init();
  static auto* gs = new engine::GameState();
  (void)ready;
  if (size < 1 || size > 65536) return 0;
  engine::VmContext& vm = gs->vm;
  const uint8_t flags = data[0];
  auto* bytes = static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(size - 1), 0));
  if (!bytes && size > 1) return 0;
  if (size > 1) std::memcpy(bytes, data + 1, size - 1);
  layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, 0);
  vm.layers[0].lpImage = image;
  g_now = 1000;
  vm.run.bSceneSkip = 0;
  if (animations::anim_load_data(vm, bytes, static_cast<uint32_t>(size - 1), image)) {
    animations::AdvAnimStart(vm, image->dwAnimeNo);
    for (int frame = 0; frame < 16; ++frame) {
      g_now += 16 + 100 * (frame & 3);
      if (frame == 4 && (flags & 1)) vm.run.bSceneSkip = 1;
      image->frame = layers::FrameDeltas{};
      animations::anim_update_all(vm);
    }
  }
  animations::anim_release_all(vm);
  vm.layers[0].lpImage = nullptr;
  layers::image_release_now(image);
  return 0;
}
