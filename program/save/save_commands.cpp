#include "save/save_commands.h"

#include <cstring>
#include <vector>

#include "commands/command_util.h"
#include "engine/formats/startup_info.h"
#include "engine/game_files.h"
#include "engine/game_state.h"
#include "engine/game_task.h"
#include "engine/neighbours.h"
#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/local_time.h"
#include "platform/message_box.h"
#include "save/prev_data.h"
#include "save/save_command_list.h"
#include "save/save_files.h"
#include "save/save_fixed.h"
#include "save/save_head.h"
#include "save/save_load.h"
#include "save/save_settings.h"
#include "save/save_slot_draw.h"
#include "save/save_snapshot.h"
#include "text/render/text_render.h"

namespace save {

namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

int32_t pop_int(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

// "セーブに失敗しました。\n保存先の容量が不足していないか確認してください。"
constexpr char kSaveFailed[] =
    "\x83\x5a\x81\x5b\x83\x75\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\n"
    "\x95\xdb\x91\xb6\x90\xe6\x82\xcc\x97\x65\x97\xca\x82\xaa\x95\x73\x91\xab\x82\xb5\x82\xc4"
    "\x82\xa2\x82\xc8\x82\xa2\x82\xa9\x8a\x6d\x94\x46\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3"
    "\x82\xa2\x81\x42";

// A slot's file for the queries: missing files log as the queries do.
bool slot_file_present(int32_t slot, const std::string& path) {
  if (path.empty() || !orv.OrvFileExists(path.c_str())) {
    vm_log(kLogHistory, "No SaveData. Therefore disregards");
    vm_log(kLogHistory, "open error SaveFileNo(%d)", slot);
    return false;
  }
  return true;
}

// The newest save number follows the file it names.
int32_t& newest(VmContext& vm) {
  return settings_of(vm).nNewestSave;
}

// A word of TempMemory that a query writes; -1 and indexes outside it are skipped.
void store_var(VmContext& vm, int32_t index, int32_t value) {
  if (index < 0 || index >= static_cast<int32_t>(engine::kTempMemoryCells)) return;
  vm.tempMem[index] = static_cast<uint32_t>(value);
}

// The UserMemory word `index` of a save image in a file: after its own thumbnail, whatever the
// current thumbnail size is.
bool file_user_word(const std::string& path, int32_t index, uint32_t* word) {
  std::vector<uint8_t> bytes;
  if (file_read_whole(path, &bytes, engine::kSaveBufferBytes) != ReadResult::kOk) return false;
  return save_head_user_word(bytes.data(), bytes.size(), index, word);
}

}  // namespace

bool save_file_write(VmContext& vm, const std::string& path) {
  engine::SaveStream& s = vm.save;
  if (!s.lpSnapshot) return false;
  std::vector<uint8_t>& snap = *s.lpSnapshot;
  const uint32_t length = std::min<uint32_t>(s.dwSnapOffset, static_cast<uint32_t>(snap.size()));
  if (length >= kHeadThumbPixels) {
    std::memcpy(snap.data() + kHeadText, s.szSaveText, kHeadTextBytes);
    snap[kHeadText + kHeadTextBytes - 1] = 0;
    // The current thumbnail only replaces one of its own size.
    const uint32_t stored = codec::load_u32(snap.data() + kHeadThumbSize);
    if (s.lpThumbPixels && stored == s.dwThumbSize && length - kHeadThumbPixels >= stored) {
      std::memcpy(snap.data() + kHeadThumbPixels, s.lpThumbPixels, stored);
    }
  }
  const WriteResult result = file_write_atomic(path, snap.data(), length);
  if (result == WriteResult::kOk) return true;
  const std::string shown = engine::game_file_shown_path(path);
  if (result == WriteResult::kCreateFailed) {
    vm_log(kLogMain, "save error [%s]", shown.c_str());
  } else {
    vm_log(kLogMain, "save error [%s]: the file could not be written whole", shown.c_str());
    platform::message_box(kSaveFailed, engine::startup_info().szProduct,
                          platform::kMbIconExclamation | platform::kMbTopMost);
  }
  return false;
}

void history_save(VmContext& vm) {
  if (!vm.history.bSnapshotsOn) return;
  const uint32_t number = vm.sysMem[511] + 1;
  vm.sysMem[511] = number;
  vm.sysMem[509] = number;
  vm.run.dwSavePointMark = number;
  const std::string path = history_path(number);
  if (vm.save.bSnapValid && !path.empty()) save_file_write(vm, path);
  vm_log(kLogHistory, "history_save %s", path.c_str());
}

void save_prev_pack(VmContext& vm) {
  engine::SaveStream& s = vm.save;
  if (!s.bSnapValid || !s.lpSnapshot || !s.lpPrevData) return;
  const uint32_t length =
      std::min<uint32_t>(s.dwSnapOffset, static_cast<uint32_t>(s.lpSnapshot->size()));
  s.dwPrevPackedLength =
      prev_pack(s.lpSnapshot->data(), length, s.lpPrevData, engine::kPrevDataBytes);
  s.dwPrevRawLength = s.dwPrevPackedLength ? length : 0;
}

namespace {

uint32_t cmd_save(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  const uint32_t make_newest = vm_pop(vm);
  if (!vm.save.bSnapValid) return 1;
  if (slot < 0 || slot > 999) {
    vm_log(kLogMain, "error : save file no [%d]", slot);
    return 1;
  }
  const std::string path = slot_path(slot);
  if (save_file_write(vm, path) && make_newest) newest(vm) = slot;
  vm_log(kLogHistory, "save  %s", path.c_str());
  return 1;
}

uint32_t cmd_save_set_title(VmContext& vm) {
  vm.save.dwTitle = vm_pop(vm);
  if (orv.OrvDebugIs && orv.OrvDebugIs()) {
    vm_log(kLogHistory, "save_set_title %s", engine::fetch_text(vm, vm.save.dwTitle, 264).c_str());
  }
  return 1;
}

bool slot_mtime(VmContext&, int32_t slot, platform::LocalTime* when) {
  const std::string path = slot_path(slot);
  int64_t mtime = 0;
  if (!slot_file_present(slot, path)) return false;
  if (!file_stat(path, nullptr, &mtime)) {
    vm_log(kLogHistory, "open error SaveFileNo(%d)", slot);
    return false;
  }
  *when = platform::local_time_of(mtime);
  return true;
}

uint32_t cmd_save_get_time(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  const int32_t h = pop_int(vm), m = pop_int(vm), sec = pop_int(vm);
  platform::LocalTime t{};
  if (!slot_mtime(vm, slot, &t)) return 1;
  store_var(vm, h, t.hour);
  store_var(vm, m, t.minute);
  store_var(vm, sec, t.second);
  return 1;
}

uint32_t cmd_save_get_date(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  const int32_t y = pop_int(vm), mo = pop_int(vm), d = pop_int(vm), wd = pop_int(vm);
  platform::LocalTime t{};
  if (!slot_mtime(vm, slot, &t)) return 1;
  store_var(vm, y, t.year);
  store_var(vm, mo, t.month);
  store_var(vm, d, t.day);
  store_var(vm, wd, t.weekday);
  return 1;
}

uint32_t cmd_save_set_thumbnail_size(VmContext& vm) {
  const int32_t width = pop_int(vm), height = pop_int(vm);
  if (!engine::save_thumbnail_resize(vm.save, width, height)) {
    vm_log(kLogMain, "save_set_thumbnail_size %d, %d: size refused", width, height);
  }
  return 1;
}

uint32_t cmd_save_set_font_size(VmContext& vm) {
  vm.save.wFontSize = static_cast<uint16_t>(vm_pop(vm));
  return 1;
}
uint32_t cmd_save_set_font_type(VmContext& vm) {
  vm.save.wFontType = static_cast<uint16_t>(vm_pop(vm));
  return 1;
}
uint32_t cmd_save_set_font_effect(VmContext& vm) {
  vm.save.wFontEffect = static_cast<uint16_t>(vm_pop(vm));
  return 1;
}
uint32_t cmd_save_set_font_color(VmContext& vm) {
  vm.save.dwFontColor = vm_pop(vm);
  vm.save.dwShadowColor = vm_pop(vm);
  vm_log(kLogHistory, "save_set_font_color 0x%06X, 0x%06X", vm.save.dwFontColor,
         vm.save.dwShadowColor);
  return 1;
}

uint32_t cmd_is_save(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  uint32_t found = 0;
  auto present = [](int32_t n) {
    int64_t size = 0;
    return file_stat(slot_path(n), &size, nullptr) && size > 0;
  };
  if (slot == -1) {
    for (int32_t n = 0; n <= 999 && !found; ++n) found = present(n);
  } else if (slot >= 0 && slot <= 999) {
    found = present(slot);
  }
  engine::vm_set_result(vm, found);
  vm_log(kLogHistory, "[%d] is_save %d", slot, found);
  return 1;
}

uint32_t cmd_save_get_usermemory(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  const int32_t index = pop_int(vm);
  const std::string path = slot_path(slot);
  if (!slot_file_present(slot, path)) return 1;
  uint32_t word = 0;
  if (!file_user_word(path, index, &word)) {
    vm_log(kLogMain, "save_get_usermemory: no word %d in [%s]", index,
           engine::game_file_shown_path(path).c_str());
    return 1;
  }
  engine::vm_set_result(vm, word);
  return 1;
}

uint32_t cmd_histsave_get_usermemory(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const int32_t index = pop_int(vm);
  vm_log(kLogHistory, "[%d] histsave_get_usermemory", static_cast<int32_t>(number));
  const std::string path = history_path(number);
  uint32_t word = 0;
  if (path.empty() || !file_user_word(path, index, &word)) {
    vm_log(kLogMain, "histsave_get_usermemory: no word %d in history file %08x", index, number);
    return 1;
  }
  engine::vm_set_result(vm, word);
  return 1;
}

uint32_t cmd_save_point(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  engine::SaveStream& s = vm.save;
  if (slot == 1000) {
    save_prev_pack(vm);
    return 1;
  }
  if (s.bSavePointLock) return 1;
  s.dwResumePc = vm.runner.dwPc;
  s.dwSnapOffset = 0;
  save_snapshot_make(vm);
  return 1;
}

uint32_t cmd_save_thumbnail_mosaic_set(VmContext& vm) {
  vm.save.dwMosaicThumbnail = vm_pop(vm);
  return 1;
}

uint32_t cmd_save_set_text_rect(VmContext& vm) {
  vm.save.dwTextRectWidth = vm_pop(vm);
  vm.save.dwTextRectHeight = vm_pop(vm);
  return 1;
}

uint32_t cmd_get_new_savefile(VmContext& vm) {
  engine::vm_set_result(vm, static_cast<uint32_t>(newest(vm)));
  return 1;
}

uint32_t cmd_save_set_text(VmContext& vm) {
  const std::string text = engine::fetch_text(vm, vm_pop(vm), 4096 + 4);
  char* out = vm.save.szSaveText;
  std::memset(out, 0, sizeof vm.save.szSaveText);
  textrender::text_expand(vm, out, sizeof vm.save.szSaveText, text.c_str());
  out[sizeof vm.save.szSaveText - 1] = 0;
  vm_log(kLogHistory, "save_set_text %s", out);
  return 1;
}

uint32_t cmd_thumbnail_renew(VmContext& vm) {
  if (vm.save.bThumbEnabled) save_thumbnail_take(vm);
  vm_log(kLogHistory, "thumbnail_renew");
  return 1;
}

uint32_t cmd_set_load_after_process(VmContext& vm) {
  const uint32_t label = vm_pop(vm);
  if (label == 0xFFFFFFFFu) {
    vm.save.nLoadAfterLabel = -1;
    return 1;
  }
  uint32_t pc = 0;
  if (label == 0) {
    vm.save.nLoadAfterLabel = 0;
  } else if (engine::label_target(vm, label, &pc)) {
    vm.save.nLoadAfterLabel = static_cast<int32_t>(pc - vm.runner.dwBase);
  }
  return 1;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
uint32_t cmd_save_system_data(VmContext& vm) {
  auto* gs = reinterpret_cast<engine::GameState*>(reinterpret_cast<char*>(&vm) -
                                                  offsetof(engine::GameState, vm));
  engine::system_dat_save(*gs);
  engine::access_dat_save(*gs);
  return 1;
}
#pragma GCC diagnostic pop

uint32_t cmd_delete_file(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  const std::string path = slot_path(slot);
  const bool ok = !path.empty() && save_file_ops.remove(path.c_str());
  if (ok && newest(vm) == slot) newest(vm) = -1;
  engine::vm_set_result(vm, ok ? 1 : 0);
  vm_log(kLogHistory, "delete_file %s", path.c_str());
  return 1;
}

// Swaps the files of two slots through save_tmp.dat. No rename ever replaces a file; when a
// step fails the earlier ones are undone, so both files keep their contents under some name.
uint32_t cmd_move_file(VmContext& vm) {
  const int32_t a = pop_int(vm), b = pop_int(vm);
  const std::string pa = slot_path(a), pb = slot_path(b);
  vm_log(kLogHistory, "move_file %s, %s", pa.c_str(), pb.c_str());
  engine::vm_set_result(vm, 0);
  if (a < 0 || a > 999 || b < 0 || b > 999) {
    vm_log(kLogMain, "move_file %d, %d: slot out of range", a, b);
    return 1;
  }
  if (a == b) return 1;
  const std::string tmp = move_temp_path();
  if (orv.OrvFileExists(tmp.c_str())) {
    vm_log(kLogMain, "move_file: [%s] is in the way", engine::game_file_shown_path(tmp).c_str());
    return 1;
  }
  const bool has_a = orv.OrvFileExists(pa.c_str()) != 0;
  const bool has_b = orv.OrvFileExists(pb.c_str()) != 0;
  const SaveFileOps& ops = save_file_ops;
  if (has_b && !ops.move(pb.c_str(), tmp.c_str())) return 1;
  if (has_a && !ops.move(pa.c_str(), pb.c_str())) {
    if (has_b) ops.move(tmp.c_str(), pb.c_str());
    return 1;
  }
  if (has_b && !ops.move(tmp.c_str(), pa.c_str())) {
    if (has_a) ops.move(pb.c_str(), pa.c_str());
    ops.move(tmp.c_str(), pb.c_str());
    return 1;
  }
  if (newest(vm) == b && has_b) {
    newest(vm) = a;
  } else if (newest(vm) == a && has_a) {
    newest(vm) = b;
  }
  engine::vm_set_result(vm, has_a && has_b ? 1 : 0);
  return 1;
}

uint32_t cmd_copy_file(VmContext& vm) {
  const int32_t dest = pop_int(vm), source = pop_int(vm);
  const std::string pd = slot_path(dest), ps = slot_path(source);
  vm_log(kLogHistory, "copy_file %s, %s", pd.c_str(), ps.c_str());
  engine::vm_set_result(vm, 0);
  if (dest < 0 || dest > 999 || source < 0 || source > 999) {
    vm_log(kLogMain, "copy_file %d, %d: slot out of range", dest, source);
    return 1;
  }
  std::vector<uint8_t> bytes;
  if (dest == source || file_read_whole(ps, &bytes, size_t{1} << 30) != ReadResult::kOk) return 1;
  if (file_write_atomic(pd, bytes.data(), bytes.size()) != WriteResult::kOk) {
    vm_log(kLogMain, "copy_file: [%s] could not be written",
           engine::game_file_shown_path(pd).c_str());
    return 1;
  }
  if (newest(vm) == source) newest(vm) = dest;
  engine::vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_save_lock(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  const uint32_t value = vm_pop(vm);
  vm_log(kLogHistory, "save_lock %d, %d", slot, static_cast<int32_t>(value));
  const std::string path = slot_path(slot);
  std::vector<uint8_t> bytes;
  int64_t mtime = 0;
  if (path.empty() || !file_stat(path, nullptr, &mtime) ||
      file_read_whole(path, &bytes, size_t{1} << 30) != ReadResult::kOk || bytes.size() < 4) {
    vm_log(kLogHistory, "save_lock not open SaveFileNo(%d)", slot);
    return 1;
  }
  codec::store_u32(bytes.data(), value);
  if (file_write_atomic(path, bytes.data(), bytes.size(), &mtime) != WriteResult::kOk) {
    vm_log(kLogMain, "save_lock: [%s] could not be written",
           engine::game_file_shown_path(path).c_str());
  }
  return 1;
}

uint32_t cmd_is_save_lock(VmContext& vm) {
  const int32_t slot = pop_int(vm);
  uint32_t word = 0;
  if (!file_read_at(slot_path(slot), kHeadLock, &word, 4)) word = 0;
  engine::vm_set_result(vm, word);
  vm_log(kLogHistory, "[%d] is_save_lock", slot);
  return 1;
}

uint32_t cmd_is_prev_data(VmContext& vm) {
  engine::vm_set_result(vm, vm.save.dwPrevRawLength ? 1 : 0);
  return 1;
}

uint32_t cmd_save_point_clear(VmContext& vm) {
  vm.save.bSnapValid = 0;
  vm.save.dwPrevRawLength = 0;
  vm.save.dwPrevPackedLength = 0;
  return 1;
}

uint32_t cmd_save_point_lock(VmContext& vm) {
  vm.save.bSavePointLock = vm_pop(vm);
  return 1;
}

uint32_t cmd_history_file_save(VmContext& vm) {
  history_save(vm);
  return 1;
}

uint32_t cmd_is_history_file(VmContext& vm) {
  const std::string path = history_path(vm_pop(vm));
  engine::vm_set_result(vm, !path.empty() && file_stat(path, nullptr, nullptr) ? 1 : 0);
  return 1;
}

const engine::CommandEntry save_command_entries[] = {SAVE_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList save_commands = engine::command_list(save_command_entries);

void save_attach() {
  engine::command_list_install(save_commands);
  engine::InteractionServices& s = engine::neighbours.interaction;
  s.save_snapshot_make = save_snapshot_make;
  s.save_snapshot_read = save_snapshot_read;
  s.save_snapshot_reload = save_snapshot_reload;
  s.history_save = history_save;
  s.save_prev_pack = save_prev_pack;
}

}  // namespace save
