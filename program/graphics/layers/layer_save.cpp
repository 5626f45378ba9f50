// First form of the layer block: writes the block of a game without layer state.
#include "save/save_blocks.h"

namespace save {

void layer_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  (void)vm;
  for (const engine::FaceEntry& f : vm.faceTable) {
    out.u32(f.dwLayer);
    out.i32(f.nPriorityOffset);
    out.i32(f.x);
    out.i32(f.y);
  }
  for (int n = 0; n < 64; ++n) out.u32(0);
}

bool layer_save_check(codec::ByteReader& in, SaveCheck& check) {
  in.skip(128);
  for (int n = 0; n < 64; ++n) {
    if (in.u32() != 0) return check.fail("layer file");
  }
  return check.whole(in, "layers");
}

void layer_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  (void)vm;
  for (engine::FaceEntry& f : vm.faceTable) {
    f.dwLayer = in.u32();
    f.nPriorityOffset = in.i32();
    f.x = in.i32();
    f.y = in.i32();
  }
  for (int n = 0; n < 64; ++n) in.u32();
}

}  // namespace save
