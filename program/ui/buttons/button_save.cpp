// First form of the button block: writes the block of a game without button state.
#include "save/save_blocks.h"

namespace save {

void button_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  (void)vm;
  for (int g = 0; g < 4; ++g) out.u32(0);
}

bool button_save_check(codec::ByteReader& in, SaveCheck& check) {
  for (int g = 0; g < 4; ++g) {
    if (in.u32() != 0) return check.fail("button group");
  }
  return check.whole(in, "button groups");
}

void button_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  (void)vm;
  for (int g = 0; g < 4; ++g) in.u32();
}

}  // namespace save
