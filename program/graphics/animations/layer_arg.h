// The check of a layer argument shared by the animation and particle commands.
#pragma once

#include <cstdint>

#include "engine/vm_log.h"

namespace animations {

// A script layer is 0-127; another number logs "graph error : 範囲外の値を指定しています。no = %d"
// (key 0) and the command fails.
inline bool layer_arg_ok(uint32_t layer) {
  if (layer < 128) return true;
  engine::vm_log(engine::kLogMain,
                 "graph error : \x94\xCD\x88\xCD\x8A\x4F\x82\xCC\x92\x6C\x82\xF0\x8E\x77\x92\xE8"
                 "\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42no = %d",
                 static_cast<int32_t>(layer));
  return false;
}

}  // namespace animations
