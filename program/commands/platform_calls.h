// The platform-library facts and controls that the system commands use, each in one place:
// debug mode, touch input, renderer facts, the window title, gestures, the work thread and the
// input reset.
//
// Each call goes through the binding table `orv` and answers as noted while the table has no
// entry for it (tools and tests that run the machine without the library). The gesture
// callback has no export yet: it does nothing until the library exports it.
// Thread: whichever thread runs the script.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

// OrvDebugIs(): 1 in debug mode. Tests force an answer with set_seam_debug_is(0 or 1); -1
// asks the library again.
uint32_t debug_is();
void set_seam_debug_is(int64_t value);

// The touch digitizer (0x81, integrated and ready, when a touch device is there; else 0), and
// OrvIsTouch / OrvTouchEnable / OrvTouchMode / OrvIsTouchMode of the input layer.
uint32_t touch_digitizer();
uint32_t touch_is();
void touch_enable(uint32_t on);
void touch_mode(uint32_t on);
uint32_t touch_mode_is();

// Renderer facts: Orv3DIs (8 with the 3D renderer, 0 without); from Orv3DGetCaps the maximum
// texture width and height, the power-of-two texture rule (1 when sides must be powers of two)
// and free texture memory in bytes; from Orv3DGetDisplayMode a display-mode field of an adapter
// (0 the number of displays, 1-3 width, height, refresh); all 0 with the software renderer.
// OrvSetPow asks for power-of-two image storage with the GPU renderer.
uint32_t renderer_3d_is();
uint32_t max_texture_width();
uint32_t max_texture_height();
uint32_t texture_pow2();
uint64_t texture_memory();
uint32_t display_mode(uint32_t field, uint32_t adapter);
void set_pow(uint8_t value);

// OrvGetChangeWindowModeTime (0 without the library).
uint32_t change_window_mode_time();
// OrvAttachWorkProcess(script_run_async, vm): hands the script to the work thread. False when
// the library has no work thread to take it (no library, or the thread has stopped).
bool attach_script_runner(VmContext& vm);
// The game window's title (Shift-JIS), set on the window thread; nothing without a window.
void window_title_set(const char* sjis_title);
// OrvInputClear: forgets this frame's input.
void input_clear();

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
// OrvSetGesture(callback): the platform keeps the callback; nothing until it is exported.
void gesture_callback_set(GestureCallback callback);

}  // namespace engine
