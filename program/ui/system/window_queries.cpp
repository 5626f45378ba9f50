#include "ui/system/window_queries.h"

#include <string>
#include <vector>

#include "engine/formats/startup_info.h"
#include "engine/formats/system_files.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_settings.h"
#include "ui/ui_variables.h"

namespace ui {

using engine::VmContext;

namespace {

constexpr int32_t kAspectModes = 4;
// The measures of the screen a script asks for; every other index answers 0.
constexpr uint32_t kMetricScreenWidth = 0;
constexpr uint32_t kMetricScreenHeight = 1;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

int32_t width_of(const OrvRect& r) {
  return r.right - r.left;
}
int32_t height_of(const OrvRect& r) {
  return r.bottom - r.top;
}

// The monitor nearest to a desktop point. Without a window (tools that run the script alone)
// there is no monitor to measure: 0 x 0.
OrvRect monitor_at(int32_t x, int32_t y) {
  OrvRect r{};
  if (!orv.OrvGetMonitorRect(x, y, &r)) r = OrvRect{};
  return r;
}

}  // namespace

uint32_t cmd_change_window_size(VmContext& vm) {
  const int32_t width = as_int(engine::vm_pop(vm));
  const int32_t height = as_int(engine::vm_pop(vm));
  orv.OrvChangeWindowSize(width, height);
  engine::vm_log(engine::kLogHistory, "change_window_size %d, %d", width, height);
  return 1;
}

uint32_t cmd_change_aspect_mode(VmContext& vm) {
  static constexpr int32_t kModes[kAspectModes] = {0, 1, 2, 3};
  const int32_t mode = as_int(engine::vm_pop(vm));
  engine::vm_log(engine::kLogHistory, "change_aspect_mode %d", mode);
  if (mode < 0 || mode >= kAspectModes) {
    engine::vm_log(engine::kLogMain, "change_aspect_mode %d: the mode is 0-3; nothing changed",
                   mode);
    return 1;
  }
  orv.OrvChangeAspectMode(kModes[mode]);
  return 1;
}

uint32_t cmd_aspect_position_enable(VmContext& vm) {
  const uint32_t on = engine::vm_pop(vm);
  save::settings_of(vm).bAspectPos = on;
  engine::vm_log(engine::kLogHistory, "aspect_position_enable %d", as_int(on));
  return 1;
}

uint32_t cmd_get_aspect_position_enable(VmContext& vm) {
  engine::vm_set_result(vm, save::settings_of(vm).bAspectPos);
  return 1;
}

uint32_t cmd_get_aspect_mode(VmContext& vm) {
  const int32_t mode = orv.OrvCheckAspectMode();
  engine::vm_set_result(vm, static_cast<uint32_t>(mode));
  engine::vm_log(engine::kLogHistory, "get_aspect_mode %d", mode);
  return 1;
}

uint32_t cmd_get_monitor_size(VmContext& vm) {
  const uint32_t width_var = engine::vm_pop(vm);
  const uint32_t height_var = engine::vm_pop(vm);
  OrvRect monitor{};
  if (engine::startup_settings().bWindowModeLock) {
    // The locked window mode fixes the desktop the game sees.
    orv.OrvGetDesktopRect(&monitor);
  } else {
    int32_t x = 0, y = 0, w = 0, h = 0;
    orv.OrvWindowGetPos(&x, &y);
    orv.OrvGetWindowSize(&w, &h);
    monitor = monitor_at(x + w / 2, y + h / 2);
  }
  const int32_t width = width_of(monitor), height = height_of(monitor);
  engine::vm_log(engine::kLogHistory, "get_monitor_size %d, %d", width, height);
  if (!variables_ok("get_monitor_size", width_var, height_var)) return 1;
  variable_store(vm, width_var, width);
  variable_store(vm, height_var, height);
  return 1;
}

uint32_t cmd_get_window_pos(VmContext& vm) {
  int32_t x = 0, y = 0;
  orv.OrvWindowGetPos(&x, &y);
  const uint32_t x_var = engine::vm_pop(vm);
  const uint32_t y_var = engine::vm_pop(vm);
  if (!variables_ok("get_window_pos", x_var, y_var)) return 1;
  variable_store(vm, x_var, x);
  variable_store(vm, y_var, y);
  return 1;
}

uint32_t cmd_get_system_metrics(VmContext& vm) {
  const uint32_t index = engine::vm_pop(vm);
  // Of the system's measures only the screen size means something to a game here; the others
  // (borders, caption, scroll bars...) have no counterpart and answer 0.
  int32_t value = 0;
  if (index == kMetricScreenWidth || index == kMetricScreenHeight) {
    const OrvRect screen = monitor_at(0, 0);  // the primary display lies at the origin
    value = index == kMetricScreenWidth ? width_of(screen) : height_of(screen);
  }
  engine::vm_set_result(vm, static_cast<uint32_t>(value));
  engine::vm_log(engine::kLogHistory, "[%d]get_system_metrics %d", value, as_int(index));
  return 1;
}

uint32_t cmd_set_system_path(VmContext& vm) {
  const int32_t field = as_int(engine::vm_pop(vm));
  engine::vm_log(engine::kLogHistory, "set_system_path %d", field);
  std::vector<std::string> names;
  engine::ArchiveListFault fault;
  if (!engine::archive_list_read(field, &names, &fault)) {
    // The folders searched so far stay: without them the game would find none of its files.
    engine::vm_error_log("set_system_path %d: %s: %s; the search folders stay as they were", field,
                         fault.path.c_str(), fault.reason.c_str());
    return 0;
  }
  orv.OrvSystemPathClear();
  orv.OrvSystemPathSet("data");
  for (const std::string& name : names) orv.OrvSystemPathSet(name.c_str());
  return 1;
}

uint32_t cmd_set_allmosaicthumbnail(VmContext& vm) {
  const uint32_t on = engine::vm_pop(vm);
  save::settings_of(vm).bAllMosaicThumbnail = on;
  engine::vm_log(engine::kLogHistory, "set_allmosaicthumbnail %d", as_int(on));
  return 1;
}

uint32_t cmd_enable_window_change(VmContext& vm) {
  const int32_t on = as_int(engine::vm_pop(vm));
  orv.OrvWindowChangeEnable(on);
  engine::vm_log(engine::kLogHistory, "enable_window_change %d", on);
  return 1;
}

uint32_t cmd_is_enable_window_change(VmContext& vm) {
  const int32_t on = orv.OrvWindowChangeEnableIs();
  engine::vm_set_result(vm, static_cast<uint32_t>(on));
  engine::vm_log(engine::kLogHistory, "[%d]is_enable_window_change", on);
  return 1;
}

uint32_t cmd_is_active(VmContext& vm) {
  const int32_t active = orv.IsActive();
  engine::vm_set_result(vm, static_cast<uint32_t>(active));
  engine::vm_log(engine::kLogHistory, "is_active %XH", static_cast<uint32_t>(active));
  return 1;
}

uint32_t cmd_get_exe_run_mode(VmContext& vm) {
  const uint32_t mode = engine::startup_settings().nRunMode;
  engine::vm_set_result(vm, mode);
  engine::vm_log(engine::kLogHistory, "get_exe_run_mode %d", as_int(mode));
  return 1;
}

}  // namespace ui
