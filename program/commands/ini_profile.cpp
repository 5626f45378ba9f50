#include "commands/ini_profile.h"

#include "commands/command_paths.h"
#include "commands/command_util.h"
#include "commands/ini_command_list.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/formats/ini_file.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/file.h"

namespace engine {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string ini_resolve_path(const std::string& name) {
  for (const std::string* folder : {&command_save_folder(), &command_program_folder()}) {
    const std::string path = *folder + "\\" + name;
    if (path.size() <= 259 && platform::file_exists(path.c_str())) return path;
  }
  return name;
}

namespace {

uint32_t cmd_get_private_profile_string(VmContext& vm) {
  const std::string section = fetch_text(vm, vm_pop(vm));
  const std::string key = fetch_text(vm, vm_pop(vm));
  const std::string fallback = fetch_text(vm, vm_pop(vm));
  const uint32_t dest = vm_pop(vm);
  const std::string file = fetch_file_name(vm, vm_pop(vm));
  if (!is_string_handle(dest)) {
    // "はstring型を指定していません。"
    vm_log(kLogMain,
           "get_private_profile_string \x82\xcdstring\x8c^\x82\xf0\x8ew\x92\xe8\x82\xb5"
           "\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81"
           "B");
    vm_set_result(vm, static_cast<uint32_t>(-1));
    return 1;
  }
  const std::string path = ini_resolve_path(file);
  char* slot = AdvGetVarString(vm, dest & ~kStringHandleBit);
  std::string value = ini_get_string(section, key, fallback, path);
  value.resize(sjis_clamp(value, kSlotTextMax));
  if (slot_of(vm, dest)) slot_store(slot, value);
  vm_set_result(vm, static_cast<uint32_t>(value.size()));
  return 1;
}

uint32_t cmd_get_private_profile_int(VmContext& vm) {
  const std::string section = fetch_text(vm, vm_pop(vm));
  const std::string key = fetch_text(vm, vm_pop(vm));
  const uint32_t fallback = vm_pop(vm);
  const std::string file = fetch_file_name(vm, vm_pop(vm));
  std::string value;
  uint32_t result = fallback;
  if (ini_read_value(section, key, &value, ini_resolve_path(file))) {
    value = ini_trim_end(value);
    if (!value.empty()) {
      size_t i = 0;
      while (i < value.size() && (is_blank(value[i]) || value[i] == '\n')) ++i;
      bool negative = false;
      if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
      uint32_t v = 0;
      while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        v = v * 10u + static_cast<uint32_t>(value[i++] - '0');
      }
      result = negative ? 0u - v : v;
    }
  }
  vm_set_result(vm, result);
  return 1;
}

// A name that stays in the folder it is put in: not empty, no folder part (a '\\', '/' or
// ':' outside a double-byte character), not "." or "..".
bool plain_file_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(name[i]);
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      ++i;  // the second byte of a Shift-JIS character may be 0x5C; it is no separator
    } else if (b == '\\' || b == '/' || b == ':') {
      return false;
    }
  }
  return true;
}

uint32_t write_profile(VmContext& vm, bool as_int) {
  const std::string section = fetch_text(vm, vm_pop(vm));
  const std::string key = fetch_text(vm, vm_pop(vm));
  const uint32_t value_ref = vm_pop(vm);
  const std::string file = fetch_file_name(vm, vm_pop(vm));
  std::string value;
  if (as_int) {
    value = std::to_string(static_cast<int32_t>(value_ref));
  } else {
    value = fetch_text(vm, value_ref);
    if (value.size() + 2 < 4093) value = "\"" + value + "\"";
  }
  // The player's settings are written in the save folder and nowhere else.
  if (!plain_file_name(file)) {
    vm_log(kLogMain, "write_private_profile file name error [%s]", file.c_str());
    vm_set_result(vm, 0);
    return 1;
  }
  const std::string path = command_save_folder() + "\\" + file;
  vm_set_result(vm, ini_write_string(section, key, value, path) ? 1 : 0);
  return 1;
}
uint32_t cmd_write_private_profile_string(VmContext& vm) {
  return write_profile(vm, false);
}
uint32_t cmd_write_private_profile_int(VmContext& vm) {
  return write_profile(vm, true);
}

}  // namespace

namespace {
const CommandEntry kIniCommands[] = {INI_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList ini_commands = command_list(kIniCommands);

}  // namespace engine
