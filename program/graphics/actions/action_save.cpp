// First form of the action block: writes the block of a game without action state.
#include "save/save_blocks.h"

namespace save {

void action_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  (void)vm;
  out.zeros(132);
  out.u32(0);
  out.u32(1000);
  out.zeros(64);
}

bool action_save_check(codec::ByteReader& in, SaveCheck& check) {
  in.skip(140);
  for (int s = 0; s < 16; ++s) {
    if (in.u32() != 0) return check.fail("action running");
  }
  return check.whole(in, "actions");
}

void action_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  (void)vm;
  in.skip(204);
}

}  // namespace save
