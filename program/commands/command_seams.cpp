#include "commands/command_seams.h"

#include "engine/interpreter.h"
#include "engine/neighbour_seams.h"
#include "engine/orv_api.h"
#include "platform/program_path.h"
#include "platform/sjis.h"
#include "platform/system_query.h"
#include "platform/window.h"

namespace engine {

namespace {

std::string g_program_folder;
std::string g_save_folder;
int64_t g_debug_override = -1;  // -1: ask the library

std::string default_program_folder() {
  std::string sjis = platform::utf8_to_sjis_path(platform::program_folder_utf8());
  for (char& c : sjis) {
    if (c == '/') c = '\\';
  }
  return sjis;
}

}  // namespace

const std::string& command_program_folder() {
  if (g_program_folder.empty()) g_program_folder = default_program_folder();
  return g_program_folder;
}

const std::string& command_save_folder() {
  return g_save_folder.empty() ? command_program_folder() : g_save_folder;
}

void set_command_program_folder(const std::string& sjis_folder) {
  g_program_folder = sjis_folder;
}
void set_command_save_folder(const std::string& sjis_folder) {
  g_save_folder = sjis_folder;
}

std::string command_path(const std::string& sjis_name) {
  if (!sjis_name.empty() && (sjis_name[0] == '\\' || sjis_name[0] == '/')) return sjis_name;
  return command_program_folder() + "\\" + sjis_name;
}

uint32_t seam_debug_is() {
  if (g_debug_override >= 0) return static_cast<uint32_t>(g_debug_override);
  return orv.OrvDebugIs ? static_cast<uint32_t>(orv.OrvDebugIs()) : 0;
}
void set_seam_debug_is(int64_t value) {
  g_debug_override = value;
}

// A touch device that is there counts as an integrated, ready digitizer.
uint32_t seam_touch_digitizer() {
  return platform::touch_device_count() > 0 ? 0x81u : 0u;
}
uint32_t seam_is_touch() {
  return orv.OrvIsTouch ? static_cast<uint32_t>(orv.OrvIsTouch()) : 0;
}
void seam_touch_enable(uint32_t on) {
  if (orv.OrvTouchEnable) orv.OrvTouchEnable(static_cast<int32_t>(on));
}
void seam_touch_mode(uint32_t on) {
  if (orv.OrvTouchMode) orv.OrvTouchMode(static_cast<int32_t>(on));
}
uint32_t seam_is_touch_mode() {
  return orv.OrvIsTouchMode ? static_cast<uint32_t>(orv.OrvIsTouchMode()) : 0;
}

uint32_t seam_3d_is() {
  return orv.Orv3DIs ? orv.Orv3DIs() : 0;
}
uint32_t seam_max_texture_width() {
  return 0;
}
uint32_t seam_max_texture_height() {
  return 0;
}
uint32_t seam_texture_pow2() {
  return 0;
}
uint64_t seam_texture_memory() {
  return 0;
}
uint32_t seam_display_mode(uint32_t, uint32_t) {
  return 0;
}
void seam_set_pow(uint8_t) {}

uint32_t seam_change_window_mode_time() {
  return orv.OrvGetChangeWindowModeTime ? orv.OrvGetChangeWindowModeTime() : 0;
}
uint32_t seam_effect_enable_is() {
  return 1;
}

namespace {
void run_script_on_work_thread(void* vm) {
  script_run_async(*static_cast<VmContext*>(vm));
}
}  // namespace

bool seam_attach_script_runner(VmContext& vm) {
  return orv.OrvAttachWorkProcess && orv.OrvAttachWorkProcess(run_script_on_work_thread, &vm) != 0;
}
namespace {
void set_title_on_window_thread(void* title) {
  platform::window_set_title_by_handle(orv.OrvGetWindowHandle(),
                                       *static_cast<const std::string*>(title));
}
}  // namespace

// The window belongs to the window thread, so the title is set there; the call waits for it.
void seam_set_window_title(const char* sjis_title) {
  if (!sjis_title || !orv.OrvAttachProcess || !orv.OrvGetWindowHandle) return;
  std::string title = sjis_title;
  orv.OrvAttachProcess(set_title_on_window_thread, &title);
}

float seam_easing_rate(uint32_t type, uint32_t now, uint32_t max) {
  if (max == 0) return 1.0f;
  const bool named = type <= 3 || (type >= 16 && type <= 48);
  if (!named) return 1.0f;
  if (now > max) now = max;
  return static_cast<float>(now) / static_cast<float>(max);
}

void seam_set_gesture_callback(GestureCallback) {}
void seam_text_wait_end(VmContext&) {}
void seam_action_clear_marked(VmContext&) {}
void seam_tips_end_hook(VmContext&) {}
bool seam_select_close(VmContext&) {
  return false;
}
void seam_system_buttons_enable(VmContext&) {}
void seam_input_clear() {
  if (orv.OrvInputClear) orv.OrvInputClear();
}
void seam_history_save(VmContext&) {}
void seam_save_snapshot_make(VmContext& vm) {
  save_snapshot_make(vm);
}

}  // namespace engine
