// The music channels and the voice autopan table in save data.
#include "save/save_blocks.h"
#include "text/sound/music.h"
#include "text/sound/voice_autopan.h"

namespace save {

namespace {
constexpr size_t kMusicBlockBytes = 2 * engine::kBgmRecordBytes;
constexpr size_t kAutopanBlockBytes = 16 * engine::kAutopanEntryBytes;
}  // namespace

// ---- 7: music ----

void music_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  engine::bgm_state_save(vm.sound, out);
}

// The reader brings every value into range and reads names within their bounds, so only the
// size matters here.
bool music_save_check(codec::ByteReader& in, SaveCheck& check) {
  in.skip(kMusicBlockBytes);
  return check.whole(in, "music");
}

void music_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode& mode) {
  engine::bgm_state_restore(vm, in, mode.bHistory);
}

// ---- 9: voice autopan ----

void autopan_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  engine::autopan_state_save(vm.sound, out);
}

bool autopan_save_check(codec::ByteReader& in, SaveCheck& check) {
  in.skip(kAutopanBlockBytes);
  return check.whole(in, "voice autopan");
}

void autopan_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  engine::autopan_state_restore(vm.sound, in);
}

}  // namespace save
