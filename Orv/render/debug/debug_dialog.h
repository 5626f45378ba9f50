// The boundary between the debug tools and the windows of numbers shown with the game.
//
// Each debug tool has a modeless window that shows its state: 106 for the camera tool (the
// live eye, target and up, with four reset buttons) and 102 for the sprite tool (the mouse and
// the picked sprite's position, offsets, scale, name, priority and rotation). The tools know
// what these windows say; drawing them and taking their clicks belongs to a view, a table that
// plugs in here. The library starts with its own (debug_panels.h: boxes drawn by its widgets
// over the game picture); tests set one of their own with debug_dialog_view_set, or none.
//
// What the tools do through the view, all on the game thread under the render lock:
//   open   when a tool opens (the window goes with the game picture and never takes the keys,
//          which the tool uses);
//   show   once a frame while the tool runs, with the texts of the window's controls;
//   close  when the tool ends, however it ends.
// The view calls debug_dialog_command when a button of the window is clicked.
#pragma once

#include <cstdint>

constexpr int32_t kDebugDialogSprite = 102;
constexpr int32_t kDebugDialogCamera = 106;

// The camera window's reset buttons: eye, target, up, all three.
constexpr int32_t kCameraResetEye = 1011, kCameraResetAt = 1013, kCameraResetUp = 1014,
                  kCameraResetAll = 1015;

// One control's text, Shift-JIS, terminated (a sprite name fills at most 259 bytes).
struct DebugDialogField {
  int32_t control;
  char text[260];
};

struct DebugDialogView {
  void (*open)(int32_t dialog);
  void (*show)(int32_t dialog, const DebugDialogField* fields, int32_t count);
  void (*close)(int32_t dialog);
};

// Installs the view in place of the library's own (null: no windows). The view must outlive
// its use; set it before a tool opens.
void debug_dialog_view_set(const DebugDialogView* view);

// The tools' side: each does nothing without a view.
bool debug_dialog_shown();
void debug_dialog_open(int32_t dialog);
void debug_dialog_show(int32_t dialog, const DebugDialogField* fields, int32_t count);
void debug_dialog_close(int32_t dialog);

// A button of a tool's window was clicked: the camera window's reset buttons set the live
// vectors they name to (0, 0, 0). Takes the render lock; does nothing when the tool that owns
// the window is not running. True when the click did something.
bool debug_dialog_command(int32_t dialog, int32_t control);
