// The tips dictionary commands of group 0x12 over the program's TipsDictionary.
#include <string>
#include <vector>

#include "commands/command_util.h"
#include "engine/game_files.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/tips/favourites.h"
#include "text/tips/tips_commands.h"
#include "text/tips/tips_dictionary.h"
#include "text/tips/tips_dictionary_command_list.h"

namespace tips {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

// "範囲オーバーです"
#define TIPS_OUT_OF_RANGE "\x94\xcd\x88\xcd\x83I\x81[\x83o\x81[\x82\xc5\x82\xb7"

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

int32_t entry_count() {
  return static_cast<int32_t>(tips_dictionary.entries.size());
}

uint32_t cmd_tips_csv_read(VmContext& vm) {
  const uint32_t csv = vm_pop(vm);
  const uint32_t flags = vm_pop(vm);
  const std::string name = engine::fetch_file_name(vm, csv, 33);
  TipsDictionary& dict = tips_dictionary;
  dict.flagPath = engine::fetch_text(vm, flags, 4096 + 4);
  std::string data;
  if (engine::read_data_file(name.c_str(), &data) != 0) {
    vm_set_result(vm, 0);
    vm_log(kLogMain, "tips_csv_read error : %s", name.c_str());
    return 1;
  }
  dict.entries = tips_csv_parse(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  if (dict.entries.empty()) {
    vm_set_result(vm, 0);
    vm_log(kLogMain, "tips_csv_read error : %s", name.c_str());
    return 1;
  }
  std::vector<uint8_t> flag_bytes;
  if (engine::game_file_load(dict.flagPath, &flag_bytes)) {
    tips_flags_apply(dict, flag_bytes.data(), flag_bytes.size());
  }
  for (size_t n = 0; n < dict.entries.size(); ++n) {
    TipsEntry& e = dict.entries[n];
    if (e.column[1].empty()) {
      vm_log(kLogMain, "tips_csv error line %d : %s", static_cast<int32_t>(n), name.c_str());
      vm_set_result(vm, 0);
      return 1;
    }
    e.kanaRow = tips_kana_row(e.column[1]);
  }
  vm_log(kLogHistory, "tips_csv_read [%s] %d", name.c_str(), entry_count());
  vm_set_result(vm, static_cast<uint32_t>(entry_count()));
  return 1;
}

uint32_t cmd_tips_csv_get(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t field = vm_pop(vm);
  const uint32_t var = vm_pop(vm);
  if (index >= static_cast<uint32_t>(entry_count())) {
    vm_set_result(vm, 0);
    vm_log(kLogMain, "tips_csv_get error : %d %d %d", as_int(index), as_int(field), as_int(var));
    return 1;
  }
  const TipsEntry& e = tips_dictionary.entries[index];
  uint32_t result = static_cast<uint32_t>(e.number);
  if (field == 4) result = static_cast<uint32_t>(e.kanaRow);
  if (field == 5) result = static_cast<uint32_t>(static_cast<int32_t>(e.flag1));
  if (field == 6) result = static_cast<uint32_t>(static_cast<int32_t>(e.flag2));
  char* slot = engine::is_string_handle(var) ? engine::slot_of(vm, var) : nullptr;
  if (slot) {
    if (field <= 3) {
      engine::slot_store(slot, std::string(engine::slot_text(slot)) + e.column[field]);
    } else if (field >= 7) {
      vm_log(kLogHistory, "tips_csv_get dic_no %d [%d]", as_int(index), as_int(field));
    }
  }
  vm_set_result(vm, result);
  return 1;
}

uint32_t cmd_tips_csv_search(VmContext& vm) {
  const std::string text = engine::fetch_text(vm, vm_pop(vm), 4096 + 4);
  int32_t found = -1;
  for (int32_t n = 0; n < entry_count(); ++n) {
    if (tips_dictionary.entries[n].column[0] == text) {
      found = n;
      break;
    }
  }
  vm_log(kLogHistory, "tips_csv_search %d [%s]", found, text.c_str());
  if (found < 0) vm_log(kLogMain, "tips_csv_search not found [%s]", text.c_str());
  vm_set_result(vm, static_cast<uint32_t>(found));
  return 1;
}

uint32_t cmd_tips_sort(VmContext&) {
  tips_sort(tips_dictionary);
  return 1;
}

uint32_t cmd_tips_acc_set(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t field = vm_pop(vm);
  const uint32_t value = vm_pop(vm);
  if (entry_count() == 0) return 1;
  if (index >= static_cast<uint32_t>(entry_count())) {
    vm_log(kLogMain, "tips_acc_set : " TIPS_OUT_OF_RANGE "[%d]", as_int(index));
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  TipsEntry& e = tips_dictionary.entries[index];
  if (field == 0 || field == 5) e.flag1 = static_cast<int8_t>(value & 0xFF);
  if (field == 1 || field == 6) e.flag2 = static_cast<int8_t>(value & 0xFF);
  vm_set_result(vm, 0);
  return 1;
}

uint32_t cmd_tips_acc_save(VmContext&) {
  const TipsDictionary& dict = tips_dictionary;
  const std::string bytes = tips_flags_bytes(dict);
  if (dict.flagPath.empty() || !engine::game_file_save(dict.flagPath, bytes.data(), bytes.size())) {
    return 1;
  }
  vm_log(kLogHistory, "tips_acc_save [%s]", dict.flagPath.c_str());
  return 1;
}

void list_sort_error(int32_t from, int32_t to, int32_t i, int32_t a, int32_t j, int32_t b) {
  vm_log(kLogMain, "*** ERROR: tipsListSort(%d, %d), [%d]=%d / [%d]=%d", from, to, i, a, j, b);
}

uint32_t cmd_tips_list_sort(VmContext&) {
  tips_list_sort(tips_dictionary, favourites.mem, kFavMemWords, list_sort_error);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {TIPS_DICTIONARY_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList tips_dictionary_commands = engine::command_list(kEntries);

}  // namespace tips
