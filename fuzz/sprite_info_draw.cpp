// Sprite state from outside bytes (a saved sprite info record, then cell, rectangle and hit
// arguments as a script would give them), drawn by the software renderer. Nothing may read or
// write outside the image or the back buffer, whatever the record says.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite_info.h"
#include "orv/orv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    RenderParams params;
    params.game_width = 64;
    params.game_height = 48;
    render_system_init(params, nullptr);
    return true;
  }();
  (void)ready;
  if (size < kSpriteInfoBytes) return 0;
  OrvSpriteInfo info;
  sprite_info_from_bytes(data, &info);
  int32_t args[6] = {};
  std::memcpy(args, data + kSpriteInfoBytes, std::min(sizeof args, size - kSpriteInfoBytes));

  OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  OrvHandle s = OrvSpriteCreate(list, 16, 12, 0);
  OrvSpriteSetInfo(s, &info);
  OrvSpriteViewCtrl(s, 1);
  if (args[0] & 1) OrvSpriteRectSetPos(s, args[1], args[2]);
  if (args[0] & 2) {
    OrvRect r{args[1], args[2], args[3], args[4]};
    OrvSpriteSetRect(s, &r);
  }
  OrvSpriteSetRotate(s, args[5]);
  render_frame_draw();
  OrvSpriteHit(s, args[3], args[4], 1);
  OrvSpriteInfo back;
  OrvSpriteGetInfo(s, &back);
  OrvSpriteRelease(list, s);
  OrvRenderUninit(list);
  return 0;
}
