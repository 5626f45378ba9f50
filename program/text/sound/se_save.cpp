// The sound effects' block of save data: the pending pan (4 bytes), the four SeInfo (176),
// the sixteen SeChannelOverride (192) and the sixteen SeChannel (1,024), 1,396 bytes in all.
//
// A load brings back the channels that were reserved by se_load or that loop; effects that
// played once are over by then.
#include <string>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "save/save_blocks.h"
#include "text/sound/se_volume.h"
#include "text/sound/sound_effects.h"
#include "text/sound/sound_load.h"

namespace save {
namespace {

using engine::SeChannel;
using engine::SeChannelOverride;
using engine::SeInfo;

template <class IO, class R>
constexpr void sync_info(IO& io, R& r) {
  io.u32(r.used);
  io.u32(r.enabled);
  io.u32(r.volume);
  io.bytes(r.prefix);
}
template <class IO, class R>
constexpr void sync_override(IO& io, R& r) {
  io.u32(r.flags);
  io.u32(r.volume);
  io.u32(r.frequency);
}
// The sound word is meaningless in stored data: written as it is, ignored when read.
template <class IO, class R>
constexpr void sync_channel(IO& io, R& r) {
  io.u32(r.sound);
  io.u32(r.file);
  io.u32(r.flags);
  io.u32(r.type);
  io.bytes(r.reserved);
  io.i32(r.pan);
  io.bytes(r.name);
}
static_assert(codec::stored_size<SeInfo>([](auto& io, auto& r) { sync_info(io, r); }) == 44);
static_assert(codec::stored_size<SeChannelOverride>([](auto& io, auto& r) {
                sync_override(io, r);
              }) == 12);
static_assert(codec::stored_size<SeChannel>([](auto& io, auto& r) { sync_channel(io, r); }) == 64);

struct SeBlock {
  int32_t pendingPan;
  SeInfo info[4];
  SeChannelOverride overrides[16];
  SeChannel channels[16];
};

template <class IO, class B>
constexpr void sync_block(IO& io, B& b) {
  io.i32(b.pendingPan);
  for (auto& r : b.info) sync_info(io, r);
  for (auto& r : b.overrides) sync_override(io, r);
  for (auto& r : b.channels) sync_channel(io, r);
}
constexpr size_t kSeBlockBytes = 1396;
static_assert(codec::stored_size<SeBlock>([](auto& io, auto& r) { sync_block(io, r); }) ==
              kSeBlockBytes);

using engine::kSeLoop;
using engine::kSePendingPan;
using engine::kSeReserved;
constexpr uint32_t kOverrideVolume = 0x1;

}  // namespace

void sound_effect_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const engine::SoundState& s = vm.sound;
  out.i32(s.nPendingSePan);
  for (const SeInfo& r : s.seInfo) sync_info(out, r);
  for (const SeChannelOverride& r : s.seOverrides) sync_override(out, r);
  for (const SeChannel& r : s.se) sync_channel(out, r);
}

bool sound_effect_save_check(codec::ByteReader& in, SaveCheck& check) {
  SeBlock b;
  sync_block(in, b);
  if (!check.whole(in, "sound effects")) return false;
  for (const SeChannel& ch : b.channels) {
    if (!check.range(ch.type, 0, 2, "sound effect type")) return false;
  }
  return true;
}

void sound_effect_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  SeBlock b;
  sync_block(in, b);
  engine::SoundState& s = vm.sound;
  s.nPendingSePan = b.pendingPan;
  for (int i = 0; i < 4; ++i) s.seInfo[i] = b.info[i];
  for (int i = 0; i < 16; ++i) s.seOverrides[i] = b.overrides[i];
  for (int i = 0; i < 16; ++i) {
    SeChannel& ch = s.se[i];
    ch = b.channels[i];
    ch.sound = 0;
    if (ch.type > 2) ch.type = 0;
    if (ch.file == 0 || !(ch.flags & (kSeReserved | kSeLoop))) continue;
    const std::string name = engine::is_string_handle(ch.file)
                                 ? engine::stored_name(ch.name)
                                 : engine::sound_file_name(vm, ch.file, nullptr);
    const SeChannelOverride& o = s.seOverrides[i];
    const float gain = (o.flags & kOverrideVolume) ? static_cast<float>(o.volume) / 100.0f : 0.0f;
    ch.sound = engine::sound_load(vm, name, engine::se_category(ch.type), nullptr, gain);
    if (ch.sound == 0) {
      engine::vm_log(engine::kLogMain, "load error : %s", name.c_str());
      continue;
    }
    engine::se_apply_volume(s, ch.sound, name.c_str());
    if (ch.flags & kSeLoop) orv.OrvSoundPlayFade(ch.sound, 1, 2000);
    if (ch.flags & kSePendingPan) orv.OrvSoundSetPanChannel(ch.sound, ch.pan);
  }
}

}  // namespace save
