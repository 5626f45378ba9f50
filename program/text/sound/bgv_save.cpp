// The background voices' block of save data: the eight BgvSlot records, 92 bytes each.
//
// A load restarts the looping background voices with a 2000 ms fade-in; one-shot voices are
// over by then and stay silent.
#include <string>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "save/save_blocks.h"
#include "text/sound/bgv.h"
#include "text/sound/sound_load.h"
#include "text/sound/voices.h"

namespace save {
namespace {

using engine::BgvSlot;

// The sound word is meaningless in stored data: written as it is, ignored when read.
template <class IO, class R>
constexpr void sync_slot(IO& io, R& r) {
  io.u32(r.sound);
  io.u32(r.file);
  io.u32(r.flags);
  io.bytes(r.reserved);
  io.u32(r.enabled);
  io.u32(r.paused);
  io.u32(r.hasKey);
  io.bytes(r.key);
}
constexpr size_t kBgvSlotBytes = 92;
static_assert(codec::stored_size<BgvSlot>([](auto& io, auto& r) { sync_slot(io, r); }) ==
              kBgvSlotBytes);

using engine::kBgvLoop;

}  // namespace

void bgv_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  for (const BgvSlot& slot : vm.sound.bgv) sync_slot(out, slot);
}

bool bgv_save_check(codec::ByteReader& in, SaveCheck& check) {
  // Every word of a slot is a flag or a file operand resolved with its own checks; the key is
  // read within its 32 bytes.
  in.skip(8 * kBgvSlotBytes);
  return check.whole(in, "background voices");
}

void bgv_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  for (BgvSlot& slot : vm.sound.bgv) {
    sync_slot(in, slot);
    slot.sound = 0;
    if (slot.file == 0 || !(slot.flags & kBgvLoop)) continue;
    const std::string name = engine::sound_file_name(vm, slot.file, nullptr);
    slot.sound = engine::sound_load(vm, name, engine::kSoundTypeBgv, nullptr);
    if (slot.sound == 0) {
      if (engine::voice_check_word(vm)) {
        engine::vm_log(engine::kLogMain, "voice file read : %s", name.c_str());
      }
      continue;
    }
    orv.OrvSoundPlayFade(slot.sound, 1, 2000);
  }
}

}  // namespace save
