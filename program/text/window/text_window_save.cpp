// First form of the text_window block: writes the block of a game without text_window state.
#include "save/save_blocks.h"

namespace save {

void text_window_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  (void)vm;
  out.u32(0);
}

bool text_window_save_check(codec::ByteReader& in, SaveCheck& check) {
  if (in.u32() != 0) return check.fail("text window");
  return check.whole(in, "text window");
}

void text_window_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  (void)vm;
  in.u32();
}

}  // namespace save
