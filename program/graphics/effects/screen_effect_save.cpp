// First form of the screen_effect block: writes the block of a game without screen_effect state.
#include "save/save_blocks.h"

namespace save {

void screen_effect_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  (void)vm;
  out.u32(0);
}

bool screen_effect_save_check(codec::ByteReader& in, SaveCheck& check) {
  if (in.u32() != 0) return check.fail("screen effect mask");
  return check.whole(in, "screen effects");
}

void screen_effect_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  (void)vm;
  in.u32();
}

}  // namespace save
