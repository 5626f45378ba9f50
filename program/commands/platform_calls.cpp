#include "commands/platform_calls.h"

#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "platform/system_query.h"
#include "platform/window_title.h"

namespace engine {

namespace {
int64_t g_debug_override = -1;  // -1: ask the library
}  // namespace

uint32_t debug_is() {
  if (g_debug_override >= 0) return static_cast<uint32_t>(g_debug_override);
  return orv.OrvDebugIs ? static_cast<uint32_t>(orv.OrvDebugIs()) : 0;
}
void set_seam_debug_is(int64_t value) {
  g_debug_override = value;
}

// A touch device that is there counts as an integrated, ready digitizer.
uint32_t touch_digitizer() {
  return platform::touch_device_count() > 0 ? 0x81u : 0u;
}
uint32_t touch_is() {
  return orv.OrvIsTouch ? static_cast<uint32_t>(orv.OrvIsTouch()) : 0;
}
void touch_enable(uint32_t on) {
  if (orv.OrvTouchEnable) orv.OrvTouchEnable(static_cast<int32_t>(on));
}
void touch_mode(uint32_t on) {
  if (orv.OrvTouchMode) orv.OrvTouchMode(static_cast<int32_t>(on));
}
uint32_t touch_mode_is() {
  return orv.OrvIsTouchMode ? static_cast<uint32_t>(orv.OrvIsTouchMode()) : 0;
}

uint32_t renderer_3d_is() {
  return orv.Orv3DIs ? orv.Orv3DIs() : 0;
}
namespace {
// The 3D renderer's facts; all 0 with the software renderer or without the library.
Orv3DCaps caps_3d() {
  Orv3DCaps caps{};
  if (orv.Orv3DGetCaps) orv.Orv3DGetCaps(&caps);
  return caps;
}
}  // namespace

uint32_t max_texture_width() {
  return static_cast<uint32_t>(caps_3d().max_texture_width);
}
uint32_t max_texture_height() {
  return static_cast<uint32_t>(caps_3d().max_texture_height);
}
uint32_t texture_pow2() {
  return caps_3d().pow2_required ? 1u : 0u;
}
uint64_t texture_memory() {
  return caps_3d().texture_memory;
}
uint32_t display_mode(uint32_t field, uint32_t adapter) {
  return orv.Orv3DGetDisplayMode ? orv.Orv3DGetDisplayMode(field, adapter) : 0;
}
void set_pow(uint8_t value) {
  if (orv.OrvSetPow) orv.OrvSetPow(value);
}

uint32_t change_window_mode_time() {
  return orv.OrvGetChangeWindowModeTime ? orv.OrvGetChangeWindowModeTime() : 0;
}

namespace {
void run_script_on_work_thread(void* vm) {
  script_run_async(*static_cast<VmContext*>(vm));
}
}  // namespace

bool attach_script_runner(VmContext& vm) {
  return orv.OrvAttachWorkProcess && orv.OrvAttachWorkProcess(run_script_on_work_thread, &vm) != 0;
}
namespace {
void set_title_on_window_thread(void* title) {
  platform::window_set_title_by_handle(orv.OrvGetWindowHandle(),
                                       *static_cast<const std::string*>(title));
}
}  // namespace

// The window belongs to the window thread, so the title is set there; the call waits for it.
void window_title_set(const char* sjis_title) {
  if (!sjis_title || !orv.OrvAttachProcess || !orv.OrvGetWindowHandle) return;
  std::string title = sjis_title;
  orv.OrvAttachProcess(set_title_on_window_thread, &title);
}
void input_clear() {
  if (orv.OrvInputClear) orv.OrvInputClear();
}

void gesture_callback_set(GestureCallback) {}

}  // namespace engine
