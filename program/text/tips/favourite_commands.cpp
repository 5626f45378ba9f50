// The favourites commands of group 0x12 over the program's FavouriteStore.
#include <cstring>
#include <string>
#include <vector>

#include "commands/command_util.h"
#include "engine/game_files.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/sound/voice_mix_list.h"
#include "text/tips/favourite_command_list.h"
#include "text/tips/favourites.h"
#include "text/tips/tips_commands.h"

namespace tips {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

// "範囲オーバーです", "追加出来ませんでした。", "削除出来ませんでした。",
// "入替え出来ませんでした。"
#define FAV_OUT_OF_RANGE "\x94\xcd\x88\xcd\x83I\x81[\x83o\x81[\x82\xc5\x82\xb7"
#define FAV_NOT_ADDED                                                                 \
  "\x92\xc7\x89\xc1\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" \
  "B"
#define FAV_NOT_DELETED                                                               \
  "\x8d\xed\x8f\x9c\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" \
  "B"
#define FAV_NOT_SWAPPED                                                                       \
  "\x93\xfc\x91\xd6\x82\xa6\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" \
  "B"

constexpr uint32_t kTextBytes = 4096 + 4;
constexpr uint32_t kNoPath = 0xFFFFFFFFu;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

bool index_ok(uint32_t index) {
  return index < favourites.count;
}

template <size_t N>
std::string text_of(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

uint32_t add(VmContext& vm, bool expand) {
  const uint32_t number = vm_pop(vm);
  const uint32_t name_op = vm_pop(vm);
  const uint32_t voice_op = vm_pop(vm);
  const uint32_t text_op = vm_pop(vm);
  std::string name, voice, text;
  if (name_op == 0) {
    const engine::TextWindow& tw = vm.text;
    name = text_of(tw.szName);
    voice = text_of(tw.szVoice);
    text = text_of(tw.szMessage);
  } else {
    name = engine::fetch_text(vm, name_op, kTextBytes);
    voice = engine::fetch_text(vm, voice_op, kTextBytes);
    text = engine::fetch_text(vm, text_op, kTextBytes);
  }
  const char* command = expand ? "favaddex" : "favadd";
  vm_log(kLogHistory, "%s [%d][%s][%s][%s]", command, as_int(number), name.c_str(), voice.c_str(),
         text.c_str());
  if (expand && voice.find('|') == std::string::npos) {
    std::vector<std::string> files;
    if (engine::voice_mix_list_read(voice, &files)) voice = fav_voice_expand(voice, files);
  }
  const int32_t result = fav_add_record(favourites, as_int(number), name, voice, text);
  if (result < 0) vm_log(kLogMain, "%s : " FAV_NOT_ADDED, command);
  vm_set_result(vm, static_cast<uint32_t>(result));
  return 1;
}

int32_t load() {
  if (favourites.path.empty()) return -1;
  std::vector<uint8_t> bytes;
  if (!engine::game_file_load(favourites.path, &bytes)) return -1;
  return static_cast<int32_t>(fav_file_parse(favourites, bytes.data(), bytes.size()));
}

bool save() {
  if (favourites.path.empty()) return false;
  const std::string bytes = fav_file_bytes(favourites);
  return engine::game_file_save(favourites.path, bytes.data(), bytes.size());
}

uint32_t cmd_fav_init(VmContext& vm) {
  const uint32_t path = vm_pop(vm);
  fav_clear(favourites);
  if (path != kNoPath) favourites.path = engine::fetch_text(vm, path, kTextBytes);
  return 1;
}

uint32_t cmd_favadd(VmContext& vm) {
  return add(vm, false);
}

uint32_t cmd_favaddex(VmContext& vm) {
  return add(vm, true);
}

uint32_t cmd_favdel(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  vm_log(kLogHistory, "favdel [%d]", as_int(index));
  if (!index_ok(index)) {
    vm_log(kLogMain, "favdel : " FAV_NOT_DELETED);
    vm_set_result(vm, 0);
    return 1;
  }
  FavRecord& r = favourites.records[index];
  r = FavRecord{};
  r.number = -1;
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_favswap(VmContext& vm) {
  const uint32_t a = vm_pop(vm);
  const uint32_t b = vm_pop(vm);
  vm_log(kLogHistory, "favswap [%d][%d]", as_int(a), as_int(b));
  if (!index_ok(a) || !index_ok(b)) {
    vm_log(kLogMain, "favswap [%d][%d] : " FAV_NOT_SWAPPED, as_int(a), as_int(b));
    vm_set_result(vm, 0);
    return 1;
  }
  std::swap(favourites.records[a], favourites.records[b]);
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_favload(VmContext& vm) {
  const int32_t count = load();
  vm_set_result(vm, static_cast<uint32_t>(count));
  vm_log(count == 0 ? kLogMain : kLogHistory, count == 0 ? "favload error [%s]" : "favload [%s]",
         favourites.path.c_str());
  return 1;
}

uint32_t cmd_favsave(VmContext& vm) {
  vm_log(kLogHistory, "favsave [%s]", favourites.path.c_str());
  const bool saved = save();
  if (!saved) vm_log(kLogMain, "favsave error [%s]", favourites.path.c_str());
  vm_set_result(vm, saved ? 1 : 0);
  return 1;
}

uint32_t cmd_favget(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t field = vm_pop(vm);
  const uint32_t var = vm_pop(vm);
  if (!index_ok(index)) {
    vm_log(kLogMain, "favget error [%d]", as_int(index));
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  const FavRecord& r = favourites.records[index];
  char* slot = engine::is_string_handle(var) ? engine::slot_of(vm, var) : nullptr;
  if (!slot) {
    if (field == 0) {
      vm_set_result(vm, static_cast<uint32_t>(r.number));
    } else if (field == 1) {
      vm_set_result(vm, static_cast<uint32_t>(static_cast<int32_t>(r.flag)));
    } else {
      vm_log(kLogMain, "favget[%d] : " CMD_NOT_STRING_TYPE, as_int(index));
    }
    return 1;
  }
  slot[0] = 0;
  vm_set_result(vm, 1);
  switch (field) {
    case 0:
      vm_set_result(vm, static_cast<uint32_t>(r.number));
      vm_log(kLogHistory, "favget %d num [%d]", as_int(index), r.number);
      break;
    case 1:
      vm_set_result(vm, static_cast<uint32_t>(static_cast<int32_t>(r.flag)));
      vm_log(kLogHistory, "favget %d flag [%d]", as_int(index), static_cast<int32_t>(r.flag));
      break;
    case 2:
      engine::slot_store(slot, text_of(r.name));
      vm_log(kLogHistory, "favget %d name [%s]", as_int(index), slot);
      break;
    case 3:
      engine::slot_store(slot, text_of(r.voice));
      vm_log(kLogHistory, "favget %d voice [%s]", as_int(index), slot);
      break;
    case 4:
      engine::slot_store(slot, text_of(r.text));
      vm_log(kLogHistory, "favget %d text [%s]", as_int(index), slot);
      break;
    default:
      vm_log(kLogMain, "favget error [%d][%d]", as_int(index), as_int(field));
      vm_set_result(vm, 0xFFFFFFFFu);
      break;
  }
  return 1;
}

uint32_t cmd_favgetflag(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  vm_log(kLogHistory, "favgetflag [%d]", as_int(index));
  if (!index_ok(index)) {
    vm_log(kLogMain, "favgetflag [%d]: " FAV_NOT_DELETED, as_int(index));
    vm_set_result(vm, 0);
    return 1;
  }
  vm_set_result(vm, static_cast<uint32_t>(static_cast<int32_t>(favourites.records[index].flag)));
  return 1;
}

uint32_t cmd_favsetflag(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t value = vm_pop(vm);
  vm_log(kLogHistory, "favsetflag [%d, %d]", as_int(index), as_int(value));
  if (!index_ok(index)) {
    vm_log(kLogMain, "favsetflag [%d, %d]: " FAV_NOT_DELETED, as_int(index), as_int(value));
    vm_set_result(vm, 0);
    return 1;
  }
  favourites.records[index].flag = static_cast<int8_t>(value & 0xFF);
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_fav_set_path(VmContext& vm) {
  favourites.path = engine::fetch_text(vm, vm_pop(vm), kTextBytes);
  return 1;
}

uint32_t cmd_favsearchno(VmContext& vm) {
  const int32_t number = as_int(vm_pop(vm));
  int32_t found = -1;
  for (uint32_t i = 0; i < favourites.count; ++i) {
    if (favourites.records[i].number == number) {
      found = static_cast<int32_t>(i);
      break;
    }
  }
  vm_log(kLogHistory, "favsearchno [%d,$d]", number);
  if (found < 0) vm_log(kLogMain, "favsearchno not found [%d]", number);
  vm_set_result(vm, static_cast<uint32_t>(found));
  return 1;
}

uint32_t cmd_fav_save_reload(VmContext&) {
  if (favourites.path.empty()) return 1;
  if (save()) load();
  return 1;
}

uint32_t cmd_favsetmem(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t value = vm_pop(vm);
  if (index >= kFavMemWords) {
    vm_log(kLogMain, "favsetmem : " FAV_OUT_OF_RANGE "[%d]", as_int(index));
    vm_set_result(vm, 0);
    return 1;
  }
  favourites.mem[index] = as_int(value);
  return 1;
}

uint32_t cmd_favgetmem(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  if (index >= kFavMemWords) {
    vm_log(kLogMain, "favgetmem : " FAV_OUT_OF_RANGE "[%d]", as_int(index));
    vm_set_result(vm, 0);
    return 1;
  }
  vm_set_result(vm, static_cast<uint32_t>(favourites.mem[index]));
  return 1;
}

uint32_t cmd_favsetmax(VmContext& vm) {
  favourites.capacity = vm_pop(vm);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {FAVOURITE_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList favourite_commands = engine::command_list(kEntries);

}  // namespace tips
