// Save data in: the whole-image check never reads outside the bytes and refuses what does not end
// exactly at its length (naming a field); an image it accepts is read into the game state, and a
// snapshot of the restored state passes the same check again.
//
// A valid image is far larger than random inputs grow, so the input is taken two ways: with its
// first byte even, as the image itself; with it odd, as changes to a valid image of an idle game
// (a length to cut it to, then pairs of an offset and a 32-bit value to write there).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_snapshot.h"
#include "save/save_stream.h"
#include "shared/byte_codec.h"
#include "subsystems.h"

namespace {

struct Machine {
  std::unique_ptr<engine::GameState> gs = std::make_unique<engine::GameState>();
  std::vector<uint8_t> code = std::vector<uint8_t>(4096);
  std::vector<uint8_t> valid;

  Machine() {
    attach_subsystems();
    engine::orv_static_bind();
    engine::set_log_sink([](int, const char*, void*) {}, nullptr);
    engine::VmContext& vm = gs->vm;
    vm.runner.pCode = code.data();
    vm.runner.dwCodeSize = static_cast<uint32_t>(code.size());
    vm.runner.dwBase = 12;
    vm.hReturnStack = engine::orv_list_create();
    engine::SaveStream& s = vm.save;
    s.dwThumbWidth = 8;
    s.dwThumbHeight = 4;
    s.dwThumbSize = 128;
    s.nLoadAfterLabel = -1;
    if (!engine::save_stream_init(s)) std::abort();
    s.dwResumePc = 12;
    save::save_snapshot_make(vm);
    valid.assign(s.lpSnapshot->begin(), s.lpSnapshot->begin() + s.dwSnapLength);
  }
  ~Machine() {
    engine::VmContext& vm = gs->vm;
    engine::vm_reset(vm);
    engine::return_stack_clear(vm);
    engine::orv_list_release(vm.hReturnStack);
    engine::save_stream_free(vm.save);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Machine m;
  engine::VmContext& vm = m.gs->vm;
  engine::SaveStream& s = vm.save;
  // One buffer for the whole run: a valid image is megabytes, and a new one per input spent
  // most of the time on new pages.
  static std::vector<uint8_t> image;
  if (size == 0 || !(data[0] & 1)) {
    image.assign(data, data + size);
  } else {
    codec::ByteReader in(data + 1, size - 1);
    image.assign(m.valid.begin(), m.valid.end());
    const uint32_t cut = in.u32();
    if (cut < image.size()) image.resize(cut);
    while (in.remaining() >= 8) {
      const uint32_t at = in.u32(), value = in.u32();
      if (!image.empty()) codec::store_u32(image.data() + at % image.size() / 4 * 4, value);
    }
    if (image.size() % 4) image.resize(image.size() / 4 * 4);
  }
  save::SaveCheck check = save::save_check_for(vm);
  save::FixedInfo fixed;
  if (save::save_data_check(image.data(), image.size(), check, &fixed)) {
    if (fixed.dwThumbSize != s.dwThumbSize &&
        !engine::save_thumbnail_resize(s, static_cast<int32_t>(fixed.dwThumbWidth),
                                       static_cast<int32_t>(fixed.dwThumbHeight))) {
      std::abort();  // an accepted thumbnail always fits
    }
    engine::vm_reset(vm);
    save::save_data_read(vm, image.data(), image.size(), save::LoadMode{(size & 2) != 0});
    s.bThumbEnabled = 0;
    s.dwSnapOffset = 0;
    save::save_snapshot_make(vm);
    if (!s.bSnapValid) std::abort();
    save::SaveCheck again = save::save_check_for(vm);
    if (!save::save_data_check(s.lpSnapshot->data(), s.dwSnapLength, again, nullptr)) std::abort();
    engine::vm_reset(vm);
  } else if (!check.field) {
    std::abort();  // a refusal always names its field
  }
  return 0;
}
