// The debug camera tool: in debug mode Ctrl+F11 opens it, and while it runs the keyboard moves
// the camera that the GPU renderer sees its 3D sprites through (Renderer::set_camera) instead
// of reaching the game (debug_tool.h says how the tools stand in front of the game).
//
// The tool is the task "OrvCameraCtrlTask". Each frame, with the held keys and d = 1/600:
//   Shift + Up / Down      eye y + d / - d;       Shift + Left / Right   eye x - d / + d
//   Ctrl + Up / Down       eye z - d / + d
//   Up / Down              eye and rotation base z - d / + d (moving in and out)
//   Left / Right           the angle (512 a turn) one step down / up, wrapped into 0..511; the
//                          target becomes (cos(angle) + base x, its y, base z - sin(angle))
// The rotation base starts as the target. The view is then set from the live eye, target and
// up, and the frame's input words are cleared so that the game does not see the keys. Esc, or
// Ctrl+F11 again, ends the tool; its end sets the camera back to what it was at the start.
// Its window (106) shows the live eye, target and up with "%f"; its reset buttons set the
// vectors they name to (0, 0, 0).
//
// With a renderer that has no camera (the software renderer) the tool does not open.
//
// Thread: the game thread, under the render lock (the toggle takes it).
#pragma once

#include <cstdint>

#include "Orv/render/debug/debug_dialog.h"
#include "Orv/render/debug/debug_tool.h"

struct CameraTool {
  float start_eye[3], start_at[3], start_up[3];  // the camera at the start
  float eye[3], at[3], up[3];                    // the live camera
  float base[3];                                 // the rotation base
  float step[3];                                 // (0, 0, d)
  int32_t angle;                                 // 0..511
};

// One frame of the tool's keys (held: the held word, pushed: the pushed word of KeyBits) on
// the live camera; true when Esc was pushed (the tool is to end).
bool camera_tool_apply(CameraTool* tool, uint32_t held, uint32_t pushed);

// A reset button of the tool's window (kCameraReset*) on the live camera; false for another
// control.
bool camera_tool_reset(CameraTool* tool, int32_t control);

// The texts of the tool's window: eye 1002-1004, target 1005-1007, up 1008-1010, each "%f".
// Fills fields[0..8] and returns 9.
int32_t camera_tool_fields(const float (&eye)[3], const float (&at)[3], const float (&up)[3],
                           DebugDialogField* fields);

// Opens the tool (debug_control does, under the render lock); false with a renderer that has no
// camera or when its task cannot be made.
bool open_camera_tool();
// The running camera tool's data, or null.
CameraTool* running_camera_tool();
