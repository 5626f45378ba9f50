// OrvCopyFileToSpriteRGB with outside bytes: the first 24 bytes are the rectangle a script
// would pass (dx, dy, sx, sy, w, h), the rest is the file. Nothing may be read outside the
// file's picture or written outside the sprite's image.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Orv/render/render_list.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"

namespace {

const uint8_t* g_file = nullptr;
size_t g_size = 0;

int32_t fuzz_read(const char*, std::vector<uint8_t>* out, size_t) {
  out->assign(g_file, g_file + g_size);
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    RenderParams params;
    params.game_width = 64;
    params.game_height = 48;
    render_system_init(params, nullptr);
    orv_render().read_file = fuzz_read;
    return true;
  }();
  (void)ready;
  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  int32_t args[6] = {};
  std::memcpy(args, data, std::min(sizeof args, size));
  const size_t head = std::min(sizeof args, size);
  g_file = data + head;
  g_size = size - head;
  OrvHandle s = OrvSpriteCreate(list, 13, 7, 0);
  OrvCopyFileToSpriteRGB(s, args[0], args[1], "fuzz", args[2], args[3], args[4], args[5]);
  OrvSpriteRelease(list, s);
  OrvRenderUninit(list);
  return 0;
}
