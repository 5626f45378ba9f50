// The debug tools' windows of numbers drawn by the library's widgets (Orv/core/widgets/widgets.h):
// the view that debug_dialog.h starts with.
//
// Each window is a frameless box (a widget of kind 0, not modal) in the top-right corner of the
// game picture, made when its tool opens and removed when it closes, moved along when the
// picture's place in the window changes. It holds the window's labels and help lines and a static
// text per number the tool shows, on a plain face; the camera window (106) adds its four reset
// buttons. The sprite window's layer combo box (1017) is not made: the tool gives it nothing.
//
// The box takes clicks on its buttons only (the tool sees every other click, so that a sprite
// under the box can be picked) and never the keys: it has no edit control, so the keys reach
// the tool as before. Clicked buttons are noticed
// when the tool shows its numbers, once a frame (the box's notifications are polled without
// waiting), and go to debug_dialog_command.
//
// Thread: the game thread, under the render lock (as every call of the view).
#pragma once

#include "Orv/render/debug/debug_dialog.h"
#include "orv/types.h"

extern const DebugDialogView kDebugPanelsView;

// The widget of a tool's open window (kDebugDialogSprite or kDebugDialogCamera), 0 when it is
// not open. For tests.
OrvHandle debug_panel_widget(int32_t dialog);
