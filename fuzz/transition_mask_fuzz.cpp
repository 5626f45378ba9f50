// Mask pictures of a mask-wipe transition from outside bytes: the first byte picks the
// extension the mask is found under (".bmp", ".png", ".vkx", ".tga"); the rest is the file,
// also served as the base picture a VKX mask names. The transition is started and stepped
// through its thresholds; nothing may be read or written outside the capture or the mask.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Orv/render/render_list.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/transition/screen_transition.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

const uint8_t* g_file = nullptr;
size_t g_size = 0;
std::string g_mask_name;
uint32_t g_now = 0;

int32_t fuzz_read(const char* path, std::vector<uint8_t>* out, size_t) {
  const std::string name = path;
  const bool is_mask = name.rfind("Mask\\", 0) == 0;
  if (is_mask && name != g_mask_name) return 0;
  out->assign(g_file, g_file + g_size);
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    RenderParams params;
    params.game_width = 32;
    params.game_height = 24;
    render_system_init(params, nullptr);
    orv_render().read_file = fuzz_read;
    platform::set_clock_source([] { return g_now; });
    return true;
  }();
  (void)ready;
  if (size < 1) return 0;
  if (!screen_transition_create()) return 0;
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  static const char* const kExtensions[] = {".bmp", ".png", ".vkx", ".tga"};
  g_mask_name = std::string("Mask\\Mask03") + kExtensions[data[0] & 3];
  g_file = data + 1;
  g_size = size - 1;
  g_now = 0;
  OrvUpdateTime();
  OrvEffectEx(13, 100, 0, 0);
  for (uint32_t t : {0u, 50u, 100u, 116u, 132u}) {
    g_now = t;
    OrvUpdateTime();
    render_frame_draw();
  }
  OrvRenderUninit(list);
  screen_transition_destroy();
  return 0;
}
