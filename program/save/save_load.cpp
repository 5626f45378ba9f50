#include "save/save_load.h"

#include <vector>

#include "engine/game_files.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/prev_data.h"
#include "save/save_files.h"
#include "save/save_snapshot.h"

namespace save {

namespace {

using engine::VmContext;

void refuse(const std::string& name, const char* field) {
  engine::vm_log(engine::kLogMain, "load error [%s]: %s", name.c_str(), field);
}

// Buttons and system buttons do not react for 100 ms after a load.
void reaction_pause(VmContext& vm) {
  vm.buttons.dwWaitStart = orv.OrvClockGetTime();
  vm.buttons.dwInvalidTime = 100;
}

// The held snapshot becomes the loaded state at its resume pc.
void fresh_snapshot(VmContext& vm) {
  engine::SaveStream& s = vm.save;
  if (s.bSavePointLock) return;
  s.dwResumePc = vm.runner.dwPc;
  s.dwSnapOffset = 0;
  save_snapshot_make(vm);
}

// A load-after routine runs first and returns to the resume pc; without one the script goes on
// with the next frame.
void resume(VmContext& vm) {
  engine::ScriptRunner& r = vm.runner;
  if (vm.save.nLoadAfterLabel == -1) {
    r.bYield = 1;
    return;
  }
  engine::data_entry_push(vm, engine::kChannelReturns, r.dwPc, 0);
  r.dwPc = r.dwBase + static_cast<uint32_t>(vm.save.nLoadAfterLabel);
}

// What a load repairs of the state a snapshot does not carry.
void after_load(VmContext& vm) {
  // Action slots 7 and 8 belong to the system's own screens: a load leaves them empty.
  engine::neighbour_run(engine::neighbours.layers.action_slots_system_clear, vm);
  // No click of before the load may end a wait after it.
  engine::g_advance_latch = engine::AdvanceLatch{0, 0, 1};
  vm.text.bEndOfText[0] = 0;
  vm.text.bEndOfText[1] = 0;
  vm.save.dwPrevRawLength = 0;
  vm.save.dwPrevPackedLength = 0;
  fresh_snapshot(vm);
  reaction_pause(vm);
}

}  // namespace

bool save_image_load(VmContext& vm, const uint8_t* data, size_t size, const std::string& name,
                     const LoadMode& mode) {
  SaveCheck check = save_check_for(vm);
  FixedInfo fixed;
  if (!save_data_check(data, size, check, &fixed)) {
    refuse(name, check.field ? check.field : "data");
    return false;
  }
  engine::SaveStream& s = vm.save;
  if (!engine::save_stream_init(s) ||
      (fixed.dwThumbSize != s.dwThumbSize &&
       !engine::save_thumbnail_resize(s, static_cast<int32_t>(fixed.dwThumbWidth),
                                      static_cast<int32_t>(fixed.dwThumbHeight)))) {
    refuse(name, "no memory for the thumbnail");
    return false;
  }
  engine::vm_reset(vm);
  save_data_read(vm, data, size, mode);
  return true;
}

uint32_t cmd_load(VmContext& vm) {
  const auto slot = static_cast<int32_t>(engine::vm_pop(vm));
  std::vector<uint8_t> image;
  std::string name;
  if (slot >= 0 && slot <= 999) {
    const std::string path = slot_path(slot);
    name = engine::game_file_shown_path(path);
    engine::vm_log(engine::kLogHistory, "load %s", path.c_str());
    switch (file_read_whole(path, &image, engine::kSaveBufferBytes)) {
      case ReadResult::kOk:
        break;
      case ReadResult::kTooLarge:
        refuse(name, "file size");
        return 1;
      default:
        engine::vm_log(engine::kLogMain, "load error [%s]", name.c_str());
        return 1;
    }
  } else if (slot == 1000) {
    name = "prev";
    engine::vm_log(engine::kLogHistory, "load prev");
    const engine::SaveStream& s = vm.save;
    if (!s.dwPrevRawLength || !s.lpPrevData) {
      refuse(name, "no previous data");
      return 1;
    }
    image.resize(s.dwPrevRawLength);
    if (!prev_unpack(s.lpPrevData, s.dwPrevPackedLength, image.data(), s.dwPrevRawLength)) {
      refuse(name, "packed data");
      return 1;
    }
  } else {
    engine::vm_log(engine::kLogMain, "error : load file no [%d]", slot);
    return 1;
  }
  if (!save_image_load(vm, image.data(), image.size(), name, LoadMode{})) return 1;
  vm.sysMem[509] = vm.run.dwSysMem509;
  after_load(vm);
  resume(vm);
  return 1;
}

uint32_t cmd_history_load(VmContext& vm) {
  const uint32_t number = engine::vm_pop(vm);
  const uint32_t skip_on = vm.run.bHistorySkip, skip_pc = vm.run.dwHistorySkipPc;
  const std::string path = history_path(number);
  std::vector<uint8_t> image;
  const ReadResult read =
      path.empty() ? ReadResult::kMissing : file_read_whole(path, &image, engine::kSaveBufferBytes);
  if (read == ReadResult::kMissing) {
    engine::vm_log(engine::kLogMain, "history_load [%s] - path not enough length or not found",
                   path.c_str());
    engine::vm_set_result(vm, 0);
    return 1;
  }
  const std::string name = engine::game_file_shown_path(path);
  if (read != ReadResult::kOk) {
    refuse(name, read == ReadResult::kTooLarge ? "file size" : "read");
    engine::vm_set_result(vm, 0);
    return 1;
  }
  engine::vm_log(engine::kLogHistory, "history_load [%s]", path.c_str());
  if (!save_image_load(vm, image.data(), image.size(), name, LoadMode{true})) {
    engine::vm_set_result(vm, 0);
    return 1;
  }
  vm.sysMem[509] = vm.run.dwSysMem511 + 1;
  after_load(vm);
  vm.run.bHistorySkip = skip_on;
  vm.run.dwHistorySkipPc = skip_pc;
  vm.runner.bYield = 1;
  engine::vm_log(engine::kLogHistory, "history_load ok [%s]", path.c_str());
  engine::vm_set_result(vm, 0xFFFFFFFFu);
  return 1;
}

void save_snapshot_reload(VmContext& vm) {
  engine::SaveStream& s = vm.save;
  s.dwSnapLength = s.bSnapValid ? s.dwSnapOffset : 0;
  s.dwSnapOffset = 0;
  const std::vector<uint8_t>* buffer = s.lpSnapshot;
  SaveCheck check = save_check_for(vm);
  FixedInfo fixed;
  if (!s.bSnapValid || !buffer ||
      !save_data_check(buffer->data(), std::min<size_t>(s.dwSnapLength, buffer->size()), check,
                       &fixed) ||
      fixed.dwThumbSize != s.dwThumbSize) {
    // Nothing to go back to: the script only starts again at the resume point.
    engine::vm_log(engine::kLogMain, "snapshot reload: no valid snapshot (%s)",
                   check.field ? check.field : "none");
    vm.runner.dwPc = s.dwResumePc;
    vm.runner.bYield = 1;
    return;
  }
  const uint32_t length = s.dwSnapLength;
  engine::vm_reset(vm);
  save_data_read(vm, buffer->data(), length, LoadMode{});
  s.dwSnapLength = s.dwSnapOffset = length;
  s.bSnapValid = 1;
  reaction_pause(vm);
  resume(vm);
}

}  // namespace save
