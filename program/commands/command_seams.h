// What the script command library needs from parts of the program and the platform library
// that are not built yet: the save and program folders, the debug flag, and a handful of
// platform calls (touch, Direct3D facts, window title, work thread, gestures).
//
// Each seam is the one place that makes one call; when the real function lands its body
// becomes that call. Until then each does the least that keeps the commands correct, as noted
// per function. Tests set the folders and the debug flag through the setters below.
// Thread: whichever thread runs the script.
#pragma once

#include <cstdint>
#include <string>

#include "engine/vm_context.h"

namespace engine {

// The program folder in Shift-JIS with '\' separators and no trailing separator (the folder of
// the executable until OrvGetFilePath is bound). Relative names that the script gives to its
// file commands are taken relative to this folder: the current directory never changes.
const std::string& command_program_folder();
// The save folder (same form). Until the save-folder code exists it is the program folder.
const std::string& command_save_folder();
// For tests: replace either folder (empty restores the default).
void set_command_program_folder(const std::string& sjis_folder);
void set_command_save_folder(const std::string& sjis_folder);

// A plain name made absolute: returned as is when it begins with '\' or '/', else put under
// the program folder.
std::string command_path(const std::string& sjis_name);

// OrvDebugIs(). The game program never switches debug mode on; tests force an answer with
// set_seam_debug_is(0 or 1), and -1 asks the library again.
uint32_t seam_debug_is();
void set_seam_debug_is(int64_t value);

// The touch digitizer (0x81, integrated and ready, when SDL reports a touch device; else 0),
// and OrvIsTouch / OrvTouchEnable / OrvTouchMode / OrvIsTouchMode of the input layer.
uint32_t seam_touch_digitizer();
uint32_t seam_is_touch();
void seam_touch_enable(uint32_t on);
void seam_touch_mode(uint32_t on);
uint32_t seam_is_touch_mode();

// Renderer facts: Orv3DIs (8 with the 3D renderer, 0 without); the maximum texture size, the
// power-of-two texture rule, free texture memory in bytes, adapter count and display mode and
// OrvSetPow answer as the software renderer does (0) until the renderer exports them.
uint32_t seam_3d_is();
uint32_t seam_max_texture_width();
uint32_t seam_max_texture_height();
uint32_t seam_texture_pow2();
uint64_t seam_texture_memory();
uint32_t seam_display_mode(uint32_t field, uint32_t adapter);
void seam_set_pow(uint8_t value);

// OrvGetChangeWindowModeTime.
uint32_t seam_change_window_mode_time();
// OrvEffectEnableIs: screen transitions on (1) until the transition exports exist.
uint32_t seam_effect_enable_is();
// OrvAttachWorkProcess(script_run_async, vm): hands the script to the work thread. False when
// the library has no work thread to take it (no core, or the thread has stopped).
bool seam_attach_script_runner(VmContext& vm);
// SetWindowTextA(OrvGetWindowHandle(), title), carried out on the window thread; nothing
// without a window.
void seam_set_window_title(const char* sjis_title);

// easing_rate(type, now, max) of the action system: 1.0 when max is 0 or the curve number
// names no curve (0-3 and 16-48 do); otherwise the action system's curve at the elapsed time
// clamped to max. Until the action system exists the named curves run linearly (now / max).
float seam_easing_rate(uint32_t type, uint32_t now, uint32_t max);
// A touch gesture as the platform reports it: gesture id (3 zoom, 4 pan, 5 rotate, 6
// two-finger tap, 7 press and tap), location in screen pixels, ids and the packed arguments.
struct GestureRecord {
  uint32_t dwSize;
  uint32_t dwFlags;
  uint32_t dwId;
  uint32_t dwTarget;
  int16_t x, y;
  uint32_t dwInstance;
  uint32_t dwSequence;
  uint64_t qwArguments;
  uint32_t dwExtraBytes;
};
using GestureCallback = void (*)(const GestureRecord& record);
// OrvSetGesture(callback): the platform keeps the callback; nothing until it exists.
void seam_set_gesture_callback(GestureCallback callback);

// Neighbouring subsystems' steps that leave_sub_scene and set_save_point run; each does
// nothing until its subsystem exists (seam_input_clear is OrvInputClear). seam_select_close
// releases the open choice menu's sprites and returns true when a menu was open.
void seam_text_wait_end(VmContext& vm);
void seam_action_clear_marked(VmContext& vm);
void seam_tips_end_hook(VmContext& vm);
bool seam_select_close(VmContext& vm);
void seam_system_buttons_enable(VmContext& vm);
void seam_input_clear();
void seam_history_save(VmContext& vm);
void seam_save_snapshot_make(VmContext& vm);

}  // namespace engine
