#include "ui/settings/player_settings.h"

#include <cstring>
#include <vector>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_settings.h"
#include "ui/settings/settings_command_list.h"
#include "ui/ui_variables.h"

namespace ui {

using engine::VmContext;

namespace {

constexpr uint32_t kAutoSpeedMax = 100;
constexpr uint32_t kStandardArrow = 0x0FFFFFFF;
constexpr int32_t kSystemArrowCursor = 32512;
constexpr size_t kPathBytes = 260;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

engine::SystemSettings& settings(VmContext& vm) {
  return save::settings_of(vm);
}

}  // namespace

uint32_t date_value(const platform::LocalTime& t) {
  return static_cast<uint32_t>((t.year * 100 + t.month) * 100 + t.day);
}

uint32_t time_value(const platform::LocalTime& t) {
  return static_cast<uint32_t>(((t.hour * 100 + t.minute) * 100 + t.second) * 1000 + t.millisecond);
}

std::string font_name_with_extension(std::string name) {
  bool has_extension = false;
  for (size_t i = 0; i < name.size();) {
    const uint8_t c = static_cast<uint8_t>(name[i]);
    if (c == '.') {
      has_extension = true;
    } else if (c == '\\' || c == '/' || c == ' ') {
      has_extension = false;
    }
    i += (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) ? 2 : 1;
  }
  if (has_extension || name.size() + 4 >= kPathBytes) return name;
  return name + ".dat";
}

std::string resolve_file_name(VmContext& vm, uint32_t reference, bool mark) {
  std::vector<uint8_t> buf(kPathBytes + 1, 0);  // a spare zero ends a full 32-byte name
  engine::get_file_name_operand(vm, buf.data(), kPathBytes, reference, mark ? 1 : 0);
  const char* text = reinterpret_cast<const char*>(buf.data());
  return std::string(text, strnlen(text, kPathBytes));
}

uint32_t cmd_auto_set_time(VmContext& vm) {
  const uint32_t speed = engine::vm_pop(vm);
  settings(vm).dwAutoSpeed = speed > kAutoSpeedMax ? kAutoSpeedMax : speed;
  return 1;
}

uint32_t cmd_auto_get_time(VmContext& vm) {
  const uint32_t speed = settings(vm).dwAutoSpeed;
  engine::vm_set_result(vm, speed);
  engine::vm_log(engine::kLogHistory, "auto_get_time  [%d]", as_int(speed));
  return 1;
}

uint32_t cmd_set_window_mode(VmContext& vm) {
  const uint32_t mode = engine::vm_pop(vm);
  orv.OrvWindowChangeMode(as_int(mode));
  settings(vm).dwWindowMode = mode;
  return 1;
}

uint32_t cmd_set_skip_unread(VmContext& vm) {
  settings(vm).bSkipUnread = engine::vm_pop(vm);
  return 1;
}

uint32_t cmd_set_effect_enable(VmContext& vm) {
  const uint32_t on = engine::vm_pop(vm);
  orv.OrvEffectEnable(as_int(on));
  settings(vm).bEffectEnable = on;
  return 1;
}

uint32_t cmd_get_window_mode(VmContext& vm) {
  engine::vm_set_result(vm, settings(vm).dwWindowMode);
  return 1;
}

uint32_t cmd_get_skip_unread(VmContext& vm) {
  engine::vm_set_result(vm, settings(vm).bSkipUnread);
  return 1;
}

uint32_t cmd_is_effect_enable(VmContext& vm) {
  engine::vm_set_result(vm, static_cast<uint32_t>(orv.OrvEffectEnableIs()));
  return 1;
}

uint32_t cmd_get_local_date(VmContext& vm) {
  const uint32_t year = engine::vm_pop(vm);
  const uint32_t month = engine::vm_pop(vm);
  const uint32_t day = engine::vm_pop(vm);
  if (!variable_in_range(year) || !variable_in_range(month) || !variable_in_range(day)) {
    engine::vm_log(engine::kLogMain, "get_local_date %d, %d, %d: a variable outside 0-4095",
                   as_int(year), as_int(month), as_int(day));
    return 1;
  }
  const platform::LocalTime t = platform::local_time_now();
  variable_store(vm, year, t.year);
  variable_store(vm, month, t.month);
  variable_store(vm, day, t.day);
  return 1;
}

uint32_t cmd_clear_user_memory(VmContext& vm) {
  std::memset(vm.userMem, 0, sizeof vm.userMem);
  return 1;
}

uint32_t cmd_set_cursor(VmContext& vm) {
  const uint32_t file = engine::vm_pop(vm);
  const int32_t x = as_int(engine::vm_pop(vm));
  const int32_t y = as_int(engine::vm_pop(vm));
  if (file == kStandardArrow) {
    // The arrow is a system cursor picked by its resource id.
    orv.OrvSetCursor(reinterpret_cast<const char*>(static_cast<uintptr_t>(kSystemArrowCursor)), 1,
                     0, 0);
    engine::vm_log(engine::kLogHistory, "set_cursor NULL");
    return 1;
  }
  const std::string name = resolve_file_name(vm, file, false) + ".tga";
  orv.OrvSetCursor(name.c_str(), 0, x, y);
  engine::vm_log(engine::kLogHistory, "set_cursor %s, %d, %d", name.c_str(), x, y);
  return 1;
}

uint32_t cmd_set_hide_cursor_time(VmContext& vm) {
  const uint32_t ms = engine::vm_pop(vm);
  settings(vm).dwCursorHideTime = ms;
  orv.OrvCursorSetAutoHideTime(ms);
  engine::vm_log(engine::kLogHistory, "set_hide_cursor_time %d", as_int(ms));
  return 1;
}

uint32_t cmd_get_hide_cursor_time(VmContext& vm) {
  const uint32_t ms = settings(vm).dwCursorHideTime;
  engine::vm_set_result(vm, ms);
  engine::vm_log(engine::kLogHistory, "[%d]get_hide_cursor_time", as_int(ms));
  return 1;
}

uint32_t cmd_get_date_value(VmContext& vm) {
  engine::vm_set_result(vm, date_value(platform::local_time_now()));
  return 1;
}

uint32_t cmd_get_time_value(VmContext& vm) {
  engine::vm_set_result(vm, time_value(platform::local_time_now()));
  return 1;
}

const engine::CommandEntry player_settings_command_entries[] = {
    PLAYER_SETTINGS_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList player_settings_commands =
    engine::command_list(player_settings_command_entries);

}  // namespace ui
