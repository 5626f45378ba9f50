// Save data in: the whole-image check never reads outside the bytes and refuses what does not end
// exactly at its length; an image it accepts is read into the game state, and a snapshot of the
// restored state passes the same check again.
#include <cstdint>
#include <cstdlib>
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
#include "subsystems.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    attach_subsystems();
    engine::orv_static_bind();
    engine::set_log_sink([](int, const char*, void*) {}, nullptr);
    return true;
  }();
  (void)ready;
  auto gs = std::make_unique<engine::GameState>();
  engine::VmContext& vm = gs->vm;
  // A script of 4 KiB: code offsets in the image must lie inside it.
  std::vector<uint8_t> code(4096);
  vm.runner.pCode = code.data();
  vm.runner.dwCodeSize = static_cast<uint32_t>(code.size());
  vm.runner.dwBase = 12;
  vm.hReturnStack = engine::orv_list_create();
  engine::SaveStream& s = vm.save;
  s.dwThumbWidth = 8;
  s.dwThumbHeight = 4;
  s.dwThumbSize = 128;
  if (!engine::save_stream_init(s)) std::abort();

  save::SaveCheck check = save::save_check_for(vm);
  save::FixedInfo fixed;
  if (save::save_data_check(data, size, check, &fixed)) {
    if (fixed.dwThumbSize != s.dwThumbSize &&
        !engine::save_thumbnail_resize(s, static_cast<int32_t>(fixed.dwThumbWidth),
                                       static_cast<int32_t>(fixed.dwThumbHeight))) {
      std::abort();  // an accepted thumbnail always fits
    }
    engine::vm_reset(vm);
    save::save_data_read(vm, data, size, save::LoadMode{(size & 1) != 0});
    s.bThumbEnabled = 0;
    s.dwSnapOffset = 0;
    save::save_snapshot_make(vm);
    if (!s.bSnapValid) std::abort();
    save::SaveCheck again = save::save_check_for(vm);
    if (!save::save_data_check(s.lpSnapshot->data(), s.dwSnapLength, again, nullptr)) std::abort();
  } else if (!check.field) {
    std::abort();  // a refusal always names its field
  }
  engine::vm_reset(vm);
  engine::return_stack_clear(vm);
  engine::orv_list_release(vm.hReturnStack);
  engine::save_stream_free(s);
  return 0;
}
