// First form of the layer_shader block: writes the block of a game without layer_shader state.
#include "save/save_blocks.h"

namespace save {

void layer_shader_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  (void)vm;
  out.u32(0xFFFFFFFFu);
}

bool layer_shader_save_check(codec::ByteReader& in, SaveCheck& check) {
  if (in.u32() != 0xFFFFFFFFu) return check.fail("shader effect state");
  return check.whole(in, "shader effects");
}

void layer_shader_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  (void)vm;
  in.u32();
}

}  // namespace save
